#pragma once
// Turning the result image into file bytes and writing the hand-off file
// that the photo-sharing app receives.

#include <QByteArray>
#include <filesystem>

#include "imaging/CaptureMetadata.h"
#include "imaging/Image.h"
#include "platform/Result.h"

namespace qp {

enum class ResultFormat { Jpeg, Png };

// JPEG has no transparency: transparent and translucent parts are laid over
// white, the colour the square's snapshot is taken on, rather than coming
// out black. An image without alpha, or with every pixel opaque, is returned
// as it is.
Image flattenOnWhite(const Image& image);

// JPEG at quality 1.0 (no chroma subsampling) of the flattened image, or
// PNG with alpha kept; either carries the mark of a Quillpost result and
// says its colours are sRGB. `kept` (the photo's capture date and camera,
// when the user keeps them) goes into an EXIF block with orientation 1;
// nothing else of the photo's metadata is ever written.
[[nodiscard]] Result<QByteArray> encodeResult(const Image& image, ResultFormat format,
                                              const CaptureMetadata& kept = {});

// Writes "savedImage.igo" in `documents` atomically, replacing an earlier
// one, without waiting for the disk; answers its path.
[[nodiscard]] Result<std::filesystem::path> writeHandOffFile(
    const Image& result, const std::filesystem::path& documents);

}  // namespace qp
