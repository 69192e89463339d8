#include "cli/AnalyticsCommandLine.h"

namespace qp {
namespace {

void addDatabaseOption(CLI::App* command, AnalyticsOptions& options, const CLI::Validator& check) {
    command
        ->add_option("--db", options.database,
                     "Where the sessions are kept: sqlite:PATH, sqlite:\n"
                     "for $XDG_DATA_HOME/quillpost/analytics.sqlite\n"
                     "(default), or postgresql://USER@HOST:PORT/DATABASE")
        ->type_name("URL")
        ->option_text("URL")
        ->check(check);
}

}  // namespace

AnalyticsCommands addAnalyticsCommand(CLI::App& cli, AnalyticsOptions& options,
                                      const AnalyticsChecks& checks) {
    CLI::App* analytics =
        cli.add_subcommand("analytics", "The usage-report service and its figures");
    analytics->require_subcommand(1);
    // The device list under the app's own help says nothing here.
    analytics->footer("");
    AnalyticsCommands commands;
    commands.serve =
        analytics->add_subcommand("serve",
                                  "Receive the app's usage reports by POST at /report and\n"
                                  "store them, until interrupted (SIGINT or SIGTERM)");
    commands.serve
        ->add_option("--listen", options.listen,
                     "Address to serve on (default 127.0.0.1:9090; port 0:\n"
                     "any free port)")
        ->type_name("HOST:PORT")
        ->option_text("HOST:PORT")
        ->check(checks.listen);
    addDatabaseOption(commands.serve, options, checks.database);

    commands.report =
        analytics->add_subcommand("report",
                                  "Print sessions per day, top events, device classes and\n"
                                  "system versions of the stored sessions");
    addDatabaseOption(commands.report, options, checks.database);
    commands.report->add_flag("--json", options.json,
                              "Print one JSON object (totals \"sessions\" and\n"
                              "\"events\", and the breakdowns)");
    commands.report
        ->add_option("--chart", options.chart,
                     "Also draw sessions per day and the top events into\n"
                     "this PNG file")
        ->type_name("FILE.png")
        ->option_text("FILE.png");
    return commands;
}

}  // namespace qp
