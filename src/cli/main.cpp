// quillpost: with no subcommand, runs the app (in a window, or headless with
// --headless); subcommands run the composition code without a screen.

#include <CLI/CLI.hpp>

#include <cstdio>
#include <string>

#include "app/AppRuntime.h"
#include "cli/ComposeCommand.h"
#include "cli/ThemesCommand.h"
#include "platform/DeviceProfile.h"
#include "platform/MemoryTuning.h"

namespace {

std::string deviceHelp() {
    std::string text = "Device profile to emulate:";
    for (const qp::DeviceProfile& p : qp::deviceProfiles())
        text += "\n  " + p.name + "  " + p.description;
    return text;
}

}  // namespace

int main(int argc, char** argv) {
    qp::tuneAllocatorForReuse();
    CLI::App cli{
        "Quillpost puts a whole photo, uncropped, into a decorated square.\n"
        "With no subcommand it runs the app in a window showing the phone or tablet screen.",
        "quillpost"};
    cli.set_version_flag("--version", "quillpost 0.1.0");

    bool headless = false;
    std::string home;
    std::string deviceName = qp::defaultDeviceProfile().name;
    std::string configFile;
    std::string screenshot;
    std::string photo;
    cli.add_flag(
        "--headless", headless,
        "Run offscreen through launch, activation, background, foreground and quit, then exit");
    cli.add_option("--home", home,
                   "App home folder (default $QUILLPOST_HOME, else $XDG_DATA_HOME/quillpost)");
    cli.add_option("--device", deviceName, deviceHelp())->capture_default_str();
    cli.add_option("--config", configFile,
                   "Configuration file (default $XDG_CONFIG_HOME/quillpost/config.json)");

    cli.add_option("--screenshot", screenshot,
                   "With --headless: save the window after launch as a PNG file");
    cli.add_option("--photo", photo,
                   "With --headless: press Start and place this photo in the editor first")
        ->check(CLI::ExistingFile);

    qp::ComposeOptions composeOptions;
    CLI::App* compose = qp::addComposeCommand(cli, composeOptions);
    CLI::App* themes = qp::addThemesCommand(cli);

    try {
        cli.parse(argc, argv);
    } catch (const CLI::ParseError& e) {
        const int status = cli.exit(e);
        // Misusing a subcommand is a usage error like any other of its own.
        return status != 0 && compose->parsed() ? qp::kComposeUsageError : status;
    }
    if (compose->parsed()) return qp::runCompose(composeOptions);
    if (themes->parsed()) return qp::runThemes();

    std::optional<qp::DeviceProfile> device = qp::deviceProfileNamed(deviceName);
    if (!device) {
        std::fprintf(stderr, "quillpost: unknown device '%s'. %s\n", deviceName.c_str(),
                     deviceHelp().c_str());
        return 2;
    }
    qp::RunOptions options;
    options.headless = headless;
    options.home = home;
    options.configFile = configFile;
    options.device = *device;
    options.screenshot = screenshot;
    options.photo = photo;
    if (!photo.empty() && !headless) {
        std::fprintf(stderr, "quillpost: --photo works with --headless only\n");
        return 2;
    }
    return qp::runApp(argc, argv, options);
}
