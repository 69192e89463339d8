#include "editor/ui/PreviewPaintCache.h"

#include <algorithm>
#include <cmath>

#include "imaging/LayerRenderer.h"

namespace qp {
namespace {

// Still bitmaps are cut into bands of this many rows, and each band into
// runs of this many columns that hold something: the front layers (message
// and grid lines) leave most of the square empty.
constexpr int kTile = 32;
constexpr double kWholePixel = 1e-6;

bool isWhole(double v) {
    return std::abs(v - std::round(v)) < kWholePixel;
}

bool drawsItself(const Layer& layer) {
    const bool colour = layer.backgroundColor().isValid() && layer.backgroundColor().alpha() > 0;
    return colour || (layer.image() && !layer.image()->isNull());
}

bool tileHoldsSomething(const QImage& bitmap, int x0, int y0, int x1, int y1) {
    for (int y = y0; y < y1; ++y) {
        const auto* row = reinterpret_cast<const QRgb*>(bitmap.constScanLine(y));
        for (int x = x0; x < x1; ++x) {
            if (row[x] != 0) return true;
        }
    }
    return false;
}

bool isOpaque(const QImage& bitmap) {
    for (int y = 0; y < bitmap.height(); ++y) {
        const auto* row = reinterpret_cast<const QRgb*>(bitmap.constScanLine(y));
        for (int x = 0; x < bitmap.width(); ++x) {
            if (qAlpha(row[x]) != 255) return false;
        }
    }
    return true;
}

// The parts of `bitmap` that hold something, in whole-pixel places. An
// opaque part is marked so, so drawing it copies instead of blending.
std::vector<QImage> piecesOf(const QImage& bitmap, std::vector<QPoint>& places) {
    std::vector<QImage> pieces;
    for (int y0 = 0; y0 < bitmap.height(); y0 += kTile) {
        const int y1 = std::min(y0 + kTile, bitmap.height());
        int runStart = -1;
        // One step past the last tile, where nothing is held, ends a run
        // that reaches the right edge.
        for (int x0 = 0; x0 < bitmap.width() + kTile; x0 += kTile) {
            const int x1 = std::min(x0 + kTile, bitmap.width());
            const bool holds = x0 < bitmap.width() && tileHoldsSomething(bitmap, x0, y0, x1, y1);
            if (holds && runStart < 0) runStart = x0;
            if (!holds && runStart >= 0) {
                QImage piece =
                    bitmap.copy(runStart, y0, std::min(x0, bitmap.width()) - runStart, y1 - y0);
                if (isOpaque(piece)) piece.reinterpretAsFormat(QImage::Format_RGB32);
                pieces.push_back(std::move(piece));
                places.emplace_back(runStart, y0);
                runStart = -1;
            }
        }
    }
    return pieces;
}

// Whether the photo hides everything behind it: opaque pixels, drawn whole,
// over every pixel of the square with a pixel to spare for its soft edges.
bool photoCoversSquare(const Layer& photo, const PreviewSquare& square, double opacity,
                       double scale) {
    if (photo.isHidden() || opacity < 1 || photo.opacity() < 1 || !photo.image() ||
        photo.image()->isNull() || photo.image()->hasAlpha()) {
        return false;
    }
    const AffineTransform toSquare = photo.transformToSuperlayer();
    if (!toSquare.isInvertible()) return false;
    const AffineTransform toPhoto = toSquare.inverted();
    const double margin = 1 / scale;
    const Size size = square.size();
    const Rect inside = photo.bounds();
    for (Point corner :
         {Point{-margin, -margin}, Point{size.width + margin, -margin},
          Point{-margin, size.height + margin}, Point{size.width + margin, size.height + margin}}) {
        const Point p = toPhoto.apply(corner);
        if (p.x < inside.origin.x || p.y < inside.origin.y ||
            p.x > inside.origin.x + inside.size.width ||
            p.y > inside.origin.y + inside.size.height) {
            return false;
        }
    }
    return true;
}

}  // namespace

std::optional<PreviewPaintCache::DeviceMapping> PreviewPaintCache::deviceMapping(
    const PreviewSquare& square, const QPainter& painter) {
    const QTransform t = painter.deviceTransform();
    if (t.type() > QTransform::TxScale || t.m11() <= 0 || t.m11() != t.m22()) return std::nullopt;
    const double width = square.size().width * t.m11();
    const double height = square.size().height * t.m22();
    if (!isWhole(t.dx()) || !isWhole(t.dy()) || !isWhole(width) || !isWhole(height) || width < 1 ||
        height < 1) {
        return std::nullopt;
    }
    return DeviceMapping{t.m11(), int(std::lround(width)), int(std::lround(height))};
}

void PreviewPaintCache::paint(PreviewSquare& square, QPainter& painter) {
    Layer& root = square.root();
    const Layer& photo = square.photoLayer();
    const auto& sublayers = root.sublayers();
    const auto photoAt = std::find_if(sublayers.begin(), sublayers.end(),
                                      [&](const auto& layer) { return layer.get() == &photo; });
    const std::optional<DeviceMapping> mapping = deviceMapping(square, painter);
    // The bitmaps stand for the root's sublayers clipped to the square, at
    // full opacity, with nothing of the root's own beneath them.
    const bool cacheable = mapping && photoAt != sublayers.end() && root.masksToBounds() &&
                           root.opacity() == 1 && !root.isHidden() && !drawsItself(root) &&
                           root.bounds() == square.bounds();
    if (!cacheable) {
        ++m_straightFrames;
        renderInContext(root, painter);
        return;
    }
    std::vector<const Layer*> behind, inFront;
    for (auto it = sublayers.begin(); it != sublayers.end(); ++it) {
        if (it != photoAt) (it < photoAt ? behind : inFront).push_back(it->get());
    }
    refresh(m_behind, square, behind, *mapping, painter.renderHints());
    refresh(m_inFront, square, inFront, *mapping, painter.renderHints());

    if (!photoCoversSquare(photo, square, painter.opacity(), mapping->scale)) {
        blit(m_behind, painter);
    }
    if (!photo.isHidden()) {
        painter.save();
        painter.setClipRect(QRectF(0, 0, square.size().width, square.size().height),
                            Qt::IntersectClip);
        const AffineTransform t = photo.transformToSuperlayer();
        painter.setTransform(QTransform(t.a, t.b, t.c, t.d, t.tx, t.ty), true);
        renderInContext(photo, painter);
        painter.restore();
    }
    blit(m_inFront, painter);
}

void PreviewPaintCache::refresh(StillPart& part, PreviewSquare& square,
                                const std::vector<const Layer*>& layers,
                                const DeviceMapping& mapping, QPainter::RenderHints hints) {
    LayerLooks looks = LayerLooks::of(layers);
    if (part.mapping == mapping && part.looks == looks) return;
    ++m_stillRenders;
    part.looks = std::move(looks);
    part.mapping = mapping;
    part.pieces.clear();
    if (layers.empty()) return;

    // Only `layers` are drawn: the root's other sublayers are hidden for
    // the while.
    std::vector<std::pair<Layer*, bool>> wasHidden;
    for (const auto& sublayer : square.root().sublayers()) {
        wasHidden.emplace_back(sublayer.get(), sublayer->isHidden());
        if (std::find(layers.begin(), layers.end(), sublayer.get()) == layers.end()) {
            sublayer->setHidden(true);
        }
    }
    QImage bitmap(mapping.width, mapping.height, QImage::Format_ARGB32_Premultiplied);
    bitmap.fill(Qt::transparent);
    QPainter painter(&bitmap);
    painter.setRenderHints(hints);
    painter.scale(mapping.scale, mapping.scale);
    renderInContext(square.root(), painter);
    painter.end();
    for (auto [layer, hidden] : wasHidden) layer->setHidden(hidden);

    std::vector<QPoint> places;
    std::vector<QImage> pieces = piecesOf(bitmap, places);
    for (std::size_t i = 0; i < pieces.size(); ++i) {
        part.pieces.push_back({places[i], std::move(pieces[i])});
    }
}

void PreviewPaintCache::blit(const StillPart& part, QPainter& painter) {
    if (part.pieces.empty()) return;
    painter.save();
    // World coordinates that are the device's pixels, the square's corner
    // at its place: every piece lands on whole pixels, one for one.
    const QTransform device = painter.deviceTransform();
    painter.setWorldTransform(QTransform::fromTranslate(device.dx(), device.dy()) *
                              device.inverted() * painter.worldTransform());
    painter.setRenderHint(QPainter::SmoothPixmapTransform, false);
    for (const Piece& piece : part.pieces) painter.drawImage(piece.at, piece.bitmap);
    painter.restore();
}

}  // namespace qp
