#pragma once
// How large the window shows the emulated screen: at its size in points,
// twice that, or as large as fits the desktop's screen. Plain logic: the
// names kept in the settings and the factor each choice gives.

#include <optional>
#include <string>

#include "platform/Geometry.h"

namespace qp {

enum class WindowZoom { Actual, Double, FitScreen };

// The names the settings keep: "1x", "2x", "fit".
std::string zoomName(WindowZoom zoom);
std::optional<WindowZoom> zoomNamed(const std::string& name);
// For the window's title and menus: "1×", "2×", "fit to screen".
std::string zoomLabel(WindowZoom zoom);

// Room the desktop's window frame and title bar take from a screen.
inline constexpr double kWindowFrameRoom = 64;
// Fit factors are whole tenths, so scaling is the same run after run.
inline constexpr double kFitStep = 0.1;
inline constexpr double kSmallestFit = 0.5;

// Pixels per point for `zoom`: fit takes the largest whole tenth at which
// `screen` (the desktop screen's free area in pixels, frame room included)
// holds the emulated screen, never below half size; with no screen known,
// or one too small to measure, fit shows the screen at its own size.
double zoomFactor(WindowZoom zoom, Size emulatedScreen, std::optional<Size> desktopScreen);

}  // namespace qp
