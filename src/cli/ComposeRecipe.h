#pragma once
// The command line of `quillpost compose` read into the recipe every photo
// of the run shares, or what is wrong with it in the user's terms.

#include <filesystem>
#include <functional>
#include <memory>
#include <string>
#include <variant>

#include "cli/ComposeJob.h"
#include "cli/ComposeOptions.h"
#include "editor/ThemeFeed.h"

namespace qp {

struct UsageError {
    std::string text;
};

// Today's theme from the feed at `feedHost`, or null with `failure` saying why
// (empty when no host is set).
using FeedThemeLoader = std::function<std::shared_ptr<ThemeFeed>(
    const std::string& feedHost, const std::filesystem::path& resources, std::string& failure)>;

// `loadFeedTheme` serves the theme of the day's category; without one the
// bundled theme of the day is used, with a note when a feed host is set.
std::variant<ComposeRecipe, UsageError> makeRecipe(const ComposeOptions& options,
                                                   const FeedThemeLoader& loadFeedTheme);

// Whether the run asks for the theme of the day while the configuration names
// a feed host, so that the theme comes over the network.
bool composeLoadsTheFeed(const ComposeOptions& options);

}  // namespace qp
