#pragma once
// Fitting the message into the theme's text box: the size the user chose
// if the text fits at it, else the font shrunk toward the theme's minimum;
// if no size fits with whole words, long words are broken; only when even
// that fails at the minimum is the text cut and ended with an ellipsis. The
// editor's text layer and `quillpost compose` draw what this answers.

#include <QFont>
#include <QString>
#include <QTextLayout>
#include <string>

#include "editor/ThemeSettings.h"
#include "editor/composition/CompositionConstants.h"

namespace qp {

// The smallest size the message shrinks to when its theme names no minimum.
inline constexpr int kSmallestMessageSize = 8;
// What ends a message cut at the box.
inline constexpr char16_t kEllipsis = u'\u2026';

struct MessageFit {
    // The text as drawn: line breaks as Unicode line separators, trailing
    // white space dropped, and when cut its beginning and an ellipsis.
    QString text;
    // Font size in canvas pixels; 0 when nothing is drawn.
    int fontSize = 0;
    // Words longer than the box's width were broken across lines.
    bool wordsBroken = false;
    // The text did not fit even at the smallest size and was cut.
    bool cut = false;
};

// The theme's font at `pixelSize`.
QFont messageFont(const TextStyle& style, int pixelSize);

// Lays `layout`'s text out into lines `width` wide, breaking inside words
// only when `breakWords`, aligned as `style` says. Answers the height the
// lines take; `fitsWidth` (when given) says whether every line fits.
double layOutMessage(QTextLayout& layout, const TextStyle& style, double width, bool breakWords,
                     bool* fitsWidth = nullptr);

// Fits `message` into `style`'s text box (cut to the canvas, the 612-pixel
// result unless told otherwise), starting at `fontSize` canvas pixels. Needs
// the font system (messageDrawingAvailable); without it, or for an empty
// message, a size below 1 or an empty box, the answer draws nothing.
MessageFit fitMessage(const std::string& message, const TextStyle& style, double fontSize,
                      Size canvas = {kResultSide, kResultSide});

}  // namespace qp
