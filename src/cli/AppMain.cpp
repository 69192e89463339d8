// quillpost-app: the full program behind the `quillpost` command, which
// runs it with the user's arguments. With no subcommand it runs the app (in
// a window, or headless with --headless); its subcommands run without a
// screen.

#include "app/AppRuntime.h"
#include "cli/AnalyticsCommand.h"
#include "cli/CommandLine.h"
#include "cli/ComposeCommand.h"
#include "cli/ConsoleOutput.h"
#include "cli/FeedCheckCommand.h"
#include "cli/ThemesCommand.h"
#include "platform/DeviceProfile.h"
#include "platform/MemoryTuning.h"

int main(int argc, char** argv) {
    qp::reserveStandardStreams();
    qp::tuneAllocatorForReuse();
    qp::CommandLine line(qp::CommandLineRole::FullProgram, qp::analyticsChecks());
    const qp::ParseOutcome parsed = line.parse(argc, argv);
    if (parsed.next != qp::ParseOutcome::Next::Run) return parsed.exitStatus;
    switch (line.command()) {
        case qp::Command::Compose:
            return qp::runCompose(line.compose);
        case qp::Command::Themes:
            return qp::runThemes();
        case qp::Command::FeedCheck:
            return qp::runFeedCheck(line.feedCheck);
        case qp::Command::AnalyticsServe:
            return qp::runAnalyticsServe(line.analytics);
        case qp::Command::AnalyticsReport:
            return qp::runAnalyticsReport(line.analytics);
        case qp::Command::App:
            break;
    }
    qp::RunOptions options;
    options.headless = line.app.headless;
    options.home = line.app.home;
    options.configFile = line.app.configFile;
    options.device = *qp::deviceProfileNamed(line.app.deviceName);
    options.screenshot = line.app.screenshot;
    options.photo = line.app.photo;
    options.openURL = line.app.openURL;
    return qp::runApp(argc, argv, options);
}
