#include "platform/ui/UiTiming.h"

namespace qp {

namespace {
// Touched on the main thread only, like every widget.
MainQueue* g_queue = nullptr;
Clock* g_clock = nullptr;
}  // namespace

void UiTiming::install(MainQueue* queue, Clock* clock) {
    g_queue = queue;
    g_clock = clock;
}

bool UiTiming::isInstalled() {
    return g_queue && g_clock;
}
MainQueue* UiTiming::mainQueue() {
    return g_queue;
}
Clock* UiTiming::clock() {
    return g_clock;
}

ScopedUiTiming::ScopedUiTiming(MainQueue& queue, Clock& clock)
    : m_previousQueue(g_queue), m_previousClock(g_clock) {
    UiTiming::install(&queue, &clock);
}

ScopedUiTiming::~ScopedUiTiming() {
    UiTiming::install(m_previousQueue, m_previousClock);
}

}  // namespace qp
