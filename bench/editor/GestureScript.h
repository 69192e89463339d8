#pragma once
// A scripted two-finger session on the preview square, one frame per step:
// a pan out and back, a pinch in and out, a rotation there and back, and
// fingers that spread, turn and move at once, each stroke begun by a touch.

#include <vector>

#include "platform/Geometry.h"

namespace qp {
class PhotoPlacement;
}

namespace qp::bench {

struct GestureStep {
    bool touchBegan = false;  // a new stroke: the pivot moves, no frame
    Point translation{};      // points
    double scale = 1;         // pinch factor
    double rotation = 0;      // radians, clockwise
    const char* stroke = "";  // "pan", "pinch", "rotate" or "all three"
};

std::vector<GestureStep> gestureScript();

// Applies one step as the editor's gesture handlers do; answers whether a
// frame follows (the square may have changed).
bool applyGestureStep(const GestureStep& step, PhotoPlacement& placement);

}  // namespace qp::bench
