#pragma once
// HEIC and other HEIF still photos through libheif: the primary picture,
// turned upright by the container's own rotation and mirror, its colours
// brought to sRGB from the colour box (an ICC profile or stated primaries).

#include <QByteArray>

#include "imaging/Image.h"
#include "imaging/PhotoIO.h"
#include "platform/Result.h"

namespace qp {

// The picture's size is checked against `options.maxPixels` before any pixel
// is decoded; `options.shrink` is ignored. A picture coded in a way no
// decoder here reads (AV1 without its decoder, say) is a clear error of its
// own (kImagingErrorUnsupportedCodec), and so is a missing libheif, which is
// loaded only here, on the first HEIF photo.
[[nodiscard]] Result<Image> decodeHeif(const QByteArray& bytes, const DecodeOptions& options);

// The primary picture's EXIF block as a TIFF structure, or empty.
QByteArray heifExifTiff(const QByteArray& bytes);

}  // namespace qp
