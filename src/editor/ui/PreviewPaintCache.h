#pragma once
// Paints the preview square quickly while only the photo moves. The layers
// behind the photo and those in front of it are kept as bitmaps at the
// device's pixels, drawn afresh only when their looks change; each frame
// blits them, the front one only where it has anything (the back one not
// at all while the photo covers the square), and draws the photo in between
// from the photo's own reduced copies. What the frame
// shows is what the whole tree drawn straight shows.

#include <QImage>
#include <QPainter>
#include <QPoint>
#include <optional>
#include <vector>

#include "editor/composition/PreviewSquare.h"
#include "editor/ui/LayerLooks.h"

namespace qp {

class PreviewPaintCache {
public:
    // Paints `square`'s tree in its own coordinates. Hidden flags may be
    // flipped while the still layers are drawn afresh; they are put back.
    void paint(PreviewSquare& square, QPainter& painter);

    // How often still layers were drawn into bitmaps, and how many frames
    // were drawn straight because the painter's mapping rules the bitmaps
    // out (a rotated or fractional one).
    int stillRenders() const { return m_stillRenders; }
    int straightFrames() const { return m_straightFrames; }

private:
    // The device pixels of the square: a uniform scale, the square's corner
    // on a whole pixel and a whole number of pixels across.
    struct DeviceMapping {
        double scale = 0;
        int width = 0;
        int height = 0;
        friend bool operator==(const DeviceMapping&, const DeviceMapping&) = default;
    };
    // A part of a still bitmap that holds something, at its place in the
    // bitmap's pixels.
    struct Piece {
        QPoint at;
        QImage bitmap;
    };
    struct StillPart {
        LayerLooks looks;
        DeviceMapping mapping;
        std::vector<Piece> pieces;
    };

    static std::optional<DeviceMapping> deviceMapping(const PreviewSquare& square,
                                                      const QPainter& painter);
    // Draws afresh when the layers' looks or the mapping changed.
    void refresh(StillPart& part, PreviewSquare& square, const std::vector<const Layer*>& layers,
                 const DeviceMapping& mapping, QPainter::RenderHints hints);
    static void blit(const StillPart& part, QPainter& painter);

    StillPart m_behind;
    StillPart m_inFront;
    int m_stillRenders = 0;
    int m_straightFrames = 0;
};

}  // namespace qp
