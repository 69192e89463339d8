#include "editor/composition/PhotoSource.h"

#include <turbojpeg.h>

#include <algorithm>
#include <cmath>
#include <memory>

#include "editor/composition/CompositionConstants.h"
#include "imaging/ExifReader.h"
#include "imaging/PhotoIO.h"

namespace qp {
namespace {

struct StoredJpegSize {
    int width = 0;
    int height = 0;
};

// The JPEG's stored size from its header, or nothing for other data.
std::optional<StoredJpegSize> jpegHeaderSize(const QByteArray& bytes) {
    if (bytes.size() < 3 || std::uint8_t(bytes[0]) != 0xFF || std::uint8_t(bytes[1]) != 0xD8) {
        return std::nullopt;
    }
    std::unique_ptr<void, int (*)(tjhandle)> handle(tjInitDecompress(), &tjDestroy);
    if (!handle) return std::nullopt;
    int width = 0, height = 0, subsampling = 0, colourspace = 0;
    if (tjDecompressHeader3(handle.get(), reinterpret_cast<const unsigned char*>(bytes.constData()),
                            static_cast<unsigned long>(bytes.size()), &width, &height, &subsampling,
                            &colourspace) != 0 ||
        width <= 0 || height <= 0) {
        return std::nullopt;
    }
    return StoredJpegSize{width, height};
}

int shrinkFor(StoredJpegSize stored, double longerSideNeeded) {
    if (std::min(stored.width, stored.height) < kMinimumShortSide) return 1;
    const int longer = std::max(stored.width, stored.height);
    for (int shrink : {8, 4, 2}) {
        // TurboJPEG rounds a shrunk side up.
        const int kept = (longer + shrink - 1) / shrink;
        if (kept >= longerSideNeeded) return shrink;
    }
    return 1;
}

}  // namespace

double longerSidePixelsNeeded(double squareSide, double scale, double zoom) {
    return std::ceil(squareSide * scale * std::max(1.0, zoom));
}

Result<LoadedPhoto> decodePhotoForSquare(const QByteArray& bytes, double longerSideNeeded) {
    DecodeOptions options;
    std::vector<std::string> warnings;
    options.warnings = &warnings;
    std::optional<StoredJpegSize> stored = jpegHeaderSize(bytes);
    if (stored) options.shrink = shrinkFor(*stored, longerSideNeeded);
    Result<Image> decoded = decodePhoto(bytes, options);
    if (!decoded) return decoded.error();
    LoadedPhoto photo{std::move(decoded).value(), {}, std::move(warnings)};
    if (stored && options.shrink > 1) {
        const bool sideways = orientationSwapsAxes(photo.image.orientation());
        photo.fullSize = sideways ? Size{double(stored->height), double(stored->width)}
                                  : Size{double(stored->width), double(stored->height)};
    } else {
        photo.fullSize = photo.image.uprightPixelSize();
    }
    return photo;
}

Result<LoadedPhoto> readPhotoForSquare(const std::string& path, double longerSideNeeded,
                                       const PhotoFileLimits& limits) {
    Result<QByteArray> bytes = readPhotoFile(path, limits);
    if (!bytes) return bytes.error();
    return decodePhotoForSquare(*bytes, longerSideNeeded);
}

}  // namespace qp
