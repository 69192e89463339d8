#include "cli/ComposeFeedTheme.h"

#include <fmt/format.h>

#include "cli/CommandLineFeed.h"
#include "editor/COTDThemeFeed.h"
#include "platform/Log.h"

namespace qp {
namespace {

// Keeps the first thing that went wrong, to name it in one line.
class FirstProblem final : public FeedObserver {
public:
    void feedProblem(const std::string& description) override {
        if (text.empty()) text = description;
    }
    std::string text;
};

}  // namespace

struct ComposeFeedTheme::Parts {
    FirstProblem problem;
    std::unique_ptr<CommandLineFeed> feed;
    std::unique_ptr<COTDThemeFeed> themeFeed;
};

ComposeFeedTheme::ComposeFeedTheme(std::unique_ptr<Parts> parts) : m_parts(std::move(parts)) {}
ComposeFeedTheme::~ComposeFeedTheme() = default;

ThemeFeed& ComposeFeedTheme::feed() {
    return *m_parts->themeFeed;
}

std::unique_ptr<ComposeFeedTheme> ComposeFeedTheme::load(const std::string& feedHost,
                                                         const std::filesystem::path& resources,
                                                         std::string& failure,
                                                         std::chrono::milliseconds limit) {
    failure.clear();
    if (feedHost.empty()) return nullptr;
    auto parts = std::make_unique<Parts>();
    CommandLineFeedSetup setup;
    setup.feedUrl = feedHost;
    setup.overallLimit = limit;
    setup.resources = resources;
    setup.observer = &parts->problem;
    parts->feed = std::make_unique<CommandLineFeed>(setup);

    // The feed's log lines belong to the app's log, not to compose's output.
    const bool logToStderr = Log::stderrEnabled();
    Log::setStderrEnabled(false);
    parts->feed->run();
    Log::setStderrEnabled(logToStderr);

    COTDHandler& handler = parts->feed->handler();
    if (!handler.getCOTDThemeDictIfAvailable()) {
        failure = parts->problem.text.empty()
                      ? fmt::format("the feed has no theme for {}", handler.today())
                      : parts->problem.text;
        return nullptr;
    }
    if (!handler.hasDownloadedThemeImage()) {
        failure =
            parts->problem.text.empty() ? "the theme image did not load" : parts->problem.text;
        return nullptr;
    }
    parts->themeFeed = std::make_unique<COTDThemeFeed>(handler);
    return std::unique_ptr<ComposeFeedTheme>(new ComposeFeedTheme(std::move(parts)));
}

std::shared_ptr<ThemeFeed> loadFeedThemeOfTheDay(const std::string& feedHost,
                                                 const std::filesystem::path& resources,
                                                 std::string& failure) {
    std::shared_ptr<ComposeFeedTheme> loaded = ComposeFeedTheme::load(feedHost, resources, failure);
    if (!loaded) return nullptr;
    ThemeFeed& feed = loaded->feed();
    return std::shared_ptr<ThemeFeed>(std::move(loaded), &feed);
}

}  // namespace qp
