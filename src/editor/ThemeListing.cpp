#include "editor/ThemeListing.h"

#include <fmt/format.h>

#include "editor/ThemeCategory.h"
#include "editor/ThemeKeys.h"
#include "editor/ThemeSettings.h"
#include "editor/ThemeTags.h"

namespace qp {

std::string themeListing(const std::filesystem::path& resources) {
    std::string text;
    for (int n : bundledCategoryNumbers(resources)) {
        const std::optional<ThemeCategory> category = readThemeCategory(resources, n);
        if (!category) {
            text += fmt::format("category {:2}  tag {}  ({} unreadable)\n", n, categoryButtonTag(n),
                                categoryFileName(n));
            continue;
        }
        text += fmt::format("category {:2}  tag {}  {}{}\n", n, categoryButtonTag(n),
                            category->name.empty() ? categoryFileName(n) : category->name,
                            category->isCOTD() ? "  [theme of the day]" : "");
        for (std::size_t i = 0; i < category->items.size(); ++i) {
            const ThemeRecord& record = category->items[i];
            const std::string image = record.value(kImageKey).value_or("");
            const std::string name = record.value(kThemeNameKey).value_or(image);
            text += fmt::format("  {:5}  {:<24} {}{}\n", themeButtonTag(n, static_cast<int>(i)),
                                name, image, recordIsPhotoEnabled(record) ? "  photo slot" : "");
        }
    }
    return text;
}

}  // namespace qp
