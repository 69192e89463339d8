#include "platform/ui/PinchGestureRecognizer.h"

#include <cmath>

namespace qp {

namespace {
double spread(const std::vector<Point>& touches) {
    return std::hypot(touches[1].x - touches[0].x, touches[1].y - touches[0].y);
}
}  // namespace

PinchGestureRecognizer::PinchGestureRecognizer(std::function<void(PinchGestureRecognizer&)> action)
    : GestureRecognizer([action = std::move(action)](GestureRecognizer& g) {
          if (action) action(static_cast<PinchGestureRecognizer&>(g));
      }) {}

void PinchGestureRecognizer::setScale(double scale) {
    m_scale = scale;
    if (touches().size() >= 2) m_distanceAtBase = spread(touches()) / (scale != 0 ? scale : 1);
}

void PinchGestureRecognizer::touchesBegan(const std::vector<Point>& touches) {
    follow(touches);
}
void PinchGestureRecognizer::touchesMoved(const std::vector<Point>& touches) {
    follow(touches);
}

void PinchGestureRecognizer::follow(const std::vector<Point>& touches) {
    if (touches.size() < 2) return;
    const double distance = spread(touches);
    if (!m_tracking) {
        m_tracking = true;
        m_startDistance = distance;
        return;
    }
    if (state() == GestureRecognizerState::Possible) {
        if (std::abs(distance - m_startDistance) < kDragThreshold || m_startDistance <= 0) return;
        m_distanceAtBase = m_startDistance;
        m_scale = distance / m_distanceAtBase;
        beginIfAllowed();
    } else if (isActive() && m_distanceAtBase > 0) {
        // Relative to the last value the handler set.
        m_scale = distance / m_distanceAtBase;
        setState(GestureRecognizerState::Changed);
    }
}

void PinchGestureRecognizer::touchesEnded(const std::vector<Point>&) {
    m_tracking = false;
    finish();
}

void PinchGestureRecognizer::wheelTurned(double notches, bool shift, Point at) {
    if (shift) return;  // Shift+wheel turns things instead
    const double factor = std::pow(kWheelZoomPerNotch, notches);
    setTouches({at});
    if (isActive()) {
        m_scale *= factor;
        setState(GestureRecognizerState::Changed);
    } else {
        m_scale = factor;
        if (!beginIfAllowed()) return;
    }
    m_wheelRest.restart([this] { finish(); });
}

}  // namespace qp
