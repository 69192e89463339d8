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
#include "cli/ComposeTargets.h"
#include "cli/ConsoleOutput.h"
#include "cli/LibraryMessages.h"
#include "cli/TerminalText.h"
#include "editor/ThemeCatalogue.h"
#include "editor/ThemeFeed.h"
#include "editor/ThemeTags.h"
#include "editor/composition/CompositionConstants.h"
#include "editor/composition/MessageFitting.h"
#include "editor/composition/MessageRenderer.h"
#include "imaging/PhotoIO.h"
#include "platform/Paths.h"
#include "platform/RuntimeFolder.h"

namespace qp {
namespace {

namespace fs = std::filesystem;

constexpr const char* kCommandName = "quillpost compose";
// Bounds that keep the gestures' arithmetic finite: a turn either way, and
// far more pan than any photo at the zoom cap needs.
constexpr double kMaxRotateDegrees = 360;
constexpr double kMaxMoveResultPixels = 100'000;
constexpr int kMaxInputMegabytes = 4096;

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
    const auto format = resultFormatFor(options);
    if (const auto* problem = std::get_if<FormatProblem>(&format)) return UsageError{problem->text};
    recipe.format = std::get<ResultFormat>(format);
    if (options.maxInputMegabytes < 1 || options.maxInputMegabytes > kMaxInputMegabytes) {
        return UsageError{
            fmt::format("--max-input-mb must lie within 1 to {}", kMaxInputMegabytes)};
    }
    recipe.fileLimits.maxBytes = std::int64_t(options.maxInputMegabytes) * 1024 * 1024;

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
    FallbackThemeFeed feed(resources);
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
    providePrivateRuntimeFolder();
    static int argc = 1;
    static char name[] = "quillpost";
    static char* argv[] = {name, nullptr};
    return std::make_unique<QGuiApplication>(argc, argv);
}

// The message is fitted the same way for every photo: say once when even
// the theme's smallest size could not hold it.
void warnWhenMessageIsCut(const ComposeRecipe& recipe, std::FILE* err) {
    const MessageFit fit = fitMessage(recipe.message, recipe.theme.textStyle, recipe.fontSize);
    if (!fit.cut) return;
    writeDiagnostic(
        err, fmt::format(
                 "{}: warning: the message does not fit this theme's text box even at {} px and is "
                 "cut to \"{}\"; shorten it or choose a theme with a larger box\n",
                 kCommandName, fit.fontSize,
                 printable(QString(fit.text).replace(QChar::LineSeparator, u' ').toStdString())));
}

}  // namespace

CLI::App* addComposeCommand(CLI::App& cli, ComposeOptions& options) {
    CLI::App* compose = cli.add_subcommand(
        "compose",
        "Put whole photos into the decorated square and write 612 x 612 results, headless");
    compose
        ->add_option("photos", options.photos,
                     "Photos to compose (JPEG, PNG, GIF or BMP, told by content)")
        ->required();
    compose->add_option("-o,--output", options.output,
                        "Result file (one photo only); - writes it to standard output");
    compose->add_option("--out-dir", options.outputDir,
                        "Folder for the results (default: beside each photo)");
    compose->add_option("--theme", options.theme, "Theme as CATEGORY/INDEX (default 0/0)");
    compose->add_option("--device", options.device, "Device profile whose square is rendered");
    compose->add_option("--zoom", options.zoom,
                        "One pinch of this factor after the fit (above 0; the photo may be "
                        "shown at most 2 points per photo pixel)");
    compose->add_option("--rotate", options.rotateDegrees,
                        "One rotation, degrees clockwise, within -360 to 360");
    compose->add_option("--move", options.move,
                        "One pan of DX,DY result pixels, each within -100000 to 100000");
    compose->add_flag("--mirror", options.mirror, "Mirror the photo");
    compose->add_option("--message", options.message,
                        "Message drawn in the theme's text box (at most 120 UTF-16 units)");
    compose->add_option("--font-size", options.fontSize,
                        "Message size within the theme's range (default: the theme's)");
    compose->add_option("--format", options.format,
                        "jpeg or png (default: from -o's extension, else jpeg)");
    compose->add_flag("--force", options.force, "Replace existing results");
    compose
        ->add_option("--max-input-mb", options.maxInputMegabytes,
                     "Refuse photo files larger than this many megabytes")
        ->capture_default_str();
    compose->add_flag("--verbose", options.verbose,
                      "Also show the libraries' warnings and the diagnostic log");
    return compose;
}

namespace {

struct Tally {
    int composed = 0;
    int kept = 0;
    int skipped = 0;
    int failed = 0;
};

std::string summaryOf(const Tally& tally, int total) {
    std::string text = fmt::format("{} of {} photos composed", tally.composed, total);
    if (tally.kept) text += fmt::format(", {} kept (already there)", tally.kept);
    if (tally.skipped) text += fmt::format(", {} skipped (earlier results)", tally.skipped);
    if (tally.failed) text += fmt::format(", {} failed", tally.failed);
    return text;
}

std::string reasonOf(const Error& error) {
    return error.description().empty() ? error.toString() : error.description();
}

bool looksLikeOurName(const fs::path& photo) {
    const std::string stem = photo.stem().string();
    const std::string suffix = kOutputSuffix;
    return stem.size() > suffix.size() && stem.ends_with(suffix);
}

}  // namespace

int runCompose(const ComposeOptions& options, const ComposeStreams& streams) {
    const LibraryMessages libraryMessages(options.verbose);
    const auto say = [&](const std::string& text) {
        writeDiagnostic(streams.err, fmt::format("{}: {}\n", kCommandName, text));
    };
    // The message check needs QString only; the theme read needs no Gui.
    auto recipeOrError = makeRecipe(options);
    if (const auto* usage = std::get_if<UsageError>(&recipeOrError)) {
        say(usage->text);
        return kComposeUsageError;
    }
    const ComposeRecipe& recipe = std::get<ComposeRecipe>(recipeOrError);
    const bool toStandardOutput = options.output == kStandardOutputName;
    if (toStandardOutput && streams.refuseTerminalOutput && ::isatty(::fileno(streams.out))) {
        say("-o - writes the picture to standard output, which is a terminal; redirect it to a "
            "file or a pipe");
        return kComposeUsageError;
    }
    std::unique_ptr<QGuiApplication> fontSystem;
    if (!recipe.message.empty()) {
        fontSystem = makeFontSystem();
        warnWhenMessageIsCut(recipe, streams.err);
    }
    if (!recipe.theme.photoEnabled) {
        say(fmt::format("theme {} has no photo slot; its results are empty",
                        printable(recipe.theme.themeImageName)));
    }

    const int total = int(options.photos.size());
    const std::vector<InputFile> inputs = identifyInputs(options.photos);
    ComposeProgress progress(streams.err, total,
                             streams.progressOnTerminal && ::isatty(::fileno(streams.err)));
    ReliableOutput out(streams.out);
    std::set<fs::path> written;
    Tally tally;
    for (int i = 0; i < total; ++i) {
        const fs::path photo = options.photos[std::size_t(i)];
        const std::string name = printable(photo.string());
        progress.update(i, printable(photo.filename().string()));
        const auto fail = [&](const std::string& why) {
            progress.clear();
            ++tally.failed;
            say(fmt::format("{}: {}", name, why));
        };

        fs::path output;
        fs::path key;
        if (!toStandardOutput) {
            output = outputFor(options, photo, recipe.format);
            const TargetCheck target = checkOutputTarget(output, recipe.force, inputs);
            if (target.verdict == TargetVerdict::Refuse) {
                fail(target.reason);
                continue;
            }
            if (target.verdict == TargetVerdict::Keep) {
                progress.clear();
                ++tally.kept;
                say(fmt::format("{}: {}", name, target.reason));
                continue;
            }
            std::error_code ignored;
            key = fs::weakly_canonical(output, ignored);
            if (written.count(key)) {
                fail(fmt::format("{} is the result of an earlier photo of this run",
                                 printable(output.string())));
                continue;
            }
        }

        Result<ComposedPhoto> composed = composePhoto(photo, recipe);
        progress.clear();
        if (!composed) {
            fail(reasonOf(composed.error()));
            continue;
        }
        if (composed->isEarlierResult) {
            ++tally.skipped;
            say(fmt::format("{}: skipped: it is a Quillpost result already", name));
            continue;
        }
        if (looksLikeOurName(photo)) {
            say(
                fmt::format("{}: warning: the name looks like a Quillpost result, but the file "
                            "carries no Quillpost mark, so it is composed",
                            name));
        }
        for (const std::string& warning : composed->warnings) {
            say(fmt::format("{}: warning: {}", name, warning));
        }

        if (toStandardOutput) {
            const QByteArray& bytes = composed->encoded;
            out.write(std::string_view(bytes.constData(), std::size_t(bytes.size())));
            ++tally.composed;
            continue;
        }
        if (Result<void> saved = writeFileAtomically(output, bytesOf(composed->encoded)); !saved) {
            fail(reasonOf(saved.error()));
            continue;
        }
        written.insert(key);
        ++tally.composed;
        out.write(printable(output.string()) + "\n");
    }
    progress.clear();
    if (total > 1) say(summaryOf(tally, total));
    if (out.failed()) {
        say(fmt::format("could not write to standard output: {}", out.failure()));
        return kComposeSomeFailed;
    }
    return tally.failed ? kComposeSomeFailed : kComposeSucceeded;
}

}  // namespace qp
