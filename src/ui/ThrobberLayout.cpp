#include "ui/ThrobberLayout.h"

#include <algorithm>
#include <limits>
#include <numbers>

namespace qp {

std::optional<ThrobberPlacement> throbberPlacementOnWindow(const WindowPlacementInput& input) {
    double top = 0;
    double bottom = 0;
    if (input.blockNavigation) {
        top = kThrobberStatusBarInset;
    } else {
        bottom = kThrobberToolbarInset;
        const bool landscape = input.deviceOrientation == 3 || input.deviceOrientation == 4;
        top = landscape ? kThrobberStatusBarInset + (input.isPad ? kThrobberPadLandscapeBarHeight
                                                                 : kThrobberPhoneLandscapeBarHeight)
                        : kThrobberNavigationBarInset;
    }
    const double w = input.screen.width;
    const double h = input.screen.height;
    const double pi = std::numbers::pi;
    switch (input.orientation) {
        case 1:
            return ThrobberPlacement{Rect(0, top, w, h - top - bottom), 0};
        case 2:
            return ThrobberPlacement{Rect(0, bottom, w, h - top - bottom), pi};
        case 3:
            return ThrobberPlacement{Rect(bottom, 0, w - top - bottom, h), pi / 2};
        case 4:
            return ThrobberPlacement{Rect(top, 0, w - top - bottom, h), -pi / 2};
        default:
            return std::nullopt;
    }
}

Rect throbberLabelFrame(const Rect& contentBounds, bool showsText, double measuredHeight,
                        double offset) {
    const double x = contentBounds.minX();
    const double middle = contentBounds.midY();
    const double width = contentBounds.width();
    if (!showsText) return Rect(x, middle, width, 0);
    return Rect(x, middle + offset, width, measuredHeight);
}

double throbberCentringShift(const std::vector<Rect>& frames, double middle) {
    double top = std::numeric_limits<float>::max();
    double bottom = 0;
    for (const Rect& frame : frames) {
        top = std::min(top, frame.minY());
        bottom = std::max(bottom, frame.maxY());
    }
    return static_cast<float>(middle - (top + bottom) / 2.0);
}

}  // namespace qp
