#include <gtest/gtest.h>

#include "ImageTestSupport.h"

namespace qp {
namespace {

using test::codedBitmap;
using test::codeFor;

// Left half opaque blue, right half transparent.
QImage halfTransparent(int w, int h) {
    QImage image = test::filledBitmap(w, h, Qt::transparent);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w / 2; ++x) image.setPixel(x, y, qRgb(0, 0, 255));
    return image;
}

TEST(ResizeToSize, StretchesWithoutBars) {
    const auto resized = Image(test::filledBitmap(100, 50, Qt::green)).resizeToSize({60, 60});
    ASSERT_TRUE(resized);
    EXPECT_EQ(resized->width(), 60);
    EXPECT_EQ(resized->height(), 60);
    for (const auto& [x, y] : {std::pair{0, 0}, {59, 0}, {0, 59}, {59, 59}, {30, 30}})
        EXPECT_EQ(resized->bitmap().pixel(x, y), qRgb(0, 255, 0)) << x << "," << y;
}

TEST(ResizeToSize, BackgroundShowsOnlyThroughTransparencyAndClearIsNone) {
    const Image image(halfTransparent(40, 10));
    const auto withRed = image.resizeToSize({20, 10}, QColor(Qt::red));
    const auto withClear = image.resizeToSize({20, 10}, QColor(Qt::transparent));
    const auto plain = image.resizeToSize({20, 10});
    ASSERT_TRUE(withRed && withClear && plain);
    EXPECT_EQ(withRed->bitmap().pixel(2, 5), qRgb(0, 0, 255));
    EXPECT_EQ(withRed->bitmap().pixel(17, 5), qRgb(255, 0, 0));
    EXPECT_EQ(withClear->bitmap(), plain->bitmap());
    EXPECT_EQ(qAlpha(plain->bitmap().pixel(17, 5)), 0);
}

TEST(ResizeToSize, AppliesTheTagAndUpscalesSmoothly) {
    // A Right-tagged 2 × 1 bitmap is a 1 × 2 picture; stretched to 4 × 8 the
    // stored left pixel ends on top.
    QImage stored(2, 1, QImage::Format_RGB32);
    stored.setPixel(0, 0, qRgb(255, 0, 0));
    stored.setPixel(1, 0, qRgb(0, 0, 255));
    const auto resized = Image(stored, ImageOrientation::Right).resizeToSize({4, 8});
    ASSERT_TRUE(resized);
    EXPECT_EQ(resized->orientation(), ImageOrientation::Up);
    EXPECT_EQ(resized->bitmap().pixel(2, 0), qRgb(255, 0, 0));
    EXPECT_EQ(resized->bitmap().pixel(2, 7), qRgb(0, 0, 255));
    const QRgb middle = resized->bitmap().pixel(2, 4);
    EXPECT_GT(qRed(middle), 0);
    EXPECT_GT(qBlue(middle), 0);
}

TEST(CropToRect, KeepsThePartInsideTheImage) {
    const auto cropped = Image(codedBitmap(10, 10)).cropToRect({-2, -3, 6, 6});
    ASSERT_TRUE(cropped);
    EXPECT_EQ(cropped->width(), 4);
    EXPECT_EQ(cropped->height(), 3);
    EXPECT_EQ(cropped->bitmap().pixel(0, 0), codeFor(0, 0));
    EXPECT_EQ(cropped->bitmap().pixel(3, 2), codeFor(3, 2));
    const auto inner = Image(codedBitmap(10, 10)).cropToRect({4, 5, 3, 2});
    ASSERT_TRUE(inner);
    EXPECT_EQ(inner->bitmap().pixel(0, 0), codeFor(4, 5));
    EXPECT_EQ(inner->bitmap().pixel(2, 1), codeFor(6, 6));
}

TEST(CropToRect, EntirelyOutsideGivesNothingAndLogsNothing) {
    test::LogCapture log;
    EXPECT_FALSE(Image(codedBitmap(10, 10)).cropToRect({10, 0, 5, 5}));
    EXPECT_FALSE(Image(codedBitmap(10, 10)).cropToRect({-20, -20, 5, 5}));
    EXPECT_TRUE(log.lines().empty());
}

TEST(CropToRect, SidewaysPhotoIsCutUprightNotStretched) {
    // Stored 4 × 2 tagged Left: the upright picture is 2 × 4.
    const auto cropped = Image(codedBitmap(4, 2), ImageOrientation::Left).cropToRect({0, 0, 2, 1});
    ASSERT_TRUE(cropped);
    EXPECT_EQ(cropped->width(), 2);
    EXPECT_EQ(cropped->height(), 1);
    // Left: output (x, y) takes stored (W-1-y, x).
    EXPECT_EQ(cropped->bitmap().pixel(0, 0), codeFor(3, 0));
    EXPECT_EQ(cropped->bitmap().pixel(1, 0), codeFor(3, 1));
}

TEST(PreviewWithSize, FillsThenCutsTheCentre) {
    // 100 × 200 into 50 × 50: fill 50 × 100, cut at (0, 25).
    QImage tall = test::filledBitmap(100, 200, Qt::red);
    for (int y = 50; y < 150; ++y)
        for (int x = 0; x < 100; ++x) tall.setPixel(x, y, qRgb(0, 0, 255));
    const auto preview = Image(tall).previewWithSize({50, 50});
    ASSERT_TRUE(preview);
    EXPECT_EQ(preview->width(), 50);
    EXPECT_EQ(preview->height(), 50);
    EXPECT_EQ(preview->bitmap().pixel(25, 0), qRgb(0, 0, 255));
    EXPECT_EQ(preview->bitmap().pixel(25, 49), qRgb(0, 0, 255));
}

TEST(PreviewWithSize, RoundsHalvesAwayFromZero) {
    // 3 × 2 into 2 × 2: fill nearest(3 · 2 / 2) = 3 wide, offset nearest(0.5) = 1.
    // The first column of the fill is cut away.
    QImage stripes(3, 2, QImage::Format_RGB32);
    for (int y = 0; y < 2; ++y) {
        stripes.setPixel(0, y, qRgb(255, 0, 0));
        stripes.setPixel(1, y, qRgb(0, 255, 0));
        stripes.setPixel(2, y, qRgb(0, 0, 255));
    }
    const auto preview = Image(stripes).previewWithSize({2, 2});
    ASSERT_TRUE(preview);
    EXPECT_EQ(preview->width(), 2);
    EXPECT_EQ(preview->bitmap().pixel(0, 0), qRgb(0, 255, 0));
    EXPECT_EQ(preview->bitmap().pixel(1, 1), qRgb(0, 0, 255));
}

TEST(PreviewWithSize, EmptyTargetIsRefused) {
    test::LogCapture log;
    EXPECT_FALSE(Image(codedBitmap(4, 4)).previewWithSize({0, 10}));
    EXPECT_EQ(log.lines().size(), 1u);
}

TEST(MixWithImage, DrawsTheArgumentIntoTheRectangleOverTheReceiver) {
    const Image base(test::filledBitmap(10, 10, Qt::red));
    const Image patch(test::filledBitmap(1, 1, Qt::blue));
    const auto mixed = base.mixWithImage(patch, {2, 3, 4, 5});
    ASSERT_TRUE(mixed);
    EXPECT_EQ(mixed->width(), 10);
    EXPECT_EQ(mixed->bitmap().pixel(1, 3), qRgb(255, 0, 0));
    EXPECT_EQ(mixed->bitmap().pixel(2, 3), qRgb(0, 0, 255));
    EXPECT_EQ(mixed->bitmap().pixel(5, 7), qRgb(0, 0, 255));
    EXPECT_EQ(mixed->bitmap().pixel(6, 8), qRgb(255, 0, 0));
    const auto shortForm = base.mixWithImage(Image(test::filledBitmap(3, 4, Qt::blue)));
    ASSERT_TRUE(shortForm);
    EXPECT_EQ(shortForm->bitmap().pixel(9, 3), qRgb(0, 0, 255));
    EXPECT_EQ(shortForm->bitmap().pixel(9, 4), qRgb(255, 0, 0));
}

}  // namespace
}  // namespace qp
