// Orientation fixing, rotation and the two flips.
#include <cmath>
#include <numbers>

#include "imaging/Image.h"
#include "imaging/ImageDrawing.h"
#include "imaging/ImageLog.h"
#include "imaging/ImageOperationNames.h"
#include "imaging/PixelOps.h"

namespace qp {
namespace {

std::optional<Image> premultipliedResult(QImage bitmap) {
    if (bitmap.isNull()) return std::nullopt;
    return Image(std::move(bitmap));
}

// Rotations that map pixel centres onto pixel centres are done as exact
// permutations; `quarterTurns` is how many quarter turns clockwise.
std::optional<int> exactQuarterTurns(double angle, int width, int height) {
    const double turns = angle / (std::numbers::pi / 2);
    const double rounded = std::round(turns);
    if (std::abs(turns - rounded) > 1e-9) return std::nullopt;
    const int quarter = int(std::fmod(std::fmod(rounded, 4.0) + 4.0, 4.0));
    // A sideways turn of a non-square frame keeps the centre on the pixel grid
    // only when width and height differ by an even number.
    if (quarter % 2 == 1 && width != height) return std::nullopt;
    return quarter;
}

}  // namespace

std::optional<Image> Image::fixOrientation() const {
    if (orientation() == ImageOrientation::Up) return *this;
    if (isNull()) return std::nullopt;
    QImage upright = pixelops::permute(bitmap(), orientation());
    if (upright.isNull()) return std::nullopt;
    if (scale() != 1.0) {
        // The result measures the display size in pixels.
        const Size display = displaySize();
        const int w = drawing::surfaceDimension(display.width);
        const int h = drawing::surfaceDimension(display.height);
        if (w == 0 || h == 0) return std::nullopt;
        const auto resampled = Image(upright).resizeToSize({double(w), double(h)});
        if (!resampled) return std::nullopt;
        upright = resampled->bitmap();
        if (pixelFormat() != PixelFormat::PremultipliedArgb) {
            upright = upright.convertToFormat(bitmap().format());
        }
    }
    return Image(std::move(upright));
}

std::optional<Image> Image::rotateOnAngle(double angle) const {
    if (isNull() || !std::isfinite(angle)) {
        logImageOperationFailure(kRotateOnAngleName);
        return std::nullopt;
    }
    if (const auto quarter = exactQuarterTurns(angle, width(), height())) {
        static constexpr ImageOrientation kClockwise[] = {
            ImageOrientation::Up, ImageOrientation::Right, ImageOrientation::Down,
            ImageOrientation::Left};
        const QImage source =
            bitmap().depth() == 32 ? bitmap() : pixelops::asPremultipliedArgb(bitmap());
        return premultipliedResult(
            pixelops::permute(source, kClockwise[*quarter], QImage::Format_ARGB32_Premultiplied));
    }
    QImage surface = drawing::makeImageSurface(width(), height());
    if (surface.isNull()) return std::nullopt;
    QPainter painter(&surface);
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.translate(width() / 2.0, height() / 2.0);
    painter.rotate(angle * 180.0 / std::numbers::pi);
    painter.translate(-width() / 2.0, -height() / 2.0);
    drawing::drawStoredBitmapInRect(painter, *this, QRectF(0, 0, width(), height()));
    painter.end();
    return Image(std::move(surface));
}

std::optional<Image> Image::flipVertically() const {
    if (isNull()) {
        logImageOperationFailure(kFlipVerticallyName);
        return std::nullopt;
    }
    const QImage source =
        bitmap().depth() == 32 ? bitmap() : pixelops::asPremultipliedArgb(bitmap());
    return premultipliedResult(pixelops::permute(source, ImageOrientation::DownMirrored,
                                                 QImage::Format_ARGB32_Premultiplied));
}

std::optional<Image> Image::flipHorizontally() const {
    if (isNull()) {
        logImageOperationFailure(kFlipHorizontallyName);
        return std::nullopt;
    }
    const QImage source =
        bitmap().depth() == 32 ? bitmap() : pixelops::asPremultipliedArgb(bitmap());
    return premultipliedResult(pixelops::permute(source, ImageOrientation::UpMirrored,
                                                 QImage::Format_ARGB32_Premultiplied));
}

}  // namespace qp
