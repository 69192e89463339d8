#include "platform/ui/TouchesBeganHook.h"

#include <QMouseEvent>
#include <QTouchEvent>
#include <QWheelEvent>
#include <QWidget>

namespace qp {

TouchesBeganHook* TouchesBeganHook::install(QWidget* view, Handler handler) {
    return new TouchesBeganHook(view, std::move(handler));
}

TouchesBeganHook::TouchesBeganHook(QWidget* view, Handler handler)
    : QObject(view), m_view(view), m_handler(std::move(handler)) {
    view->installEventFilter(this);
}

bool TouchesBeganHook::eventFilter(QObject* watched, QEvent* event) {
    if (watched != m_view || !m_handler) return QObject::eventFilter(watched, event);
    switch (event->type()) {
        case QEvent::MouseButtonPress: {
            auto* mouse = static_cast<QMouseEvent*>(event);
            if (mouse->source() == Qt::MouseEventNotSynthesized) {
                m_handler({mouse->position().x(), mouse->position().y()});
            }
            break;
        }
        case QEvent::Wheel: {
            const QPointF at = static_cast<QWheelEvent*>(event)->position();
            m_handler({at.x(), at.y()});
            break;
        }
        case QEvent::TouchBegin: {
            const auto& points = static_cast<QTouchEvent*>(event)->points();
            if (!points.isEmpty())
                m_handler({points.first().position().x(), points.first().position().y()});
            break;
        }
        default:
            break;
    }
    return QObject::eventFilter(watched, event);
}

}  // namespace qp
