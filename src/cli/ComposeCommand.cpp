#include "cli/ComposeCommand.h"

#include <fmt/format.h>

#include <QGuiApplication>
#include <QString>
#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <set>

#include <unistd.h>

#include "cli/ComposeJob.h"
#include "cli/ComposeProgress.h"
#include "editor/ThemeCatalogue.h"
#include "editor/ThemeFeed.h"
#include "editor/ThemeTags.h"
#include "editor/composition/CompositionConstants.h"
#include "editor/composition/MessageRenderer.h"
#include "platform/Paths.h"

namespace qp {
namespace {

namespace fs = std::filesystem;

constexpr const char* kCommandName = "quillpost compose";
constexpr const char* kOutputSuffix = "-square";

struct UsageError {
    std::string text;
};

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

fs::path outputFor(const ComposeOptions& options, const fs::path& photo, const char* extension) {
    if (!options.output.empty()) return options.output;
    const std::string name = photo.stem().string() + kOutputSuffix + extension;
    if (!options.outputDir.empty()) return fs::path(options.outputDir) / name;
    return photo.parent_path() / name;
}

// Builds the recipe shared by every photo, or says what is wrong with the
// command line.
std::variant<ComposeRecipe, UsageError> makeRecipe(const ComposeOptions& options) {
    ComposeRecipe recipe;
    if (options.photos.empty()) return UsageError{"no photo given"};
    if (!options.output.empty() && !options.outputDir.empty()) {
        return UsageError{"-o and --out-dir cannot be used together"};
    }
    if (!options.output.empty() && options.photos.size() > 1) {
        return UsageError{"-o names one result; use --out-dir for several photos"};
    }
    if (options.format == "png") {
        recipe.format = ResultFormat::Png;
    } else if (options.format != "jpeg") {
        return UsageError{fmt::format("unknown format '{}' (jpeg or png)", options.format)};
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
    if (options.rotateDegrees && !std::isfinite(*options.rotateDegrees)) {
        return UsageError{"--rotate must be a number of degrees"};
    }
    recipe.rotateDegrees = options.rotateDegrees;
    if (!options.move.empty()) {
        recipe.moveResultPixels = parseMove(options.move);
        if (!recipe.moveResultPixels) return UsageError{"--move takes DX,DY in result pixels"};
    }
    recipe.mirror = options.mirror;
    recipe.force = options.force;

    if (QString::fromStdString(options.message).size() > kMessageLimit) {
        return UsageError{fmt::format("the message is longer than {} characters", kMessageLimit)};
    }
    recipe.message = options.message;

    int category = 0, index = 0;
    if (!options.theme.empty()) {
        const auto parsed = parseTheme(options.theme);
        if (!parsed) return UsageError{"--theme takes CATEGORY/INDEX, for example 0/0"};
        std::tie(category, index) = *parsed;
    }
    const fs::path resources = resourcesFolder(options);
    FallbackThemeFeed feed(resources);
    ThemeCatalogue catalogue(resources, feed);
    catalogue.setCategoryIdx(categoryButtonTag(category));
    catalogue.setCurrentCategoryIdx(categoryButtonTag(category));
    catalogue.setThemeIdx(themeButtonTag(category, index));
    std::optional<ThemeSettings> theme = catalogue.fetchThemeData();
    if (!theme) {
        return UsageError{
            fmt::format("there is no theme {}/{} in {}", category, index, resources.string())};
    }
    recipe.theme = *theme;
    recipe.background = catalogue.imageFor(theme->background);

    const TextStyle& style = theme->textStyle;
    recipe.fontSize = options.fontSize.value_or(style.fontDefaultSize);
    if (options.fontSize &&
        (!(*options.fontSize >= style.fontMinSize) || !(*options.fontSize <= style.fontMaxSize))) {
        return UsageError{fmt::format("--font-size must lie within this theme's {} to {}",
                                      style.fontMinSize, style.fontMaxSize)};
    }
    return recipe;
}

// Fonts need the Gui application; it is made only when a message is drawn,
// on the offscreen platform, so no display is ever needed.
std::unique_ptr<QGuiApplication> makeFontSystem() {
    if (QCoreApplication::instance()) return nullptr;
    setenv("QT_QPA_PLATFORM", "offscreen", 1);
    if (!std::getenv("XDG_RUNTIME_DIR")) {
        // Qt wants a private runtime folder and complains on stderr without one.
        const fs::path runtime =
            fs::temp_directory_path() / ("quillpost-runtime-" + std::to_string(::getuid()));
        std::error_code ignored;
        fs::create_directories(runtime, ignored);
        fs::permissions(runtime, fs::perms::owner_all, ignored);
        setenv("XDG_RUNTIME_DIR", runtime.c_str(), 1);
    }
    static int argc = 1;
    static char name[] = "quillpost";
    static char* argv[] = {name, nullptr};
    return std::make_unique<QGuiApplication>(argc, argv);
}

}  // namespace

CLI::App* addComposeCommand(CLI::App& cli, ComposeOptions& options) {
    CLI::App* compose = cli.add_subcommand(
        "compose",
        "Put whole photos into the decorated square and write 612 x 612 results, headless");
    compose->add_option("photos", options.photos, "Photos to compose")->required();
    compose->add_option("-o,--output", options.output, "Result file (one photo only)");
    compose->add_option("--out-dir", options.outputDir,
                        "Folder for the results (default: beside each photo)");
    compose->add_option("--theme", options.theme, "Theme as CATEGORY/INDEX (default 0/0)");
    compose->add_option("--device", options.device, "Device profile whose square is rendered");
    compose->add_option("--zoom", options.zoom, "One pinch step of this factor after the fit");
    compose->add_option("--rotate", options.rotateDegrees, "One rotation step, degrees clockwise");
    compose->add_option("--move", options.move, "One pan of DX,DY result pixels");
    compose->add_flag("--mirror", options.mirror, "Mirror the photo");
    compose->add_option("--message", options.message, "Message drawn in the theme's text box");
    compose->add_option("--font-size", options.fontSize,
                        "Message size within the theme's range (default: the theme's)");
    compose->add_option("--format", options.format, "jpeg or png")->capture_default_str();
    compose->add_flag("--force", options.force, "Replace existing results");
    return compose;
}

int runCompose(const ComposeOptions& options, const ComposeStreams& streams) {
    // The message check needs QString only; the theme read needs no Gui.
    auto recipeOrError = makeRecipe(options);
    if (const auto* usage = std::get_if<UsageError>(&recipeOrError)) {
        fmt::print(streams.err, "{}: {}\n", kCommandName, usage->text);
        return kComposeUsageError;
    }
    const ComposeRecipe& recipe = std::get<ComposeRecipe>(recipeOrError);
    std::unique_ptr<QGuiApplication> fontSystem;
    if (!recipe.message.empty()) fontSystem = makeFontSystem();
    if (!recipe.theme.photoEnabled) {
        fmt::print(streams.err, "{}: theme {} has no photo slot; its results are empty\n",
                   kCommandName, recipe.theme.themeImageName);
    }

    const char* extension = recipe.format == ResultFormat::Png ? ".png" : ".jpg";
    const int total = int(options.photos.size());
    ComposeProgress progress(streams.err, total,
                             streams.progressOnTerminal && ::isatty(::fileno(streams.err)));
    std::set<fs::path> written;
    int failed = 0;
    for (int i = 0; i < total; ++i) {
        const fs::path photo = options.photos[std::size_t(i)];
        progress.update(i, photo.filename().string());
        const fs::path output = outputFor(options, photo, extension);
        std::error_code ec;
        const fs::path key = fs::weakly_canonical(output, ec);
        Result<void> done = Error();
        if (written.count(key)) {
            done = Error("qp.compose", 2,
                         {{kLocalizedDescriptionKey,
                           fmt::format("{} is the result of an earlier photo of this run",
                                       output.string())}});
        } else {
            done = composePhoto(photo, output, recipe);
        }
        progress.clear();
        if (done) {
            written.insert(key);
            fmt::print(streams.out, "{}\n", output.string());
            std::fflush(streams.out);
        } else {
            ++failed;
            const std::string why = done.error().description().empty() ? done.error().toString()
                                                                       : done.error().description();
            fmt::print(streams.err, "{}: {}: {}\n", kCommandName, photo.string(), why);
        }
    }
    progress.clear();
    if (total > 1) {
        fmt::print(streams.err, "{}: {} of {} photos composed{}\n", kCommandName, total - failed,
                   total, failed ? fmt::format(", {} failed", failed) : std::string());
    }
    return failed ? kComposeSomeFailed : kComposeSucceeded;
}

}  // namespace qp
