#include "imaging/FileStructure.h"

#include <cstring>

#include "platform/Crc32.h"

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

namespace {

QByteArray bigEndian32(std::uint32_t v) {
    QByteArray out(4, '\0');
    for (int i = 0; i < 4; ++i) out[i] = char(v >> (24 - 8 * i));
    return out;
}

constexpr std::uint8_t kApp0 = 0xE0;
constexpr qsizetype kMaxSegmentBody = 0xFFFF - 2;

}  // namespace

QByteArray withJpegSegment(const QByteArray& jpeg, std::uint8_t marker, const QByteArray& body) {
    if (body.size() > kMaxSegmentBody || jpeg.size() < 2) return jpeg;
    qsizetype at = 2;
    if (jpeg.size() >= 6 && std::uint8_t(jpeg[2]) == 0xFF && std::uint8_t(jpeg[3]) == kApp0) {
        at = 4 + (qsizetype(std::uint8_t(jpeg[4])) << 8 | std::uint8_t(jpeg[5]));
        if (at > jpeg.size()) at = 2;
    }
    const auto length = std::uint16_t(body.size() + 2);
    QByteArray segment;
    segment.append(char(0xFF)).append(char(marker));
    segment.append(char(length >> 8)).append(char(length & 0xFF));
    segment.append(body);
    return jpeg.left(at) + segment + jpeg.mid(at);
}

QByteArray withPngChunk(const QByteArray& png, std::string_view type, const QByteArray& body) {
    // After the 8-byte signature and the 25-byte IHDR chunk.
    constexpr qsizetype kAfterHeader = 8 + 25;
    if (png.size() < kAfterHeader || type.size() != 4) return png;
    const QByteArray typed = QByteArray(type.data(), 4) + body;
    const std::uint32_t crc =
        Crc32::of(std::string_view(typed.constData(), std::size_t(typed.size())));
    const QByteArray chunk = bigEndian32(std::uint32_t(body.size())) + typed + bigEndian32(crc);
    return png.left(kAfterHeader) + chunk + png.mid(kAfterHeader);
}

}  // namespace qp
