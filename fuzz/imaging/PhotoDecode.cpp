// Untrusted photo files: telling the format, reading the header's size, the
// EXIF readers, the result mark and decoding never crash, never take more
// pixels than allowed, and agree with each other.
#include <QByteArray>

#include <cstdio>
#include <cstdlib>

#include "FuzzTarget.h"
#include "imaging/ExifReader.h"
#include "imaging/PhotoFormat.h"
#include "imaging/PhotoIO.h"
#include "imaging/ResultMarker.h"

namespace qp {

namespace {
constexpr std::int64_t kFuzzMaxPixels = 4'000'000;

[[noreturn]] void fail(const char* what) {
    std::fprintf(stderr, "photo decode: %s\n", what);
    std::abort();
}

void checkOrientation(std::optional<int> orientation) {
    if (orientation && (*orientation < 1 || *orientation > 8)) fail("orientation out of range");
}
}  // namespace

void fuzzOneInput(const std::uint8_t* data, std::size_t size) {
    checkOrientation(readExifOrientation(data, size));
    checkOrientation(readPngExifOrientation(data, size));
    const PhotoFormat format = sniffPhotoFormat(data, size);
    if (const auto header = headerPixelSize(data, size, format)) {
        if (header->width < 0 || header->height < 0) fail("negative header size");
    }
    const bool marked = carriesResultMarker(data, size);
    if (marked && format != PhotoFormat::Jpeg && format != PhotoFormat::Png)
        fail("a mark found in a format that has none");

    const QByteArray bytes =
        QByteArray::fromRawData(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    for (int shrink : {1, 8}) {
        std::vector<std::string> warnings;
        DecodeOptions options;
        options.shrink = shrink;
        options.maxPixels = kFuzzMaxPixels;
        options.warnings = &warnings;
        Result<Image> image = decodePhoto(bytes, options);
        if (!image.ok()) continue;
        if (format == PhotoFormat::Unknown) fail("a file of no known format was decoded");
        if (image->isNull()) fail("a decoded photo has no pixels");
        if (static_cast<std::int64_t>(image->width()) * image->height() > kFuzzMaxPixels)
            fail("pixel limit passed");
    }
}

}  // namespace qp
