#pragma once
// Finds the EXIF block of a JPEG (APP1) or a PNG (eXIf chunk) and reads the
// orientation and the capture details from it. Every read is checked against
// the buffer's end, since the bytes come from files we do not trust.

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>

namespace qp {

// The EXIF orientation (1 to 8) of a JPEG, or nothing when the file has no
// readable EXIF block, no orientation entry, or a value outside 1 to 8.
std::optional<int> readExifOrientation(const std::uint8_t* data, std::size_t size);

// The same for a PNG file: the eXIf chunk, when it comes before the image data.
std::optional<int> readPngExifOrientation(const std::uint8_t* data, std::size_t size);

// An EXIF block's TIFF structure, inside the file's bytes.
struct ExifBlock {
    const std::uint8_t* tiff = nullptr;
    std::size_t size = 0;
};
std::optional<ExifBlock> findJpegExif(const std::uint8_t* data, std::size_t size);
std::optional<ExifBlock> findPngExif(const std::uint8_t* data, std::size_t size);

// The capture details of a TIFF structure, each empty when missing, as the
// file has them (not yet checked or cleaned).
struct ExifCapture {
    std::string captureDate;  // DateTimeOriginal, else the IFD0 date
    std::string make;
    std::string model;
};
ExifCapture readExifCapture(const std::uint8_t* tiff, std::size_t size);

}  // namespace qp
