#include "feed/FeedDay.h"

#include <ctime>

#include <fmt/format.h>

namespace qp {

std::chrono::seconds LocalTimeZone::offsetAt(Clock::WallTime time) const {
    const std::time_t seconds = std::chrono::system_clock::to_time_t(time);
    std::tm local{};
    if (!localtime_r(&seconds, &local)) return {};
    return std::chrono::seconds(local.tm_gmtoff);
}

std::string monthDayText(Clock::WallTime time, const TimeZone& zone) {
    const auto local = std::chrono::floor<std::chrono::days>(time + zone.offsetAt(time));
    const std::chrono::year_month_day date{local};
    return fmt::format("{:02}-{:02}", unsigned(date.month()), unsigned(date.day()));
}

namespace {

std::optional<int> twoDigits(const std::string& text, std::size_t at) {
    if (at + 2 > text.size()) return std::nullopt;
    const char a = text[at];
    const char b = text[at + 1];
    if (a < '0' || a > '9' || b < '0' || b > '9') return std::nullopt;
    return (a - '0') * 10 + (b - '0');
}

}  // namespace

std::optional<int> dayOfMonth(const std::string& monthDay) {
    if (!isMonthDayText(monthDay)) return std::nullopt;
    return twoDigits(monthDay, 3);
}

bool isMonthDayText(const std::string& text) {
    if (text.size() != 5 || text[2] != '-') return false;
    const auto month = twoDigits(text, 0);
    const auto day = twoDigits(text, 3);
    if (!month || !day || *month < 1 || *month > 12 || *day < 1) return false;
    // A leap year, so that 02-29 counts.
    const std::chrono::year_month_day_last last{std::chrono::year{2024} /
                                                std::chrono::month(*month) / std::chrono::last};
    return unsigned(*day) <= unsigned(last.day());
}

}  // namespace qp
