#pragma once
// "Today" for the feed: the current date as "MM-dd" in a time zone. The clock
// and the zone are injected so tests can pick any day.

#include <chrono>
#include <optional>
#include <string>

#include "platform/Clock.h"

namespace qp {

class TimeZone {
public:
    virtual ~TimeZone() = default;
    // How far local time is ahead of UTC at `time`.
    virtual std::chrono::seconds offsetAt(Clock::WallTime time) const = 0;
};

// The zone the system is set to (TZ, /etc/localtime), daylight saving included.
class LocalTimeZone final : public TimeZone {
public:
    std::chrono::seconds offsetAt(Clock::WallTime time) const override;
};

// A zone with one offset all year.
class FixedOffsetTimeZone final : public TimeZone {
public:
    explicit FixedOffsetTimeZone(std::chrono::seconds offset = {}) : m_offset(offset) {}
    std::chrono::seconds offsetAt(Clock::WallTime) const override { return m_offset; }

private:
    std::chrono::seconds m_offset;
};

// "MM-dd" of `time` in `zone`: two-digit month, a hyphen, two-digit day.
std::string monthDayText(Clock::WallTime time, const TimeZone& zone);

// The day of the month of a "MM-dd" text (the digits from position 3 on),
// or nullopt when the text is not of that form with a day from 1 to 31.
std::optional<int> dayOfMonth(const std::string& monthDay);

// Whether `text` is a "MM-dd" date that a calendar has (02-29 included).
bool isMonthDayText(const std::string& text);

}  // namespace qp
