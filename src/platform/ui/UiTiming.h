#pragma once
// The main queue and clock that drive every animation, fade and spinner of
// the screen toolkit. The app installs the real ones at start-up; tests
// install a manual queue and clock and step time themselves.

#include "platform/Clock.h"
#include "platform/MainQueue.h"

namespace qp {

class UiTiming {
public:
    // Both must outlive their use; install(nullptr, nullptr) clears them.
    static void install(MainQueue* queue, Clock* clock);
    // True once a queue and a clock are installed. Without them animations
    // jump to their end at once.
    static bool isInstalled();
    static MainQueue* mainQueue();
    static Clock* clock();
};

// Installs a queue and clock for one scope and puts the previous ones back.
class ScopedUiTiming {
public:
    ScopedUiTiming(MainQueue& queue, Clock& clock);
    ~ScopedUiTiming();
    ScopedUiTiming(const ScopedUiTiming&) = delete;
    ScopedUiTiming& operator=(const ScopedUiTiming&) = delete;

private:
    MainQueue* m_previousQueue;
    Clock* m_previousClock;
};

}  // namespace qp
