#pragma once
// The preview square on screen: a widget that owns the composition (and so
// its layer tree of background, photo, text and grid) and paints it. The
// composition keeps its side in points whatever the widget's size; a layout
// may show it larger, and input on the widget is taken back to the
// composition's points.

#include <QWidget>

#include <memory>

#include "editor/composition/Composition.h"
#include "editor/ui/PreviewPaintCache.h"

namespace qp {

inline constexpr const char* kPreviewSquareViewClass = "PreviewSquareView";

class PreviewSquareView : public QWidget {
public:
    explicit PreviewSquareView(QWidget* parent = nullptr);
    ~PreviewSquareView() override;

    // Starts a fresh composition for `device` (the square's side and scale
    // follow it). The widget keeps its size: it starts as large as the
    // square of the profile in use, and its layout may size it otherwise.
    void resetComposition(const DeviceProfile& device);
    Composition& composition() { return *m_composition; }
    const Composition& composition() const { return *m_composition; }

    // A layer of the square by its outlet name ("resultPreviewBkgd",
    // "resultPreviewPhoto", "resultPreviewText", "resultPreviewGrid"), or
    // nullptr.
    Layer* layerNamed(const std::string& name);

    // Widget points per composition point: 1 where the widget is as large
    // as the square, more where the layout shows it larger.
    double displayScale() const;
    // A point or a distance on the widget in the composition's points.
    Point toSquarePoints(Point onWidget) const;

    // The layer tree changed: paint again.
    void layersChanged() { update(); }

    // Paints the square as the screen shows it into `painter` (the square's
    // own coordinates); the paint event does this at the screen's pixels.
    void paintSquare(QPainter& painter);
    const PreviewPaintCache& paintCache() const { return m_paintCache; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    std::unique_ptr<Composition> m_composition;
    PreviewPaintCache m_paintCache;
};

}  // namespace qp
