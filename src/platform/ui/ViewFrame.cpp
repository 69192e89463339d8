#include "platform/ui/ViewFrame.h"

#include <QRectF>
#include <QVariant>
#include <QWidget>

namespace qp {

namespace {
constexpr const char* kFrameProperty = "qpFrame";
}  // namespace

Rect viewFrame(const QWidget* widget) {
    const QVariant stored = widget->property(kFrameProperty);
    const QRect geometry = widget->geometry();
    if (stored.isValid()) {
        const QRectF exact = stored.toRectF();
        // Someone moved the widget with Qt's own calls since: trust its geometry.
        if (exact.toRect() == geometry)
            return Rect(exact.x(), exact.y(), exact.width(), exact.height());
    }
    return Rect(geometry.x(), geometry.y(), geometry.width(), geometry.height());
}

void setViewFrame(QWidget* widget, const Rect& frame) {
    const QRectF exact(frame.origin.x, frame.origin.y, frame.size.width, frame.size.height);
    widget->setProperty(kFrameProperty, exact);
    widget->setGeometry(exact.toRect());
}

Rect viewBounds(const QWidget* widget) {
    const Rect frame = viewFrame(widget);
    return Rect(0, 0, frame.size.width, frame.size.height);
}

void setViewCenter(QWidget* widget, Point centre) {
    const Rect frame = viewFrame(widget);
    setViewFrame(widget, Rect(centre.x - frame.size.width / 2, centre.y - frame.size.height / 2,
                              frame.size.width, frame.size.height));
}

}  // namespace qp
