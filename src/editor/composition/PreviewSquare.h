#pragma once
// The preview square as a layer tree: the theme's background at the back,
// the photo above it, the message's text layer above that and the grid
// overlay on top, all clipped to the square. The screen shows it; the
// result image is rendered from it. The command line may make it a frame
// of another shape, as wide as the square and as tall as the shape says.

#include <memory>

#include "imaging/Layer.h"
#include "platform/Geometry.h"

namespace qp {

class PreviewSquare {
public:
    explicit PreviewSquare(double side) : PreviewSquare(Size{side, side}) {}
    explicit PreviewSquare(Size frame);
    PreviewSquare(const PreviewSquare&) = delete;
    PreviewSquare& operator=(const PreviewSquare&) = delete;

    // The width: the square's side.
    double side() const { return m_size.width; }
    Size size() const { return m_size; }
    Point center() const { return {m_size.width / 2, m_size.height / 2}; }
    Rect bounds() const { return {{0, 0}, m_size}; }

    // The square itself (`previewView`); its sublayers are found by name too.
    Layer& root() { return *m_root; }
    const Layer& root() const { return *m_root; }
    Layer& backgroundLayer() { return *m_background; }
    const Layer& backgroundLayer() const { return *m_background; }
    Layer& photoLayer() { return *m_photo; }
    const Layer& photoLayer() const { return *m_photo; }
    Layer& textLayer() { return *m_text; }
    const Layer& textLayer() const { return *m_text; }
    Layer& gridLayer() { return *m_grid; }
    const Layer& gridLayer() const { return *m_grid; }

private:
    Size m_size;
    std::unique_ptr<Layer> m_root;
    // Observers; the root owns them.
    Layer* m_background = nullptr;
    Layer* m_photo = nullptr;
    Layer* m_text = nullptr;
    Layer* m_grid = nullptr;
};

}  // namespace qp
