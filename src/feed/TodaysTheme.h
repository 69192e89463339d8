#pragma once
// Which record of the two theme files is the theme of a day, and what is
// wrong with the files' shape. Plain functions on property-list values.

#include <optional>
#include <string>
#include <vector>

#include "platform/plist/PropertyList.h"

namespace qp {

struct DayTheme {
    // The day's record, or nullopt.
    std::optional<PlistDictionary> record;
    // Whether it came from the special-day file.
    bool specialDay = false;
    // Why there is no record, when the files say why.
    std::vector<std::string> problems;
};

// The record for `monthDay` ("MM-dd"): the special-day file's entry for the
// day when it has one (a special day wins), else record d - 1 of the month
// file for day d, else none (a month file with fewer than d records has no
// theme for day d).
DayTheme themeForDay(const std::optional<PlistDictionary>& monthFile,
                     const std::optional<PlistDictionary>& specialDayFile,
                     const std::string& monthDay);

// What keeps a month file from serving: no "month of theme items" list, or
// items that are not dictionaries (each named by its day).
std::vector<std::string> monthFileProblems(const PlistDictionary& monthFile);
// The same for a special-day file: no "special day theme items" dictionary,
// keys that are not "MM-dd" dates, values that are not dictionaries.
std::vector<std::string> specialDayFileProblems(const PlistDictionary& specialDayFile);

}  // namespace qp
