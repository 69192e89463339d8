#pragma once
// Drawing images onto a QPainter the way the operations and the layer
// renderer need it: upright by tag or raw, stretched to a rectangle, with a
// reduced level chosen when the picture lands smaller than its pixels.

#include <QImage>
#include <QPainter>
#include <QRectF>
#include <QTransform>

#include <optional>

#include "imaging/Image.h"
#include "platform/Geometry.h"

namespace qp::drawing {

// Maps stored pixel coordinates to the upright picture's pixel coordinates.
QTransform orientationTransform(ImageOrientation orientation, int width, int height);

// A transparent premultiplied ARGB bitmap, top-left origin.
QImage makeImageSurface(int width, int height);

// Whole pixels for a surface measured in (possibly fractional) pixels:
// the nearest integer, and at least 1 for any positive size.
int surfaceDimension(double size);

// A transparent surface for drawing `area` (in points) at `scale`; none for
// a bad scale or an area with no whole pixels.
std::optional<QImage> makeSurfaceForArea(const Rect& area, double scale);

// Where a picture of size `picture` lies when it covers `frame` (whose
// origin is 0, 0) and is centred: the parts past the frame are cut off.
Rect coverRect(Size picture, Size frame);

// The picture upright (tag applied), stretched to fill `rect`.
void drawImageInRect(QPainter& painter, const Image& image, const QRectF& rect);
// The stored bitmap as it lies (tag ignored), stretched to fill `rect`.
void drawStoredBitmapInRect(QPainter& painter, const Image& image, const QRectF& rect);

// The reduction level whose pixels land closest to, but not below, one
// device pixel each for a bitmap drawn with `storedToDevice`.
int levelForTransform(const QTransform& storedToDevice, int width, int height);

}  // namespace qp::drawing
