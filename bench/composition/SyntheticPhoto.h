#pragma once
// A made-up photograph for benchmarks and the bundled sample: sky, sun,
// hills and fine texture, stored turned for an EXIF orientation tag.

#include <QByteArray>
#include <QImage>

namespace qp::bench {

// The upright picture.
QImage syntheticPhoto(int width, int height);

// The picture as a small, noisy sensor takes it: fine texture all over (bark,
// foliage, fabric: detail at one to three pixels) and per-pixel noise in each
// channel, the content on which a cheap downscale loses detail or aliases.
QImage noisyPhoto(int width, int height);

enum class PhotoContent { Smooth, Noisy };

// JPEG bytes whose stored pixels, turned by `exifOrientation`, show the
// upright `width` × `height` picture; the tag sits in an EXIF block.
QByteArray syntheticPhotoJpeg(int width, int height, int exifOrientation, double quality,
                              PhotoContent content = PhotoContent::Smooth);

}  // namespace qp::bench
