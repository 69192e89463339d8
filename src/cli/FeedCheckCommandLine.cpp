#include "cli/FeedCheckCommandLine.h"

#include "feed/FeedDay.h"

namespace qp {
namespace {

CLI::Validator monthDayCheck() {
    return CLI::Validator(
        [](std::string& text) -> std::string {
            return isMonthDayText(text) ? std::string()
                                        : "'" + text + "' is not a MM-dd date such as 05-17";
        },
        "MM-dd");
}

}  // namespace

CLI::App* addFeedCheckCommand(CLI::App& cli, FeedCheckOptions& options) {
    CLI::App* feed = cli.add_subcommand("feed", "Tools for the theme-of-the-day feed");
    feed->require_subcommand(1);
    CLI::App* check =
        feed->add_subcommand("check",
                             "Load the feed at URL for one day, as the app would, and\n"
                             "report the day's theme, its images and every problem;\n"
                             "exit 0 when the theme and its images load, 1 otherwise");
    check
        ->add_option("URL", options.url,
                     "The feed's host (e.g. http://127.0.0.1:8080) or its\n"
                     "revision file's URL")
        ->required();
    check->add_option("--date", options.date, "The day to check (default: today)")
        ->type_name("MM-dd")
        ->option_text("MM-dd")
        ->check(monthDayCheck());
    return check;
}

}  // namespace qp
