#include "GestureScript.h"

#include <cmath>
#include <numbers>

#include "editor/composition/PhotoPlacement.h"

namespace qp::bench {
namespace {

constexpr int kFramesPerStroke = 60;

void addStroke(std::vector<GestureStep>& script, const char* name, GestureStep step) {
    script.push_back({.touchBegan = true, .stroke = name});
    step.stroke = name;
    for (int i = 0; i < kFramesPerStroke; ++i) script.push_back(step);
}

}  // namespace

std::vector<GestureStep> gestureScript() {
    constexpr double kDegree = std::numbers::pi / 180;
    std::vector<GestureStep> script;
    addStroke(script, "pan", {.translation = {2.5, 1.5}});
    addStroke(script, "pan", {.translation = {-2.5, -1.5}});
    // About six times the fit and back: the photo's pixels pass from a
    // reduced copy's to the whole bitmap's.
    addStroke(script, "pinch", {.scale = 1.03});
    addStroke(script, "pinch", {.scale = 1 / 1.03});
    addStroke(script, "rotate", {.rotation = 1.5 * kDegree});
    addStroke(script, "rotate", {.rotation = -1.5 * kDegree});
    addStroke(script, "all three", {.translation = {1, 0.5}, .scale = 1.02, .rotation = kDegree});
    addStroke(script, "all three",
              {.translation = {-1, -0.5}, .scale = 1 / 1.02, .rotation = -kDegree});
    return script;
}

bool applyGestureStep(const GestureStep& step, PhotoPlacement& placement) {
    if (step.touchBegan) {
        placement.touchesBegan();
        return false;
    }
    if (step.translation.x != 0 || step.translation.y != 0) placement.panDetected(step.translation);
    if (step.scale != 1) placement.pinchDetected(step.scale);
    if (step.rotation != 0) placement.rotationDetected(step.rotation);
    return true;
}

}  // namespace qp::bench
