#pragma once
// Tiny bitmaps built inside tests, and the log capture.

#include <QImage>
#include <string>
#include <vector>

#include "imaging/Image.h"
#include "imaging/ImageOrientation.h"
#include "support/LogCapture.h"

namespace qp::test {

// A distinct opaque colour for every stored pixel, so permutations show.
inline QRgb codeFor(int x, int y) {
    return qRgb(10 + 20 * x, 10 + 20 * y, 200);
}

inline QImage codedBitmap(int w, int h, QImage::Format format = QImage::Format_RGB32) {
    QImage image(w, h, format);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) image.setPixel(x, y, codeFor(x, y));
    return image;
}

inline QImage filledBitmap(int w, int h, QColor colour) {
    QImage image(w, h, QImage::Format_ARGB32_Premultiplied);
    image.fill(colour);
    return image;
}

// The stored bitmap that EXIF orientation `exif` turns into `upright`.
inline QImage storedFor(const QImage& upright, int exif) {
    ImageOrientation inverse = *orientationFromExif(exif);
    if (inverse == ImageOrientation::Left)
        inverse = ImageOrientation::Right;
    else if (inverse == ImageOrientation::Right)
        inverse = ImageOrientation::Left;
    return Image(upright, inverse).fixOrientation()->bitmap();
}

// Image operations log their failures to the diagnostic log.
using qp::LogCapture;

}  // namespace qp::test
