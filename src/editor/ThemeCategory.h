#pragma once
// A category file: its theme records in strip order and its marker. Read
// afresh from the resources folder every time it is needed.

#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "editor/ThemeRecord.h"

namespace qp {

struct ThemeCategory {
    int number = 0;
    // Empty when the file carries no marker.
    std::string marker;
    // Empty when the file carries no name.
    std::string name;
    // At most kThemesPerCategory records: more would share tags with the
    // next category's buttons.
    std::vector<ThemeRecord> items;

    bool isCOTD() const;
};

// "category_07.plist" for 7.
std::string categoryFileName(int number);

// resources/categories/category_NN.plist; nullopt (with a log line) when
// the number is outside 0..99, the file is missing or it is not a
// property-list dictionary. Items that are not dictionaries read as empty
// records so the strip positions of the others stay put.
std::optional<ThemeCategory> readThemeCategory(const std::filesystem::path& resources, int number);

// The category numbers whose files exist, in increasing order.
std::vector<int> bundledCategoryNumbers(const std::filesystem::path& resources);

}  // namespace qp
