#include "platform/ui/GestureRecognizer.h"

#include <QMouseEvent>
#include <QTouchEvent>
#include <QWheelEvent>
#include <QWidget>

#include "platform/ui/TouchesBeganHook.h"

namespace qp {

namespace {

// One notch of a common mouse wheel, in Qt's eighths of a degree.
constexpr double kWheelNotch = 120;

Point pointOf(const QPointF& p) {
    return {p.x(), p.y()};
}

std::vector<GestureRecognizer*> recognizersOn(QWidget* view) {
    std::vector<GestureRecognizer*> found;
    if (!view) return found;
    for (QObject* child : view->children()) {
        if (auto* recognizer = dynamic_cast<GestureRecognizer*>(child)) found.push_back(recognizer);
    }
    return found;
}

}  // namespace

Point mapPointBetweenViews(Point p, const QWidget* from, const QWidget* to) {
    if (!from || !to || from == to) return p;
    const QPointF global = from->mapToGlobal(QPointF(p.x, p.y));
    return pointOf(to->mapFromGlobal(global));
}

GestureRecognizer::GestureRecognizer(Action action) : m_action(std::move(action)) {}

GestureRecognizer::~GestureRecognizer() {
    if (m_view) m_view->removeEventFilter(this);
}

void GestureRecognizer::attachToView(QWidget* view) {
    if (m_view) m_view->removeEventFilter(this);
    m_view = view;
    setParent(view);
    if (!view) return;
    view->setAttribute(Qt::WA_AcceptTouchEvents);
    view->installEventFilter(this);
    // Touch hooks see a touch before any recognizer does.
    for (QObject* child : view->children()) {
        if (auto* hook = dynamic_cast<TouchesBeganHook*>(child)) view->installEventFilter(hook);
    }
}

void GestureRecognizer::setEnabled(bool enabled) {
    m_enabled = enabled;
    if (!enabled && isActive()) finish(GestureRecognizerState::Cancelled);
}

bool GestureRecognizer::isActive() const {
    return m_state == GestureRecognizerState::Began || m_state == GestureRecognizerState::Changed;
}

Point GestureRecognizer::locationInView(const QWidget* view) const {
    if (m_touches.empty()) return {};
    Point sum;
    for (const Point& p : m_touches) {
        sum.x += p.x;
        sum.y += p.y;
    }
    const double n = static_cast<double>(m_touches.size());
    return mapPointBetweenViews({sum.x / n, sum.y / n}, m_view, view ? view : m_view);
}

Point GestureRecognizer::locationOfTouchInView(int touchIndex, const QWidget* view) const {
    if (touchIndex < 0 || touchIndex >= numberOfTouches()) return {};
    return mapPointBetweenViews(m_touches[static_cast<std::size_t>(touchIndex)], m_view,
                                view ? view : m_view);
}

void GestureRecognizer::setState(GestureRecognizerState state) {
    m_state = state;
    if (state == GestureRecognizerState::Failed || state == GestureRecognizerState::Possible)
        return;
    if (m_action) m_action(*this);
}

bool GestureRecognizer::isAllowedToStart() {
    bool allowed = !m_delegate || m_delegate->gestureRecognizerShouldBegin(*this);
    for (GestureRecognizer* other : recognizersOn(m_view)) {
        if (!allowed) break;
        if (other == this || !other->isActive()) continue;
        const bool together =
            (m_delegate &&
             m_delegate->gestureRecognizerShouldRecognizeSimultaneouslyWithGestureRecognizer(
                 *this, *other)) ||
            (other->m_delegate &&
             other->m_delegate->gestureRecognizerShouldRecognizeSimultaneouslyWithGestureRecognizer(
                 *other, *this));
        allowed = together;
    }
    if (!allowed) m_state = GestureRecognizerState::Failed;
    return allowed;
}

bool GestureRecognizer::beginIfAllowed() {
    if (!isAllowedToStart()) return false;
    setState(GestureRecognizerState::Began);
    return true;
}

bool GestureRecognizer::recognizeIfAllowed() {
    if (!isAllowedToStart()) {
        m_state = GestureRecognizerState::Possible;
        return false;
    }
    setState(kGestureRecognizerStateRecognized);
    return true;
}

void GestureRecognizer::finish(GestureRecognizerState end) {
    if (isActive()) {
        setState(end);
    } else if (m_state == GestureRecognizerState::Failed) {
        m_state = GestureRecognizerState::Possible;
    }
}

void GestureRecognizer::handleTouchEvent(QTouchEvent* touch) {
    const QEvent::Type type = touch->type();
    if (type == QEvent::TouchBegin && !isActive()) m_state = GestureRecognizerState::Possible;
    m_inputIsMouse = false;
    const bool ending = type == QEvent::TouchEnd || type == QEvent::TouchCancel;
    std::vector<Point> points;
    for (const QEventPoint& p : touch->points()) {
        // Fingers that lift keep their place while the gesture ends.
        if (ending || p.state() != QEventPoint::Released) {
            points.push_back(pointOf(m_view->mapFromGlobal(p.globalPosition())));
        }
    }
    const std::size_t before = m_touches.size();
    m_touches = points;
    if (type == QEvent::TouchBegin) {
        touchesBegan(points);
    } else if (ending) {
        touchesEnded(points);
    } else if (points.size() > before) {
        touchesBegan(points);
    } else {
        touchesMoved(points);
    }
}

bool GestureRecognizer::eventFilter(QObject* watched, QEvent* event) {
    if (watched != m_view || !m_enabled) return QObject::eventFilter(watched, event);
    switch (event->type()) {
        case QEvent::MouseButtonPress:
        case QEvent::MouseButtonDblClick:
        case QEvent::Wheel:
            // Something new starts: a finished gesture may be recognized again.
            if (!isActive()) m_state = GestureRecognizerState::Possible;
            break;
        default:
            break;
    }
    switch (event->type()) {
        case QEvent::MouseButtonPress:
        case QEvent::MouseButtonDblClick:
        case QEvent::MouseMove:
        case QEvent::MouseButtonRelease: {
            auto* mouse = static_cast<QMouseEvent*>(event);
            // Touch screens also send mouse events made up from the touches.
            if (mouse->source() != Qt::MouseEventNotSynthesized) break;
            m_inputIsMouse = true;
            const Point at = pointOf(mouse->position());
            const bool left =
                mouse->button() == Qt::LeftButton || (mouse->buttons() & Qt::LeftButton);
            const bool right =
                mouse->button() == Qt::RightButton || (mouse->buttons() & Qt::RightButton);
            if (event->type() == QEvent::MouseButtonDblClick && left) {
                m_touches = {at};
                doubleClicked(at);
            } else if (event->type() == QEvent::MouseButtonPress) {
                if (mouse->button() == Qt::LeftButton) {
                    m_touches = {at};
                    touchesBegan(m_touches);
                } else if (mouse->button() == Qt::RightButton) {
                    secondaryPressed(at);
                }
            } else if (event->type() == QEvent::MouseMove) {
                if (mouse->buttons() & Qt::LeftButton) {
                    m_touches = {at};
                    touchesMoved(m_touches);
                } else if (right) {
                    secondaryMoved(at);
                }
            } else if (event->type() == QEvent::MouseButtonRelease) {
                if (mouse->button() == Qt::LeftButton) {
                    m_touches = {at};
                    touchesEnded(m_touches);
                } else if (mouse->button() == Qt::RightButton) {
                    secondaryReleased(at);
                }
            }
            break;
        }
        case QEvent::Wheel: {
            auto* wheel = static_cast<QWheelEvent*>(event);
            const QPoint delta = wheel->angleDelta();
            // Some platforms turn Shift+wheel into a sideways wheel.
            const double notches = (delta.y() != 0 ? delta.y() : delta.x()) / kWheelNotch;
            if (notches != 0) {
                wheelTurned(notches, wheel->modifiers() & Qt::ShiftModifier,
                            pointOf(wheel->position()));
            }
            break;
        }
        case QEvent::TouchBegin:
        case QEvent::TouchUpdate:
        case QEvent::TouchEnd:
        case QEvent::TouchCancel: {
            // The view must take the touch to be sent the rest of it, which
            // hides it from the other filters: hand it to every recognizer here.
            auto* touch = static_cast<QTouchEvent*>(event);
            for (GestureRecognizer* recognizer : recognizersOn(m_view)) {
                if (recognizer->m_enabled) recognizer->handleTouchEvent(touch);
            }
            event->accept();
            return true;
        }
        default:
            break;
    }
    return QObject::eventFilter(watched, event);
}

}  // namespace qp
