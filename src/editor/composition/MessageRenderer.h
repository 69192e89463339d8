#pragma once
// Draws the message into the text layer's canvas: the result's 612 × 612
// pixels, transparent, with the text in the theme's font, colour and
// alignment, fitted into the theme's text box (MessageFitting.h) and ringed
// by a halo of the contrasting lightness, so it reads over any photo.

#include <string>

#include "editor/ThemeSettings.h"
#include "editor/composition/CompositionConstants.h"
#include "editor/composition/MessageFitting.h"
#include "imaging/Image.h"

namespace qp {

// Whether text can be drawn in this process: fonts need the Qt Gui
// application object. Without one, renderMessageCanvas draws no text.
bool messageDrawingAvailable();

struct MessageCanvas {
    Image image;
    // What was drawn, at what size, and whether it had to be cut.
    MessageFit fit;
};

// The transparent canvas of `canvas` pixels (the result's size) with
// `message` drawn as `style` says, fitted from `fontSize` (canvas pixels)
// down. The box is in canvas pixels; the halo may reach past it by its own
// width. An empty message, a size of zero or an empty box leave the canvas
// transparent.
MessageCanvas renderMessage(const std::string& message, const TextStyle& style, double fontSize,
                            Size canvas = {kResultSide, kResultSide});
Image renderMessageCanvas(const std::string& message, const TextStyle& style, double fontSize);

}  // namespace qp
