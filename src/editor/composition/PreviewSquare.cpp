#include "editor/composition/PreviewSquare.h"

#include "editor/composition/CompositionConstants.h"

namespace qp {
namespace {

// Thirds lines, one point wide, light enough to read on dark and light art.
// Plain coloured layers, so the grid costs no bitmap.
void addGridLines(Layer& grid, double side) {
    const QColor lineColour(255, 255, 255, 110);
    for (int i = 1; i <= 2; ++i) {
        const double at = side * i / 3.0 - 0.5;
        auto vertical = std::make_unique<Layer>("gridLine");
        vertical->setFrame({at, 0, 1, side});
        vertical->setBackgroundColor(lineColour);
        grid.addSublayer(std::move(vertical));
        auto horizontal = std::make_unique<Layer>("gridLine");
        horizontal->setFrame({0, at, side, 1});
        horizontal->setBackgroundColor(lineColour);
        grid.addSublayer(std::move(horizontal));
    }
}

Layer* addFullLayer(Layer& root, const char* name, double side) {
    auto layer = std::make_unique<Layer>(name);
    layer->setFrame({0, 0, side, side});
    return root.addSublayer(std::move(layer));
}

}  // namespace

PreviewSquare::PreviewSquare(double side)
    : m_side(side), m_root(std::make_unique<Layer>(kPreviewViewName)) {
    m_root->setFrame({0, 0, side, side});
    m_root->setMasksToBounds(true);
    m_background = addFullLayer(*m_root, kBackgroundLayerName, side);
    m_photo = addFullLayer(*m_root, kPhotoLayerName, side);
    m_text = addFullLayer(*m_root, kTextLayerName, side);
    m_grid = addFullLayer(*m_root, kGridLayerName, side);
    addGridLines(*m_grid, side);
}

}  // namespace qp
