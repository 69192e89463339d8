#pragma once
// Two fingers turning, a right-button drag around the view's centre, or
// Shift+wheel: the rotation in radians (clockwise on screen is positive)
// since the gesture began or since the handler last set it.

#include "platform/ui/GestureRecognizer.h"
#include "platform/ui/WheelGestureTimer.h"

namespace qp {

class RotationGestureRecognizer : public GestureRecognizer {
public:
    // Radians per wheel notch: 5 degrees.
    static constexpr double kWheelRadiansPerNotch = 0.087266462599716;
    // Turning less than this does not start a gesture.
    static constexpr double kAngleThreshold = 0.05;

    explicit RotationGestureRecognizer(std::function<void(RotationGestureRecognizer&)> action = {});

    double rotation() const { return m_rotation; }
    void setRotation(double radians);

protected:
    void touchesBegan(const std::vector<Point>& touches) override;
    void touchesMoved(const std::vector<Point>& touches) override;
    void touchesEnded(const std::vector<Point>& touches) override;
    void wheelTurned(double notches, bool shift, Point at) override;
    void secondaryPressed(Point at) override;
    void secondaryMoved(Point at) override;
    void secondaryReleased(Point at) override;

private:
    void followAngle(double angle);
    Point pivot() const;

    double m_rotation = 0;
    double m_lastAngle = 0;
    double m_turned = 0;  // since tracking started, before the gesture began
    bool m_tracking = false;
    WheelGestureTimer m_wheelRest;
};

}  // namespace qp
