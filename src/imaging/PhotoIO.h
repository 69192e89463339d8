#pragma once
// Reading photos (JPEG through TurboJPEG, everything else Qt reads) and
// writing JPEG and PNG, with the orientation tag read but never applied on
// the way in, and files written atomically on the way out.

#include <QByteArray>
#include <cstdint>
#include <string>

#include "imaging/Image.h"
#include "platform/Result.h"

namespace qp {

inline constexpr const char* kImagingErrorDomain = "qp.imaging";
enum ImagingErrorCode {
    kImagingErrorUnreadable = 1,  // corrupt, truncated or not an image
    kImagingErrorTooLarge = 2,    // more pixels than the decode limit
    kImagingErrorNoImage = 3,     // nothing to encode
    kImagingErrorEncodeFailed = 4,
    kImagingErrorWriteFailed = 5,
};

// Pictures above this many pixels are refused from their header, before any
// pixel memory is taken: 100 megapixels (400 MB decoded).
inline constexpr std::int64_t kMaxDecodedPixels = 100'000'000;

struct DecodeOptions {
    // Shrink-on-load for JPEG: 1, 2, 4 or 8 (other values round down to one
    // of these). Other formats load at full size.
    int shrink = 1;
    // Checked against the full stored size, whatever the shrink.
    std::int64_t maxPixels = kMaxDecodedPixels;
};

[[nodiscard]] Result<Image> decodePhoto(const QByteArray& bytes, const DecodeOptions& options = {});
[[nodiscard]] Result<Image> readPhoto(const std::string& path, const DecodeOptions& options = {});

// JPEG of the upright picture. Quality runs from 0 to 1; 1.0 is quality 100.
// Chroma is never subsampled (4:4:4), so colour edges stay sharp; transparent
// parts come out as colour over black.
[[nodiscard]] Result<QByteArray> jpegRepresentation(const Image& image, double quality);
// PNG of the upright picture, alpha kept.
[[nodiscard]] Result<QByteArray> pngRepresentation(const Image& image);

// Writes to a temporary file in the same folder, flushes it to disk and
// renames it over `path`, so readers see the old file or the new, never half.
[[nodiscard]] Result<void> writeFileAtomically(const std::string& path, const QByteArray& bytes);

}  // namespace qp
