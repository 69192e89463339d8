#pragma once
// A layer laid over the screens (a web dialog, the progress overlay) that
// takes the window's keys while it is up: the screens underneath hear none
// of them. A layer with a cancel action closes on Escape as its own close
// button would; one without ignores the key.

#include <functional>

class QWidget;

namespace qp {

struct ModalLayerBehaviour {
    // Whether the layer is up now; empty: whenever the widget is shown.
    std::function<bool()> isUp;
    // What Escape does on the layer; empty: nothing.
    std::function<void()> cancel;
};

// Marks `cover` as a modal layer for as long as it lives.
void markModalLayer(QWidget* cover, ModalLayerBehaviour behaviour);

// The topmost modal layer up in `window` (the last one painted), or null.
const ModalLayerBehaviour* topModalLayer(const QWidget* window);

}  // namespace qp
