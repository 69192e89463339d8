#pragma once
// compose's theme of the day: today's theme from the configured feed host,
// fetched once, synchronously, within ten seconds for everything.

#include <chrono>
#include <filesystem>
#include <memory>
#include <string>

#include "editor/ThemeFeed.h"

namespace qp {

inline constexpr std::chrono::seconds kComposeFeedLimit{10};

class ComposeFeedTheme {
public:
    // Today's feed theme when `feedHost` is set and its record and theme
    // image load within `limit`; otherwise null, with `failure` saying why
    // (empty when no host is set: the bundled theme is used without a word).
    static std::unique_ptr<ComposeFeedTheme> load(
        const std::string& feedHost, const std::filesystem::path& resources, std::string& failure,
        std::chrono::milliseconds limit = kComposeFeedLimit);
    ~ComposeFeedTheme();

    // The editor's view of the loaded feed.
    ThemeFeed& feed();

private:
    struct Parts;
    explicit ComposeFeedTheme(std::unique_ptr<Parts> parts);
    std::unique_ptr<Parts> m_parts;
};

// ComposeFeedTheme::load with the default limit, as compose's feed loader.
std::shared_ptr<ThemeFeed> loadFeedThemeOfTheDay(const std::string& feedHost,
                                                 const std::filesystem::path& resources,
                                                 std::string& failure);

}  // namespace qp
