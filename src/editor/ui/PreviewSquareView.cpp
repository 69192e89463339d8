#include "editor/ui/PreviewSquareView.h"

#include <QPainter>

namespace qp {

PreviewSquareView::PreviewSquareView(QWidget* parent) : QWidget(parent) {
    resetComposition(currentDeviceProfile());
}

PreviewSquareView::~PreviewSquareView() = default;

void PreviewSquareView::resetComposition(const DeviceProfile& device) {
    m_composition = std::make_unique<Composition>(device);
    m_paintCache = PreviewPaintCache();
    const int side = static_cast<int>(m_composition->squareSide());
    setFixedSize(side, side);
    update();
}

Layer* PreviewSquareView::layerNamed(const std::string& name) {
    Layer& root = m_composition->previewSquare().root();
    if (root.name() == name) return &root;
    return root.layerNamed(name);
}

void PreviewSquareView::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    paintSquare(painter);
}

void PreviewSquareView::paintSquare(QPainter& painter) {
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    painter.setRenderHint(QPainter::Antialiasing);
    m_paintCache.paint(m_composition->previewSquare(), painter);
}

}  // namespace qp
