#include "platform/ui/TapGestureRecognizer.h"

#include <cmath>

#include "platform/ui/UiTiming.h"

namespace qp {

TapGestureRecognizer::TapGestureRecognizer(std::function<void(TapGestureRecognizer&)> action)
    : GestureRecognizer([action = std::move(action)](GestureRecognizer& g) {
          if (action) action(static_cast<TapGestureRecognizer&>(g));
      }) {}

void TapGestureRecognizer::touchesBegan(const std::vector<Point>& touches) {
    if (m_pressed || touches.empty()) return;
    m_pressed = true;
    m_moved = false;
    m_fromDoubleClick = false;
    m_pressAt = touches.front();
    // A mouse counts its clicks itself (a double click); a touch screen does
    // not, so taps that follow closely count together.
    const bool follows = !inputIsMouse() && UiTiming::isInstalled() && m_taps > 0 &&
                         UiTiming::clock()->monotonicNow() - m_lastTapEnd <= kDoubleTapInterval;
    if (!follows) m_taps = 0;
}

void TapGestureRecognizer::doubleClicked(Point at) {
    m_pressed = true;
    m_moved = false;
    m_fromDoubleClick = true;
    m_pressAt = at;
}

void TapGestureRecognizer::touchesMoved(const std::vector<Point>& touches) {
    if (!m_pressed || touches.empty()) return;
    const Point p = touches.front();
    if (std::hypot(p.x - m_pressAt.x, p.y - m_pressAt.y) >= kDragThreshold) m_moved = true;
}

void TapGestureRecognizer::touchesEnded(const std::vector<Point>& touches) {
    if (!m_pressed) return;
    m_pressed = false;
    if (m_moved) {
        m_taps = 0;
        return;
    }
    m_taps = m_fromDoubleClick ? 2 : m_taps + 1;
    if (UiTiming::isInstalled()) m_lastTapEnd = UiTiming::clock()->monotonicNow();
    if (m_taps != m_tapsRequired) return;
    m_taps = 0;
    setTouches(touches.empty() ? std::vector<Point>{m_pressAt} : touches);
    recognizeIfAllowed();
}

}  // namespace qp
