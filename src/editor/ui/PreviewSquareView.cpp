#include "editor/ui/PreviewSquareView.h"

#include <QPainter>

#include "imaging/LayerRenderer.h"

namespace qp {

PreviewSquareView::PreviewSquareView(QWidget* parent) : QWidget(parent) {
    resetComposition(currentDeviceProfile());
}

PreviewSquareView::~PreviewSquareView() = default;

void PreviewSquareView::resetComposition(const DeviceProfile& device) {
    m_composition = std::make_unique<Composition>(device);
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
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    painter.setRenderHint(QPainter::Antialiasing);
    renderInContext(m_composition->previewSquare().root(), painter);
}

}  // namespace qp
