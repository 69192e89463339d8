#pragma once
// The halo around the message's glyphs: an opaque band of a given width
// that follows their shapes, then a soft fade. Grown from the drawn glyphs'
// own pixels (a distance transform), so it is the same on every run, and
// colour glyphs such as emoji get one too.

#include <QColor>
#include <QImage>

namespace qp {

// How far past the glyphs a halo of `width` reaches, fade included.
double haloReach(double width);

// A picture the size of `glyphs` holding the halo in `colour` around what
// `glyphs` covers (by alpha, partly covered pixels included), opaque for
// `width` pixels past the glyphs' edge. Empty for a width of 0.
QImage haloAround(const QImage& glyphs, double width, QColor colour);

}  // namespace qp
