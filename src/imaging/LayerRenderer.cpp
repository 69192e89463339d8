#include "imaging/LayerRenderer.h"

#include <cmath>

#include "imaging/ImageDrawing.h"

namespace qp {
namespace {

QTransform toQTransform(const AffineTransform& t) {
    return QTransform(t.a, t.b, t.c, t.d, t.tx, t.ty);
}

QRectF toQRect(const Rect& r) {
    const Rect s = r.standardized();
    return QRectF(s.origin.x, s.origin.y, s.size.width, s.size.height);
}

void drawContents(const Layer& layer, QPainter& painter, double opacity) {
    if (layer.isHidden() || opacity <= 0) return;
    painter.save();
    painter.setOpacity(opacity);
    const QRectF bounds = toQRect(layer.bounds());
    if (layer.masksToBounds()) painter.setClipRect(bounds, Qt::IntersectClip);
    if (layer.backgroundColor().isValid() && layer.backgroundColor().alpha() > 0) {
        painter.fillRect(bounds, layer.backgroundColor());
    }
    if (layer.image() && !layer.image()->isNull()) {
        drawing::drawImageInRect(painter, *layer.image(), bounds);
    }
    for (const auto& sublayer : layer.sublayers()) {
        if (sublayer->isHidden()) continue;
        painter.save();
        painter.setTransform(toQTransform(sublayer->transformToSuperlayer()), true);
        drawContents(*sublayer, painter, opacity * sublayer->opacity());
        painter.restore();
    }
    painter.restore();
}

}  // namespace

void renderInContext(const Layer& layer, QPainter& painter) {
    drawContents(layer, painter, painter.opacity() * layer.opacity());
}

std::optional<Image> renderLayer(const Layer& layer, const Rect& area, double scale,
                                 const QColor& fill) {
    std::optional<QImage> made = drawing::makeSurfaceForArea(area, scale);
    if (!made) return std::nullopt;
    QImage surface = std::move(*made);
    const Rect r = area.standardized();
    QPainter painter(&surface);
    if (fill.isValid() && fill.alpha() > 0) painter.fillRect(surface.rect(), fill);
    if (scale != 1.0) painter.scale(scale, scale);
    painter.translate(-r.origin.x, -r.origin.y);
    renderInContext(layer, painter);
    painter.end();
    return Image(std::move(surface));
}

std::optional<Image> Image::snapshotOfLayerRectScale(const Layer& layer, const Rect& rect,
                                                     double scale) {
    return renderLayer(layer, rect, scale);
}

}  // namespace qp
