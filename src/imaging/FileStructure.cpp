#include "imaging/FileStructure.h"

#include <cstring>

namespace qp {
namespace {

constexpr std::uint8_t kStartOfScan = 0xDA;
constexpr std::uint8_t kEndOfImage = 0xD9;

bool hasNoLength(std::uint8_t marker) {
    return marker == 0x01 || (marker >= 0xD0 && marker <= 0xD7);  // TEM and RSTn
}

}  // namespace

WalkEnd walkJpegSegments(const std::uint8_t* data, std::size_t size,
                         const std::function<bool(const JpegSegment&)>& visit) {
    if (data == nullptr || size < 4 || data[0] != 0xFF || data[1] != 0xD8) return WalkEnd::Broken;
    std::size_t pos = 2;
    while (pos + 4 <= size) {
        if (data[pos] != 0xFF) return WalkEnd::Broken;
        const std::uint8_t marker = data[pos + 1];
        if (marker == 0xFF) {  // fill byte before a marker
            ++pos;
            continue;
        }
        if (marker == kStartOfScan || marker == kEndOfImage) return WalkEnd::Finished;
        if (hasNoLength(marker)) {
            pos += 2;
            continue;
        }
        const std::size_t length = std::size_t(data[pos + 2]) << 8 | data[pos + 3];
        if (length < 2 || length > size - pos - 2) return WalkEnd::Broken;
        if (!visit({marker, data + pos + 4, length - 2})) return WalkEnd::Stopped;
        pos += 2 + length;
    }
    return WalkEnd::Broken;
}

WalkEnd walkPngChunks(const std::uint8_t* data, std::size_t size,
                      const std::function<bool(const PngChunk&)>& visit) {
    if (data == nullptr || size < sizeof kPngSignature ||
        std::memcmp(data, kPngSignature, sizeof kPngSignature) != 0) {
        return WalkEnd::Broken;
    }
    std::size_t pos = sizeof kPngSignature;
    while (pos + 12 <= size) {
        const std::size_t length = std::size_t(data[pos]) << 24 | std::size_t(data[pos + 1]) << 16 |
                                   std::size_t(data[pos + 2]) << 8 | data[pos + 3];
        if (length > size - pos - 12) return WalkEnd::Broken;
        const PngChunk chunk{std::string_view(reinterpret_cast<const char*>(data + pos + 4), 4),
                             data + pos + 8, length};
        if (!visit(chunk)) return WalkEnd::Stopped;
        if (chunk.type == "IEND") return WalkEnd::Finished;
        pos += 12 + length;
    }
    return WalkEnd::Broken;  // ends without IEND
}

}  // namespace qp
