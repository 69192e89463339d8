#include "screens/NetworkActivityMark.h"

#include <QVariant>
#include <QWidget>

namespace qp {

namespace {
// Where the window keeps its title without the mark.
constexpr const char* kPlainTitleProperty = "qpTitleWithoutNetworkActivity";
}  // namespace

bool hasNetworkActivityMark(const QWidget* window) {
    return window && window->property(kPlainTitleProperty).isValid();
}

void setNetworkActivityMark(QWidget* window, bool visible) {
    if (!window || visible == hasNetworkActivityMark(window)) return;
    if (visible) {
        const QString plain = window->windowTitle();
        window->setProperty(kPlainTitleProperty, plain);
        window->setWindowTitle(plain + QString::fromUtf8(kNetworkActivityMark));
    } else {
        const QString plain = window->property(kPlainTitleProperty).toString();
        window->setProperty(kPlainTitleProperty, QVariant());
        window->setWindowTitle(plain);
    }
}

}  // namespace qp
