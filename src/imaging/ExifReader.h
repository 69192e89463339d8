#pragma once
// Finds the orientation value in a JPEG's EXIF block or a PNG's eXIf chunk.
// Every read is checked against the buffer's end, since the bytes come from
// files we do not trust.

#include <cstddef>
#include <cstdint>
#include <optional>

namespace qp {

// The EXIF orientation (1 to 8) of a JPEG, or nothing when the file has no
// readable EXIF block, no orientation entry, or a value outside 1 to 8.
std::optional<int> readExifOrientation(const std::uint8_t* data, std::size_t size);

// The same for a PNG file: the eXIf chunk, when it comes before the image data.
std::optional<int> readPngExifOrientation(const std::uint8_t* data, std::size_t size);

}  // namespace qp
