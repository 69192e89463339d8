#include "cli/CommandLine.h"

#include <algorithm>
#include <memory>

#include "appkit/Configuration.h"
#include "cli/ComposeRun.h"
#include "cli/HelpFormatter.h"
#include "cli/ThemesCommand.h"
#include "platform/DeviceProfile.h"
#include "platform/IncomingURL.h"

namespace qp {
namespace {

static_assert(kUsageError == kComposeUsageError, "compose reports misuse the same way");

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
    for (const DeviceProfile& p : deviceProfiles()) nameWidth = std::max(nameWidth, p.name.size());
    std::string text = "Devices (--device NAME):";
    for (const DeviceProfile& p : deviceProfiles()) {
        text += "\n  " + p.name + std::string(nameWidth + 2 - p.name.size(), ' ') + p.description;
    }
    return text;
}

// A file the user names with --config must be there to be read.
CLI::Validator configFileCheck() {
    return CLI::Validator(
        [](std::string& file) -> std::string {
            Result<void> usable = Configuration::checkFile(file);
            return usable.ok() ? std::string() : usable.error().description();
        },
        "FILE");
}

// A URL handed to the app: refused, with the reason, before any app sees it.
CLI::Validator openURLCheck() {
    return CLI::Validator(
        [](std::string& url) -> std::string { return incomingURLProblem(url).value_or(""); },
        "URL");
}

CLI::Validator deviceNameCheck() {
    return CLI::Validator(
        [](std::string& name) -> std::string {
            if (deviceProfileNamed(name)) return {};
            std::string names;
            for (const DeviceProfile& p : deviceProfiles())
                names += (names.empty() ? "" : ", ") + p.name;
            return "unknown device '" + name + "' (choose one of " + names + ")";
        },
        "NAME");
}

}  // namespace

CommandLine::CommandLine(CommandLineRole role, const AnalyticsChecks& checks)
    : m_role(role),
      m_cli(
          "Quillpost puts a whole photo, uncropped, into a decorated square.\n"
          "With no subcommand it runs the app in a window showing the phone or\n"
          "tablet screen.",
          "quillpost") {
    app.deviceName = defaultDeviceProfile().name;
    m_cli.formatter(std::make_shared<HelpFormatter>());
    m_cli.set_version_flag("--version", "quillpost " QP_APP_VERSION);
    m_cli.footer(deviceHelp());
    m_cli.failure_message(usageErrorMessage);

    CLI::Option* headlessFlag =
        m_cli.add_flag("--headless", app.headless,
                       "Run offscreen through launch, activation, background,\n"
                       "foreground and quit, then exit");
    m_cli
        .add_option("--home", app.home,
                    "App home folder (default $QUILLPOST_HOME, else\n"
                    "$XDG_DATA_HOME/quillpost, else ~/.local/share/quillpost)")
        ->type_name("DIR")
        ->option_text("DIR");
    m_cli.add_option("--device", app.deviceName, "Device to emulate (below)")
        ->type_name("NAME")
        ->option_text("NAME")
        ->check(deviceNameCheck());
    m_cli
        .add_option("--config", app.configFile,
                    "Configuration file (default\n"
                    "$XDG_CONFIG_HOME/quillpost/config.json, else\n"
                    "~/.config/quillpost/config.json)")
        ->type_name("FILE")
        ->option_text("FILE")
        ->check(configFileCheck());
    m_cli
        .add_option("--screenshot", app.screenshot,
                    "With --headless: save the window after launch as a PNG")
        ->type_name("FILE")
        ->option_text("FILE")
        ->needs(headlessFlag);
    m_cli
        .add_option("--photo", app.photo,
                    "With --headless: press Start and place this photo in\n"
                    "the editor first")
        ->type_name("PHOTO")
        ->option_text("PHOTO")
        ->check(CLI::ExistingFile)
        ->needs(headlessFlag);
    // The desktop entry runs `quillpost --open %u`; started from the menu
    // there is no URL, and that is a plain start.
    m_cli
        .add_option("--open", app.openURL,
                    "Hand this URL (a login's redirect) to the app running\n"
                    "on the home, or start the app with it")
        ->type_name("URL")
        ->option_text("[URL]")
        ->expected(0, 1)
        ->check(openURLCheck());

    m_compose = addComposeCommand(m_cli, compose);
    m_analytics = addAnalyticsCommand(m_cli, analytics, checks);
    m_themes = addThemesCommand(m_cli);
    m_feedCheck = addFeedCheckCommand(m_cli, feedCheck);
}

ParseOutcome CommandLine::parse(int argc, char** argv) {
    try {
        m_cli.parse(argc, argv);
    } catch (const CLI::ParseError& e) {
        // --help and --version end here too, successfully; every misuse,
        // of the app or of a subcommand, is one usage error.
        const bool misuse = e.get_exit_code() != 0;
        if (misuse && m_role == CommandLineRole::Front &&
            (m_analytics.serve->parsed() || m_analytics.report->parsed() || m_feedCheck->parsed() ||
             m_analytics.serve->get_parent()->parsed() || m_feedCheck->get_parent()->parsed())) {
            return {ParseOutcome::Next::HandOn};
        }
        return {ParseOutcome::Next::Exit, m_cli.exit(e) == 0 ? 0 : kUsageError};
    }
    compose.configFile = app.configFile;
    return {ParseOutcome::Next::Run};
}

Command CommandLine::command() const {
    if (m_compose->parsed()) return Command::Compose;
    if (m_themes->parsed()) return Command::Themes;
    if (m_feedCheck->parsed()) return Command::FeedCheck;
    if (m_analytics.serve->parsed()) return Command::AnalyticsServe;
    if (m_analytics.report->parsed()) return Command::AnalyticsReport;
    return Command::App;
}

}  // namespace qp
