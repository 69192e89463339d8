// Untrusted photo files: decoding never crashes, never takes more pixels than
// allowed, and the orientation read from the file is one of the eight tags.
#include <QByteArray>

#include <cstdio>
#include <cstdlib>

#include "FuzzTarget.h"
#include "imaging/ExifReader.h"
#include "imaging/PhotoIO.h"

namespace qp {

namespace {
constexpr std::int64_t kFuzzMaxPixels = 4'000'000;

[[noreturn]] void fail(const char* what) {
    std::fprintf(stderr, "photo decode: %s\n", what);
    std::abort();
}
}  // namespace

void fuzzOneInput(const std::uint8_t* data, std::size_t size) {
    if (std::optional<int> orientation = readExifOrientation(data, size)) {
        if (*orientation < 1 || *orientation > 8) fail("orientation out of range");
    }
    const QByteArray bytes = QByteArray::fromRawData(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    for (int shrink : {1, 8}) {
        DecodeOptions options;
        options.shrink = shrink;
        options.maxPixels = kFuzzMaxPixels;
        Result<Image> image = decodePhoto(bytes, options);
        if (!image.ok()) continue;
        if (image->isNull()) fail("a decoded photo has no pixels");
        if (static_cast<std::int64_t>(image->width()) * image->height() > kFuzzMaxPixels) fail("pixel limit passed");
    }
}

}  // namespace qp
