// quillpost: with no subcommand, runs the app (in a window, or headless with
// --headless); subcommands run the composition code without a screen.

#include <CLI/CLI.hpp>

#include <algorithm>
#include <cstdio>
#include <memory>
#include <string>

#include "app/AppRuntime.h"
#include "appkit/Configuration.h"
#include "cli/AnalyticsCommand.h"
#include "cli/ComposeCommand.h"
#include "cli/ConsoleOutput.h"
#include "cli/FeedCheckCommand.h"
#include "cli/HelpFormatter.h"
#include "cli/ThemesCommand.h"
#include "platform/DeviceProfile.h"
#include "platform/MemoryTuning.h"

namespace {

// Exit status of every misuse of the command line, whatever the parser's own code.
constexpr int kUsageError = 2;
static_assert(kUsageError == qp::kComposeUsageError, "compose reports misuse the same way");

// What went wrong and where to read how it is done right.
std::string usageErrorMessage(const CLI::App* app, const CLI::Error& error) {
    std::string command = "quillpost";
    for (const CLI::App* sub : app->get_subcommands()) command += " " + sub->get_name();
    return "quillpost: " + std::string(error.what()) + "\nRun '" + command +
           " --help' for more information.\n";
}

// The devices --device takes, as a table under the options.
std::string deviceHelp() {
    std::size_t nameWidth = 0;
    for (const qp::DeviceProfile& p : qp::deviceProfiles())
        nameWidth = std::max(nameWidth, p.name.size());
    std::string text = "Devices (--device NAME):";
    for (const qp::DeviceProfile& p : qp::deviceProfiles()) {
        text += "\n  " + p.name + std::string(nameWidth + 2 - p.name.size(), ' ') + p.description;
    }
    return text;
}

// A file the user names with --config must be there to be read.
CLI::Validator configFileCheck() {
    return CLI::Validator(
        [](std::string& file) -> std::string {
            qp::Result<void> usable = qp::Configuration::checkFile(file);
            return usable.ok() ? std::string() : usable.error().description();
        },
        "FILE");
}

CLI::Validator deviceNameCheck() {
    return CLI::Validator(
        [](std::string& name) -> std::string {
            if (qp::deviceProfileNamed(name)) return {};
            std::string names;
            for (const qp::DeviceProfile& p : qp::deviceProfiles())
                names += (names.empty() ? "" : ", ") + p.name;
            return "unknown device '" + name + "' (choose one of " + names + ")";
        },
        "NAME");
}

}  // namespace

int main(int argc, char** argv) {
    qp::reserveStandardStreams();
    qp::tuneAllocatorForReuse();
    CLI::App cli{
        "Quillpost puts a whole photo, uncropped, into a decorated square.\n"
        "With no subcommand it runs the app in a window showing the phone or\n"
        "tablet screen.",
        "quillpost"};
    cli.formatter(std::make_shared<qp::HelpFormatter>());
    cli.set_version_flag("--version", "quillpost " QP_APP_VERSION);
    cli.footer(deviceHelp());
    cli.failure_message(usageErrorMessage);

    bool headless = false;
    std::string home;
    std::string deviceName = qp::defaultDeviceProfile().name;
    std::string configFile;
    std::string screenshot;
    std::string photo;
    CLI::Option* headlessFlag =
        cli.add_flag("--headless", headless,
                     "Run offscreen through launch, activation, background,\n"
                     "foreground and quit, then exit");
    cli.add_option("--home", home,
                   "App home folder (default $QUILLPOST_HOME, else\n"
                   "$XDG_DATA_HOME/quillpost, else ~/.local/share/quillpost)")
        ->type_name("DIR")
        ->option_text("DIR");
    cli.add_option("--device", deviceName, "Device to emulate (below)")
        ->type_name("NAME")
        ->option_text("NAME")
        ->check(deviceNameCheck());
    cli.add_option("--config", configFile,
                   "Configuration file (default\n"
                   "$XDG_CONFIG_HOME/quillpost/config.json, else\n"
                   "~/.config/quillpost/config.json)")
        ->type_name("FILE")
        ->option_text("FILE")
        ->check(configFileCheck());
    cli.add_option("--screenshot", screenshot,
                   "With --headless: save the window after launch as a PNG")
        ->type_name("FILE")
        ->option_text("FILE")
        ->needs(headlessFlag);
    cli.add_option("--photo", photo,
                   "With --headless: press Start and place this photo in\n"
                   "the editor first")
        ->type_name("PHOTO")
        ->option_text("PHOTO")
        ->check(CLI::ExistingFile)
        ->needs(headlessFlag);

    qp::ComposeOptions composeOptions;
    CLI::App* compose = qp::addComposeCommand(cli, composeOptions);
    qp::AnalyticsOptions analyticsOptions;
    const qp::AnalyticsCommands analytics = qp::addAnalyticsCommand(cli, analyticsOptions);
    CLI::App* themes = qp::addThemesCommand(cli);
    qp::FeedCheckOptions feedCheckOptions;
    CLI::App* feedCheck = qp::addFeedCheckCommand(cli, feedCheckOptions);

    try {
        cli.parse(argc, argv);
    } catch (const CLI::ParseError& e) {
        // --help and --version end here too, successfully; every misuse,
        // of the app or of a subcommand, is one usage error.
        return cli.exit(e) == 0 ? 0 : kUsageError;
    }
    if (compose->parsed()) {
        composeOptions.configFile = configFile;
        return qp::runCompose(composeOptions);
    }
    if (feedCheck->parsed()) return qp::runFeedCheck(feedCheckOptions);
    if (themes->parsed()) return qp::runThemes();
    if (analytics.serve->parsed()) return qp::runAnalyticsServe(analyticsOptions);
    if (analytics.report->parsed()) return qp::runAnalyticsReport(analyticsOptions);

    qp::RunOptions options;
    options.headless = headless;
    options.home = home;
    options.configFile = configFile;
    options.device = *qp::deviceProfileNamed(deviceName);
    options.screenshot = screenshot;
    options.photo = photo;
    return qp::runApp(argc, argv, options);
}
