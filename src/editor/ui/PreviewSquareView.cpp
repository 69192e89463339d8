#include "editor/ui/PreviewSquareView.h"

#include <QPainter>

#include <algorithm>

namespace qp {

PreviewSquareView::PreviewSquareView(QWidget* parent) : QWidget(parent) {
    resetComposition(currentDeviceProfile());
    const int side = static_cast<int>(m_composition->squareSide());
    resize(side, side);
}

PreviewSquareView::~PreviewSquareView() = default;

void PreviewSquareView::resetComposition(const DeviceProfile& device) {
    m_composition = std::make_unique<Composition>(device);
    m_paintCache = PreviewPaintCache();
    update();
}

Layer* PreviewSquareView::layerNamed(const std::string& name) {
    Layer& root = m_composition->previewSquare().root();
    if (root.name() == name) return &root;
    return root.layerNamed(name);
}

double PreviewSquareView::displayScale() const {
    const double side = m_composition->squareSide();
    const double shown = std::min(width(), height());
    return side > 0 && shown > 0 ? shown / side : 1;
}

Point PreviewSquareView::toSquarePoints(Point onWidget) const {
    const double scale = displayScale();
    return {onWidget.x / scale, onWidget.y / scale};
}

void PreviewSquareView::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    const double scale = displayScale();
    painter.scale(scale, scale);
    paintSquare(painter);
}

void PreviewSquareView::paintSquare(QPainter& painter) {
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    painter.setRenderHint(QPainter::Antialiasing);
    m_paintCache.paint(m_composition->previewSquare(), painter);
}

}  // namespace qp
