#include <gtest/gtest.h>

#include "editor/ui/SliderRefreshTimer.h"
#include "support/ManualMainQueue.h"

using namespace qp;

namespace {

struct Pacing {
    ManualMainQueue queue;
    int refreshes = 0;
    SliderRefreshTimer timer{&queue, [this] { ++refreshes; }};
};

}  // namespace

TEST(SliderRefreshTimer, RoundsHalvesUpToWholeSizes) {
    const struct {
        float value;
        double size;
    } cases[] = {{20.4f, 20}, {20.5f, 21}, {20.6f, 21}, {-0.5f, 0}, {47.49f, 47}};
    for (const auto& c : cases)
        EXPECT_EQ(SliderRefreshTimer::roundedSize(c.value), c.size) << c.value;
}

TEST(SliderRefreshTimer, CoalescesADragIntoOneRefreshPerPause) {
    Pacing p;
    EXPECT_FALSE(p.timer.isPending());
    p.timer.sizeChanged();
    EXPECT_TRUE(p.timer.isPending());
    p.timer.sizeChanged();  // the pending refresh shows this size too
    p.queue.advance(std::chrono::milliseconds(99));
    EXPECT_EQ(p.refreshes, 0);
    p.queue.advance(std::chrono::milliseconds(1));
    EXPECT_EQ(p.refreshes, 1);
    EXPECT_FALSE(p.timer.isPending());
    // A fired timer does not block the next change.
    p.timer.sizeChanged();
    EXPECT_TRUE(p.timer.isPending());
}

TEST(SliderRefreshTimer, LiftingTheFingerRefreshesExactlyOnce) {
    Pacing p;
    p.timer.sizeChanged();
    p.timer.touchUpSlider();
    EXPECT_EQ(p.refreshes, 1);
    p.queue.advance(std::chrono::seconds(1));
    EXPECT_EQ(p.refreshes, 1);
    EXPECT_FALSE(p.timer.isPending());
}

// Without a main queue each change refreshes at once.
TEST(SliderRefreshTimer, WithoutAQueueRefreshesAtOnce) {
    int refreshes = 0;
    SliderRefreshTimer timer(nullptr, [&] { ++refreshes; });
    timer.sizeChanged();
    timer.sizeChanged();
    EXPECT_EQ(refreshes, 2);
    EXPECT_FALSE(timer.isPending());
}
