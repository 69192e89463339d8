#pragma once
// Two fingers moving apart or together, or the mouse wheel: the scale since
// the gesture began (or since the handler last set it, usually back to 1).

#include "platform/ui/GestureRecognizer.h"
#include "platform/ui/WheelGestureTimer.h"

namespace qp {

class PinchGestureRecognizer : public GestureRecognizer {
public:
    // Scale per wheel notch.
    static constexpr double kWheelZoomPerNotch = 1.1;

    explicit PinchGestureRecognizer(std::function<void(PinchGestureRecognizer&)> action = {});

    double scale() const { return m_scale; }
    void setScale(double scale);

protected:
    void touchesBegan(const std::vector<Point>& touches) override;
    void touchesMoved(const std::vector<Point>& touches) override;
    void touchesEnded(const std::vector<Point>& touches) override;
    void wheelTurned(double notches, bool shift, Point at) override;

private:
    void follow(const std::vector<Point>& touches);

    double m_scale = 1;
    double m_distanceAtBase = 0;
    double m_startDistance = 0;
    bool m_tracking = false;
    WheelGestureTimer m_wheelRest;
};

}  // namespace qp
