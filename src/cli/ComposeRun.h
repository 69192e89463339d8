#pragma once
// `quillpost compose`: each photo imported and fitted exactly as the editor
// does, the optional gestures applied about the square's centre, the message
// drawn, and the 612 × 612 result written beside the photo or where asked.

#include <CLI/CLI.hpp>

#include <cstdio>

#include "cli/ComposeOptions.h"
#include "cli/ComposeRecipe.h"

namespace qp {

// Exit statuses: every photo composed, some failed, the command was misused.
inline constexpr int kComposeSucceeded = 0;
inline constexpr int kComposeSomeFailed = 1;
inline constexpr int kComposeUsageError = 2;

// Adds the subcommand and its options to `cli`, filling `options`.
CLI::App* addComposeCommand(CLI::App& cli, ComposeOptions& options);

struct ComposeStreams {
    std::FILE* out = stdout;  // one result path per line
    std::FILE* err = stderr;  // failures, progress and the summary
    // Draw a progress bar when `err` is a terminal.
    bool progressOnTerminal = true;
    // Refuse `-o -` when `out` is a terminal (a picture would garble it).
    bool refuseTerminalOutput = true;
};

// Runs the command, the theme of the day's category served by
// `loadFeedTheme`; answers the exit status.
int runComposeWith(const ComposeOptions& options, const ComposeStreams& streams,
                   const FeedThemeLoader& loadFeedTheme);

}  // namespace qp
