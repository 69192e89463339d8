#include "imaging/ImageOrientation.h"

namespace qp {

bool orientationSwapsAxes(ImageOrientation orientation) {
    switch (orientation) {
        case ImageOrientation::Left:
        case ImageOrientation::Right:
        case ImageOrientation::LeftMirrored:
        case ImageOrientation::RightMirrored:
            return true;
        default:
            return false;
    }
}

std::optional<ImageOrientation> orientationFromExif(int exifValue) {
    switch (exifValue) {
        case 1:
            return ImageOrientation::Up;
        case 2:
            return ImageOrientation::UpMirrored;
        case 3:
            return ImageOrientation::Down;
        case 4:
            return ImageOrientation::DownMirrored;
        case 5:
            return ImageOrientation::LeftMirrored;
        case 6:
            return ImageOrientation::Right;
        case 7:
            return ImageOrientation::RightMirrored;
        case 8:
            return ImageOrientation::Left;
        default:
            return std::nullopt;
    }
}

std::string_view toString(ImageOrientation orientation) {
    switch (orientation) {
        case ImageOrientation::Up:
            return "Up";
        case ImageOrientation::Down:
            return "Down";
        case ImageOrientation::Left:
            return "Left";
        case ImageOrientation::Right:
            return "Right";
        case ImageOrientation::UpMirrored:
            return "UpMirrored";
        case ImageOrientation::DownMirrored:
            return "DownMirrored";
        case ImageOrientation::LeftMirrored:
            return "LeftMirrored";
        case ImageOrientation::RightMirrored:
            return "RightMirrored";
    }
    return "Unknown";
}

}  // namespace qp
