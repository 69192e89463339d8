#include <gtest/gtest.h>

#include "editor/ui/SliderRefreshTimer.h"
#include "support/ManualMainQueue.h"

using namespace qp;

namespace {

struct Pacing {
    ManualMainQueue queue;
    int refreshes = 0;
    double size = 20;
    SliderRefreshTimer timer{&queue, [this] { ++refreshes; }};
};

}  // namespace

TEST(SliderRefreshTimer, RoundsHalvesUpToWholeSizes) {
    const struct {
        float value;
        double size;
    } cases[] = {{20.4f, 20}, {20.5f, 21}, {20.6f, 21}, {-0.5f, 0}, {47.49f, 47}};
    for (const auto& c : cases) {
        Pacing p;
        p.size = -100;
        p.timer.handleFontSizeSlider(c.value, p.size);
        EXPECT_EQ(p.size, c.size) << c.value;
    }
}

TEST(SliderRefreshTimer, CoalescesADragIntoOneRefreshPerPause) {
    Pacing p;
    EXPECT_FALSE(p.timer.handleFontSizeSlider(20.4f, p.size));  // still 20: nothing scheduled
    EXPECT_FALSE(p.timer.isPending());
    EXPECT_TRUE(p.timer.handleFontSizeSlider(20.6f, p.size));
    EXPECT_EQ(p.size, 21);
    EXPECT_TRUE(p.timer.isPending());
    EXPECT_FALSE(p.timer.handleFontSizeSlider(20.9f, p.size));
    EXPECT_TRUE(p.timer.handleFontSizeSlider(23.0f, p.size));  // the pending refresh shows 23
    p.queue.advance(std::chrono::milliseconds(99));
    EXPECT_EQ(p.refreshes, 0);
    p.queue.advance(std::chrono::milliseconds(1));
    EXPECT_EQ(p.refreshes, 1);
    EXPECT_FALSE(p.timer.isPending());
    // A fired timer does not block the next change.
    EXPECT_TRUE(p.timer.handleFontSizeSlider(30.0f, p.size));
    EXPECT_TRUE(p.timer.isPending());
}

TEST(SliderRefreshTimer, LiftingTheFingerRefreshesExactlyOnce) {
    Pacing p;
    p.timer.handleFontSizeSlider(25.0f, p.size);
    p.timer.touchUpSlider();
    EXPECT_EQ(p.refreshes, 1);
    p.queue.advance(std::chrono::seconds(1));
    EXPECT_EQ(p.refreshes, 1);
    EXPECT_FALSE(p.timer.isPending());
}
