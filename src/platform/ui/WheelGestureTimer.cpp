#include "platform/ui/WheelGestureTimer.h"

#include "platform/ui/UiTiming.h"

namespace qp {

WheelGestureTimer::~WheelGestureTimer() {
    stop();
}

void WheelGestureTimer::restart(std::function<void()> ended) {
    stop();
    if (!UiTiming::isInstalled()) {
        ended();
        return;
    }
    m_pending = UiTiming::mainQueue()->postAfter(kRestInterval, [this, ended = std::move(ended)] {
        m_pending = 0;
        ended();
    });
}

void WheelGestureTimer::stop() {
    if (m_pending && UiTiming::mainQueue()) UiTiming::mainQueue()->cancel(m_pending);
    m_pending = 0;
}

}  // namespace qp
