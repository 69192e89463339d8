#include "editor/ui/SliderRefreshTimer.h"

#include <cmath>

namespace qp {

SliderRefreshTimer::SliderRefreshTimer(MainQueue* queue, std::function<void()> refresh)
    : m_queue(queue), m_refresh(std::move(refresh)) {}

SliderRefreshTimer::~SliderRefreshTimer() {
    if (m_pending && m_queue) m_queue->cancel(*m_pending);
}

double SliderRefreshTimer::roundedSize(float value) {
    return std::floor(static_cast<double>(value) + 0.5);
}

void SliderRefreshTimer::sizeChanged() {
    if (m_pending) return;  // the pending refresh will show the latest size
    if (!m_queue) {
        m_refresh();
        return;
    }
    m_pending = m_queue->postAfter(kSliderRefreshDelay, [this] { fired(); });
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
