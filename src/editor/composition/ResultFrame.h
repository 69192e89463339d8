#pragma once
// The result's frame: its width in pixels and its shape. The app shares the
// 612 × 612 square; the command line may ask for the sizes and shapes other
// services use (1080 × 1350 is a width of 1080 at 4:5).

#include "editor/ThemeSettings.h"
#include "editor/composition/CompositionConstants.h"
#include "platform/Geometry.h"

namespace qp {

struct ResultFrame {
    int width = kResultSide;
    double aspectWidth = 1;
    double aspectHeight = 1;

    // The width times the shape's height per width, to the nearest pixel.
    int height() const;
    Size pixelSize() const { return {double(width), double(height())}; }
    bool isSquare() const { return aspectWidth == aspectHeight; }
    // The app's own 612 × 612 result.
    bool isAppResult() const { return width == kResultSide && isSquare(); }
    // A frame `side` points wide with this shape.
    Size pointsForWidth(double side) const;

    friend bool operator==(const ResultFrame&, const ResultFrame&) = default;
};

// Themes give their text box and sizes in units of the 612-pixel square. In
// another frame the box keeps its place: x and widths scale with the frame's
// width, y and heights with its height, font sizes with its width.
TextStyle textStyleForFrame(const TextStyle& style, const ResultFrame& frame);
double fontSizeForFrame(double size, const ResultFrame& frame);

// The blurred-photo fill's standard deviation: this fraction of the frame's
// width, so no detail of the photo competes with the photo itself.
inline constexpr double kBlurredFillRadiusPerWidth = 1.0 / 20;

}  // namespace qp
