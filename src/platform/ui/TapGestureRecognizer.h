#pragma once
// Taps in place: recognized (state Ended) when the required number of taps
// lands without moving. A double click is a double tap; on a touch screen
// taps count as one sequence while each follows the last within the
// double-tap interval.

#include <chrono>

#include "platform/ui/GestureRecognizer.h"

namespace qp {

class TapGestureRecognizer : public GestureRecognizer {
public:
    static constexpr std::chrono::milliseconds kDoubleTapInterval{350};

    explicit TapGestureRecognizer(std::function<void(TapGestureRecognizer&)> action);

    int numberOfTapsRequired() const { return m_tapsRequired; }
    void setNumberOfTapsRequired(int taps) { m_tapsRequired = taps; }

protected:
    void touchesBegan(const std::vector<Point>& touches) override;
    void touchesMoved(const std::vector<Point>& touches) override;
    void touchesEnded(const std::vector<Point>& touches) override;
    void doubleClicked(Point at) override;

private:
    int m_tapsRequired = 1;
    int m_taps = 0;
    bool m_pressed = false;
    bool m_moved = false;
    bool m_fromDoubleClick = false;
    Point m_pressAt;
    std::chrono::steady_clock::time_point m_lastTapEnd{};
};

}  // namespace qp
