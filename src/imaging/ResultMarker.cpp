#include "imaging/ResultMarker.h"

#include <cstring>
#include <string>

#include "imaging/FileStructure.h"
#include "imaging/PhotoFormat.h"
#include "platform/Crc32.h"

namespace qp {
namespace {

constexpr std::uint8_t kComment = 0xFE;
constexpr std::uint8_t kApp0 = 0xE0;
constexpr char kPngTextKeyword[] = "Software";

QByteArray bigEndian32(std::uint32_t v) {
    QByteArray out(4, '\0');
    for (int i = 0; i < 4; ++i) out[i] = char(v >> (24 - 8 * i));
    return out;
}

bool startsWithMark(const std::uint8_t* text, std::size_t size) {
    return size >= kResultMarkerText.size() &&
           std::memcmp(text, kResultMarkerText.data(), kResultMarkerText.size()) == 0;
}

QByteArray markedJpeg(const QByteArray& jpeg) {
    // After SOI and, where present, the JFIF APP0 segment that must come first.
    qsizetype at = 2;
    if (jpeg.size() >= 6 && std::uint8_t(jpeg[2]) == 0xFF && std::uint8_t(jpeg[3]) == kApp0) {
        at = 4 + (qsizetype(std::uint8_t(jpeg[4])) << 8 | std::uint8_t(jpeg[5]));
        if (at > jpeg.size()) at = 2;
    }
    const auto length = std::uint16_t(kResultMarkerText.size() + 2);
    QByteArray segment;
    segment.append(char(0xFF)).append(char(kComment));
    segment.append(char(length >> 8)).append(char(length & 0xFF));
    segment.append(kResultMarkerText.data(), qsizetype(kResultMarkerText.size()));
    return jpeg.left(at) + segment + jpeg.mid(at);
}

QByteArray markedPng(const QByteArray& png) {
    // After the 8-byte signature and the 25-byte IHDR chunk.
    constexpr qsizetype kAfterHeader = 8 + 25;
    if (png.size() < kAfterHeader) return png;
    QByteArray body = QByteArray("tEXt") + QByteArray(kPngTextKeyword, sizeof kPngTextKeyword) +
                      QByteArray(kResultMarkerText.data(), qsizetype(kResultMarkerText.size()));
    const std::uint32_t crc =
        Crc32::of(std::string_view(body.constData(), std::size_t(body.size())));
    const QByteArray chunk = bigEndian32(std::uint32_t(body.size() - 4)) + body + bigEndian32(crc);
    return png.left(kAfterHeader) + chunk + png.mid(kAfterHeader);
}

bool jpegCarriesMark(const std::uint8_t* data, std::size_t size) {
    return walkJpegSegments(data, size, [](const JpegSegment& segment) {
               return !(segment.marker == kComment && startsWithMark(segment.body, segment.size));
           }) == WalkEnd::Stopped;
}

bool pngCarriesMark(const std::uint8_t* data, std::size_t size) {
    bool found = false;
    walkPngChunks(data, size, [&](const PngChunk& chunk) {
        if (chunk.type == "IDAT") return false;
        found = chunk.type == "tEXt" && chunk.size >= sizeof kPngTextKeyword &&
                std::memcmp(chunk.body, kPngTextKeyword, sizeof kPngTextKeyword) == 0 &&
                startsWithMark(chunk.body + sizeof kPngTextKeyword,
                               chunk.size - sizeof kPngTextKeyword);
        return !found;
    });
    return found;
}

}  // namespace

QByteArray withResultMarker(const QByteArray& encoded) {
    const auto* data = reinterpret_cast<const std::uint8_t*>(encoded.constData());
    switch (sniffPhotoFormat(data, std::size_t(encoded.size()))) {
        case PhotoFormat::Jpeg:
            return markedJpeg(encoded);
        case PhotoFormat::Png:
            return markedPng(encoded);
        default:
            return encoded;
    }
}

bool carriesResultMarker(const std::uint8_t* data, std::size_t size) {
    switch (sniffPhotoFormat(data, size)) {
        case PhotoFormat::Jpeg:
            return jpegCarriesMark(data, size);
        case PhotoFormat::Png:
            return pngCarriesMark(data, size);
        default:
            return false;
    }
}

bool carriesResultMarker(const QByteArray& bytes) {
    return carriesResultMarker(reinterpret_cast<const std::uint8_t*>(bytes.constData()),
                               std::size_t(bytes.size()));
}

}  // namespace qp
