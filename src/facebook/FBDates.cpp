#include "facebook/FBDates.h"

#include <algorithm>

namespace qp {

namespace {

std::int64_t secondsSince1970(Clock::WallTime date) {
    return std::chrono::duration_cast<std::chrono::seconds>(date.time_since_epoch()).count();
}

}  // namespace

Clock::WallTime fbDateFromSecondsSince1970(std::int64_t seconds) {
    const std::int64_t clamped =
        std::clamp(seconds, secondsSince1970(kFBDistantPast), secondsSince1970(kFBDistantFuture));
    return Clock::WallTime(std::chrono::seconds(clamped));
}

Clock::WallTime fbDateAfter(Clock::WallTime now, std::int64_t seconds) {
    const std::int64_t nowSeconds = secondsSince1970(now);
    if (seconds >= secondsSince1970(kFBDistantFuture) - nowSeconds) return kFBDistantFuture;
    if (seconds <= secondsSince1970(kFBDistantPast) - nowSeconds) return kFBDistantPast;
    return now + std::chrono::seconds(seconds);
}

}  // namespace qp
