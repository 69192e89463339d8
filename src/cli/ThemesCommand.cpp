#include "cli/ThemesCommand.h"

#include <cstdio>

#include "editor/ThemeListing.h"
#include "platform/Paths.h"

namespace qp {

CLI::App* addThemesCommand(CLI::App& cli) {
    return cli.add_subcommand("themes", "List the theme categories and their themes with tags and names");
}

int runThemes() {
    const std::string listing = themeListing(Paths::locateResources(Paths::executableFolder()));
    std::fwrite(listing.data(), 1, listing.size(), stdout);
    return 0;
}

}  // namespace qp
