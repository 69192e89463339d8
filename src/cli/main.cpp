// quillpost: the command the user runs. It runs `compose` and `themes`
// itself, linking only what they need, and hands everything else (the app
// in a window or headless, the analytics service, the feed check, a compose
// that loads the theme of the day from the feed) on to quillpost-app.

#include <unistd.h>

#include <cstdio>

#include "cli/CommandLine.h"
#include "cli/ComposeRun.h"
#include "cli/ConsoleOutput.h"
#include "cli/FullProgram.h"
#include "cli/ThemesCommand.h"
#include "platform/MemoryTuning.h"

namespace {

// Ends the process once compose has written its results and said its last
// word. The libraries' clean-up at exit (Qt's, the GL dispatcher's) frees
// nothing the system would not, and touched pages for the first time only to
// do it. Sanitizer builds exit normally, so their leak checks still run.
int finishCompose(int status) {
#if !defined(__SANITIZE_ADDRESS__) && !defined(__SANITIZE_THREAD__)
    std::fflush(nullptr);
    ::_exit(status);
#endif
    return status;
}

}  // namespace

int main(int argc, char** argv) {
    qp::reserveStandardStreams();
    qp::tuneAllocatorForReuse();
    // The analytics options are checked by the full program, which runs them.
    qp::CommandLine line(qp::CommandLineRole::Front, qp::AnalyticsChecks{});
    const qp::ParseOutcome parsed = line.parse(argc, argv);
    if (parsed.next == qp::ParseOutcome::Next::Exit) return parsed.exitStatus;
    if (parsed.next == qp::ParseOutcome::Next::Run) {
        const qp::Command command = line.command();
        if (command == qp::Command::Themes) return qp::runThemes();
        if (command == qp::Command::Compose && !qp::composeLoadsTheFeed(line.compose)) {
            return finishCompose(qp::runComposeWith(line.compose, {}, {}));
        }
    }
    return qp::handOnToFullProgram(argv);
}
