#include "platform/ui/ModalLayer.h"

#include <QObject>
#include <QWidget>

namespace qp {

namespace {

inline constexpr const char* kModalLayerMarkName = "qpModalLayerMark";

// Rides on the cover as a child object, so it goes when the cover goes.
class ModalLayerMark : public QObject {
public:
    ModalLayerMark(QWidget* cover, ModalLayerBehaviour behaviour)
        : QObject(cover), behaviour(std::move(behaviour)) {
        setObjectName(kModalLayerMarkName);
    }
    ModalLayerBehaviour behaviour;
};

const ModalLayerBehaviour* layerUp(const QWidget* widget) {
    const auto* mark =
        widget->findChild<ModalLayerMark*>(kModalLayerMarkName, Qt::FindDirectChildrenOnly);
    if (!mark) return nullptr;
    const ModalLayerBehaviour& behaviour = mark->behaviour;
    return !behaviour.isUp || behaviour.isUp() ? &behaviour : nullptr;
}

// Children are painted in the order of the list, so the last layer found
// over the whole tree is the one on top.
void findTopLayer(const QWidget* widget, const ModalLayerBehaviour*& top) {
    for (const QObject* child : widget->children()) {
        const auto* view = qobject_cast<const QWidget*>(child);
        if (!view || view->isWindow() || view->isHidden()) continue;
        if (const ModalLayerBehaviour* layer = layerUp(view)) top = layer;
        findTopLayer(view, top);
    }
}

}  // namespace

void markModalLayer(QWidget* cover, ModalLayerBehaviour behaviour) {
    if (auto* old =
            cover->findChild<ModalLayerMark*>(kModalLayerMarkName, Qt::FindDirectChildrenOnly))
        delete old;
    new ModalLayerMark(cover, std::move(behaviour));
}

const ModalLayerBehaviour* topModalLayer(const QWidget* window) {
    const ModalLayerBehaviour* top = nullptr;
    if (window) findTopLayer(window, top);
    return top;
}

}  // namespace qp
