#pragma once
// A node of the layer tree that the preview square and the result image are
// drawn from: geometry (bounds, position, anchor point, transform), looks
// (hidden, opacity, clipping, background, an image filling the bounds) and
// owned sublayers drawn in order, last on top.

#include <QColor>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "imaging/Image.h"
#include "platform/Geometry.h"

namespace qp {

class Layer {
public:
    explicit Layer(std::string name = {});
    ~Layer();
    Layer(const Layer&) = delete;
    Layer& operator=(const Layer&) = delete;

    const std::string& name() const { return m_name; }
    void setName(std::string name) { m_name = std::move(name); }

    // The layer's own coordinate space; the image fills it.
    const Rect& bounds() const { return m_bounds; }
    void setBounds(const Rect& bounds) { m_bounds = bounds; }
    // Where the anchor point lies, in the superlayer's coordinates.
    Point position() const { return m_position; }
    void setPosition(Point position) { m_position = position; }
    // The pivot in unit coordinates of the bounds; (0.5, 0.5) is the centre.
    Point anchorPoint() const { return m_anchorPoint; }
    void setAnchorPoint(Point anchorPoint) { m_anchorPoint = anchorPoint; }
    // Applied about the anchor point.
    const AffineTransform& transform() const { return m_transform; }
    void setTransform(const AffineTransform& transform) { m_transform = transform; }

    // The bounding box of the transformed bounds in the superlayer.
    Rect frame() const;
    // Sets position and bounds size as an untransformed layer would take them;
    // the transform is kept.
    void setFrame(const Rect& frame);
    // The centre of the bounds in the superlayer's coordinates.
    Point center() const;
    void setCenter(Point center);

    bool isHidden() const { return m_hidden; }
    void setHidden(bool hidden) { m_hidden = hidden; }
    double opacity() const { return m_opacity; }
    void setOpacity(double opacity);
    bool masksToBounds() const { return m_masksToBounds; }
    void setMasksToBounds(bool masks) { m_masksToBounds = masks; }
    // Filled behind the image; an invalid colour means none.
    const QColor& backgroundColor() const { return m_backgroundColor; }
    void setBackgroundColor(const QColor& colour) { m_backgroundColor = colour; }
    // Drawn upright, stretched to the bounds; may have fewer pixels than the
    // bounds have points (a reduced stand-in for a large photo).
    const std::optional<Image>& image() const { return m_image; }
    void setImage(std::optional<Image> image) { m_image = std::move(image); }

    // --- the tree ---------------------------------------------------------
    Layer* superlayer() const { return m_superlayer; }
    const std::vector<std::unique_ptr<Layer>>& sublayers() const { return m_sublayers; }
    // Takes ownership of a free layer (one taken out with removeFromSuperlayer
    // or newly made) and returns it; an ancestor of this layer is refused.
    Layer* addSublayer(std::unique_ptr<Layer> layer);
    Layer* insertSublayer(std::unique_ptr<Layer> layer, std::size_t index);
    // Hands the layer back to the caller; null when it has no superlayer.
    std::unique_ptr<Layer> removeFromSuperlayer();
    void removeAllSublayers();
    // Depth-first search of this layer and everything below it.
    Layer* layerNamed(std::string_view name);
    const Layer* layerNamed(std::string_view name) const;

    // --- coordinates ------------------------------------------------------
    // Maps this layer's coordinates into its superlayer's.
    AffineTransform transformToSuperlayer() const;
    // Maps between this layer and another layer of the same tree; a layer of
    // another tree is treated as sharing the root's space.
    Point convertPointToLayer(Point point, const Layer& other) const;
    Point convertPointFromLayer(Point point, const Layer& other) const;

private:
    AffineTransform transformToRoot() const;

    std::string m_name;
    Rect m_bounds;
    Point m_position;
    Point m_anchorPoint{0.5, 0.5};
    AffineTransform m_transform;
    bool m_hidden = false;
    double m_opacity = 1.0;
    bool m_masksToBounds = false;
    QColor m_backgroundColor;
    std::optional<Image> m_image;
    Layer* m_superlayer = nullptr;  // observes; the superlayer owns us
    std::vector<std::unique_ptr<Layer>> m_sublayers;
};

}  // namespace qp
