#include "imaging/ResultMarker.h"

#include <cstring>
#include <string>

#include "imaging/FileStructure.h"
#include "imaging/PhotoFormat.h"

namespace qp {
namespace {

constexpr std::uint8_t kComment = 0xFE;
constexpr char kPngTextKeyword[] = "Software";

bool startsWithMark(const std::uint8_t* text, std::size_t size) {
    return size >= kResultMarkerText.size() &&
           std::memcmp(text, kResultMarkerText.data(), kResultMarkerText.size()) == 0;
}

QByteArray markText() {
    return QByteArray(kResultMarkerText.data(), qsizetype(kResultMarkerText.size()));
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
            return withJpegSegment(encoded, kComment, markText());
        case PhotoFormat::Png:
            return withPngChunk(encoded, "tEXt",
                                QByteArray(kPngTextKeyword, sizeof kPngTextKeyword) + markText());
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
