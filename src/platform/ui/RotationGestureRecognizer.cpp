#include "platform/ui/RotationGestureRecognizer.h"

#include <QWidget>

#include <cmath>
#include <numbers>

namespace qp {

namespace {

double angleOf(Point from, Point to) {
    return std::atan2(to.y - from.y, to.x - from.x);
}

// The step between two angles, taken the short way round.
double angleStep(double from, double to) {
    double step = to - from;
    while (step > std::numbers::pi) step -= 2 * std::numbers::pi;
    while (step < -std::numbers::pi) step += 2 * std::numbers::pi;
    return step;
}

}  // namespace

RotationGestureRecognizer::RotationGestureRecognizer(
    std::function<void(RotationGestureRecognizer&)> action)
    : GestureRecognizer([action = std::move(action)](GestureRecognizer& g) {
          if (action) action(static_cast<RotationGestureRecognizer&>(g));
      }) {}

void RotationGestureRecognizer::setRotation(double radians) {
    m_rotation = radians;
}

Point RotationGestureRecognizer::pivot() const {
    const QWidget* v = view();
    return v ? Point{v->width() / 2.0, v->height() / 2.0} : Point{};
}

void RotationGestureRecognizer::followAngle(double angle) {
    if (!m_tracking) {
        m_tracking = true;
        m_lastAngle = angle;
        m_turned = 0;
        return;
    }
    const double step = angleStep(m_lastAngle, angle);
    m_lastAngle = angle;
    if (state() == GestureRecognizerState::Possible) {
        m_turned += step;
        if (std::abs(m_turned) < kAngleThreshold) return;
        m_rotation = m_turned;
        beginIfAllowed();
    } else if (isActive()) {
        m_rotation += step;
        setState(GestureRecognizerState::Changed);
    }
}

void RotationGestureRecognizer::touchesBegan(const std::vector<Point>& touches) {
    if (touches.size() >= 2) followAngle(angleOf(touches[0], touches[1]));
}

void RotationGestureRecognizer::touchesMoved(const std::vector<Point>& touches) {
    if (touches.size() >= 2) followAngle(angleOf(touches[0], touches[1]));
}

void RotationGestureRecognizer::touchesEnded(const std::vector<Point>&) {
    if (!m_tracking) return;
    m_tracking = false;
    finish();
}

void RotationGestureRecognizer::secondaryPressed(Point at) {
    m_tracking = false;
    setTouches({at});
    followAngle(angleOf(pivot(), at));
}

void RotationGestureRecognizer::secondaryMoved(Point at) {
    if (!m_tracking) return;
    setTouches({at});
    followAngle(angleOf(pivot(), at));
}

void RotationGestureRecognizer::secondaryReleased(Point at) {
    setTouches({at});
    m_tracking = false;
    finish();
}

void RotationGestureRecognizer::wheelTurned(double notches, bool shift, Point at) {
    if (!shift) return;
    const double step = notches * kWheelRadiansPerNotch;
    setTouches({at});
    if (isActive()) {
        m_rotation += step;
        setState(GestureRecognizerState::Changed);
    } else {
        m_rotation = step;
        if (!beginIfAllowed()) return;
    }
    m_wheelRest.restart([this] { finish(); });
}

}  // namespace qp
