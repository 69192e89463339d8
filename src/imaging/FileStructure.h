#pragma once
// Walking the block structure of JPEG and PNG files we do not trust: JPEG
// marker segments up to the scan data, PNG chunks up to IEND. Every length is
// checked against the buffer's end; readers of EXIF, sizes and marks build on
// these instead of walking the bytes themselves. Writers of our own results
// add blocks through the two insertions at the end.

#include <QByteArray>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <string_view>

namespace qp {

enum class WalkEnd {
    Finished,  // reached the scan data or end of image (JPEG), or IEND (PNG)
    Stopped,   // the visitor asked to stop
    Broken,    // a block runs past the buffer, or the structure is not there
};

struct JpegSegment {
    std::uint8_t marker = 0;  // the byte after 0xFF
    const std::uint8_t* body = nullptr;
    std::size_t size = 0;  // the body's length, the length field excluded
};

// Visits the marker segments after SOI, until SOS or EOI. `visit` returns
// false to stop.
WalkEnd walkJpegSegments(const std::uint8_t* data, std::size_t size,
                         const std::function<bool(const JpegSegment&)>& visit);

struct PngChunk {
    std::string_view type;  // four letters
    const std::uint8_t* body = nullptr;
    std::size_t size = 0;
};

inline constexpr std::uint8_t kPngSignature[8] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};

// Visits the chunks after the signature, IEND included. `visit` returns
// false to stop.
WalkEnd walkPngChunks(const std::uint8_t* data, std::size_t size,
                      const std::function<bool(const PngChunk&)>& visit);

// `jpeg` with a segment (`marker`, `body`) added after SOI and, where
// present, the JFIF APP0 segment that must come first. Bodies too long for a
// segment leave the data unchanged.
QByteArray withJpegSegment(const QByteArray& jpeg, std::uint8_t marker, const QByteArray& body);

// `png` with a chunk of `type` (four letters) and `body` added right after
// its IHDR chunk, its CRC computed.
QByteArray withPngChunk(const QByteArray& png, std::string_view type, const QByteArray& body);

}  // namespace qp
