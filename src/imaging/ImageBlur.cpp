// The blurred fill: a picture scaled to cover a frame and blurred so softly
// that no detail competes with what is laid over it.
#include <QImage>
#include <algorithm>
#include <cmath>
#include <cstdint>
#include <vector>

#include "imaging/Image.h"
#include "imaging/ImageDrawing.h"
#include "imaging/ImageLog.h"
#include "imaging/ImageOperationNames.h"

namespace qp {
namespace {

// Three box passes of width w come close to a Gaussian of standard
// deviation √(3 · (w² − 1) / 12).
constexpr int kBoxPasses = 3;
double deviationOfBoxes(int width) {
    return std::sqrt(kBoxPasses * (double(width) * width - 1) / 12);
}
// The blur runs on a copy reduced until its deviation is that of boxes 7
// pixels wide (about 3.5 pixels): close to a Gaussian, and the copy stays
// small whatever the photo's size.
constexpr int kWorkingBoxWidth = 7;

// Width of each box pass for a deviation of `sigma` pixels, odd so the box
// has a centre.
int boxWidthFor(double sigma) {
    const int w = int(std::lround(std::sqrt(12.0 * sigma * sigma / kBoxPasses + 1)));
    return std::max(1, w | 1);
}

// One box pass over `count` pixels `step` apart, the edge pixels repeated
// beyond the ends so the margins keep the picture's colours.
void boxPass(const std::uint32_t* in, std::uint32_t* out, int count, int step, int half,
             std::vector<std::uint32_t>& line) {
    line.resize(std::size_t(count));
    for (int i = 0; i < count; ++i) line[std::size_t(i)] = in[std::ptrdiff_t(i) * step];
    const auto at = [&](int i) { return line[std::size_t(std::clamp(i, 0, count - 1))]; };
    const int width = 2 * half + 1;
    std::uint32_t sum[4] = {0, 0, 0, 0};
    const auto add = [&](std::uint32_t px, int sign) {
        for (int c = 0; c < 4; ++c) sum[c] += std::uint32_t(sign) * ((px >> (8 * c)) & 0xff);
    };
    for (int i = -half; i <= half; ++i) add(at(i), 1);
    for (int i = 0; i < count; ++i) {
        std::uint32_t px = 0;
        for (int c = 0; c < 4; ++c) px |= ((sum[c] + std::uint32_t(width / 2)) / width) << (8 * c);
        out[std::ptrdiff_t(i) * step] = px;
        add(at(i - half), -1);
        add(at(i + half + 1), 1);
    }
}

void boxBlur(QImage& image, int boxWidth) {
    const int half = boxWidth / 2;
    if (half == 0) return;
    const int w = image.width(), h = image.height();
    const int stride = int(image.bytesPerLine() / 4);
    auto* pixels = reinterpret_cast<std::uint32_t*>(image.bits());
    std::vector<std::uint32_t> line;
    for (int pass = 0; pass < kBoxPasses; ++pass) {
        for (int y = 0; y < h; ++y) {
            std::uint32_t* row = pixels + std::ptrdiff_t(y) * stride;
            boxPass(row, row, w, 1, half, line);
        }
        for (int x = 0; x < w; ++x) boxPass(pixels + x, pixels + x, h, stride, half, line);
    }
}

}  // namespace

std::optional<Image> Image::blurredToCover(Size size, double radius) const {
    const int w = drawing::surfaceDimension(size.width);
    const int h = drawing::surfaceDimension(size.height);
    if (isNull() || w == 0 || h == 0 || !(radius >= 0) || !std::isfinite(radius)) {
        logImageOperationFailure(kBlurredToCoverName);
        return std::nullopt;
    }
    // Work at the scale where the blur is a few pixels wide; never above
    // the output's own size.
    const double working = deviationOfBoxes(kWorkingBoxWidth);
    const double reduction = radius > working ? working / radius : 1.0;
    const int workW = std::max(1, int(std::lround(w * reduction)));
    const int workH = std::max(1, int(std::lround(h * reduction)));
    QImage work = drawing::makeImageSurface(workW, workH);
    if (work.isNull()) return std::nullopt;
    {
        QPainter painter(&work);
        const Rect cover = drawing::coverRect(uprightPixelSize(), {double(workW), double(workH)});
        drawing::drawImageInRect(
            painter, *this,
            QRectF(cover.origin.x, cover.origin.y, cover.size.width, cover.size.height));
    }
    boxBlur(work, boxWidthFor(radius * double(workW) / w));
    if (workW == w && workH == h) return Image(std::move(work));
    // Enlarging a blurred picture loses nothing: bilinear with the edges
    // held, so the corners keep their colour.
    QImage result = work.scaled(w, h, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    if (result.isNull()) return std::nullopt;
    return Image(std::move(result));
}

}  // namespace qp
