#pragma once
// The eight orientation tags a stored bitmap can carry: how the stored pixels
// must be turned to be seen upright. Values match the stored tag numbers.

#include <optional>
#include <string_view>

namespace qp {

enum class ImageOrientation {
    Up = 0,
    Down = 1,
    Left = 2,
    Right = 3,
    UpMirrored = 4,
    DownMirrored = 5,
    LeftMirrored = 6,
    RightMirrored = 7,
};

// True for the four tags whose upright picture has width and height exchanged.
bool orientationSwapsAxes(ImageOrientation orientation);

// The tag for an EXIF orientation value (1 to 8), or nothing for other values.
std::optional<ImageOrientation> orientationFromExif(int exifValue);

std::string_view toString(ImageOrientation orientation);

}  // namespace qp
