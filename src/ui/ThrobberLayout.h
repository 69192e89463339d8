#pragma once
// The overlay's geometry as plain arithmetic: where the overlay sits on a
// window for each content orientation, where its labels go in the box, and
// how far the box's contents move to be centred vertically.

#include <optional>
#include <vector>

#include "platform/Geometry.h"

namespace qp {

inline constexpr double kThrobberStatusBarInset = 20;
inline constexpr double kThrobberToolbarInset = 49;
inline constexpr double kThrobberNavigationBarInset = 64;
inline constexpr double kThrobberPhoneLandscapeBarHeight = 32;
inline constexpr double kThrobberPadLandscapeBarHeight = 44;
inline constexpr double kThrobberTitleOffset = 25;
inline constexpr double kThrobberDetailsOffset = 50;

struct ThrobberPlacement {
    Rect frame;
    double contentRotation = 0;  // radians
};

struct WindowPlacementInput {
    Size screen;                // the main screen's bounds
    int orientation = 1;        // the overlay's content orientation, 1 to 4
    int deviceOrientation = 1;  // how the device is held
    bool blockNavigation = false;
    bool isPad = false;
};

// The overlay's frame and content rotation on a window, or nothing for an
// orientation outside 1 to 4.
std::optional<ThrobberPlacement> throbberPlacementOnWindow(const WindowPlacementInput& input);

// A label's frame in the box: at the middle with no height when it shows
// nothing, else `offset` below the middle at its measured height.
Rect throbberLabelFrame(const Rect& contentBounds, bool showsText, double measuredHeight,
                        double offset);

// How far every subview of the box moves down (negative: up) so that the
// stack of frames is centred on `middle`, rounded to single precision as
// the box's coordinates are.
double throbberCentringShift(const std::vector<Rect>& frames, double middle);

}  // namespace qp
