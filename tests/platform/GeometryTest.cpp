#include <gtest/gtest.h>

#include <cmath>
#include <numbers>

#include "platform/Geometry.h"

using namespace qp;

namespace {
void expectNear(Point actual, Point expected) {
    EXPECT_NEAR(actual.x, expected.x, 1e-9);
    EXPECT_NEAR(actual.y, expected.y, 1e-9);
}
}  // namespace

TEST(AffineTransform, LaterStepsApplyInTheTransformsOwnCoordinates) {
    // Translate then rotate by 90°: the rotation happens about the moved
    // origin, so (1, 0) first rotates to (0, 1) and is then moved by (10, 0).
    const auto t = AffineTransform::identity().translated(10, 0).rotated(std::numbers::pi / 2);
    expectNear(t.apply(Point{1, 0}), {10, 1});

    // Scale after translate: the translation is not scaled.
    const auto s = AffineTransform::makeTranslation(5, 5).scaled(2, 3);
    expectNear(s.apply(Point{1, 1}), {7, 8});
}

TEST(AffineTransform, ConcatenationAppliesTheReceiverFirst) {
    const auto scale = AffineTransform::makeScale(2, 2);
    const auto move = AffineTransform::makeTranslation(1, 0);
    expectNear(scale.concatenated(move).apply(Point{1, 1}), {3, 2});
    expectNear(move.concatenated(scale).apply(Point{1, 1}), {4, 2});
}

TEST(AffineTransform, InverseUndoesAndSingularStaysPut) {
    const auto t = AffineTransform::makeRotation(0.7).scaled(1.5, 0.5).translated(3, -2);
    expectNear(t.inverted().apply(t.apply(Point{4, 9})), {4, 9});
    const auto singular = AffineTransform::makeScale(0, 1);
    EXPECT_FALSE(singular.isInvertible());
    EXPECT_EQ(singular.inverted(), singular);
}

TEST(AffineTransform, RectMapsToBoundingBox) {
    const Rect r = AffineTransform::makeRotation(std::numbers::pi / 4).apply(Rect{0, 0, 2, 2});
    EXPECT_NEAR(r.width(), 2 * std::sqrt(2.0), 1e-9);
    EXPECT_NEAR(r.minX(), -std::sqrt(2.0), 1e-9);
    EXPECT_NEAR(r.minY(), 0, 1e-9);
}

TEST(Rect, NegativeSizesAreStandardized) {
    const Rect r{10, 10, -4, -6};
    EXPECT_EQ(r.minX(), 6);
    EXPECT_EQ(r.maxY(), 10);
    EXPECT_EQ(r.center(), (Point{8, 7}));
    EXPECT_TRUE(r.contains({7, 5}));
    EXPECT_FALSE(r.contains({10, 5}));  // the far edge is outside
}

TEST(Rect, IntersectionAndIntegral) {
    EXPECT_EQ(Rect(0, 0, 10, 10).intersection(Rect(5, 5, 10, 10)), Rect(5, 5, 5, 5));
    EXPECT_TRUE(Rect(0, 0, 1, 1).intersection(Rect(2, 2, 1, 1)).isEmpty());
    EXPECT_EQ(Rect(0.5, 1.2, 2, 2).integral(), Rect(0, 1, 3, 3));
}
