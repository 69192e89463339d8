#pragma once
// Draws a layer tree: into a QPainter in the layer's own coordinates, or into
// a new bitmap at a scale over a fill colour (the preview square and the
// 612 × 612 result are both made this way).

#include <QColor>
#include <QPainter>

#include "imaging/Image.h"
#include "imaging/Layer.h"

namespace qp {

// Draws `layer` and its visible sublayers in the layer's own coordinates
// (its position and transform are not applied; its opacity is). Opacity
// multiplies down the tree and applies to each drawing step, not to a
// flattened group.
void renderInContext(const Layer& layer, QPainter& painter);

// A bitmap of `size` points × `scale`, filled with `fill` (transparent when
// invalid or clear), with the layer's `area` rendered to cover it.
std::optional<Image> renderLayer(const Layer& layer, const Rect& area, double scale,
                                 const QColor& fill = QColor());

}  // namespace qp
