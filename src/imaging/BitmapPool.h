#pragma once
// Keeps recently freed large pixel buffers for reuse. Fresh memory costs a
// page fault per 4 KiB on first write, which for a 12-megapixel photo takes
// longer than the pixel work itself; reused buffers are already mapped.

#include <QImage>
#include <cstddef>

namespace qp {

// A bitmap whose pixels are not yet written, its memory taken from the pool
// when large. It returns to the pool when the last QImage sharing it goes.
QImage pooledBitmap(int width, int height, QImage::Format format);

// Frees every kept buffer (for low-memory moments and tests).
void trimBitmapPool();

// Bytes currently kept for reuse.
std::size_t pooledBitmapBytes();

}  // namespace qp
