#pragma once
// The full operation names that image operations write in their failure
// lines ("<name>: Error!"). Spelled exactly as the log readers expect them.

namespace qp {

inline constexpr const char* kRotateOnAngleName = "-[UIImage(Utils) rotateOnAngle:]";
inline constexpr const char* kFlipVerticallyName = "-[UIImage(Utils) flipVertically]";
inline constexpr const char* kFlipHorizontallyName = "-[UIImage(Utils) flipHorizontally]";
inline constexpr const char* kResizeToSizeName = "-[UIImage(Utils) resizeToSize:backgroundColor:]";
inline constexpr const char* kCropToRectName = "-[UIImage(Utils) cropToRect:]";
inline constexpr const char* kPreviewWithSizeName = "-[UIImage(Utils) previewWithSize:]";
inline constexpr const char* kMixWithImageName = "-[UIImage(Utils) mixWithImage:rect:]";
inline constexpr const char* kMaskWithImageName = "-[UIImage(Utils) maskWithImage:]";
inline constexpr const char* kMaskWithImageRectName = "-[UIImage(Utils) maskWithImage:rect:]";
inline constexpr const char* kMakeBlackAndWhiteName = "-[UIImage(Utils) makeBlackAndWhite]";
inline constexpr const char* kMakeRoundCornersName =
    "-[UIImage(Utils) makeRoundCornersWithCornerWidth:cornerHeight:]";
inline constexpr const char* kMaskWithPathName = "-[UIImage(Utils) maskWithPath:]";
inline constexpr const char* kMaskFromPathName = "-[UIImage(Utils) maskFromPath:blur:]";
inline constexpr const char* kBlurredToCoverName = "qp::Image::blurredToCover";

}  // namespace qp
