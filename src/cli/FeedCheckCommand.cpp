#include "cli/FeedCheckCommand.h"

#include <fmt/format.h>

#include <algorithm>
#include <vector>

#include "cli/CommandLineFeed.h"
#include "cli/ConsoleOutput.h"
#include "cli/TerminalText.h"
#include "editor/ThemeKeys.h"
#include "feed/FeedDay.h"
#include "feed/FeedKeys.h"
#include "feed/FeedUrl.h"
#include "platform/Log.h"
#include "platform/Paths.h"

namespace qp {
namespace {

constexpr const char* kCommandName = "quillpost feed check";

// Collects what the feed finds, each problem once, in the order found.
class CheckReport final : public FeedObserver {
public:
    void feedProblem(const std::string& description) override {
        if (std::find(problems.begin(), problems.end(), description) == problems.end())
            problems.push_back(description);
    }
    void feedImageLoaded(FeedImage which, const std::string&, const Image& image) override {
        sizes[static_cast<int>(which)] =
            fmt::format("{} x {} pixels", image.width(), image.height());
    }

    std::vector<std::string> problems;
    std::string sizes[3];
};

std::string entryOf(const PlistDictionary& record, const char* key) {
    const auto it = record.find(key);
    return it != record.end() && it->second.isString() ? it->second.stringValue() : std::string();
}

std::string report(const std::optional<PlistDictionary>& record, const std::string& revisionUrl,
                   const std::string& day, const CheckReport& found) {
    std::string text = fmt::format("feed: {}\nday: {}\n", printable(revisionUrl), day);
    if (!record) {
        text += "theme: none for this day\n";
    } else {
        std::string name = entryOf(*record, kThemeNameKey);
        if (name.empty()) name = entryOf(*record, kImageKey);
        text += fmt::format("theme: {}\n",
                            name.empty() ? "(no \"theme name\" or \"image\")" : printable(name));
        const char* keys[3] = {kImageUrlKey, kBottomImageUrlKey, kThumbImageUrlKey};
        for (int i = 0; i < 3; ++i) {
            const std::string url = entryOf(*record, keys[i]);
            std::string state = found.sizes[i];
            if (state.empty()) {
                if (url.empty()) {
                    state = i == 2 ? "none: the theme image serves" : "none";
                } else {
                    state = "not loaded";
                }
            }
            text +=
                fmt::format("{}: {} ({})\n", keys[i], url.empty() ? "-" : printable(url), state);
        }
    }
    if (found.problems.empty()) {
        text += "problems: none\n";
    } else {
        text += fmt::format("problems ({}):\n", found.problems.size());
        for (const std::string& problem : found.problems)
            text += "  - " + printable(problem) + "\n";
    }
    return text;
}

}  // namespace

int runFeedCheck(const FeedCheckOptions& options, std::FILE* out, std::FILE* err) {
    const std::string revisionUrl = revisionFileUrl(options.url);
    if (!isFeedUrl(revisionUrl)) {
        writeDiagnostic(err, fmt::format("{}: '{}' is not an http or https URL\nRun 'quillpost "
                                         "feed check --help' for more information.\n",
                                         kCommandName, printable(options.url)));
        return kFeedCheckUsageError;
    }
    // The feed's own log lines are for the app's log, not for this report.
    const bool logToStderr = Log::stderrEnabled();
    Log::setStderrEnabled(false);
    CheckReport found;
    CommandLineFeedSetup setup;
    setup.feedUrl = options.url;
    setup.day = options.date;
    setup.resources = Paths::locateResources(Paths::executableFolder());
    setup.observer = &found;
    CommandLineFeed feed(setup);
    feed.run();
    const std::optional<PlistDictionary> record = feed.handler().getCOTDThemeDictIfAvailable();
    Log::setStderrEnabled(logToStderr);

    ReliableOutput output(out);
    output.write(report(record, revisionUrl, feed.handler().today(), found));
    if (output.failed()) {
        writeDiagnostic(err, fmt::format("{}: {}\n", kCommandName, output.failure()));
        return kFeedCheckFailed;
    }
    const bool loaded = record && feed.handler().hasDownloadedThemeImage();
    return loaded && found.problems.empty() ? kFeedCheckPassed : kFeedCheckFailed;
}

}  // namespace qp
