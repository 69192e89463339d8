#include "imaging/PhotoFormat.h"

#include "imaging/FileStructure.h"

#include <algorithm>
#include <cstring>

namespace qp {
namespace {

std::uint32_t bigEndian32(const std::uint8_t* p) {
    return std::uint32_t(p[0]) << 24 | std::uint32_t(p[1]) << 16 | std::uint32_t(p[2]) << 8 | p[3];
}
std::uint16_t littleEndian16(const std::uint8_t* p) {
    return std::uint16_t(p[0] | p[1] << 8);
}
std::int32_t littleEndian32(const std::uint8_t* p) {
    return std::int32_t(std::uint32_t(p[0]) | std::uint32_t(p[1]) << 8 | std::uint32_t(p[2]) << 16 |
                        std::uint32_t(p[3]) << 24);
}

bool isStartOfFrame(std::uint8_t marker) {
    // SOF0 to SOF15, less DHT (C4), JPG (C8) and DAC (CC).
    return marker >= 0xC0 && marker <= 0xCF && marker != 0xC4 && marker != 0xC8 && marker != 0xCC;
}

std::optional<HeaderSize> jpegSize(const std::uint8_t* data, std::size_t size) {
    std::optional<HeaderSize> found;
    walkJpegSegments(data, size, [&](const JpegSegment& segment) {
        if (!isStartOfFrame(segment.marker)) return true;
        // Precision, then height and width, big-endian.
        if (segment.size >= 5) {
            found = HeaderSize{segment.body[3] << 8 | segment.body[4],
                               segment.body[1] << 8 | segment.body[2]};
        }
        return false;
    });
    return found;
}

// An ISO media file whose ftyp box names a HEIF brand of still pictures,
// as its major brand or among its compatible ones.
bool isHeif(const std::uint8_t* data, std::size_t size) {
    if (size < 16 || std::memcmp(data + 4, "ftyp", 4) != 0) return false;
    const std::size_t boxSize = std::min<std::size_t>(bigEndian32(data), size);
    static constexpr const char* kBrands[] = {"heic", "heix", "heim", "heis",
                                              "hevc", "hevx", "mif1", "msf1"};
    // The major brand at 8, the minor version at 12, compatible brands from 16.
    for (std::size_t at = 8; at + 4 <= boxSize; at += at == 8 ? 8 : 4) {
        for (const char* brand : kBrands) {
            if (std::memcmp(data + at, brand, 4) == 0) return true;
        }
    }
    return false;
}

}  // namespace

PhotoFormat sniffPhotoFormat(const std::uint8_t* data, std::size_t size) {
    if (data == nullptr) return PhotoFormat::Unknown;
    if (size >= 3 && data[0] == 0xFF && data[1] == 0xD8 && data[2] == 0xFF)
        return PhotoFormat::Jpeg;
    if (size >= sizeof kPngSignature && std::memcmp(data, kPngSignature, sizeof kPngSignature) == 0)
        return PhotoFormat::Png;
    if (size >= 6 && (std::memcmp(data, "GIF87a", 6) == 0 || std::memcmp(data, "GIF89a", 6) == 0))
        return PhotoFormat::Gif;
    if (isHeif(data, size)) return PhotoFormat::Heif;
    // "BM", then a header size field at 14 that names one of the known headers.
    if (size >= 18 && data[0] == 'B' && data[1] == 'M') {
        const std::int32_t headerSize = littleEndian32(data + 14);
        if (headerSize == 12 || headerSize == 40 || headerSize == 52 || headerSize == 56 ||
            headerSize == 64 || headerSize == 108 || headerSize == 124)
            return PhotoFormat::Bmp;
    }
    return PhotoFormat::Unknown;
}

std::string_view photoFormatName(PhotoFormat format) {
    switch (format) {
        case PhotoFormat::Jpeg:
            return "JPEG";
        case PhotoFormat::Png:
            return "PNG";
        case PhotoFormat::Gif:
            return "GIF";
        case PhotoFormat::Bmp:
            return "BMP";
        case PhotoFormat::Heif:
            return "HEIC";
        case PhotoFormat::Unknown:
            break;
    }
    return "unknown";
}

const char* qtReaderName(PhotoFormat format) {
    switch (format) {
        case PhotoFormat::Jpeg:
            return "jpeg";
        case PhotoFormat::Png:
            return "png";
        case PhotoFormat::Gif:
            return "gif";
        case PhotoFormat::Bmp:
            return "bmp";
        case PhotoFormat::Heif:
        case PhotoFormat::Unknown:
            break;
    }
    return "";
}

std::optional<HeaderSize> headerPixelSize(const std::uint8_t* data, std::size_t size,
                                          PhotoFormat format) {
    switch (format) {
        case PhotoFormat::Jpeg:
            return jpegSize(data, size);
        case PhotoFormat::Png:
            // The first chunk must be IHDR: length, type, width, height.
            if (size < 24 || std::memcmp(data + 12, "IHDR", 4) != 0) return std::nullopt;
            return HeaderSize{bigEndian32(data + 16), bigEndian32(data + 20)};
        case PhotoFormat::Gif:
            if (size < 10) return std::nullopt;
            return HeaderSize{littleEndian16(data + 6), littleEndian16(data + 8)};
        case PhotoFormat::Bmp: {
            if (size < 26) return std::nullopt;
            if (littleEndian32(data + 14) == 12)
                return HeaderSize{littleEndian16(data + 18), littleEndian16(data + 20)};
            const std::int64_t width = littleEndian32(data + 18);
            const std::int64_t height = littleEndian32(data + 22);
            // A negative height marks a top-down bitmap.
            return HeaderSize{width < 0 ? -width : width, height < 0 ? -height : height};
        }
        case PhotoFormat::Heif:
        case PhotoFormat::Unknown:
            break;
    }
    return std::nullopt;
}

}  // namespace qp
