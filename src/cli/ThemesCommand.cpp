#include "cli/ThemesCommand.h"

#include <cstdio>

#include "editor/ThemeCategory.h"
#include "editor/ThemeKeys.h"
#include "editor/ThemeListing.h"
#include "platform/Paths.h"

namespace qp {

CLI::App* addThemesCommand(CLI::App& cli) {
    return cli.add_subcommand("themes", "List the theme categories and themes with their tags");
}

int runThemes() {
    const std::filesystem::path executableDir = Paths::executableFolder();
    const std::filesystem::path resources = Paths::locateResources(executableDir);
    if (bundledCategoryNumbers(resources).empty()) {
        std::fprintf(stderr, "quillpost: no theme categories in %s\n%s\n",
                     (resources / kCategoriesFolder).c_str(),
                     Paths::resourcesSearchHint(executableDir).c_str());
        return 1;
    }
    const std::string listing = themeListing(resources);
    std::fwrite(listing.data(), 1, listing.size(), stdout);
    return 0;
}

}  // namespace qp
