#include "imaging/ExifReader.h"

#include <cstring>

namespace qp {
namespace {

constexpr std::uint16_t kOrientationTag = 0x0112;
constexpr std::uint16_t kShortType = 3;
constexpr std::uint8_t kApp1 = 0xE1;
constexpr std::uint8_t kStartOfScan = 0xDA;
constexpr std::uint8_t kEndOfImage = 0xD9;
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
    if (data == nullptr || size < 4 || data[0] != 0xFF || data[1] != 0xD8) return std::nullopt;
    std::size_t pos = 2;
    while (pos + 4 <= size) {
        if (data[pos] != 0xFF) return std::nullopt;
        const std::uint8_t marker = data[pos + 1];
        if (marker == 0xFF) {  // fill byte before a marker
            ++pos;
            continue;
        }
        if (marker == kStartOfScan || marker == kEndOfImage) return std::nullopt;
        if (marker == 0x01 || (marker >= 0xD0 && marker <= 0xD7)) {  // no length field
            pos += 2;
            continue;
        }
        const std::size_t length = std::size_t(data[pos + 2]) << 8 | data[pos + 3];
        if (length < 2 || length > size - pos - 2) return std::nullopt;
        const std::uint8_t* body = data + pos + 4;
        const std::size_t bodySize = length - 2;
        if (marker == kApp1 && bodySize >= sizeof(kExifHeader) &&
            std::memcmp(body, kExifHeader, sizeof(kExifHeader)) == 0) {
            return orientationInTiff(body + sizeof(kExifHeader), bodySize - sizeof(kExifHeader));
        }
        pos += 2 + length;
    }
    return std::nullopt;
}

std::optional<int> readPngExifOrientation(const std::uint8_t* data, std::size_t size) {
    static constexpr std::uint8_t kSignature[8] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
    if (data == nullptr || size < sizeof kSignature ||
        std::memcmp(data, kSignature, sizeof kSignature) != 0) {
        return std::nullopt;
    }
    std::size_t pos = sizeof kSignature;
    while (pos + 12 <= size) {
        const std::size_t length = std::size_t(data[pos]) << 24 | std::size_t(data[pos + 1]) << 16 |
                                   std::size_t(data[pos + 2]) << 8 | data[pos + 3];
        if (length > size - pos - 12) return std::nullopt;
        const std::uint8_t* type = data + pos + 4;
        if (std::memcmp(type, "eXIf", 4) == 0) return orientationInTiff(type + 4, length);
        if (std::memcmp(type, "IDAT", 4) == 0 || std::memcmp(type, "IEND", 4) == 0) break;
        pos += 12 + length;
    }
    return std::nullopt;
}

}  // namespace qp
