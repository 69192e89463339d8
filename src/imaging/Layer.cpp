#include "imaging/Layer.h"

#include <algorithm>

namespace qp {

Layer::Layer(std::string name) : m_name(std::move(name)) {}

Layer::~Layer() {
    for (auto& sublayer : m_sublayers) sublayer->m_superlayer = nullptr;
}

Rect Layer::frame() const {
    return transformToSuperlayer().apply(m_bounds);
}

void Layer::setFrame(const Rect& frame) {
    const Rect f = frame.standardized();
    m_bounds.size = f.size;
    m_position = {f.origin.x + m_anchorPoint.x * f.size.width,
                  f.origin.y + m_anchorPoint.y * f.size.height};
}

Point Layer::center() const {
    return transformToSuperlayer().apply(m_bounds.center());
}

void Layer::setCenter(Point center) {
    const Point now = this->center();
    m_position = {m_position.x + center.x - now.x, m_position.y + center.y - now.y};
}

void Layer::setOpacity(double opacity) {
    m_opacity = std::clamp(opacity, 0.0, 1.0);
}

Layer* Layer::addSublayer(std::unique_ptr<Layer> layer) {
    return insertSublayer(std::move(layer), m_sublayers.size());
}

Layer* Layer::insertSublayer(std::unique_ptr<Layer> layer, std::size_t index) {
    if (!layer) return nullptr;
    Layer* raw = layer.get();
    // A layer cannot hold one of its own ancestors (or itself).
    for (const Layer* up = this; up; up = up->m_superlayer) {
        if (up == raw) return nullptr;
    }
    raw->m_superlayer = this;
    index = std::min(index, m_sublayers.size());
    m_sublayers.insert(m_sublayers.begin() + std::ptrdiff_t(index), std::move(layer));
    return raw;
}

std::unique_ptr<Layer> Layer::removeFromSuperlayer() {
    if (!m_superlayer) return nullptr;
    auto& siblings = m_superlayer->m_sublayers;
    auto it = std::find_if(siblings.begin(), siblings.end(),
                           [this](const auto& l) { return l.get() == this; });
    std::unique_ptr<Layer> self = std::move(*it);
    siblings.erase(it);
    m_superlayer = nullptr;
    return self;
}

void Layer::removeAllSublayers() {
    m_sublayers.clear();
}

Layer* Layer::layerNamed(std::string_view name) {
    return const_cast<Layer*>(std::as_const(*this).layerNamed(name));
}

const Layer* Layer::layerNamed(std::string_view name) const {
    if (m_name == name) return this;
    for (const auto& sublayer : m_sublayers) {
        if (const Layer* found = sublayer->layerNamed(name)) return found;
    }
    return nullptr;
}

AffineTransform Layer::transformToSuperlayer() const {
    return AffineTransform::makeTranslation(
               -m_bounds.origin.x - m_anchorPoint.x * m_bounds.size.width,
               -m_bounds.origin.y - m_anchorPoint.y * m_bounds.size.height)
        .concatenated(m_transform)
        .concatenated(AffineTransform::makeTranslation(m_position.x, m_position.y));
}

AffineTransform Layer::transformToRoot() const {
    AffineTransform t = AffineTransform::identity();
    for (const Layer* l = this; l->m_superlayer; l = l->m_superlayer) {
        t = t.concatenated(l->transformToSuperlayer());
    }
    return t;
}

Point Layer::convertPointToLayer(Point point, const Layer& other) const {
    return other.transformToRoot().inverted().apply(transformToRoot().apply(point));
}

Point Layer::convertPointFromLayer(Point point, const Layer& other) const {
    return other.convertPointToLayer(point, *this);
}

}  // namespace qp
