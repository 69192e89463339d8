#pragma once
// The fixed numbers and names of the composition: the preview square, the
// photo's import and placement limits, the result and the hand-off file.

namespace qp {

// Side of the preview square in points.
inline constexpr double kPhoneSquareSide = 306;
inline constexpr double kTabletSquareSide = 482;

// The result image is this many pixels square.
inline constexpr int kResultSide = 612;

// A picked photo whose shorter side is below this is enlarged to it.
inline constexpr double kMinimumShortSide = 612;
// The photo may be shown at most this many points per photo pixel.
inline constexpr double kZoomCap = 2.0;
// The smallest total scale a pinch may reach (the fit of a very long
// panorama may need less, and then the fit's own factor is the floor). At
// zero the transform would be singular and the next pivot move would divide
// by it.
inline constexpr double kMinimumTotalScale = 0.01;

// The message holds at most this many UTF-16 code units.
inline constexpr int kMessageLimit = 120;

// The layers of the preview square, by outlet name.
inline constexpr const char* kPreviewViewName = "previewView";
inline constexpr const char* kBackgroundLayerName = "resultPreviewBkgd";
inline constexpr const char* kPhotoLayerName = "resultPreviewPhoto";
inline constexpr const char* kTextLayerName = "resultPreviewText";
inline constexpr const char* kGridLayerName = "resultPreviewGrid";

// The result as JPEG, handed to the photo-sharing app, in Documents/.
inline constexpr const char* kHandOffFileName = "savedImage.igo";
// JPEG quality of the hand-off file (1.0 is 100, no chroma subsampling).
inline constexpr double kHandOffJpegQuality = 1.0;

}  // namespace qp
