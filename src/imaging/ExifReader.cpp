#include "imaging/ExifReader.h"

#include "imaging/FileStructure.h"

#include <cstring>

namespace qp {
namespace {

constexpr std::uint16_t kOrientationTag = 0x0112;
constexpr std::uint16_t kShortType = 3;
constexpr std::uint8_t kApp1 = 0xE1;
constexpr char kExifHeader[] = {'E', 'x', 'i', 'f', 0, 0};

class TiffView {
public:
    TiffView(const std::uint8_t* data, std::size_t size, bool bigEndian)
        : m_data(data), m_size(size), m_bigEndian(bigEndian) {}

    std::optional<std::uint16_t> u16(std::size_t offset) const {
        if (offset > m_size || m_size - offset < 2) return std::nullopt;
        const std::uint8_t* p = m_data + offset;
        return m_bigEndian ? std::uint16_t(p[0] << 8 | p[1]) : std::uint16_t(p[1] << 8 | p[0]);
    }
    std::optional<std::uint32_t> u32(std::size_t offset) const {
        const auto hi = u16(offset + (m_bigEndian ? 0 : 2));
        const auto lo = u16(offset + (m_bigEndian ? 2 : 0));
        if (!hi || !lo || offset > m_size) return std::nullopt;
        return std::uint32_t(*hi) << 16 | *lo;
    }

private:
    const std::uint8_t* m_data;
    std::size_t m_size;
    bool m_bigEndian;
};

std::optional<int> orientationInTiff(const std::uint8_t* tiff, std::size_t size) {
    if (size < 8) return std::nullopt;
    bool bigEndian = false;
    if (tiff[0] == 'M' && tiff[1] == 'M') {
        bigEndian = true;
    } else if (!(tiff[0] == 'I' && tiff[1] == 'I')) {
        return std::nullopt;
    }
    const TiffView view(tiff, size, bigEndian);
    if (view.u16(2) != 42) return std::nullopt;
    const auto ifd = view.u32(4);
    if (!ifd) return std::nullopt;
    const auto count = view.u16(*ifd);
    if (!count) return std::nullopt;
    for (std::size_t i = 0; i < *count; ++i) {
        const std::size_t entry = std::size_t(*ifd) + 2 + 12 * i;
        const auto tag = view.u16(entry);
        if (!tag) return std::nullopt;  // the directory runs past the block
        if (*tag != kOrientationTag) continue;
        if (view.u16(entry + 2) != kShortType) return std::nullopt;
        const auto value = view.u16(entry + 8);
        if (!value || *value < 1 || *value > 8) return std::nullopt;
        return int(*value);
    }
    return std::nullopt;
}

}  // namespace

std::optional<int> readExifOrientation(const std::uint8_t* data, std::size_t size) {
    std::optional<int> orientation;
    walkJpegSegments(data, size, [&](const JpegSegment& segment) {
        if (segment.marker != kApp1 || segment.size < sizeof(kExifHeader) ||
            std::memcmp(segment.body, kExifHeader, sizeof(kExifHeader)) != 0) {
            return true;
        }
        orientation = orientationInTiff(segment.body + sizeof(kExifHeader),
                                        segment.size - sizeof(kExifHeader));
        return false;
    });
    return orientation;
}

std::optional<int> readPngExifOrientation(const std::uint8_t* data, std::size_t size) {
    std::optional<int> orientation;
    walkPngChunks(data, size, [&](const PngChunk& chunk) {
        if (chunk.type == "IDAT") return false;  // EXIF after the image data is not read
        if (chunk.type != "eXIf") return true;
        orientation = orientationInTiff(chunk.body, chunk.size);
        return false;
    });
    return orientation;
}

}  // namespace qp
