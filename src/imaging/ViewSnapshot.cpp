#include "imaging/ViewSnapshot.h"

#include <QPainter>
#include <cmath>

#include "imaging/ImageDrawing.h"

namespace qp {

std::optional<Image> snapshotOfView(QWidget& view) {
    return snapshotOfView(view, 1.0);
}

std::optional<Image> snapshotOfView(QWidget& view, const Rect& rect) {
    return snapshotOfView(view, rect, 1.0);
}

std::optional<Image> snapshotOfView(QWidget& view, double scale) {
    return snapshotOfView(view, Rect(0, 0, view.width(), view.height()), scale);
}

std::optional<Image> snapshotOfView(QWidget& view, const Rect& rect, double scale) {
    if (!(scale > 0) || !std::isfinite(scale)) return std::nullopt;
    const Rect r = rect.standardized();
    const int w = drawing::surfaceDimension(r.size.width * scale);
    const int h = drawing::surfaceDimension(r.size.height * scale);
    if (w == 0 || h == 0) return std::nullopt;
    QImage surface = drawing::makeImageSurface(w, h);
    if (surface.isNull()) return std::nullopt;
    QPainter painter(&surface);
    if (scale != 1.0) painter.scale(scale, scale);
    painter.translate(-r.origin.x, -r.origin.y);
    view.render(&painter, QPoint(), QRegion(), QWidget::DrawChildren);
    painter.end();
    return Image(std::move(surface));
}

}  // namespace qp
