#pragma once
// A wheel has no lift-off: a gesture made of wheel turns ends once the wheel
// has rested for a moment. Shared by pinch and rotation.

#include <functional>

#include "platform/MainQueue.h"

namespace qp {

class WheelGestureTimer {
public:
    static constexpr MainQueue::Duration kRestInterval{250};

    ~WheelGestureTimer();
    // Calls `ended` once the wheel has rested; at once without UiTiming.
    void restart(std::function<void()> ended);
    void stop();

private:
    MainQueue::TaskId m_pending = 0;
};

}  // namespace qp
