#include "feed/TodaysTheme.h"

#include <fmt/format.h>

#include "feed/FeedDay.h"
#include "feed/FeedKeys.h"

namespace qp {

DayTheme themeForDay(const std::optional<PlistDictionary>& monthFile,
                     const std::optional<PlistDictionary>& specialDayFile,
                     const std::string& monthDay) {
    DayTheme result;
    if (specialDayFile) {
        const auto items = specialDayFile->find(kSpecialDayThemeItemsKey);
        if (items != specialDayFile->end()) {
            if (const PlistValue* entry = items->second.find(monthDay)) {
                if (entry->isDictionary()) {
                    result.record = entry->dictionaryValue();
                    result.specialDay = true;
                    return result;
                }
                result.problems.push_back(
                    fmt::format("the special-day entry for {} is not a dictionary", monthDay));
            }
        }
    }
    const std::optional<int> day = dayOfMonth(monthDay);
    if (!day) {
        result.problems.push_back(fmt::format("\"{}\" is not a MM-dd date", monthDay));
        return result;
    }
    if (!monthFile) return result;
    const auto items = monthFile->find(kMonthOfThemeItemsKey);
    if (items == monthFile->end() || !items->second.isArray()) {
        result.problems.push_back(
            fmt::format("the month file has no \"{}\" list", kMonthOfThemeItemsKey));
        return result;
    }
    const PlistArray& records = items->second.arrayValue();
    if (records.size() < static_cast<std::size_t>(*day)) {
        result.problems.push_back(
            fmt::format("the month file holds {} records, fewer than the day of the month ({})",
                        records.size(), *day));
        return result;
    }
    const PlistValue& record = records[static_cast<std::size_t>(*day - 1)];
    if (!record.isDictionary()) {
        result.problems.push_back(
            fmt::format("record {} of the month file is not a dictionary", *day));
        return result;
    }
    result.record = record.dictionaryValue();
    return result;
}

std::vector<std::string> monthFileProblems(const PlistDictionary& monthFile) {
    const auto items = monthFile.find(kMonthOfThemeItemsKey);
    if (items == monthFile.end() || !items->second.isArray())
        return {fmt::format("the month file has no \"{}\" list", kMonthOfThemeItemsKey)};
    std::vector<std::string> problems;
    const PlistArray& records = items->second.arrayValue();
    for (std::size_t i = 0; i < records.size(); ++i) {
        if (!records[i].isDictionary())
            problems.push_back(
                fmt::format("record {} of the month file is not a dictionary", i + 1));
    }
    return problems;
}

std::vector<std::string> specialDayFileProblems(const PlistDictionary& specialDayFile) {
    const auto items = specialDayFile.find(kSpecialDayThemeItemsKey);
    if (items == specialDayFile.end() || !items->second.isDictionary())
        return {
            fmt::format("the special-day file has no \"{}\" dictionary", kSpecialDayThemeItemsKey)};
    std::vector<std::string> problems;
    for (const auto& [date, record] : items->second.dictionaryValue()) {
        if (!isMonthDayText(date))
            problems.push_back(fmt::format("the special-day key \"{}\" is not a MM-dd date", date));
        if (!record.isDictionary())
            problems.push_back(
                fmt::format("the special-day entry for {} is not a dictionary", date));
    }
    return problems;
}

}  // namespace qp
