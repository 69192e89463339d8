#pragma once
// A Clock for tests whose time moves only when the test says so. Both the wall
// clock and the monotonic clock advance together. Safe to read from any thread.

#include <mutex>

#include "platform/Clock.h"

namespace qp {

class ManualClock final : public Clock {
public:
    // Starts at 2013-01-01 00:00:00 UTC on the wall clock, 0 on the monotonic one.
    ManualClock() : m_wall(std::chrono::sys_days(std::chrono::year{2013} / 1 / 1)) {}

    WallTime now() const override {
        std::lock_guard lock(m_mutex);
        return m_wall;
    }
    Monotonic monotonicNow() const override {
        std::lock_guard lock(m_mutex);
        return m_monotonic;
    }

    // Moves both clocks forward; a negative step is ignored.
    template <typename Rep, typename Period>
    void advance(std::chrono::duration<Rep, Period> step) {
        if (step.count() <= 0) return;
        const auto delta = std::chrono::duration_cast<std::chrono::nanoseconds>(step);
        std::lock_guard lock(m_mutex);
        m_wall += std::chrono::duration_cast<WallTime::duration>(delta);
        m_monotonic += std::chrono::duration_cast<Monotonic::duration>(delta);
    }

    // Sets the wall clock, e.g. to a given calendar day; monotonic time keeps going.
    void setNow(WallTime wall) {
        std::lock_guard lock(m_mutex);
        m_wall = wall;
    }

private:
    mutable std::mutex m_mutex;
    WallTime m_wall;
    Monotonic m_monotonic{};
};

}  // namespace qp
