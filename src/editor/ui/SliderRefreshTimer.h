#pragma once
// The font-size slider's refresh pacing: a new whole size schedules one
// text-layer refresh 0.1 s later unless one is already pending; lifting the
// finger cancels the pending one and refreshes at once.

#include <chrono>
#include <functional>
#include <optional>

#include "platform/MainQueue.h"

namespace qp {

inline constexpr std::chrono::milliseconds kSliderRefreshDelay{100};

class SliderRefreshTimer {
public:
    // `refresh` redraws the text layer; without a queue it runs at once.
    SliderRefreshTimer(MainQueue* queue, std::function<void()> refresh);
    ~SliderRefreshTimer();
    SliderRefreshTimer(const SliderRefreshTimer&) = delete;
    SliderRefreshTimer& operator=(const SliderRefreshTimer&) = delete;

    // The whole font size a slider value stands for: rounded half up.
    static double roundedSize(float value);
    // The size has changed (and is stored): one refresh is scheduled unless
    // one is pending, which will show the latest size.
    void sizeChanged();
    void touchUpSlider();
    bool isPending() const { return m_pending.has_value(); }

private:
    void fired();

    MainQueue* m_queue;
    std::function<void()> m_refresh;
    std::optional<MainQueue::TaskId> m_pending;
};

}  // namespace qp
