#include "editor/ThemeCategory.h"

#include <cstdio>
#include <system_error>

#include "editor/ThemeKeys.h"
#include "editor/ThemeTags.h"
#include "platform/Log.h"
#include "platform/plist/PropertyList.h"

namespace qp {

bool ThemeCategory::isCOTD() const {
    return marker == kCOTDMarker;
}

std::string categoryFileName(int number) {
    char name[64];
    std::snprintf(name, sizeof name, kCategoryFileFormat, number);
    return name;
}

namespace {

std::filesystem::path categoryPath(const std::filesystem::path& resources, int number) {
    return resources / kCategoriesFolder / categoryFileName(number);
}

}  // namespace

std::optional<ThemeCategory> readThemeCategory(const std::filesystem::path& resources, int number) {
    if (number < 0 || number >= kMaxCategories) {
        logf("theme catalogue: no category {}", number);
        return std::nullopt;
    }
    const std::filesystem::path path = categoryPath(resources, number);
    Result<PlistValue> file = readPropertyListFile(path);
    if (!file) {
        logf("theme catalogue: cannot read {}: {}", path.string(), file.error().toString());
        return std::nullopt;
    }
    if (!file->isDictionary()) {
        logf("theme catalogue: {} is not a dictionary", path.string());
        return std::nullopt;
    }

    ThemeCategory category;
    category.number = number;
    if (const PlistValue* marker = file->find(kCategoryMarkerKey)) {
        category.marker = marker->stringValue();
    }
    if (const PlistValue* name = file->find(kCategoryNameKey)) {
        category.name = name->stringValue();
    }
    if (const PlistValue* items = file->find(kThemeItemsKey)) {
        for (const PlistValue& item : items->arrayValue()) {
            if (category.items.size() == static_cast<std::size_t>(kThemesPerCategory)) {
                logf("theme catalogue: {} has more than {} themes; the rest are left out",
                     path.string(), kThemesPerCategory);
                break;
            }
            category.items.push_back(ThemeRecord::fromPlist(item));
        }
    }
    return category;
}

std::vector<int> bundledCategoryNumbers(const std::filesystem::path& resources) {
    std::vector<int> numbers;
    for (int n = 0; n < kMaxCategories; ++n) {
        std::error_code ec;
        if (std::filesystem::is_regular_file(categoryPath(resources, n), ec)) numbers.push_back(n);
    }
    return numbers;
}

}  // namespace qp
