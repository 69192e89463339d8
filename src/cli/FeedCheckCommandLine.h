#pragma once
// The command line of `quillpost feed check URL [--date MM-dd]`.

#include <CLI/CLI.hpp>

#include <string>

namespace qp {

// The day's theme and its three images loaded; something is wrong; misuse.
inline constexpr int kFeedCheckPassed = 0;
inline constexpr int kFeedCheckFailed = 1;
inline constexpr int kFeedCheckUsageError = 2;

struct FeedCheckOptions {
    std::string url;   // the feed's host, or its revision file's URL
    std::string date;  // "MM-dd"; empty: today
};

// Adds `feed` with its subcommand `check` to `cli`; answers `check`.
CLI::App* addFeedCheckCommand(CLI::App& cli, FeedCheckOptions& options);

}  // namespace qp
