#include "imaging/PixelOps.h"

#include "imaging/BitmapPool.h"

#include <algorithm>
#include <cstdint>
#include <cstring>

namespace qp::pixelops {
namespace {

// Output tiles are this many pixels square, so the strided reads of a
// sideways permutation stay within cache.
constexpr int kTile = 64;

struct Walk {
    std::ptrdiff_t origin;  // element offset of the stored pixel for output (0, 0)
    std::ptrdiff_t stepX;   // offset change per output column
    std::ptrdiff_t stepY;   // offset change per output row
};

Walk walkFor(ImageOrientation orientation, std::ptrdiff_t w, std::ptrdiff_t h,
             std::ptrdiff_t stride) {
    switch (orientation) {
        case ImageOrientation::Up:
            return {0, 1, stride};
        case ImageOrientation::Down:
            return {(h - 1) * stride + w - 1, -1, -stride};
        case ImageOrientation::Left:
            return {w - 1, stride, -1};
        case ImageOrientation::Right:
            return {(h - 1) * stride, -stride, 1};
        case ImageOrientation::UpMirrored:
            return {w - 1, -1, stride};
        case ImageOrientation::DownMirrored:
            return {(h - 1) * stride, 1, -stride};
        case ImageOrientation::LeftMirrored:
            return {0, stride, 1};
        case ImageOrientation::RightMirrored:
            return {(h - 1) * stride + w - 1, -stride, -1};
    }
    return {0, 1, stride};
}

template <typename Pixel>
void permuteInto(const QImage& stored, QImage& out, ImageOrientation orientation) {
    const auto* src = reinterpret_cast<const Pixel*>(stored.constBits());
    const std::ptrdiff_t stride = stored.bytesPerLine() / std::ptrdiff_t(sizeof(Pixel));
    const Walk walk = walkFor(orientation, stored.width(), stored.height(), stride);
    const int ow = out.width();
    const int oh = out.height();
    if (walk.stepX == 1 || walk.stepX == -1) {
        // Rows stay rows: read each source row forwards or backwards.
        for (int y = 0; y < oh; ++y) {
            const Pixel* s = src + walk.origin + y * walk.stepY;
            auto* d = reinterpret_cast<Pixel*>(out.scanLine(y));
            if (walk.stepX == 1) {
                std::memcpy(d, s, sizeof(Pixel) * std::size_t(ow));
            } else {
                for (int x = 0; x < ow; ++x) d[x] = *(s - x);
            }
        }
        return;
    }
    for (int ty = 0; ty < oh; ty += kTile) {
        const int yEnd = std::min(oh, ty + kTile);
        for (int tx = 0; tx < ow; tx += kTile) {
            const int xEnd = std::min(ow, tx + kTile);
            for (int y = ty; y < yEnd; ++y) {
                auto* d = reinterpret_cast<Pixel*>(out.scanLine(y));
                const Pixel* s = src + walk.origin + y * walk.stepY + tx * walk.stepX;
                for (int x = tx; x < xEnd; ++x, s += walk.stepX) d[x] = *s;
            }
        }
    }
}

inline std::uint32_t average4(std::uint32_t a, std::uint32_t b, std::uint32_t c, std::uint32_t d) {
    // Two channels at a time in 16-bit lanes, rounding to nearest.
    constexpr std::uint32_t kMask = 0x00ff00ffu;
    const std::uint32_t lo = (a & kMask) + (b & kMask) + (c & kMask) + (d & kMask) + 0x00020002u;
    const std::uint32_t hi = ((a >> 8) & kMask) + ((b >> 8) & kMask) + ((c >> 8) & kMask) +
                             ((d >> 8) & kMask) + 0x00020002u;
    return ((lo >> 2) & kMask) | (((hi >> 2) & kMask) << 8);
}

}  // namespace

QImage uninitializedBitmap(int width, int height, QImage::Format format) {
    return pooledBitmap(width, height, format);
}

QImage permute(const QImage& stored, ImageOrientation orientation, QImage::Format format) {
    const bool swap = orientationSwapsAxes(orientation);
    const int ow = swap ? stored.height() : stored.width();
    const int oh = swap ? stored.width() : stored.height();
    if (format == QImage::Format_Invalid) format = stored.format();
    QImage out = uninitializedBitmap(ow, oh, format);
    if (out.isNull()) return out;
    if (stored.depth() == 32) {
        permuteInto<std::uint32_t>(stored, out, orientation);
    } else {
        permuteInto<std::uint8_t>(stored, out, orientation);
    }
    return out;
}

QImage reduceByHalf(const QImage& source) {
    const int w = source.width();
    const int h = source.height();
    const int ow = (w + 1) / 2;
    const int oh = (h + 1) / 2;
    QImage out = uninitializedBitmap(ow, oh, source.format());
    if (out.isNull()) return out;
    const bool wide = source.depth() == 32;
    for (int y = 0; y < oh; ++y) {
        const int y0 = 2 * y;
        const int y1 = std::min(y0 + 1, h - 1);
        if (wide) {
            const auto* r0 = reinterpret_cast<const std::uint32_t*>(source.constScanLine(y0));
            const auto* r1 = reinterpret_cast<const std::uint32_t*>(source.constScanLine(y1));
            auto* d = reinterpret_cast<std::uint32_t*>(out.scanLine(y));
            for (int x = 0; x < ow; ++x) {
                const int x0 = 2 * x;
                const int x1 = std::min(x0 + 1, w - 1);
                d[x] = average4(r0[x0], r0[x1], r1[x0], r1[x1]);
            }
        } else {
            const std::uint8_t* r0 = source.constScanLine(y0);
            const std::uint8_t* r1 = source.constScanLine(y1);
            std::uint8_t* d = out.scanLine(y);
            for (int x = 0; x < ow; ++x) {
                const int x0 = 2 * x;
                const int x1 = std::min(x0 + 1, w - 1);
                d[x] = std::uint8_t((r0[x0] + r0[x1] + r1[x0] + r1[x1] + 2) >> 2);
            }
        }
    }
    return out;
}

QImage asPremultipliedArgb(const QImage& source) {
    if (source.format() == QImage::Format_ARGB32_Premultiplied) return source;
    if (source.format() == QImage::Format_RGB32) {
        return permute(source, ImageOrientation::Up, QImage::Format_ARGB32_Premultiplied);
    }
    return source.convertToFormat(QImage::Format_ARGB32_Premultiplied);
}

}  // namespace qp::pixelops
