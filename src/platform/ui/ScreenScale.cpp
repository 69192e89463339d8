#include "platform/ui/ScreenScale.h"

#include <QBackingStore>
#include <QCoreApplication>
#include <QEvent>
#include <QGuiApplication>
#include <QScreen>
#include <QWidget>
#include <QWindow>

// Qt 6.4 offers a scale chosen at run time only through this private class;
// nothing else in the program includes it.
#include <QtGui/private/qhighdpiscaling_p.h>

namespace qp {

namespace {

// What Qt does for a window that changes screens: every widget reads the
// pixel density again (fonts, cached pixmaps, web pages). Each is drawn
// again too, as the window's bitmap is new: marking the window alone would
// leave the widgets that cover it undrawn.
void redrawForNewScreen(QWidget& widget) {
    QEvent change(QEvent::ScreenChangeInternal);
    QCoreApplication::sendEvent(&widget, &change);
    widget.update();
    for (QObject* child : widget.children()) {
        if (auto* view = qobject_cast<QWidget*>(child); view && !view->isWindow())
            redrawForNewScreen(*view);
    }
}

}  // namespace

void setScreenScale(QWidget& window, double factor) {
    // Every screen alike, so the window keeps its zoom on any of them.
    for (QScreen* screen : QGuiApplication::screens())
        QHighDpiScaling::setScreenFactor(screen, factor);
    if (QWindow* handle = window.windowHandle()) {
        // The desktop was told the window's fixed size in the old scale's
        // pixels: tell it again (an unchanged size would not be sent).
        const QSize smallest = handle->minimumSize();
        const QSize largest = handle->maximumSize();
        handle->setMinimumSize({0, 0});
        handle->setMaximumSize({QWIDGETSIZE_MAX, QWIDGETSIZE_MAX});
        handle->setMinimumSize(smallest);
        handle->setMaximumSize(largest);
        // The native window still has the old scale's pixels: give it the
        // points it shows, now counted at the new scale.
        handle->setGeometry(QRect(handle->position(), window.size()));
    }
    // The window's size in points is unchanged, so Qt would keep painting
    // into the old scale's bitmap: size it for the new one.
    if (QBackingStore* store = window.backingStore()) store->resize(window.size());
    redrawForNewScreen(window);
}

}  // namespace qp
