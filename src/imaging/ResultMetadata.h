#pragma once
// What a result file says about itself besides its pixels: that its colours
// are sRGB (an ICC profile in a JPEG, the sRGB chunk in a PNG) and, when the
// user asks to keep them, the photo's capture date and camera in an EXIF
// block with orientation 1. Results are new pictures: nothing else of the
// photo's metadata is ever written.

#include <QByteArray>

#include "imaging/CaptureMetadata.h"

namespace qp {

// `encoded` (a JPEG or PNG file) marked as sRGB; other data unchanged.
QByteArray withSrgbTag(const QByteArray& encoded);

// `encoded` with an EXIF block holding `metadata` (APP1 in a JPEG, eXIf in a
// PNG); unchanged when `metadata` is empty or the data is neither.
QByteArray withCaptureMetadata(const QByteArray& encoded, const CaptureMetadata& metadata);

}  // namespace qp
