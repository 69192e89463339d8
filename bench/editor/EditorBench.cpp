// The editor's hot paths with a 12-megapixel photo placed: the preview
// square's frames during a scripted pan, pinch and rotation, painted at the
// device's scale, and the share tap (final render and hand-off file).
// Frame contenders run alternately on the same frames:
//   tree  the layer tree drawn straight, as the square was painted before
//   view  PreviewSquareView's own paint
// Counters are per-frame (per-tap) medians and 99th percentiles in ms, of
// the wall clock and (suffix _cpu) of the process's CPU time.
// Runs on the offscreen platform: the target is a bitmap like the one the
// desktop's backing store hands a widget, at the device's pixel ratio.

#include <benchmark/benchmark.h>

#include <QApplication>
#include <QImage>
#include <QPainter>
#include <array>
#include <cstdlib>
#include <filesystem>
#include <limits>
#include <map>
#include <memory>
#include <string>

#include "FrameTimes.h"
#include "GestureScript.h"
#include "composition/SyntheticPhoto.h"
#include "editor/ThemeCatalogue.h"
#include "editor/ThemeFeed.h"
#include "editor/composition/CompositionConstants.h"
#include "editor/composition/PhotoSource.h"
#include "editor/composition/ResultFile.h"
#include "editor/ui/PreviewSquareView.h"
#include "imaging/LayerRenderer.h"
#include "imaging/PhotoIO.h"
#include "platform/DeviceProfile.h"
#include "platform/Paths.h"

namespace {

using namespace qp;
using bench::Lap;
using bench::LapTimes;
using bench::Stopwatch;

const char* const kDevices[] = {"iphone-4in", "ipad-retina"};
constexpr const char* kMessage = "Sunset over the hills, see you soon!";
// The plain black theme: white text with a dark halo over the art.
constexpr int kThemeCategory = 0;
constexpr int kThemeIndex = 1;

std::filesystem::path resourcesFolder() {
    if (const char* env = std::getenv("QUILLPOST_RESOURCES"); env && *env) return env;
    return QP_RESOURCES;
}

// The 12-megapixel photo (4000 × 3000 shown, stored turned with EXIF 6),
// decoded whole as the editor reads a picked photo.
const LoadedPhoto& benchmarkPhoto() {
    static const LoadedPhoto photo = [] {
        const QByteArray jpeg = bench::syntheticPhotoJpeg(4000, 3000, 6, 0.92);
        Result<LoadedPhoto> loaded =
            decodePhotoForSquare(jpeg, std::numeric_limits<double>::infinity());
        if (!loaded) std::abort();
        return *loaded;
    }();
    return photo;
}

// A square as the editor holds it after a photo is picked under a theme
// with a message typed.
struct Editor {
    explicit Editor(const DeviceProfile& device)
        : feed(resourcesFolder()), catalogue(resourcesFolder(), feed) {
        setCurrentDeviceProfile(device);
        view.resetComposition(device);
        Composition& c = view.composition();
        const std::optional<ThemeSettings> theme =
            catalogue.selectThemeAsTapped(kThemeCategory, kThemeIndex);
        if (!theme) std::abort();
        c.applyTheme(*theme, catalogue);
        if (!c.placement().importPhoto(benchmarkPhoto().image, benchmarkPhoto().fullSize).ok()) {
            std::abort();
        }
        c.refreshPhotoBackground();
        c.setMessage(kMessage);
        c.refreshTextLayer();
    }

    FallbackThemeFeed feed;
    ThemeCatalogue catalogue;
    PreviewSquareView view;
};

// What the window system hands the widget to paint into, at the device's
// pixel ratio.
QImage deviceTarget(const Composition& c) {
    const double scale = c.screenScale();
    const int side = int(c.squareSide() * scale);
    QImage target(side, side, QImage::Format_ARGB32_Premultiplied);
    target.setDevicePixelRatio(scale);
    target.fill(Qt::white);
    return target;
}

Lap paintTree(const Composition& c, QImage& target) {
    const Stopwatch watch;
    QPainter painter(&target);
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    painter.setRenderHint(QPainter::Antialiasing);
    renderInContext(c.previewSquare().root(), painter);
    painter.end();
    return watch.lap();
}

Lap paintView(PreviewSquareView& view, QImage& target) {
    const Stopwatch watch;
    view.render(&target, QPoint(), QRegion(), QWidget::DrawChildren);
    return watch.lap();
}

void addQuantiles(benchmark::State& state, const std::string& name, const LapTimes& times) {
    state.counters[name + "_med"] = times.wall.median();
    state.counters[name + "_p99"] = times.wall.p99();
    state.counters[name + "_cpu_med"] = times.cpu.median();
    state.counters[name + "_cpu_p99"] = times.cpu.p99();
}

// One iteration is one pass of the script; the contenders take turns in
// going first, so neither always meets the caches the other warmed.
void BM_GesturePaint(benchmark::State& state) {
    Editor editor(*deviceProfileNamed(kDevices[state.range(0)]));
    Composition& c = editor.view.composition();
    QImage target = deviceTarget(c);
    const std::vector<bench::GestureStep> script = bench::gestureScript();
    LapTimes tree, view;
    std::map<std::string, LapTimes> viewByStroke;
    paintView(editor.view, target);  // first use: reduced copies, caches
    paintTree(c, target);
    bool treeFirst = true;
    for (auto _ : state) {
        double viewTotal = 0;
        for (const bench::GestureStep& step : script) {
            if (!bench::applyGestureStep(step, c.placement())) continue;
            if (treeFirst) tree.add(paintTree(c, target));
            const Lap v = paintView(editor.view, target);
            view.add(v);
            viewByStroke[step.stroke].add(v);
            viewTotal += v.wall;
            if (!treeFirst) tree.add(paintTree(c, target));
            treeFirst = !treeFirst;
        }
        state.SetIterationTime(viewTotal / 1000);
    }
    addQuantiles(state, "tree", tree);
    addQuantiles(state, "view", view);
    for (const auto& [stroke, times] : viewByStroke) addQuantiles(state, "view " + stroke, times);
    state.counters["frames"] = double(view.wall.count());
}
BENCHMARK(BM_GesturePaint)
    ->ArgName("tablet")
    ->Arg(0)
    ->Arg(1)
    ->Iterations(3)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond);

// The share tap: the final render, then the hand-off file (encoding and the
// atomic write). The encoding is timed once more on its own, and the same
// bytes are written once flushed to disk before the rename (as the hand-off
// file was) and once not (as it is), taking turns.
void BM_ShareTap(benchmark::State& state) {
    Editor editor(*deviceProfileNamed(kDevices[state.range(0)]));
    Composition& c = editor.view.composition();
    const std::filesystem::path documents =
        std::filesystem::temp_directory_path() / "qp-editor-bench";
    std::filesystem::create_directories(documents);
    LapTimes tap, render, handOff, encode, flushed, unflushed;
    bool flushedFirst = true;
    for (auto _ : state) {
        const Stopwatch tapWatch;
        std::optional<Image> result = c.makeResultImage(true);
        const Lap rendered = tapWatch.lap();
        if (!result) {
            state.SkipWithError("the result could not be rendered");
            break;
        }
        const Stopwatch writeWatch;
        if (!writeHandOffFile(*result, documents).ok()) {
            state.SkipWithError("the hand-off file could not be written");
            break;
        }
        handOff.add(writeWatch.lap());
        render.add(rendered);
        const Lap tapped = tapWatch.lap();
        tap.add(tapped);
        state.SetIterationTime(tapped.wall / 1000);
        const Stopwatch encodeWatch;
        Result<QByteArray> bytes = encodeResult(*result, ResultFormat::Jpeg);
        encode.add(encodeWatch.lap());
        if (!bytes) continue;
        const std::filesystem::path copy = documents / "copy.igo";
        for (FileFlush flush : flushedFirst
                                   ? std::array{FileFlush::BeforeRename, FileFlush::None}
                                   : std::array{FileFlush::None, FileFlush::BeforeRename}) {
            const Stopwatch writeCopy;
            benchmark::DoNotOptimize(writeFileAtomically(copy, bytesOf(*bytes), flush));
            (flush == FileFlush::None ? unflushed : flushed).add(writeCopy.lap());
        }
        flushedFirst = !flushedFirst;
    }
    std::filesystem::remove_all(documents);
    addQuantiles(state, "tap", tap);
    addQuantiles(state, "render", render);
    addQuantiles(state, "handoff", handOff);
    addQuantiles(state, "encode", encode);
    addQuantiles(state, "write_flushed", flushed);
    addQuantiles(state, "write_unflushed", unflushed);
}
BENCHMARK(BM_ShareTap)
    ->ArgName("tablet")
    ->Arg(0)
    ->Arg(1)
    ->Iterations(40)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
