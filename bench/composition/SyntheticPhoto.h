#pragma once
// A made-up photograph for benchmarks and the bundled sample: sky, sun,
// hills and fine texture, stored turned for an EXIF orientation tag.

#include <QByteArray>
#include <QImage>

namespace qp::bench {

// The upright picture.
QImage syntheticPhoto(int width, int height);

// JPEG bytes whose stored pixels, turned by `exifOrientation`, show the
// upright `width` × `height` picture; the tag sits in an EXIF block.
QByteArray syntheticPhotoJpeg(int width, int height, int exifOrientation, double quality);

}  // namespace qp::bench
