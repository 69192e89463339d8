#include "editor/composition/PreviewSquare.h"

#include "editor/composition/CompositionConstants.h"

namespace qp {
namespace {

// Thirds lines, one point wide, light enough to read on dark and light art.
// Plain coloured layers, so the grid costs no bitmap.
void addGridLines(Layer& grid, Size size) {
    const QColor lineColour(255, 255, 255, 110);
    for (int i = 1; i <= 2; ++i) {
        auto vertical = std::make_unique<Layer>("gridLine");
        vertical->setFrame({size.width * i / 3.0 - 0.5, 0, 1, size.height});
        vertical->setBackgroundColor(lineColour);
        grid.addSublayer(std::move(vertical));
        auto horizontal = std::make_unique<Layer>("gridLine");
        horizontal->setFrame({0, size.height * i / 3.0 - 0.5, size.width, 1});
        horizontal->setBackgroundColor(lineColour);
        grid.addSublayer(std::move(horizontal));
    }
}

Layer* addFullLayer(Layer& root, const char* name, Size size) {
    auto layer = std::make_unique<Layer>(name);
    layer->setFrame({{0, 0}, size});
    return root.addSublayer(std::move(layer));
}

}  // namespace

PreviewSquare::PreviewSquare(Size frame)
    : m_size(frame), m_root(std::make_unique<Layer>(kPreviewViewName)) {
    m_root->setFrame(bounds());
    m_root->setMasksToBounds(true);
    m_background = addFullLayer(*m_root, kBackgroundLayerName, frame);
    m_photo = addFullLayer(*m_root, kPhotoLayerName, frame);
    m_text = addFullLayer(*m_root, kTextLayerName, frame);
    m_grid = addFullLayer(*m_root, kGridLayerName, frame);
    addGridLines(*m_grid, frame);
}

}  // namespace qp
