#pragma once
// The picture formats Quillpost reads, told apart by their first bytes and
// never by a file's name, so a file named ".jpg" that holds something else
// (an SVG that pulls in other files, say) is never handed to a decoder.

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string_view>

namespace qp {

enum class PhotoFormat { Unknown, Jpeg, Png, Gif, Bmp, Heif };

// Enough leading bytes to recognise every format and, for most files, to
// read the picture size from the header.
inline constexpr std::size_t kPhotoHeaderBytes = 64 * 1024;

PhotoFormat sniffPhotoFormat(const std::uint8_t* data, std::size_t size);

// "JPEG", "PNG", "GIF", "BMP", "HEIC" for messages.
std::string_view photoFormatName(PhotoFormat format);
// The name of Qt's built-in reader for the format ("jpeg", "png", ...); empty
// for HEIC, which libheif reads.
const char* qtReaderName(PhotoFormat format);

// What the readable formats are, for messages.
inline constexpr std::string_view kReadablePhotoFormats = "JPEG, PNG, GIF, BMP or HEIC";

struct HeaderSize {
    std::int64_t width = 0;
    std::int64_t height = 0;
};

// The picture size as the header states it, when the header lies within
// `data`; nothing when it cannot be found there (always for HEIC, whose size
// the decoder checks before it decodes).
std::optional<HeaderSize> headerPixelSize(const std::uint8_t* data, std::size_t size,
                                          PhotoFormat format);

}  // namespace qp
