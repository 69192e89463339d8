// Steady-state timings of the image work the editor does on a 12-megapixel
// photo: decoding, turning upright, mirroring, resizing, the 612 × 612 JPEG
// and the render of the preview's layer tree.
//
//   qp_imaging_bench [benchmark flags]
//   qp_imaging_bench --write-photo=PATH   writes the test photo (JPEG, EXIF 6)
//   qp_imaging_bench --write-raw=PATH     writes its stored pixels as raw RGBA
#include <benchmark/benchmark.h>
#include <turbojpeg.h>

#include <QFile>
#include <cmath>
#include <cstring>
#include <string>

#include "imaging/BitmapPool.h"
#include "imaging/Image.h"
#include "imaging/Layer.h"
#include "imaging/LayerRenderer.h"
#include "imaging/PhotoIO.h"

namespace {

constexpr int kPhotoWidth = 4000;
constexpr int kPhotoHeight = 3000;

// Smooth colour fields with some fine detail, so the JPEG is photo-like
// rather than trivially compressible.
QImage syntheticPhoto() {
    QImage image(kPhotoWidth, kPhotoHeight, QImage::Format_RGB32);
    for (int y = 0; y < kPhotoHeight; ++y) {
        auto* row = reinterpret_cast<QRgb*>(image.scanLine(y));
        for (int x = 0; x < kPhotoWidth; ++x) {
            const int detail = ((x * 7 + y * 13) ^ (x * y)) & 31;
            row[x] = qRgb((x * 255 / kPhotoWidth + detail) & 255,
                          (y * 255 / kPhotoHeight + detail) & 255,
                          ((x + y) * 255 / (kPhotoWidth + kPhotoHeight) + 2 * detail) & 255);
        }
    }
    return image;
}

// A camera-like JPEG: quality 90, 4:2:0, with an EXIF block saying "turn
// right" (orientation 6).
QByteArray photoJpeg() {
    static const QByteArray jpeg = [] {
        const QImage pixels = syntheticPhoto();
        tjhandle handle = tjInitCompress();
        unsigned char* buffer = nullptr;
        unsigned long size = 0;
        tjCompress2(handle, pixels.constBits(), pixels.width(), int(pixels.bytesPerLine()),
                    pixels.height(), TJPF_BGRX, &buffer, &size, TJSAMP_420, 90, 0);
        QByteArray body(reinterpret_cast<const char*>(buffer), qsizetype(size));
        tjFree(buffer);
        tjDestroy(handle);
        static const unsigned char kExif[] = {
            0xFF, 0xE1, 0x00, 0x22, 'E', 'x', 'i', 'f', 0, 0, 'I', 'I', 42, 0, 8, 0, 0, 0,
            1,    0,    0x12, 0x01, 3,   0,   1,   0,   0, 0, 6,   0,   0,  0, 0, 0, 0, 0};
        return body.left(2) + QByteArray(reinterpret_cast<const char*>(kExif), sizeof(kExif)) +
               body.mid(2);
    }();
    return jpeg;
}

const qp::Image& decodedPhoto() {
    static const qp::Image photo = *qp::decodePhoto(photoJpeg());
    return photo;
}

void BM_DecodeFull(benchmark::State& state) {
    const QByteArray jpeg = photoJpeg();
    for (auto _ : state) benchmark::DoNotOptimize(qp::decodePhoto(jpeg));
}
BENCHMARK(BM_DecodeFull)->Unit(benchmark::kMillisecond);

void BM_DecodeShrunk(benchmark::State& state) {
    const QByteArray jpeg = photoJpeg();
    const int shrink = int(state.range(0));
    for (auto _ : state) benchmark::DoNotOptimize(qp::decodePhoto(jpeg, {.shrink = shrink}));
}
BENCHMARK(BM_DecodeShrunk)->Arg(2)->Arg(4)->Arg(8)->Unit(benchmark::kMillisecond);

// The yardstick for the pixel permutations: a plain copy of the same bitmap
// into a reused buffer.
void BM_PlainCopy(benchmark::State& state) {
    const QImage& source = decodedPhoto().bitmap();
    for (auto _ : state) {
        QImage copy = qp::pooledBitmap(source.width(), source.height(), source.format());
        std::memcpy(copy.bits(), source.constBits(), std::size_t(source.sizeInBytes()));
        benchmark::DoNotOptimize(copy.constBits());
    }
}
BENCHMARK(BM_PlainCopy)->Unit(benchmark::kMillisecond);

void BM_FixOrientation(benchmark::State& state) {
    const qp::Image& photo = decodedPhoto();
    for (auto _ : state) benchmark::DoNotOptimize(photo.fixOrientation());
}
BENCHMARK(BM_FixOrientation)->Unit(benchmark::kMillisecond);

void BM_FlipHorizontally(benchmark::State& state) {
    const qp::Image& photo = decodedPhoto();
    for (auto _ : state) benchmark::DoNotOptimize(photo.flipHorizontally());
}
BENCHMARK(BM_FlipHorizontally)->Unit(benchmark::kMillisecond);

void BM_FlipVertically(benchmark::State& state) {
    const qp::Image& photo = decodedPhoto();
    for (auto _ : state) benchmark::DoNotOptimize(photo.flipVertically());
}
BENCHMARK(BM_FlipVertically)->Unit(benchmark::kMillisecond);

void BM_ResizeUp(benchmark::State& state) {
    const qp::Image small =
        *decodedPhoto().withOrientation(qp::ImageOrientation::Up).resizeToSize({400, 300});
    for (auto _ : state) benchmark::DoNotOptimize(small.resizeToSize({816, 612}));
}
BENCHMARK(BM_ResizeUp)->Unit(benchmark::kMillisecond);

// A fresh image record each time, so no reduced level is kept between runs.
void BM_ResizeDown(benchmark::State& state) {
    const QImage& pixels = decodedPhoto().bitmap();
    for (auto _ : state) benchmark::DoNotOptimize(qp::Image(pixels).resizeToSize({816, 612}));
}
BENCHMARK(BM_ResizeDown)->Unit(benchmark::kMillisecond);

// The blurred fill of a 1080 × 1350 frame from a photo seen for the first
// time (its reduced levels not yet made).
void BM_BlurredToCover(benchmark::State& state) {
    const QImage& pixels = decodedPhoto().bitmap();
    for (auto _ : state) {
        benchmark::DoNotOptimize(qp::Image(pixels).blurredToCover({1080, 1350}, 1080 / 24.0));
    }
}
BENCHMARK(BM_BlurredToCover)->Unit(benchmark::kMillisecond);

void BM_EncodeJpeg612(benchmark::State& state) {
    const qp::Image result =
        *decodedPhoto().withOrientation(qp::ImageOrientation::Up).resizeToSize({612, 612});
    for (auto _ : state) benchmark::DoNotOptimize(qp::jpegRepresentation(result, 1.0));
}
BENCHMARK(BM_EncodeJpeg612)->Unit(benchmark::kMillisecond);

// The preview square of a phone (306 points) at scale 2 with the upright
// photo fitted whole, as the result render does it.
std::unique_ptr<qp::Layer> previewTree(const qp::Image& upright) {
    auto square = std::make_unique<qp::Layer>("previewView");
    square->setFrame({0, 0, 306, 306});
    square->setMasksToBounds(true);
    auto photo = std::make_unique<qp::Layer>("resultPreviewPhoto");
    photo->setBounds({0, 0, upright.storedSize().width, upright.storedSize().height});
    photo->setPosition({153, 153});
    const double fit = 306.0 / std::max(upright.storedSize().width, upright.storedSize().height);
    photo->setTransform(qp::AffineTransform::makeScale(fit, fit));
    photo->setImage(upright);
    square->addSublayer(std::move(photo));
    return square;
}

void BM_RenderLayerTree612Cold(benchmark::State& state) {
    const QImage pixels = decodedPhoto().fixOrientation()->bitmap();
    for (auto _ : state) {
        const auto tree = previewTree(qp::Image(pixels));  // no reduced levels yet
        benchmark::DoNotOptimize(qp::renderLayer(*tree, {0, 0, 306, 306}, 2.0, Qt::white));
    }
}
BENCHMARK(BM_RenderLayerTree612Cold)->Unit(benchmark::kMillisecond);

void BM_RenderLayerTree612Warm(benchmark::State& state) {
    const auto tree = previewTree(*decodedPhoto().fixOrientation());
    for (auto _ : state) {
        benchmark::DoNotOptimize(qp::renderLayer(*tree, {0, 0, 306, 306}, 2.0, Qt::white));
    }
}
BENCHMARK(BM_RenderLayerTree612Warm)->Unit(benchmark::kMillisecond);

// The whole road from a camera file to the 612 × 612 result: decode with
// the largest shrink that keeps 612 pixels, turn upright, render on white.
void BM_FitPhotoInto612(benchmark::State& state) {
    const QByteArray jpeg = photoJpeg();
    for (auto _ : state) {
        const auto photo = qp::decodePhoto(jpeg, {.shrink = 4});
        const auto tree = previewTree(*photo->fixOrientation());
        benchmark::DoNotOptimize(qp::renderLayer(*tree, {0, 0, 306, 306}, 2.0, Qt::white));
    }
}
BENCHMARK(BM_FitPhotoInto612)->Unit(benchmark::kMillisecond);

bool writeFile(const std::string& path, const QByteArray& bytes) {
    QFile file(QString::fromStdString(path));
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

}  // namespace

int main(int argc, char** argv) {
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg.rfind("--write-photo=", 0) == 0)
            return writeFile(arg.substr(14), photoJpeg()) ? 0 : 1;
        if (arg.rfind("--write-raw=", 0) == 0) {
            const QImage rgba = decodedPhoto().bitmap().convertToFormat(QImage::Format_RGBA8888);
            return writeFile(arg.substr(12),
                             QByteArray(reinterpret_cast<const char*>(rgba.constBits()),
                                        rgba.sizeInBytes()))
                       ? 0
                       : 1;
        }
    }
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
