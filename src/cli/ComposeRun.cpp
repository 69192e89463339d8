#include "cli/ComposeRun.h"

#include <fmt/format.h>

#include <QGuiApplication>
#include <QString>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <set>

#include <unistd.h>

#include "cli/ComposeJob.h"
#include "cli/ComposeProgress.h"
#include "cli/ComposeRecipe.h"
#include "cli/ComposeTargets.h"
#include "cli/ConsoleOutput.h"
#include "cli/FontSystem.h"
#include "cli/InputOrderWork.h"
#include "cli/LibraryMessages.h"
#include "cli/TerminalText.h"
#include "editor/composition/CompositionConstants.h"
#include "editor/composition/MessageFitting.h"
#include "editor/composition/MessageRenderer.h"
#include "imaging/PhotoIO.h"
#include "platform/Paths.h"

namespace qp {
namespace {

namespace fs = std::filesystem;

constexpr const char* kCommandName = "quillpost compose";
// The message is fitted the same way for every photo: say once when even
// the theme's smallest size could not hold it.
void warnWhenMessageIsCut(const MessageFit& fit, std::FILE* err) {
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
        "Put whole photos into the decorated square and write 612 x 612 results (or other "
        "sizes and shapes), headless");
    compose
        ->add_option("photos", options.photos,
                     "Photos to compose (JPEG, PNG, GIF, BMP or HEIC, told by content)")
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
    compose->add_flag("--keep-exif", options.keepExif,
                      "Copy the photo's capture date, camera make and model into the result "
                      "(never its location)");
    compose->add_option("--message", options.message,
                        "Message drawn in the theme's text box (at most 120 UTF-16 units)");
    compose->add_option("--font-size", options.fontSize,
                        "Message size within the theme's range (default: the theme's)");
    compose->add_option("--format", options.format,
                        "jpeg or png (default: from -o's extension, else jpeg)");
    compose->add_option("--size", options.size, "Result width in pixels, 64 to 4096 (default 612)");
    compose->add_option("--aspect", options.aspect,
                        "Result shape WIDTH:HEIGHT, e.g. 4:5 or 16:9 (default 1:1); the photo is "
                        "fitted whole into it, the theme's art covers it");
    compose->add_option("--background", options.background,
                        "blur: the photo itself, blurred, fills the frame behind it; theme: the "
                        "theme's art (default: as the theme says)");
    compose->add_option("-j,--jobs", options.jobs,
                        "Photos composed at once (default: one per processor); the results are "
                        "the same as one at a time");
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

int runComposeWith(const ComposeOptions& options, const ComposeStreams& streams,
                   const FeedThemeLoader& loadFeedTheme) {
    const LibraryMessages libraryMessages(options.verbose);
    const auto say = [&](const std::string& text) {
        writeDiagnostic(streams.err, fmt::format("{}: {}\n", kCommandName, text));
    };
    // The message check needs QString only; the theme read needs no Gui.
    auto recipeOrError = makeRecipe(options, loadFeedTheme);
    if (const auto* usage = std::get_if<UsageError>(&recipeOrError)) {
        say(usage->text);
        return kComposeUsageError;
    }
    ComposeRecipe& recipe = std::get<ComposeRecipe>(recipeOrError);
    for (const std::string& note : recipe.notes) say(note);
    const bool toStandardOutput = options.output == kStandardOutputName;
    if (toStandardOutput && streams.refuseTerminalOutput && ::isatty(::fileno(streams.out))) {
        say("-o - writes the picture to standard output, which is a terminal; redirect it to a "
            "file or a pipe");
        return kComposeUsageError;
    }
    std::unique_ptr<QGuiApplication> fontSystem;
    if (!recipe.message.empty()) {
        fontSystem = makeFontSystem();
        // Drawn once here: every photo shows the same canvas, and the
        // threads composing photos never touch the font system.
        PreparedMessage message = prepareMessage(recipe);
        warnWhenMessageIsCut(message.fit, streams.err);
        recipe.messageCanvas = std::move(message.canvas);
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
    // Photos are composed ahead on up to `jobs` threads; everything else
    // (the checks that decide, writing, messages) happens here in input
    // order, exactly as a run on one thread does it.
    const auto wouldBeComposed = [&](std::size_t i) {
        if (toStandardOutput) return true;
        const fs::path photo = options.photos[i];
        return checkOutputTarget(outputFor(options, photo, recipe.format), recipe.force, inputs)
                   .verdict == TargetVerdict::Write;
    };
    std::vector<bool> composeAhead(options.photos.size());
    for (int i = 0; i < total; ++i) composeAhead[std::size_t(i)] = wouldBeComposed(std::size_t(i));
    InputOrderWork<Result<ComposedPhoto>> ahead(
        std::size_t(total), recipe.jobs,
        [&](std::size_t i) -> std::optional<Result<ComposedPhoto>> {
            if (!composeAhead[i]) return std::nullopt;
            return composePhoto(options.photos[i], recipe);
        });
    for (int i = 0; i < total; ++i) {
        const fs::path photo = options.photos[std::size_t(i)];
        const std::string name = printable(photo.string());
        progress.update(i, printable(photo.filename().string()));
        std::optional<Result<ComposedPhoto>> composedAhead = ahead.take(std::size_t(i));
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

        Result<ComposedPhoto> composed =
            composedAhead ? std::move(*composedAhead) : composePhoto(photo, recipe);
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
        // Replaced atomically but not flushed: a result is made again from its
        // photo at will, and waiting for the disk cost more than the whole
        // composition on a busy one (image tools do not flush either).
        if (Result<void> saved =
                writeFileAtomically(output, bytesOf(composed->encoded), FileFlush::None);
            !saved) {
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
