#include <gtest/gtest.h>

#include <numbers>

#include "ui/ThrobberLayout.h"

using namespace qp;

namespace {
constexpr double kPi = std::numbers::pi;
}

TEST(ThrobberLayout, PlacementOnWindowFollowsOrientationTable) {
    struct Case {
        int orientation;
        bool block;
        Rect frame;
        double rotation;
    };
    // 320 × 480 screen, device held upright: blocking insets 20/0, others 64/49.
    const Case cases[] = {
        {1, true, Rect(0, 20, 320, 460), 0},        {2, true, Rect(0, 0, 320, 460), kPi},
        {3, true, Rect(0, 0, 300, 480), kPi / 2},   {4, true, Rect(20, 0, 300, 480), -kPi / 2},
        {1, false, Rect(0, 64, 320, 367), 0},       {2, false, Rect(0, 49, 320, 367), kPi},
        {3, false, Rect(49, 0, 207, 480), kPi / 2}, {4, false, Rect(64, 0, 207, 480), -kPi / 2},
    };
    for (const Case& c : cases) {
        WindowPlacementInput input{Size{320, 480}, c.orientation, 1, c.block, false};
        const auto placement = throbberPlacementOnWindow(input);
        ASSERT_TRUE(placement) << c.orientation;
        EXPECT_EQ(placement->frame, c.frame) << c.orientation << " block " << c.block;
        EXPECT_DOUBLE_EQ(placement->contentRotation, c.rotation);
    }
}

TEST(ThrobberLayout, LandscapeDeviceNarrowsTheTopInsetOnlyWithoutBlocking) {
    // Phone: 20 + 32; tablet: 20 + 44; a blocking overlay keeps 20.
    EXPECT_EQ(throbberPlacementOnWindow({Size{320, 480}, 1, 3, false, false})->frame,
              Rect(0, 52, 320, 379));
    EXPECT_EQ(throbberPlacementOnWindow({Size{768, 1024}, 1, 4, false, true})->frame,
              Rect(0, 64, 768, 911));
    EXPECT_EQ(throbberPlacementOnWindow({Size{320, 480}, 1, 3, true, false})->frame,
              Rect(0, 20, 320, 460));
}

TEST(ThrobberLayout, UnknownOrientationPlacesNothing) {
    for (int orientation : {0, 5, -1}) {
        EXPECT_FALSE(throbberPlacementOnWindow({Size{320, 480}, orientation, 1, true, false}));
    }
}

TEST(ThrobberLayout, LabelsWithoutTextSitAtTheMiddleWithNoHeight) {
    const Rect box(0, 0, 120, 120);
    EXPECT_EQ(throbberLabelFrame(box, false, 30, 25), Rect(0, 60, 120, 0));
    EXPECT_EQ(throbberLabelFrame(box, true, 30, 25), Rect(0, 85, 120, 30));
    EXPECT_EQ(throbberLabelFrame(box, true, 16, 50), Rect(0, 110, 120, 16));
}

TEST(ThrobberLayout, CentringShiftCentresTheWholeStackHiddenViewsIncluded) {
    const Rect spinner(41.5, 41.5, 37, 37);
    // Empty labels add nothing beyond the spinner: no movement.
    EXPECT_DOUBLE_EQ(throbberCentringShift({spinner, Rect(0, 60, 120, 0), Rect(0, 60, 120, 0)}, 60),
                     0);
    // A two-line title below: the stack spans 41.5 … 109, so it moves up 15.25.
    EXPECT_DOUBLE_EQ(throbberCentringShift({spinner, Rect(0, 85, 120, 24)}, 60), -15.25);
    // Rounded to single precision.
    const double shift = throbberCentringShift({Rect(0, 0.1, 10, 10)}, 60);
    EXPECT_EQ(shift, static_cast<double>(static_cast<float>(60 - (0.1 + 10.1) / 2)));
}
