#pragma once
// `quillpost feed check URL [--date MM-dd]`: runs the theme-of-the-day feed
// at URL for one day, as the app would but synchronously and whatever the
// network monitor says, and reports the day's theme, its images and every
// problem found, for the people who publish a feed.

#include <cstdio>
#include <string>

#include "cli/FeedCheckCommandLine.h"

namespace qp {

int runFeedCheck(const FeedCheckOptions& options, std::FILE* out = stdout, std::FILE* err = stderr);

}  // namespace qp
