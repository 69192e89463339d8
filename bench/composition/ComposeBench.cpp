// The composition's hot paths: a share tap with a 12-megapixel photo already
// placed, and the text layer's render after a slider pause. Also writes the
// benchmark photo and measures a result's PSNR for scripts/bench-compose.
//   qp_compose_bench --write-photo=PATH [--width=4000 --height=3000 --orientation=6]
//                    [--quality=92] [--noisy]  (fine texture and sensor noise)
//   qp_compose_bench --psnr=RESULT --photo=PHOTO
//   qp_compose_bench --floor=PHOTO   (decode shrunk for the square, encode 612 × 612)
//   qp_compose_bench --floor-parts=PHOTO   (median ms of that decode, then of that encode)

#include <benchmark/benchmark.h>

#include <QFile>
#include <QGuiApplication>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "LanczosReference.h"
#include "SyntheticPhoto.h"
#include "editor/composition/Composition.h"
#include "editor/composition/CompositionConstants.h"
#include "editor/composition/PhotoSource.h"
#include "editor/composition/ResultFile.h"
#include "imaging/PhotoIO.h"
#include "platform/Paths.h"

namespace {

using namespace qp;

ThemeSettings whiteTheme() {
    ThemeSettings theme;
    theme.photoEnabled = true;
    theme.textStyle.fontName = "DejaVu Sans";
    theme.textStyle.fontRed = 40;
    theme.textStyle.fontGreen = 40;
    theme.textStyle.fontBlue = 40;
    theme.textStyle.fontDefaultSize = 24;
    theme.textStyle.fontAlignment = TextAlignment::Center;
    theme.textStyle.textBoxLeft = 40;
    theme.textStyle.textBoxTop = 520;
    theme.textStyle.textBoxWidth = 532;
    theme.textStyle.textBoxHeight = 72;
    return theme;
}

Image placedPhoto() {
    static const Image photo = [] {
        Result<Image> decoded = decodePhoto(bench::syntheticPhotoJpeg(4000, 3000, 6, 0.92));
        return *decoded;
    }();
    return photo;
}

// Share tap: the final render of a placed 12 MP photo, then the hand-off file.
void BM_ShareTap(benchmark::State& state) {
    Composition composition(*deviceProfileNamed(state.range(0) ? "ipad-retina" : "iphone-4in"));
    composition.applyTheme(whiteTheme(), std::nullopt, std::nullopt);
    if (!composition.placement().importPhoto(placedPhoto()).ok()) state.SkipWithError("import");
    const std::filesystem::path documents = std::filesystem::temp_directory_path();
    for (auto _ : state) {
        std::optional<Image> result = composition.makeResultImage(true);
        Result<std::filesystem::path> written = writeHandOffFile(*result, documents);
        benchmark::DoNotOptimize(written);
    }
    std::filesystem::remove(documents / kHandOffFileName);
}
BENCHMARK(BM_ShareTap)->ArgName("tablet")->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

// The final render alone.
void BM_FinalRender(benchmark::State& state) {
    Composition composition(*deviceProfileNamed("iphone-4in"));
    composition.applyTheme(whiteTheme(), std::nullopt, std::nullopt);
    if (!composition.placement().importPhoto(placedPhoto()).ok()) state.SkipWithError("import");
    for (auto _ : state) benchmark::DoNotOptimize(composition.makeResultImage(true));
}
BENCHMARK(BM_FinalRender)->Unit(benchmark::kMillisecond);

// The text layer after a slider pause: the message at a new size.
void BM_TextLayerRender(benchmark::State& state) {
    Composition composition(*deviceProfileNamed("iphone-4in"));
    composition.applyTheme(whiteTheme(), std::nullopt, std::nullopt);
    composition.setMessage(
        std::string(state.range(0), 'w').replace(0, 0, "Sunset over the hills "));
    double size = 20;
    for (auto _ : state) {
        composition.setCurrentFontSize(size = size >= 40 ? 20 : size + 1);
        composition.refreshTextLayer();
    }
}
BENCHMARK(BM_TextLayerRender)->Arg(0)->Arg(98)->Unit(benchmark::kMillisecond);

std::string flagValue(int argc, char** argv, const char* name) {
    const std::size_t n = std::strlen(name);
    for (int i = 1; i < argc; ++i) {
        if (std::strncmp(argv[i], name, n) == 0 && argv[i][n] == '=') return argv[i] + n + 1;
    }
    return {};
}

bool hasFlag(int argc, char** argv, const char* name) {
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], name) == 0) return true;
    }
    return false;
}

int intFlag(int argc, char** argv, const char* name, int fallback) {
    const std::string v = flagValue(argc, argv, name);
    return v.empty() ? fallback : std::atoi(v.c_str());
}

int writePhoto(int argc, char** argv, const std::string& path) {
    const QByteArray jpeg = bench::syntheticPhotoJpeg(
        intFlag(argc, argv, "--width", 4000), intFlag(argc, argv, "--height", 3000),
        intFlag(argc, argv, "--orientation", 6), intFlag(argc, argv, "--quality", 92) / 100.0,
        hasFlag(argc, argv, "--noisy") ? bench::PhotoContent::Noisy : bench::PhotoContent::Smooth);
    if (!writeFileAtomically(path, std::string_view(jpeg.constData(), std::size_t(jpeg.size())))
             .ok())
        return 1;
    return 0;
}

int measurePsnr(const std::string& resultPath, const std::string& photoPath) {
    Result<Image> result = readPhoto(resultPath);
    Result<Image> photo = readPhoto(photoPath);
    if (!result || !photo) {
        std::fprintf(stderr, "cannot read %s or %s\n", resultPath.c_str(), photoPath.c_str());
        return 1;
    }
    const QImage reference = bench::lanczosFit(photo->fixOrientation()->bitmap(), kResultSide);
    if (const char* keep = std::getenv("QP_KEEP_REFERENCE")) reference.save(keep);
    std::printf("%.2f\n", bench::psnr(result->fixOrientation()->bitmap(), reference));
    return 0;
}

// The least any tool must do: decode the photo (shrunk as far as the square
// allows) and encode a 612 × 612 JPEG at quality 100, 4:4:4.
int floorRun(const std::string& photoPath) {
    Result<LoadedPhoto> photo = readPhotoForSquare(photoPath, kResultSide);
    if (!photo) return 1;
    const QImage square = photo->image.bitmap().copy(0, 0, kResultSide, kResultSide);
    Result<QByteArray> jpeg = jpegRepresentation(Image(square), 1.0);
    return jpeg.ok() && !jpeg->isEmpty() ? 0 : 1;
}

// The floor's two parts timed apart, in this process: median milliseconds of
// the shrink-on-load decode and of the 612 × 612 encode.
int floorParts(const std::string& photoPath) {
    constexpr int kRuns = 9;
    using Clock = std::chrono::steady_clock;
    std::vector<double> decodeMs, encodeMs;
    for (int i = 0; i < kRuns; ++i) {
        const auto t0 = Clock::now();
        Result<LoadedPhoto> photo = readPhotoForSquare(photoPath, kResultSide);
        const auto t1 = Clock::now();
        if (!photo) return 1;
        const QImage square = photo->image.bitmap().copy(0, 0, kResultSide, kResultSide);
        const auto t2 = Clock::now();
        Result<QByteArray> jpeg = jpegRepresentation(Image(square), 1.0);
        const auto t3 = Clock::now();
        if (!jpeg.ok()) return 1;
        decodeMs.push_back(std::chrono::duration<double, std::milli>(t1 - t0).count());
        encodeMs.push_back(std::chrono::duration<double, std::milli>(t3 - t2).count());
    }
    const auto median = [](std::vector<double> v) {
        std::sort(v.begin(), v.end());
        return v[v.size() / 2];
    };
    std::printf("%.1f %.1f\n", median(decodeMs), median(encodeMs));
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    if (std::string p = flagValue(argc, argv, "--write-photo"); !p.empty()) {
        return writePhoto(argc, argv, p);
    }
    if (std::string r = flagValue(argc, argv, "--psnr"); !r.empty()) {
        return measurePsnr(r, flagValue(argc, argv, "--photo"));
    }
    if (std::string p = flagValue(argc, argv, "--floor"); !p.empty()) return floorRun(p);
    if (std::string p = flagValue(argc, argv, "--floor-parts"); !p.empty()) return floorParts(p);
    setenv("QT_QPA_PLATFORM", "offscreen", 1);
    QGuiApplication app(argc, argv);  // fonts for the text layer
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
