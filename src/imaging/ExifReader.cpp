#include "imaging/ExifReader.h"

#include "imaging/FileStructure.h"
#include "imaging/TiffView.h"

#include <cstring>

namespace qp {
namespace {

constexpr std::uint16_t kOrientationTag = 0x0112;
constexpr std::uint16_t kShortType = 3;
constexpr std::uint8_t kApp1 = 0xE1;
constexpr char kExifHeader[] = {'E', 'x', 'i', 'f', 0, 0};

std::optional<int> orientationInTiff(const std::uint8_t* tiff, std::size_t size) {
    const auto view = TiffView::of(tiff, size);
    if (!view) return std::nullopt;
    const auto ifd = view->u32(4);
    if (!ifd) return std::nullopt;
    const auto entry = view->findEntry(*ifd, kOrientationTag);
    if (!entry || view->u16(*entry + 2) != kShortType) return std::nullopt;
    const auto value = view->u16(*entry + 8);
    if (!value || *value < 1 || *value > 8) return std::nullopt;
    return int(*value);
}

}  // namespace

std::optional<ExifBlock> findJpegExif(const std::uint8_t* data, std::size_t size) {
    std::optional<ExifBlock> block;
    walkJpegSegments(data, size, [&](const JpegSegment& segment) {
        if (segment.marker != kApp1 || segment.size < sizeof(kExifHeader) ||
            std::memcmp(segment.body, kExifHeader, sizeof(kExifHeader)) != 0) {
            return true;
        }
        block = ExifBlock{segment.body + sizeof(kExifHeader), segment.size - sizeof(kExifHeader)};
        return false;
    });
    return block;
}

std::optional<ExifBlock> findPngExif(const std::uint8_t* data, std::size_t size) {
    std::optional<ExifBlock> block;
    walkPngChunks(data, size, [&](const PngChunk& chunk) {
        if (chunk.type == "IDAT") return false;  // EXIF after the image data is not read
        if (chunk.type != "eXIf") return true;
        block = ExifBlock{chunk.body, chunk.size};
        return false;
    });
    return block;
}

std::optional<int> readExifOrientation(const std::uint8_t* data, std::size_t size) {
    const auto block = findJpegExif(data, size);
    return block ? orientationInTiff(block->tiff, block->size) : std::nullopt;
}

std::optional<int> readPngExifOrientation(const std::uint8_t* data, std::size_t size) {
    const auto block = findPngExif(data, size);
    return block ? orientationInTiff(block->tiff, block->size) : std::nullopt;
}

ExifCapture readExifCapture(const std::uint8_t* tiff, std::size_t size) {
    constexpr std::uint16_t kMake = 0x010F, kModel = 0x0110, kDateTime = 0x0132;
    constexpr std::uint16_t kExifDirectory = 0x8769, kDateTimeOriginal = 0x9003;
    ExifCapture capture;
    const auto view = TiffView::of(tiff, size);
    const auto ifd = view ? view->u32(4) : std::nullopt;
    if (!ifd) return capture;
    const auto text = [&](std::size_t directory, std::uint16_t tag) {
        const auto entry = view->findEntry(directory, tag);
        return entry ? view->ascii(*entry).value_or("") : std::string();
    };
    capture.make = text(*ifd, kMake);
    capture.model = text(*ifd, kModel);
    if (const auto pointer = view->findEntry(*ifd, kExifDirectory)) {
        if (const auto exif = view->u32(*pointer + 8)) {
            capture.captureDate = text(*exif, kDateTimeOriginal);
        }
    }
    // The file's change date stands in when the capture date is missing.
    if (capture.captureDate.empty()) capture.captureDate = text(*ifd, kDateTime);
    return capture;
}

}  // namespace qp
