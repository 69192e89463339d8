#include "editor/ui/LayerLooks.h"

namespace qp {
namespace {

bool sameImage(const std::optional<Image>& a, const std::optional<Image>& b) {
    if (!a || !b) return !a && !b;
    return a->isSameImage(*b) || (a->isNull() && b->isNull());
}

}  // namespace

LayerLooks LayerLooks::of(const std::vector<const Layer*>& layers) {
    LayerLooks looks;
    for (const Layer* layer : layers) looks.add(*layer);
    return looks;
}

void LayerLooks::add(const Layer& layer) {
    m_looks.push_back({&layer, layer.bounds(), layer.position(), layer.anchorPoint(),
                       layer.transform(), layer.isHidden(), layer.opacity(), layer.masksToBounds(),
                       layer.backgroundColor(), layer.image(), layer.sublayers().size()});
    for (const auto& sublayer : layer.sublayers()) add(*sublayer);
}

bool LayerLooks::Look::sameAs(const Look& o) const {
    return layer == o.layer && bounds == o.bounds && position == o.position &&
           anchorPoint == o.anchorPoint && transform == o.transform && hidden == o.hidden &&
           opacity == o.opacity && masksToBounds == o.masksToBounds &&
           backgroundColor == o.backgroundColor && sameImage(image, o.image) &&
           sublayerCount == o.sublayerCount;
}

bool operator==(const LayerLooks& a, const LayerLooks& b) {
    if (a.m_looks.size() != b.m_looks.size()) return false;
    for (std::size_t i = 0; i < a.m_looks.size(); ++i) {
        if (!a.m_looks[i].sameAs(b.m_looks[i])) return false;
    }
    return true;
}

}  // namespace qp
