#include "platform/ui/WindowZoom.h"

#include <algorithm>
#include <cmath>

namespace qp {

std::string zoomName(WindowZoom zoom) {
    switch (zoom) {
        case WindowZoom::Actual:
            return "1x";
        case WindowZoom::Double:
            return "2x";
        case WindowZoom::FitScreen:
            return "fit";
    }
    return "1x";
}

std::optional<WindowZoom> zoomNamed(const std::string& name) {
    for (WindowZoom zoom : {WindowZoom::Actual, WindowZoom::Double, WindowZoom::FitScreen}) {
        if (zoomName(zoom) == name) return zoom;
    }
    return std::nullopt;
}

std::string zoomLabel(WindowZoom zoom) {
    switch (zoom) {
        case WindowZoom::Actual:
            return "1×";
        case WindowZoom::Double:
            return "2×";
        case WindowZoom::FitScreen:
            return "fit to screen";
    }
    return "1×";
}

double zoomFactor(WindowZoom zoom, Size emulatedScreen, std::optional<Size> desktopScreen) {
    switch (zoom) {
        case WindowZoom::Actual:
            return 1;
        case WindowZoom::Double:
            return 2;
        case WindowZoom::FitScreen:
            break;
    }
    if (!desktopScreen || emulatedScreen.isEmpty()) return 1;
    const double width = desktopScreen->width / emulatedScreen.width;
    const double height = (desktopScreen->height - kWindowFrameRoom) / emulatedScreen.height;
    const double fit = std::min(width, height);
    if (!std::isfinite(fit) || fit <= 0) return 1;
    // A little slack so that 2.0 computed as 1.9999… stays 2.0.
    const double stepped = std::floor(fit / kFitStep + 1e-9) * kFitStep;
    return std::max(stepped, kSmallestFit);
}

}  // namespace qp
