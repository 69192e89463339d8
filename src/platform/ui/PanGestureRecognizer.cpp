#include "platform/ui/PanGestureRecognizer.h"

#include <cmath>

namespace qp {

Point centroidOf(const std::vector<Point>& points) {
    if (points.empty()) return {};
    Point sum;
    for (const Point& p : points) {
        sum.x += p.x;
        sum.y += p.y;
    }
    return {sum.x / static_cast<double>(points.size()), sum.y / static_cast<double>(points.size())};
}

PanGestureRecognizer::PanGestureRecognizer(std::function<void(PanGestureRecognizer&)> action)
    : GestureRecognizer([action = std::move(action)](GestureRecognizer& g) {
          if (action) action(static_cast<PanGestureRecognizer&>(g));
      }) {}

Point PanGestureRecognizer::translationInView(const QWidget*) const {
    return {m_centroid.x - m_base.x, m_centroid.y - m_base.y};
}

void PanGestureRecognizer::setTranslationInView(Point translation, const QWidget*) {
    m_base = {m_centroid.x - translation.x, m_centroid.y - translation.y};
}

void PanGestureRecognizer::touchesBegan(const std::vector<Point>& touches) {
    if (!m_pressed) {
        m_pressed = true;
        m_start = centroidOf(touches);
        m_base = m_start;
        m_centroid = m_start;
        m_count = touches.size();
        return;
    }
    follow(touches);
}

void PanGestureRecognizer::touchesMoved(const std::vector<Point>& touches) {
    if (!m_pressed) return;
    follow(touches);
}

void PanGestureRecognizer::follow(const std::vector<Point>& touches) {
    const Point centroid = centroidOf(touches);
    if (touches.size() != m_count) {
        // A finger came or went: the centroid jumps, the translation does not.
        m_base.x += centroid.x - m_centroid.x;
        m_base.y += centroid.y - m_centroid.y;
        m_start.x += centroid.x - m_centroid.x;
        m_start.y += centroid.y - m_centroid.y;
        m_count = touches.size();
        m_centroid = centroid;
        return;
    }
    m_centroid = centroid;
    if (state() == GestureRecognizerState::Possible) {
        if (std::hypot(centroid.x - m_start.x, centroid.y - m_start.y) >= kDragThreshold)
            beginIfAllowed();
    } else if (isActive()) {
        setState(GestureRecognizerState::Changed);
    }
}

void PanGestureRecognizer::touchesEnded(const std::vector<Point>&) {
    m_pressed = false;
    finish();
}

}  // namespace qp
