#include "platform/ui/Animation.h"

#include <algorithm>

#include "platform/ui/UiTiming.h"

namespace qp {

Animation::Animation(double from, double to, Duration duration, Update update,
                     Completion completion, AnimationCurve curve)
    : m_from(from),
      m_to(to),
      m_duration(duration),
      m_update(std::move(update)),
      m_completion(std::move(completion)),
      m_curve(curve) {}

std::shared_ptr<Animation> Animation::start(double from, double to, Duration duration,
                                            Update update, Completion completion,
                                            AnimationCurve curve) {
    std::shared_ptr<Animation> animation(
        new Animation(from, to, duration, std::move(update), std::move(completion), curve));
    animation->m_running = true;
    if (!UiTiming::isInstalled() || duration.count() <= 0) {
        animation->finish(true);
        return animation;
    }
    animation->m_keepAlive = animation;
    animation->m_startTime = UiTiming::clock()->monotonicNow();
    if (animation->m_update) animation->m_update(from);
    animation->scheduleStep();
    return animation;
}

double Animation::ease(AnimationCurve curve, double t) {
    t = std::clamp(t, 0.0, 1.0);
    if (curve == AnimationCurve::Linear) return t;
    return t * t * (3 - 2 * t);
}

void Animation::scheduleStep() {
    // The last step lands on the end time, not up to a frame after it.
    const auto elapsed = UiTiming::clock()->monotonicNow() - m_startTime;
    const auto remaining = std::chrono::ceil<Duration>(m_duration - elapsed);
    const Duration delay = std::clamp(remaining, Duration(0), kFrameInterval);
    std::weak_ptr<Animation> weak = weak_from_this();
    m_pendingStep = UiTiming::mainQueue()->postAfter(delay, [weak] {
        if (auto self = weak.lock()) self->step();
    });
}

void Animation::step() {
    m_pendingStep = 0;
    if (!m_running) return;
    const auto elapsed = UiTiming::clock()->monotonicNow() - m_startTime;
    const double t =
        std::chrono::duration<double>(elapsed) / std::chrono::duration<double>(m_duration);
    if (t >= 1.0) {
        finish(true);
        return;
    }
    if (m_update) m_update(m_from + (m_to - m_from) * ease(m_curve, t));
    if (m_running) scheduleStep();
}

void Animation::cancel() {
    if (!m_running) return;
    if (m_pendingStep && UiTiming::mainQueue()) UiTiming::mainQueue()->cancel(m_pendingStep);
    m_pendingStep = 0;
    m_running = false;
    Completion completion = std::move(m_completion);
    auto keep = std::move(m_keepAlive);
    if (completion) completion(false);
}

void Animation::abandon() {
    if (!m_running) return;
    if (m_pendingStep && UiTiming::mainQueue()) UiTiming::mainQueue()->cancel(m_pendingStep);
    m_pendingStep = 0;
    m_running = false;
    m_update = {};
    m_completion = {};
    auto keep = std::move(m_keepAlive);
}

void Animation::finish(bool finished) {
    m_running = false;
    Update update = std::move(m_update);
    Completion completion = std::move(m_completion);
    // Stay alive while the callbacks run; they may drop the last other owner.
    auto keep = std::move(m_keepAlive);
    if (update) update(m_to);
    if (completion) completion(finished);
}

}  // namespace qp
