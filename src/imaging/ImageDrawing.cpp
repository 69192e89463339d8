#include "imaging/ImageDrawing.h"

#include <algorithm>
#include <cmath>

#include "imaging/BitmapPool.h"

namespace qp::drawing {
namespace {

void drawWithTransform(QPainter& painter, const Image& image, const QTransform& storedToUser) {
    const int w = image.width();
    const int h = image.height();
    const int level = levelForTransform(storedToUser * painter.combinedTransform(), w, h);
    const QImage bitmap = level == 0 ? image.bitmap() : image.reducedLevel(level);
    const QTransform levelToStored =
        QTransform::fromScale(double(w) / bitmap.width(), double(h) / bitmap.height());
    painter.save();
    painter.setTransform(levelToStored * storedToUser, true);
    painter.setRenderHint(QPainter::SmoothPixmapTransform, true);
    painter.drawImage(QPointF(0, 0), bitmap);
    painter.restore();
}

}  // namespace

QTransform orientationTransform(ImageOrientation orientation, int width, int height) {
    const double w = width;
    const double h = height;
    // QTransform(m11, m12, m21, m22, dx, dy): x' = m11·u + m21·v + dx, y' = m12·u + m22·v + dy.
    switch (orientation) {
        case ImageOrientation::Up:
            return QTransform();
        case ImageOrientation::Down:
            return QTransform(-1, 0, 0, -1, w, h);
        case ImageOrientation::Left:
            return QTransform(0, -1, 1, 0, 0, w);
        case ImageOrientation::Right:
            return QTransform(0, 1, -1, 0, h, 0);
        case ImageOrientation::UpMirrored:
            return QTransform(-1, 0, 0, 1, w, 0);
        case ImageOrientation::DownMirrored:
            return QTransform(1, 0, 0, -1, 0, h);
        case ImageOrientation::LeftMirrored:
            return QTransform(0, 1, 1, 0, 0, 0);
        case ImageOrientation::RightMirrored:
            return QTransform(0, -1, -1, 0, h, w);
    }
    return QTransform();
}

QImage makeImageSurface(int width, int height) {
    QImage surface = pooledBitmap(width, height, QImage::Format_ARGB32_Premultiplied);
    if (!surface.isNull()) surface.fill(Qt::transparent);
    return surface;
}

int surfaceDimension(double size) {
    if (!(size > 0) || !std::isfinite(size)) return 0;
    return std::max(1, int(std::lround(std::min(size, 1.0e6))));
}

std::optional<QImage> makeSurfaceForArea(const Rect& area, double scale) {
    if (!(scale > 0) || !std::isfinite(scale)) return std::nullopt;
    const Rect r = area.standardized();
    const int w = surfaceDimension(r.size.width * scale);
    const int h = surfaceDimension(r.size.height * scale);
    if (w == 0 || h == 0) return std::nullopt;
    QImage surface = makeImageSurface(w, h);
    if (surface.isNull()) return std::nullopt;
    return surface;
}

int levelForTransform(const QTransform& storedToDevice, int width, int height) {
    const double sx = std::hypot(storedToDevice.m11(), storedToDevice.m12());
    const double sy = std::hypot(storedToDevice.m21(), storedToDevice.m22());
    const double s = std::max(sx, sy);
    int level = 0;
    // Take the next level only while its pixels still land at least one
    // device pixel apart, so the final bilinear step never skips pixels.
    while (s * double(1 << (level + 1)) <= 1.0 + 1e-9 && level < 20 &&
           ((width >> (level + 1)) > 0 || (height >> (level + 1)) > 0)) {
        ++level;
    }
    return level;
}

Rect coverRect(Size picture, Size frame) {
    if (picture.isEmpty()) return {0, 0, frame.width, frame.height};
    const double scale = std::max(frame.width / picture.width, frame.height / picture.height);
    const double w = picture.width * scale, h = picture.height * scale;
    return {(frame.width - w) / 2, (frame.height - h) / 2, w, h};
}

void drawImageInRect(QPainter& painter, const Image& image, const QRectF& rect) {
    if (image.isNull() || rect.isEmpty()) return;
    const Size upright = image.uprightPixelSize();
    const QTransform toRect =
        QTransform::fromScale(rect.width() / upright.width, rect.height() / upright.height) *
        QTransform::fromTranslate(rect.x(), rect.y());
    drawWithTransform(
        painter, image,
        orientationTransform(image.orientation(), image.width(), image.height()) * toRect);
}

void drawStoredBitmapInRect(QPainter& painter, const Image& image, const QRectF& rect) {
    if (image.isNull() || rect.isEmpty()) return;
    drawWithTransform(
        painter, image,
        QTransform::fromScale(rect.width() / image.width(), rect.height() / image.height()) *
            QTransform::fromTranslate(rect.x(), rect.y()));
}

}  // namespace qp::drawing
