#pragma once
// The whole `quillpost` command line: the app's own options and every
// subcommand. The small front executable and the full program parse it
// alike, so help, version and misuse read the same whichever answers.

#include <CLI/CLI.hpp>

#include <optional>
#include <string>

#include "cli/AnalyticsCommandLine.h"
#include "cli/ComposeOptions.h"
#include "cli/FeedCheckCommandLine.h"

namespace qp {

// Exit status of every misuse of the command line, whatever the parser's own code.
inline constexpr int kUsageError = 2;

// What the app itself (no subcommand) was asked to do.
struct AppOptions {
    bool headless = false;
    std::string home;
    std::string deviceName;
    std::string configFile;
    std::string screenshot;
    std::string photo;
    std::string openURL;  // --open: a URL to hand to the app (empty: none)
};

enum class Command { App, Compose, Themes, FeedCheck, AnalyticsServe, AnalyticsReport };

// Which program parses: the front runs compose and themes itself and hands
// everything else on; it leaves the analytics options' checks to the full
// program, whose code they need.
enum class CommandLineRole { Front, FullProgram };

struct ParseOutcome {
    enum class Next { Run, Exit, HandOn };
    Next next = Next::Run;
    int exitStatus = 0;  // with Exit
};

class CommandLine {
public:
    CommandLine(CommandLineRole role, const AnalyticsChecks& checks);

    // Run: the options are read. Exit: help, version or a misuse was printed.
    // HandOn (front only): a misuse of a command only the full program runs,
    // reported by it.
    ParseOutcome parse(int argc, char** argv);
    Command command() const;

    AppOptions app;
    ComposeOptions compose;
    AnalyticsOptions analytics;
    FeedCheckOptions feedCheck;

private:
    CommandLineRole m_role;
    CLI::App m_cli;
    CLI::App* m_compose = nullptr;
    CLI::App* m_themes = nullptr;
    CLI::App* m_feedCheck = nullptr;
    AnalyticsCommands m_analytics;
};

}  // namespace qp
