// Resizing, cropping, previews and mixing: operations that draw the picture
// upright into a new image surface.
#include <algorithm>
#include <cmath>

#include "imaging/Image.h"
#include "imaging/ImageDrawing.h"
#include "imaging/ImageLog.h"
#include "imaging/ImageOperationNames.h"

namespace qp {
namespace {

// Nearest integer, halves away from zero.
double nearest(double value) {
    return std::round(value);
}

bool isNoColour(const std::optional<QColor>& colour) {
    return !colour || !colour->isValid() || colour->alpha() == 0;
}

}  // namespace

std::optional<Image> Image::resizeToSize(Size size) const {
    return resizeToSize(size, {});
}

std::optional<Image> Image::resizeToSize(Size size, std::optional<QColor> backgroundColor) const {
    if (isNull()) {
        logImageOperationFailure(kResizeToSizeName);
        return std::nullopt;
    }
    const int w = drawing::surfaceDimension(size.width);
    const int h = drawing::surfaceDimension(size.height);
    if (w == 0 || h == 0) return std::nullopt;
    QImage surface = drawing::makeImageSurface(w, h);
    if (surface.isNull()) return std::nullopt;
    QPainter painter(&surface);
    if (!isNoColour(backgroundColor)) painter.fillRect(QRectF(0, 0, w, h), *backgroundColor);
    drawing::drawImageInRect(painter, *this, QRectF(0, 0, w, h));
    painter.end();
    return Image(std::move(surface));
}

std::optional<Image> Image::cropToRect(const Rect& rect) const {
    if (isNull()) {
        logImageOperationFailure(kCropToRectName);
        return std::nullopt;
    }
    // Measured on the upright picture, so a sideways photo is cut, not stretched.
    const Size upright = uprightPixelSize();
    const Rect inside = rect.intersection(Rect(0, 0, upright.width, upright.height));
    if (inside.isEmpty()) return std::nullopt;
    const int w = drawing::surfaceDimension(inside.width());
    const int h = drawing::surfaceDimension(inside.height());
    QImage surface = drawing::makeImageSurface(w, h);
    if (surface.isNull()) return std::nullopt;
    QPainter painter(&surface);
    const Rect r = rect.standardized();
    drawing::drawImageInRect(painter, *this,
                             QRectF(-std::max(0.0, r.origin.x), -std::max(0.0, r.origin.y),
                                    upright.width, upright.height));
    painter.end();
    return Image(std::move(surface));
}

std::optional<Image> Image::previewWithSize(Size size) const {
    if (isNull() || size.isEmpty()) {
        logImageOperationFailure(kPreviewWithSizeName);
        return std::nullopt;
    }
    const Size stored = uprightPixelSize();
    Size fill;
    if (stored.height / stored.width > size.height / size.width) {
        fill = {size.width, nearest(stored.height * size.width / stored.width)};
    } else {
        fill = {nearest(stored.width * size.height / stored.height), size.height};
    }
    fill = {nearest(fill.width), nearest(fill.height)};
    const double ox = nearest((fill.width - size.width) * 0.5);
    const double oy = nearest((fill.height - size.height) * 0.5);
    const auto filled = resizeToSize(fill);
    if (!filled) return std::nullopt;
    return filled->cropToRect(Rect(ox, oy, size.width, size.height));
}

std::optional<Image> Image::mixWithImage(const Image& image) const {
    return mixWithImage(image, Rect(0, 0, width(), image.height()));
}

std::optional<Image> Image::mixWithImage(const Image& image, const Rect& rect) const {
    if (isNull()) {
        logImageOperationFailure(kMixWithImageName);
        return std::nullopt;
    }
    const Size upright = uprightPixelSize();
    QImage surface = drawing::makeImageSurface(int(upright.width), int(upright.height));
    if (surface.isNull()) return std::nullopt;
    QPainter painter(&surface);
    drawing::drawImageInRect(painter, *this, QRectF(0, 0, upright.width, upright.height));
    const Rect r = rect.standardized();
    drawing::drawImageInRect(painter, image,
                             QRectF(r.origin.x, r.origin.y, r.size.width, r.size.height));
    painter.end();
    return Image(std::move(surface));
}

}  // namespace qp
