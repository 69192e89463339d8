#pragma once
// Where a web dialog sits on the window and how its parts sit in it, as
// plain arithmetic.

#include "platform/Geometry.h"

namespace qp {

// The status bar above the app's frame.
inline constexpr double kFBDialogStatusBarHeight = 20;
// On a tablet the dialog takes this share of the app frame's width and height.
inline constexpr double kFBDialogPadScale = 0.6;
inline constexpr double kFBDialogPadding = 10;
inline constexpr double kFBDialogBorderWidth = 10;
inline constexpr double kFBDialogCornerRadius = 10;
inline constexpr double kFBDialogCloseButtonInset = 2;
inline constexpr double kFBDialogCloseButtonSide = 29;
// On a phone held in landscape the page grows by this on each side while the
// keyboard is up.
inline constexpr double kFBDialogKeyboardGrowth = 10;

// The dialog's frame on a window of `windowSize`: the app frame (the window
// below the status bar) less the padding, centred; 60 % of it on a tablet.
Rect fbDialogFrame(const Size& windowSize, bool isPad);
// The web view inside a dialog of `dialogSize`, within the border.
Rect fbDialogWebViewFrame(const Size& dialogSize);
// `frame` scaled by `scale` about its centre, as the dialog is while it
// comes on screen.
Rect fbDialogScaledFrame(const Rect& frame, double scale);

}  // namespace qp
