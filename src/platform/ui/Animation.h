#pragma once
// A value animated from one number to another over a duration, stepped by
// the toolkit's main queue and clock (UiTiming). Each step hands the current
// value to `update`; the completion learns whether the animation ran to its
// end or was cancelled.

#include <chrono>
#include <functional>
#include <memory>

#include "platform/MainQueue.h"

namespace qp {

enum class AnimationCurve { Linear, EaseInOut };

class Animation : public std::enable_shared_from_this<Animation> {
public:
    using Update = std::function<void(double value)>;
    using Completion = std::function<void(bool finished)>;
    using Duration = std::chrono::milliseconds;

    // Time between steps: about sixty frames a second.
    static constexpr Duration kFrameInterval{16};

    // Starts at once; the animation keeps itself alive until it ends. With no
    // UiTiming installed, or a zero duration, it jumps to `to` and completes
    // before returning.
    static std::shared_ptr<Animation> start(double from, double to, Duration duration,
                                            Update update, Completion completion = {},
                                            AnimationCurve curve = AnimationCurve::EaseInOut);

    // Stops where it is; the completion runs with finished = false. Does
    // nothing once the animation has ended.
    void cancel();
    // Stops without calling anything back: for animations whose target is gone.
    void abandon();
    bool isRunning() const { return m_running; }

    // The eased fraction for a linear one in [0, 1].
    static double ease(AnimationCurve curve, double t);

private:
    Animation(double from, double to, Duration duration, Update update, Completion completion,
              AnimationCurve curve);
    void step();
    void scheduleStep();
    void finish(bool finished);

    double m_from;
    double m_to;
    Duration m_duration;
    Update m_update;
    Completion m_completion;
    AnimationCurve m_curve;
    std::chrono::steady_clock::time_point m_startTime;
    MainQueue::TaskId m_pendingStep = 0;
    bool m_running = false;
    std::shared_ptr<Animation> m_keepAlive;
};

}  // namespace qp
