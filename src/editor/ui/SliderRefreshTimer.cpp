#include "editor/ui/SliderRefreshTimer.h"

#include <cmath>

namespace qp {

SliderRefreshTimer::SliderRefreshTimer(MainQueue* queue, std::function<void()> refresh)
    : m_queue(queue), m_refresh(std::move(refresh)) {}

SliderRefreshTimer::~SliderRefreshTimer() {
    if (m_pending && m_queue) m_queue->cancel(*m_pending);
}

bool SliderRefreshTimer::handleFontSizeSlider(float value, double& currentFontSize) {
    const double rounded = std::floor(static_cast<double>(value) + 0.5);
    if (rounded == currentFontSize) return false;
    currentFontSize = rounded;
    if (m_pending) return true;  // the pending refresh will show the latest size
    if (!m_queue) {
        m_refresh();
        return true;
    }
    m_pending = m_queue->postAfter(kSliderRefreshDelay, [this] { fired(); });
    return true;
}

void SliderRefreshTimer::touchUpSlider() {
    if (m_pending && m_queue) m_queue->cancel(*m_pending);
    m_pending.reset();
    m_refresh();
}

void SliderRefreshTimer::fired() {
    m_pending.reset();
    m_refresh();
}

}  // namespace qp
