#pragma once
// Wall-clock and monotonic time, behind an interface so tests can step time.

#include <chrono>

namespace qp {

class Clock {
public:
    using WallTime = std::chrono::system_clock::time_point;
    using Monotonic = std::chrono::steady_clock::time_point;

    virtual ~Clock() = default;
    virtual WallTime now() const = 0;
    virtual Monotonic monotonicNow() const = 0;
};

// The system's clocks.
class SystemClock final : public Clock {
public:
    WallTime now() const override { return std::chrono::system_clock::now(); }
    Monotonic monotonicNow() const override { return std::chrono::steady_clock::now(); }
};

// Milliseconds since 1970-01-01 UTC.
inline long long millisecondsSince1970(Clock::WallTime t) {
    return std::chrono::duration_cast<std::chrono::milliseconds>(t.time_since_epoch()).count();
}

}  // namespace qp
