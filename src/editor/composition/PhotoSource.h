#pragma once
// Reads a photo for the square with no more pixels than the square needs: a
// large JPEG is decoded shrunk on load (by 2, 4 or 8) as long as its longer
// side keeps at least the pixels the result will show.

#include <QByteArray>
#include <string>
#include <vector>

#include "imaging/Image.h"
#include "imaging/PhotoFile.h"
#include "platform/Geometry.h"
#include "platform/Result.h"

namespace qp {

struct LoadedPhoto {
    Image image;    // possibly a reduced copy, orientation tag not applied
    Size fullSize;  // the whole photo's upright pixel size
    // What was wrong with a file that could still be read.
    std::vector<std::string> warnings;
};

// The longer side, in pixels, that the photo's picture must keep when it is
// fitted into a square of `squareSide` points, snapshot at `scale` and then
// zoomed by `zoom` (1 is the fit).
double longerSidePixelsNeeded(double squareSide, double scale, double zoom);

// Decodes `bytes`. A JPEG whose shorter side is at least the minimum (so
// it will not be enlarged) is shrunk as far as keeps `longerSideNeeded`
// pixels on its longer side; anything else comes at full size.
[[nodiscard]] Result<LoadedPhoto> decodePhotoForSquare(const QByteArray& bytes,
                                                       double longerSideNeeded);
// Reads the file within `limits` first (see PhotoFile.h).
[[nodiscard]] Result<LoadedPhoto> readPhotoForSquare(const std::string& path,
                                                     double longerSideNeeded,
                                                     const PhotoFileLimits& limits = {});

}  // namespace qp
