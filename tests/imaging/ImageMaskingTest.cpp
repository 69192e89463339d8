#include <gtest/gtest.h>

#include <array>

#include "ImageTestSupport.h"

namespace qp {
namespace {

QImage greyRamp(std::initializer_list<int> samples) {
    QImage grey(int(samples.size()), 1, QImage::Format_Grayscale8);
    int x = 0;
    for (int s : samples) grey.scanLine(0)[x++] = uchar(s);
    return grey;
}

TEST(MaskWithImage, GreySamplesAreInverseCoverageAndTheMaskIsStretched) {
    const Image white(test::filledBitmap(4, 2, Qt::white));
    // 2 × 1 mask stretched over 4 × 2: left half keeps, right half goes.
    const auto halves = white.maskWithImage(Image(greyRamp({0, 255})));
    ASSERT_TRUE(halves);
    EXPECT_EQ(halves->width(), 4);
    EXPECT_EQ(halves->bitmap().pixel(1, 1), qRgb(255, 255, 255));
    EXPECT_EQ(qAlpha(halves->bitmap().pixel(2, 1)), 0);
    const auto half =
        Image(test::filledBitmap(1, 1, Qt::white)).maskWithImage(Image(greyRamp({128})));
    ASSERT_TRUE(half);
    EXPECT_NEAR(qAlpha(half->bitmap().pixel(0, 0)), 127, 1);
}

TEST(MaskWithImageRect, BrightnessIsCoverageAndTheReceiverIsNotScaled) {
    const Image red(test::filledBitmap(4, 4, Qt::red));
    // White left column keeps, black right column removes.
    QImage mask(2, 1, QImage::Format_RGB32);
    mask.setPixel(0, 0, qRgb(255, 255, 255));
    mask.setPixel(1, 0, qRgb(0, 0, 0));
    const auto masked = red.maskWithImage(Image(mask), {7, 9, 6, 2});
    ASSERT_TRUE(masked);
    EXPECT_EQ(masked->width(), 6);
    EXPECT_EQ(masked->height(), 2);
    EXPECT_EQ(masked->bitmap().pixel(0, 0), qRgb(255, 0, 0));
    EXPECT_EQ(qAlpha(masked->bitmap().pixel(5, 0)), 0);
    // The receiver ends at x = 4: beyond it nothing is drawn even under white.
    const auto wide = red.maskWithImage(Image(test::filledBitmap(1, 1, Qt::white)), {0, 0, 6, 6});
    ASSERT_TRUE(wide);
    EXPECT_EQ(wide->bitmap().pixel(3, 3), qRgb(255, 0, 0));
    EXPECT_EQ(qAlpha(wide->bitmap().pixel(4, 3)), 0);
    EXPECT_EQ(qAlpha(wide->bitmap().pixel(3, 4)), 0);
}

TEST(MakeBlackAndWhite, GreyWithoutAlphaTransparentTurnsBlack) {
    QImage colours = test::filledBitmap(3, 1, Qt::transparent);
    colours.setPixel(0, 0, qRgb(255, 255, 255));
    colours.setPixel(1, 0, qRgb(0, 255, 0));
    const auto grey = Image(colours).makeBlackAndWhite();
    ASSERT_TRUE(grey);
    EXPECT_EQ(grey->pixelFormat(), PixelFormat::Grey8);
    const uchar* row = grey->bitmap().constScanLine(0);
    EXPECT_EQ(row[0], 255);
    EXPECT_GT(row[1], 100);
    EXPECT_LT(row[1], 200);
    EXPECT_EQ(row[2], 0);
}

TEST(MakeRoundCorners, ZeroRadiusLeavesThePictureUnclipped) {
    const Image blue(test::filledBitmap(10, 6, Qt::blue));
    for (const auto& [rw, rh] : {std::pair{0.0, 5.0}, std::pair{3.0, 0.0}}) {
        const auto same = blue.makeRoundCornersWithCornerWidthCornerHeight(rw, rh);
        ASSERT_TRUE(same);
        for (const auto& [x, y] : {std::pair{0, 0}, {9, 0}, {0, 5}, {9, 5}})
            EXPECT_EQ(same->bitmap().pixel(x, y), qRgb(0, 0, 255));
    }
}

TEST(MakeRoundCorners, CornersBecomeTransparentQuarterEllipses) {
    const auto rounded = Image(test::filledBitmap(40, 20, Qt::blue))
                             .makeRoundCornersWithCornerWidthCornerHeight(10, 5);
    ASSERT_TRUE(rounded);
    for (const auto& [x, y] : {std::pair{0, 0}, {39, 0}, {0, 19}, {39, 19}})
        EXPECT_EQ(qAlpha(rounded->bitmap().pixel(x, y)), 0) << x << "," << y;
    EXPECT_EQ(rounded->bitmap().pixel(20, 0), qRgb(0, 0, 255));  // edge middle kept
    EXPECT_EQ(rounded->bitmap().pixel(0, 10), qRgb(0, 0, 255));
    // Pixel centres (1.5, 1.5) and (2.5, 0.5) lie outside the 10 × 5 ellipse
    // around (10, 5); (6.5, 3.5) lies inside it.
    EXPECT_LT(qAlpha(rounded->bitmap().pixel(1, 1)), 128);
    EXPECT_LT(qAlpha(rounded->bitmap().pixel(2, 0)), 128);
    EXPECT_EQ(qAlpha(rounded->bitmap().pixel(6, 3)), 255);
}

TEST(MaskWithPath, PathIsReadFromTheBottomLeft) {
    QPainterPath bottomStrip;
    bottomStrip.addRect(0, 0, 10, 3);  // the lowest three rows
    const auto masked = Image(test::filledBitmap(10, 10, Qt::green)).maskWithPath(bottomStrip);
    ASSERT_TRUE(masked);
    EXPECT_EQ(masked->bitmap().pixel(5, 9), qRgb(0, 255, 0));
    EXPECT_EQ(masked->bitmap().pixel(5, 7), qRgb(0, 255, 0));
    EXPECT_EQ(qAlpha(masked->bitmap().pixel(5, 6)), 0);
    EXPECT_EQ(qAlpha(masked->bitmap().pixel(5, 0)), 0);
}

TEST(MaskFromPathBlur, SoftBlackSilhouetteAtThePathsPlace) {
    QPainterPath box;
    box.addRect(20, 20, 20, 20);
    const auto silhouette = Image(test::filledBitmap(60, 60, Qt::red)).maskFromPathBlur(box, 6);
    ASSERT_TRUE(silhouette);
    const QImage& s = silhouette->bitmap();
    EXPECT_EQ(s.pixel(30, 30), qRgba(0, 0, 0, 255));  // receiver's red never drawn
    EXPECT_EQ(qAlpha(s.pixel(2, 2)), 0);
    const int edge = qAlpha(s.pixel(20, 30));
    EXPECT_GT(edge, 60);
    EXPECT_LT(edge, 200);  // blurred across the edge
    const auto sharp = Image(test::filledBitmap(60, 60, Qt::red)).maskFromPathBlur(box, 0);
    ASSERT_TRUE(sharp);
    EXPECT_EQ(qAlpha(sharp->bitmap().pixel(19, 30)), 0);
    EXPECT_EQ(qAlpha(sharp->bitmap().pixel(20, 30)), 255);
}

TEST(ImageFromSampleBuffer, CopiesBgraRowsAndRefusesBadFrames) {
    // 2 × 1 frame with a padded row: blue then half-transparent red.
    std::array<std::uint8_t, 12> memory{255, 0, 0, 255, 0, 0, 128, 128, 9, 9, 9, 9};
    const auto frame = Image::imageFromSampleBuffer({memory.data(), 2, 1, 12});
    ASSERT_TRUE(frame);
    EXPECT_EQ(frame->bitmap().pixel(0, 0), qRgb(0, 0, 255));
    EXPECT_EQ(frame->bitmap().pixel(1, 0), qRgba(128, 0, 0, 128));
    EXPECT_FALSE(Image::imageFromSampleBuffer({memory.data(), 4, 1, 12}));
    EXPECT_FALSE(Image::imageFromSampleBuffer({nullptr, 2, 1, 12}));
    EXPECT_FALSE(Image::imageFromSampleBuffer({memory.data(), 0, 1, 12}));
}

}  // namespace
}  // namespace qp
