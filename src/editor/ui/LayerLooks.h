#pragma once
// What a run of layers and everything below them look like: geometry,
// flags, colours and which bitmap each shows. Two looks compare equal when
// a bitmap drawn from the one still shows the other.

#include <QColor>
#include <optional>
#include <vector>

#include "imaging/Image.h"
#include "imaging/Layer.h"
#include "platform/Geometry.h"

namespace qp {

class LayerLooks {
public:
    LayerLooks() = default;
    // The layers' looks, each followed by its sublayers', depth first.
    static LayerLooks of(const std::vector<const Layer*>& layers);

    bool isEmpty() const { return m_looks.empty(); }
    friend bool operator==(const LayerLooks& a, const LayerLooks& b);

private:
    struct Look {
        const Layer* layer = nullptr;
        Rect bounds;
        Point position;
        Point anchorPoint;
        AffineTransform transform;
        bool hidden = false;
        double opacity = 1;
        bool masksToBounds = false;
        QColor backgroundColor;
        // Held, not copied: the same bitmap record, or none.
        std::optional<Image> image;
        std::size_t sublayerCount = 0;

        bool sameAs(const Look& other) const;
    };
    void add(const Layer& layer);

    std::vector<Look> m_looks;
};

}  // namespace qp
