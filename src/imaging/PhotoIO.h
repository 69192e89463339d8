#pragma once
// Reading photos (JPEG through TurboJPEG; HEIC through libheif; PNG, GIF and
// BMP through Qt's built-in readers, the format always decided by the file's
// content) and encoding JPEG and PNG. The orientation tag is read but never
// applied on the way in, except in HEIC, whose container turns the picture
// upright as it is decoded. A photo with an ICC colour profile comes out
// converted to sRGB; an untagged one is taken as sRGB.

#include <QByteArray>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "imaging/Image.h"
#include "platform/Result.h"

namespace qp {

inline constexpr const char* kImagingErrorDomain = "qp.imaging";
enum ImagingErrorCode {
    kImagingErrorUnreadable = 1,  // corrupt, truncated or not an image
    kImagingErrorTooLarge = 2,    // more pixels than the decode limit
    kImagingErrorNoImage = 3,     // nothing to encode
    kImagingErrorEncodeFailed = 4,
    kImagingErrorNotAFile = 6,           // a folder, device, FIFO or socket
    kImagingErrorFileTooLarge = 7,       // more bytes than the file limit
    kImagingErrorUnsupportedFormat = 8,  // not JPEG, PNG, GIF, BMP or HEIC by content
    kImagingErrorUnsupportedCodec = 9,   // a HEIF file whose picture no decoder here reads
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
    // Where to say what was wrong with a file that could still be read (a
    // JPEG whose end marker is missing, say); may be null.
    std::vector<std::string>* warnings = nullptr;
};

[[nodiscard]] Result<Image> decodePhoto(const QByteArray& bytes, const DecodeOptions& options = {});
// Reads the file as readPhotoFile() does (a regular file within the limits)
// and decodes it.
[[nodiscard]] Result<Image> readPhoto(const std::string& path, const DecodeOptions& options = {});

// A copy no smaller than `side` on its shorter side, for a thumbnail: decoded
// shrunk where the format allows, the orientation tag read but not applied.
[[nodiscard]] Result<Image> readPhotoThumbnail(const std::string& path, int side);

// The EXIF orientation (1 to 8) that a Qt image reader's transformation
// stands for.
int exifFromTransformation(int qtTransformation);

// JPEG of the upright picture. Quality runs from 0 to 1; 1.0 is quality 100.
// Chroma is never subsampled (4:4:4), so colour edges stay sharp; transparent
// parts come out as colour over black.
[[nodiscard]] Result<QByteArray> jpegRepresentation(const Image& image, double quality);
// PNG of the upright picture, alpha kept.
[[nodiscard]] Result<QByteArray> pngRepresentation(const Image& image);

// The bytes of `bytes`, for writing with writeFileAtomically (platform/Paths.h).
inline std::string_view bytesOf(const QByteArray& bytes) {
    return {bytes.constData(), std::size_t(bytes.size())};
}

}  // namespace qp
