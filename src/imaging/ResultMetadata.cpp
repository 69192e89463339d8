#include "imaging/ResultMetadata.h"

#include "imaging/ColourConversion.h"
#include "imaging/FileStructure.h"
#include "imaging/PhotoFormat.h"

namespace qp {
namespace {

constexpr std::uint8_t kApp1 = 0xE1;
constexpr std::uint8_t kApp2 = 0xE2;

PhotoFormat formatOf(const QByteArray& encoded) {
    return sniffPhotoFormat(reinterpret_cast<const std::uint8_t*>(encoded.constData()),
                            std::size_t(encoded.size()));
}

}  // namespace

QByteArray withSrgbTag(const QByteArray& encoded) {
    switch (formatOf(encoded)) {
        case PhotoFormat::Jpeg: {
            // One chunk: "ICC_PROFILE", its zero, chunk 1 of 1, the profile.
            const QByteArray body =
                QByteArray("ICC_PROFILE", 12) + char(1) + char(1) + srgbIccProfile();
            return withJpegSegment(encoded, kApp2, body);
        }
        case PhotoFormat::Png:
            return withPngChunk(encoded, "sRGB", QByteArray(1, '\0'));  // perceptual intent
        default:
            return encoded;
    }
}

QByteArray withCaptureMetadata(const QByteArray& encoded, const CaptureMetadata& metadata) {
    if (metadata.empty()) return encoded;
    const QByteArray tiff = exifTiffFor(metadata);
    switch (formatOf(encoded)) {
        case PhotoFormat::Jpeg:
            return withJpegSegment(encoded, kApp1, QByteArray("Exif\0\0", 6) + tiff);
        case PhotoFormat::Png:
            return withPngChunk(encoded, "eXIf", tiff);
        default:
            return encoded;
    }
}

}  // namespace qp
