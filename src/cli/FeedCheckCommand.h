#pragma once
// `quillpost feed check URL [--date MM-dd]`: runs the theme-of-the-day feed
// at URL for one day, as the app would but synchronously and whatever the
// network monitor says, and reports the day's theme, its images and every
// problem found, for the people who publish a feed.

#include <CLI/CLI.hpp>

#include <cstdio>
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

int runFeedCheck(const FeedCheckOptions& options, std::FILE* out = stdout, std::FILE* err = stderr);

}  // namespace qp
