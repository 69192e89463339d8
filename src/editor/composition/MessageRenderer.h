#pragma once
// Draws the message into the text layer's canvas: the result's 612 × 612
// pixels, transparent, with the text in the theme's font, colour, size and
// alignment, word-wrapped inside the theme's text box.

#include <string>

#include "editor/ThemeSettings.h"
#include "imaging/Image.h"

namespace qp {

// Whether text can be drawn in this process: fonts need the Qt Gui
// application object. Without one, renderMessageCanvas draws no text.
bool messageDrawingAvailable();

// The transparent result-sized canvas with `message` drawn as `style` says
// at `fontSize` (canvas pixels). The box is in canvas pixels; text that
// runs past its bottom is cut at the box. An empty message, a size of zero
// or an empty box leave the canvas transparent.
Image renderMessageCanvas(const std::string& message, const TextStyle& style, double fontSize);

}  // namespace qp
