#pragma once
// Keeping the message readable over any photo: the contrast measure of the
// web's accessibility guidelines, and the halo drawn around the glyphs in
// the lightness that contrasts most with the text colour.

#include <QColor>

namespace qp {

// Relative luminance of an sRGB colour, 0 (black) to 1 (white).
double relativeLuminance(QColor colour);
// Contrast ratio of two relative luminances, 1 to 21, whichever is lighter.
double contrastRatio(double luminanceA, double luminanceB);

// Black or white, whichever contrasts more with `text` (at least 4.58:1
// for any colour).
QColor haloColourFor(QColor text);

// The halo's opaque band in canvas pixels for a font of `fontSize` pixels
// and a theme's "text halo" percentage; 0 when the theme turns it off.
// Never thinner than two pixels, so small text keeps a solid edge.
double haloWidthFor(double fontSize, double haloPercent);

}  // namespace qp
