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
    std::optional<QImage> made = drawing::makeSurfaceForArea(rect, scale);
    if (!made) return std::nullopt;
    QImage surface = std::move(*made);
    const Rect r = rect.standardized();
    QPainter painter(&surface);
    if (scale != 1.0) painter.scale(scale, scale);
    painter.translate(-r.origin.x, -r.origin.y);
    view.render(&painter, QPoint(), QRegion(), QWidget::DrawChildren);
    painter.end();
    return Image(std::move(surface));
}

}  // namespace qp
