// Masks, grey conversion, round corners and path silhouettes.
#include <QPainterPath>
#include <algorithm>
#include <cmath>
#include <cstdint>
#include <vector>

#include "imaging/Image.h"
#include "imaging/ImageDrawing.h"
#include "imaging/ImageLog.h"
#include "imaging/ImageOperationNames.h"
#include "imaging/PixelOps.h"

namespace qp {
namespace {

// Rec. 601 weights in 8.8 fixed point; premultiplied colour reads as
// colour over black, which is how a surface without alpha sees it.
inline std::uint8_t luminance(QRgb pixel) {
    return std::uint8_t((77 * qRed(pixel) + 150 * qGreen(pixel) + 29 * qBlue(pixel) + 128) >> 8);
}

inline QRgb scaledPremultiplied(QRgb pixel, unsigned coverage) {
    const auto mul = [coverage](unsigned c) { return (c * coverage + 127) / 255; };
    return qRgba(int(mul(unsigned(qRed(pixel)))), int(mul(unsigned(qGreen(pixel)))),
                 int(mul(unsigned(qBlue(pixel)))), int(mul(unsigned(qAlpha(pixel)))));
}

QImage greyOf(const QImage& bitmap) {
    if (bitmap.format() == QImage::Format_Grayscale8) return bitmap;
    QImage grey(bitmap.width(), bitmap.height(), QImage::Format_Grayscale8);
    if (grey.isNull()) return grey;
    const QImage argb = pixelops::asPremultipliedArgb(bitmap);
    for (int y = 0; y < grey.height(); ++y) {
        const auto* s = reinterpret_cast<const QRgb*>(argb.constScanLine(y));
        std::uint8_t* d = grey.scanLine(y);
        for (int x = 0; x < grey.width(); ++x) d[x] = luminance(s[x]);
    }
    return grey;
}

// Fills `path` (top-left coordinates) with the stored bitmap, antialiased.
QImage clipToPath(const Image& image, const QPainterPath& path) {
    QImage surface = drawing::makeImageSurface(image.width(), image.height());
    if (surface.isNull()) return surface;
    QPainter painter(&surface);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.fillPath(path, QBrush(pixelops::asPremultipliedArgb(image.bitmap())));
    painter.end();
    return surface;
}

// Paths arrive in bottom-left coordinates; QPainter draws top-left.
QPainterPath flippedPath(const QPainterPath& path, int height) {
    QPainterPath flipped = QTransform(1, 0, 0, -1, 0, height).map(path);
    flipped.setFillRule(Qt::WindingFill);
    return flipped;
}

// One running-sum box pass along rows (or columns) of an alpha plane; the
// outside counts as transparent.
void boxPass(std::vector<std::uint8_t>& plane, int w, int h, int radius, bool alongRows) {
    const int lines = alongRows ? h : w;
    const int length = alongRows ? w : h;
    const std::ptrdiff_t step = alongRows ? 1 : w;
    const std::ptrdiff_t lineStep = alongRows ? w : 1;
    const int window = 2 * radius + 1;
    std::vector<std::uint8_t> line(static_cast<std::size_t>(length));
    for (int l = 0; l < lines; ++l) {
        std::uint8_t* p = plane.data() + l * lineStep;
        for (int i = 0; i < length; ++i) line[std::size_t(i)] = p[i * step];
        int sum = 0;
        for (int i = 0; i <= std::min(radius, length - 1); ++i) sum += line[std::size_t(i)];
        for (int i = 0; i < length; ++i) {
            p[i * step] = std::uint8_t((sum + window / 2) / window);
            const int add = i + radius + 1;
            const int drop = i - radius;
            if (add < length) sum += line[std::size_t(add)];
            if (drop >= 0) sum -= line[std::size_t(drop)];
        }
    }
}

// Three box passes each way approximate a Gaussian whose sigma is half the
// blur amount.
void blurAlpha(std::vector<std::uint8_t>& plane, int w, int h, double blur) {
    const double sigma = blur / 2.0;
    if (!(sigma >= 0.5)) return;
    const int radius =
        std::max(1, int(std::lround((std::sqrt(4.0 * sigma * sigma + 1.0) - 1.0) / 2.0)));
    for (int pass = 0; pass < 3; ++pass) {
        boxPass(plane, w, h, radius, true);
        boxPass(plane, w, h, radius, false);
    }
}

}  // namespace

std::optional<Image> Image::maskWithImage(const Image& mask) const {
    if (isNull() || mask.isNull()) {
        logImageOperationFailure(kMaskWithImageName);
        return std::nullopt;
    }
    QImage coverage = greyOf(mask.bitmap());
    if (coverage.size() != bitmap().size()) {
        coverage =
            coverage.scaled(width(), height(), Qt::IgnoreAspectRatio, Qt::FastTransformation);
    }
    const QImage source = pixelops::asPremultipliedArgb(bitmap());
    QImage out(width(), height(), QImage::Format_ARGB32_Premultiplied);
    if (out.isNull() || coverage.isNull()) return std::nullopt;
    for (int y = 0; y < height(); ++y) {
        const auto* s = reinterpret_cast<const QRgb*>(source.constScanLine(y));
        const std::uint8_t* m = coverage.constScanLine(y);
        auto* d = reinterpret_cast<QRgb*>(out.scanLine(y));
        for (int x = 0; x < width(); ++x) d[x] = scaledPremultiplied(s[x], 255u - m[x]);
    }
    return Image(std::move(out));
}

std::optional<Image> Image::maskWithImage(const Image& mask, const Rect& rect) const {
    const int w = drawing::surfaceDimension(rect.width());
    const int h = drawing::surfaceDimension(rect.height());
    if (isNull() || mask.isNull() || w == 0 || h == 0) {
        logImageOperationFailure(kMaskWithImageRectName);
        return std::nullopt;
    }
    QImage stretched = drawing::makeImageSurface(w, h);
    if (stretched.isNull()) {
        logImageOperationFailure(kMaskWithImageRectName);
        return std::nullopt;
    }
    {
        QPainter painter(&stretched);
        drawing::drawImageInRect(painter, mask, QRectF(0, 0, w, h));
    }
    const QImage source = pixelops::asPremultipliedArgb(bitmap());
    QImage out = drawing::makeImageSurface(w, h);
    if (out.isNull()) {
        logImageOperationFailure(kMaskWithImageRectName);
        return std::nullopt;
    }
    // The receiver keeps its own size, top-left on top-left; the rest is cut off.
    const int cw = std::min(w, width());
    const int ch = std::min(h, height());
    for (int y = 0; y < ch; ++y) {
        const auto* s = reinterpret_cast<const QRgb*>(source.constScanLine(y));
        const auto* m = reinterpret_cast<const QRgb*>(stretched.constScanLine(y));
        auto* d = reinterpret_cast<QRgb*>(out.scanLine(y));
        for (int x = 0; x < cw; ++x) d[x] = scaledPremultiplied(s[x], luminance(m[x]));
    }
    return Image(std::move(out));
}

std::optional<Image> Image::makeBlackAndWhite() const {
    if (isNull()) {
        logImageOperationFailure(kMakeBlackAndWhiteName);
        return std::nullopt;
    }
    QImage grey = greyOf(bitmap());
    if (grey.isNull()) {
        logImageOperationFailure(kMakeBlackAndWhiteName);
        return std::nullopt;
    }
    if (grey.constBits() == bitmap().constBits()) grey = grey.copy();
    return Image(std::move(grey));
}

std::optional<Image> Image::makeRoundCornersWithCornerWidthCornerHeight(double cornerWidth,
                                                                        double cornerHeight) const {
    if (isNull() || !std::isfinite(cornerWidth) || !std::isfinite(cornerHeight)) {
        logImageOperationFailure(kMakeRoundCornersName);
        return std::nullopt;
    }
    QPainterPath path;
    const QRectF bounds(0, 0, width(), height());
    if (cornerWidth == 0 || cornerHeight == 0) {
        path.addRect(bounds);
    } else {
        // Radii larger than half a side are clamped, so the shape stays convex.
        path.addRoundedRect(bounds, std::abs(cornerWidth), std::abs(cornerHeight),
                            Qt::AbsoluteSize);
    }
    QImage out = clipToPath(*this, path);
    if (out.isNull()) return std::nullopt;
    return Image(std::move(out));
}

std::optional<Image> Image::maskWithPath(const QPainterPath& path) const {
    if (isNull()) {
        logImageOperationFailure(kMaskWithPathName);
        return std::nullopt;
    }
    QImage out = clipToPath(*this, flippedPath(path, height()));
    if (out.isNull()) return std::nullopt;
    return Image(std::move(out));
}

std::optional<Image> Image::maskFromPathBlur(const QPainterPath& path, double blur) const {
    if (isNull()) {
        logImageOperationFailure(kMaskFromPathName);
        return std::nullopt;
    }
    const int w = width();
    const int h = height();
    QImage shape(w, h, QImage::Format_Alpha8);
    if (shape.isNull()) return std::nullopt;
    shape.fill(0);
    {
        QPainter painter(&shape);
        painter.setRenderHint(QPainter::Antialiasing);
        painter.fillPath(flippedPath(path, h), Qt::black);
    }
    std::vector<std::uint8_t> plane(std::size_t(w) * std::size_t(h));
    for (int y = 0; y < h; ++y) {
        std::copy_n(shape.constScanLine(y), w, plane.data() + std::ptrdiff_t(y) * w);
    }
    blurAlpha(plane, w, h, blur);
    QImage out(w, h, QImage::Format_ARGB32_Premultiplied);
    if (out.isNull()) return std::nullopt;
    for (int y = 0; y < h; ++y) {
        auto* d = reinterpret_cast<QRgb*>(out.scanLine(y));
        const std::uint8_t* a = plane.data() + std::ptrdiff_t(y) * w;
        for (int x = 0; x < w; ++x) d[x] = qRgba(0, 0, 0, a[x]);
    }
    return Image(std::move(out));
}

}  // namespace qp
