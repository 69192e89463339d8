#pragma once
// Whole-bitmap pixel loops behind the image operations: exact permutations
// for the orientation tags and flips, and the 2 × 2 area reduction.

#include <QImage>

#include "imaging/ImageOrientation.h"

namespace qp::pixelops {

// A bitmap of the given size and format whose pixels are not yet written.
QImage uninitializedBitmap(int width, int height, QImage::Format format);

// The upright bitmap for a tag: output (x, y) takes the stored pixel the
// orientation table names. Works on 32-bit and 8-bit formats; the result has
// `format`, which must have the stored bitmap's depth (default: the same).
QImage permute(const QImage& stored, ImageOrientation orientation,
               QImage::Format format = QImage::Format_Invalid);

// Half the size (rounded up), each output pixel the mean of its 2 × 2 block;
// an odd last row or column repeats its edge.
QImage reduceByHalf(const QImage& source);

// The pixels as premultiplied ARGB; an RGBX bitmap converts by relabelling
// (its alpha byte is 0xff, which is valid premultiplied).
QImage asPremultipliedArgb(const QImage& source);

// Whether every pixel of a 32-bit ARGB bitmap has full alpha.
bool isOpaque(const QImage& argb);

// Premultiplied ARGB laid over opaque white, as RGB32: each channel gains
// what the alpha lets through of white (c + 255 - a).
QImage overWhite(const QImage& premultiplied);

}  // namespace qp::pixelops
