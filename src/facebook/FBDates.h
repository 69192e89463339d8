#pragma once
// The dates of a session. Settings files keep dates as 32-bit seconds around
// 2001 (1933 to 2069), so "never expires" and "long ago" lie inside that
// range, and every expiry the service names is kept within it.

#include <chrono>
#include <cstdint>

#include "platform/Clock.h"

namespace qp {

// "Never expires".
inline constexpr Clock::WallTime kFBDistantFuture{
    std::chrono::sys_days{std::chrono::year{2069} / 1 / 1}};
// Before any token update.
inline constexpr Clock::WallTime kFBDistantPast{
    std::chrono::sys_days{std::chrono::year{1933} / 1 / 1}};

// Seconds since 1970-01-01 00:00 UTC as a date, clamped to the two ends.
Clock::WallTime fbDateFromSecondsSince1970(std::int64_t seconds);
// `now` plus `seconds` (which may be negative), clamped to the two ends.
Clock::WallTime fbDateAfter(Clock::WallTime now, std::int64_t seconds);

}  // namespace qp
