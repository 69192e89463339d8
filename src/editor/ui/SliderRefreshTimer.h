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

    // The slider moved to `value`; `currentFontSize` is updated with the
    // value rounded half up. Answers whether the size changed.
    bool handleFontSizeSlider(float value, double& currentFontSize);
    void touchUpSlider();
    bool isPending() const { return m_pending.has_value(); }

private:
    void fired();

    MainQueue* m_queue;
    std::function<void()> m_refresh;
    std::optional<MainQueue::TaskId> m_pending;
};

}  // namespace qp
