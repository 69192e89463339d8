#include "cli/ComposeRecipe.h"

#include <fmt/format.h>

#include <QString>
#include <algorithm>
#include <cmath>
#include <filesystem>
#include <memory>

#include "appkit/Configuration.h"
#include "cli/ComposeFrame.h"
#include "cli/ComposeTargets.h"
#include "cli/InputOrderWork.h"
#include "editor/ThemeCatalogue.h"
#include "editor/ThemeFeed.h"
#include "editor/ThemeTags.h"
#include "editor/composition/CompositionConstants.h"
#include "platform/Paths.h"

namespace qp {
namespace {

namespace fs = std::filesystem;

// Bounds that keep the gestures' arithmetic finite: a turn either way, and
// far more pan than any photo at the zoom cap needs.
constexpr double kMaxRotateDegrees = 360;
constexpr double kMaxMoveResultPixels = 100'000;
constexpr int kMaxInputMegabytes = 4096;
// More photos at once than this only take memory.
constexpr int kMostJobs = 256;
constexpr const char* kBackgroundBlur = "blur";
constexpr const char* kBackgroundTheme = "theme";

std::optional<Point> parseMove(const std::string& text) {
    const std::size_t comma = text.find(',');
    if (comma == std::string::npos) return std::nullopt;
    try {
        std::size_t usedX = 0, usedY = 0;
        const std::string xs = text.substr(0, comma), ys = text.substr(comma + 1);
        const double x = std::stod(xs, &usedX);
        const double y = std::stod(ys, &usedY);
        if (usedX != xs.size() || usedY != ys.size() || !std::isfinite(x) || !std::isfinite(y)) {
            return std::nullopt;
        }
        return Point{x, y};
    } catch (const std::exception&) {
        return std::nullopt;
    }
}

std::optional<std::pair<int, int>> parseTheme(const std::string& text) {
    const std::size_t slash = text.find('/');
    if (slash == std::string::npos || slash == 0 || slash + 1 == text.size()) return std::nullopt;
    const std::string cs = text.substr(0, slash), is = text.substr(slash + 1);
    for (char ch : cs + is) {
        if (ch < '0' || ch > '9') return std::nullopt;
    }
    if (cs.size() > 3 || is.size() > 3) return std::nullopt;
    const int category = std::stoi(cs), index = std::stoi(is);
    if (index >= kThemesPerCategory) return std::nullopt;
    return std::make_pair(category, index);
}

fs::path resourcesFolder(const ComposeOptions& options) {
    if (!options.resources.empty()) return options.resources;
    return Paths::locateResources(Paths::executableFolder());
}

std::filesystem::path configurationFile(const ComposeOptions& options) {
    return options.configFile.empty() ? Configuration::defaultFile() : fs::path(options.configFile);
}

// The theme's category when --theme is well formed (0 without it).
std::optional<int> themeCategory(const ComposeOptions& options) {
    if (options.theme.empty()) return 0;
    const auto parsed = parseTheme(options.theme);
    if (!parsed) return std::nullopt;
    return parsed->first;
}

bool isThemeOfTheDayCategory(const fs::path& resources, int category) {
    FallbackThemeFeed fallback(resources);
    return ThemeCatalogue(resources, fallback).isThemeOfTheDayCategory(categoryButtonTag(category));
}

// Today's theme from the configured feed host, or null: no host (the bundled
// theme of the day, silently) or a failure (the bundled one, with a note).
std::shared_ptr<ThemeFeed> loadTodaysFeedTheme(const ComposeOptions& options,
                                               const FeedThemeLoader& loadFeedTheme,
                                               const fs::path& resources,
                                               std::vector<std::string>& notes) {
    Result<Configuration> configuration = Configuration::load(configurationFile(options));
    std::string failure;
    std::shared_ptr<ThemeFeed> feed;
    if (!configuration.ok()) {
        failure = configuration.error().description();
    } else if (const std::string host = configuration->value(config::kFeedHost); !host.empty()) {
        if (loadFeedTheme) {
            feed = loadFeedTheme(host, resources, failure);
        } else {
            failure = "this program does not load the feed; run quillpost-app";
        }
    }
    if (!failure.empty()) {
        notes.push_back(fmt::format(
            "the theme of the day could not be loaded from the feed ({}); the bundled one is used",
            failure));
    }
    return feed;
}

}  // namespace

bool composeLoadsTheFeed(const ComposeOptions& options) {
    const std::optional<int> category = themeCategory(options);
    if (!category || !isThemeOfTheDayCategory(resourcesFolder(options), *category)) return false;
    Result<Configuration> configuration = Configuration::load(configurationFile(options));
    return configuration.ok() && !configuration->value(config::kFeedHost).empty();
}

std::variant<ComposeRecipe, UsageError> makeRecipe(const ComposeOptions& options,
                                                   const FeedThemeLoader& loadFeedTheme) {
    ComposeRecipe recipe;
    if (options.photos.empty()) return UsageError{"no photo given"};
    if (!options.output.empty() && !options.outputDir.empty()) {
        return UsageError{"-o and --out-dir cannot be used together"};
    }
    if (!options.output.empty() && options.photos.size() > 1) {
        return UsageError{"-o names one result; use --out-dir for several photos"};
    }
    const auto format = resultFormatFor(options);
    if (const auto* problem = std::get_if<FormatProblem>(&format)) return UsageError{problem->text};
    recipe.format = std::get<ResultFormat>(format);
    if (options.maxInputMegabytes < 1 || options.maxInputMegabytes > kMaxInputMegabytes) {
        return UsageError{
            fmt::format("--max-input-mb must lie within 1 to {}", kMaxInputMegabytes)};
    }
    recipe.fileLimits.maxBytes = std::int64_t(options.maxInputMegabytes) * 1024 * 1024;
    const auto frame = resultFrameFor(options.size, options.aspect);
    if (const auto* problem = std::get_if<FrameProblem>(&frame)) return UsageError{problem->text};
    recipe.frame = std::get<ResultFrame>(frame);
    if (options.jobs && (*options.jobs < 1 || *options.jobs > kMostJobs)) {
        return UsageError{
            fmt::format("-j takes the number of photos composed at once, 1 to {}", kMostJobs)};
    }
    recipe.jobs = options.jobs.value_or(std::min(processorCount(), kMostJobs));
    if (!options.background.empty() && options.background != kBackgroundBlur &&
        options.background != kBackgroundTheme) {
        return UsageError{"--background takes blur (the photo itself, blurred) or theme"};
    }

    const std::string deviceName =
        options.device.empty() ? defaultDeviceProfile().name : options.device;
    std::optional<DeviceProfile> device = deviceProfileNamed(deviceName);
    if (!device) return UsageError{fmt::format("unknown device '{}'", deviceName)};
    recipe.device = *device;

    if (options.zoom && (!std::isfinite(*options.zoom) || *options.zoom <= 0)) {
        return UsageError{"--zoom must be a number above 0"};
    }
    recipe.zoom = options.zoom;
    if (options.rotateDegrees && !(std::abs(*options.rotateDegrees) <= kMaxRotateDegrees)) {
        return UsageError{
            fmt::format("--rotate takes degrees within -{0} to {0}", kMaxRotateDegrees)};
    }
    recipe.rotateDegrees = options.rotateDegrees;
    if (!options.move.empty()) {
        recipe.moveResultPixels = parseMove(options.move);
        if (!recipe.moveResultPixels ||
            !(std::abs(recipe.moveResultPixels->x) <= kMaxMoveResultPixels &&
              std::abs(recipe.moveResultPixels->y) <= kMaxMoveResultPixels)) {
            return UsageError{
                fmt::format("--move takes DX,DY in result pixels, each within -{0} to {0}",
                            kMaxMoveResultPixels)};
        }
    }
    recipe.mirror = options.mirror;
    recipe.keepExif = options.keepExif;
    recipe.force = options.force;

    if (const qsizetype units = QString::fromStdString(options.message).size();
        units > kMessageLimit) {
        return UsageError{fmt::format(
            "the message is {} UTF-16 units long; the limit is {} UTF-16 units (most emoji count "
            "as two)",
            units, kMessageLimit)};
    }
    recipe.message = options.message;

    int category = 0, index = 0;
    if (!options.theme.empty()) {
        const auto parsed = parseTheme(options.theme);
        if (!parsed) return UsageError{"--theme takes CATEGORY/INDEX, for example 0/0"};
        std::tie(category, index) = *parsed;
    }
    const fs::path resources = resourcesFolder(options);
    FallbackThemeFeed fallback(resources);
    std::shared_ptr<ThemeFeed> todaysFeed;
    if (isThemeOfTheDayCategory(resources, category)) {
        todaysFeed = loadTodaysFeedTheme(options, loadFeedTheme, resources, recipe.notes);
    }
    ThemeFeed& feed = todaysFeed ? *todaysFeed : static_cast<ThemeFeed&>(fallback);
    ThemeCatalogue catalogue(resources, feed);
    // The editor's own selection path, so the command line and the editor
    // never differ (the theme of the day needs its category's marker).
    std::optional<ThemeSettings> theme = catalogue.selectThemeAsTapped(category, index);
    if (!theme) {
        return UsageError{
            fmt::format("there is no theme {}/{} in {}", category, index, resources.string())};
    }
    recipe.theme = *theme;
    recipe.background = catalogue.imageFor(theme->background);
    if (!options.background.empty()) {
        recipe.theme.backgroundIsBlurredPhoto = options.background == kBackgroundBlur;
    }
    if (recipe.theme.backgroundIsBlurredPhoto && !recipe.theme.photoEnabled) {
        return UsageError{fmt::format(
            "theme {}/{} has no photo slot, so there is no photo to blur behind; choose a theme "
            "with one",
            category, index)};
    }

    const TextStyle& style = theme->textStyle;
    recipe.fontSize = options.fontSize.value_or(style.fontDefaultSize);
    if (options.fontSize &&
        (!(*options.fontSize >= style.fontMinSize) || !(*options.fontSize <= style.fontMaxSize))) {
        return UsageError{fmt::format("--font-size must lie within this theme's {} to {}",
                                      style.fontMinSize, style.fontMaxSize)};
    }
    return recipe;
}

}  // namespace qp
