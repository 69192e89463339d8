#include <gtest/gtest.h>

#include "ImageTestSupport.h"

namespace qp {
namespace {

// Left half one colour, right half another.
QImage halves(int w, int h, QColor left, QColor right) {
    QImage image = test::filledBitmap(w, h, right);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w / 2; ++x) image.setPixelColor(x, y, left);
    return image;
}

bool within(QRgb pixel, QColor expected, int tolerance) {
    return std::abs(qRed(pixel) - expected.red()) <= tolerance &&
           std::abs(qGreen(pixel) - expected.green()) <= tolerance &&
           std::abs(qBlue(pixel) - expected.blue()) <= tolerance &&
           std::abs(qAlpha(pixel) - expected.alpha()) <= tolerance;
}

TEST(BlurredToCover, HasExactlyTheFrameSizeForEveryRadius) {
    const Image picture(test::codedBitmap(9, 7));
    for (const Size frame : {Size{40, 50}, Size{160, 90}, Size{1, 1}, Size{333, 17}}) {
        for (const double radius : {0.0, 1.0, 5.0, 60.0}) {
            const auto blurred = picture.blurredToCover(frame, radius);
            ASSERT_TRUE(blurred) << frame.width << "x" << frame.height << " r" << radius;
            EXPECT_EQ(blurred->width(), int(frame.width));
            EXPECT_EQ(blurred->height(), int(frame.height));
            EXPECT_EQ(blurred->orientation(), ImageOrientation::Up);
        }
    }
}

TEST(BlurredToCover, AnEvenColourStaysThatColourUpToTheEdges) {
    // Edges held, not faded to transparent or black, after the reduction
    // and the enlargement both.
    const QColor green(30, 200, 90);
    const auto blurred = Image(test::filledBitmap(30, 20, green)).blurredToCover({300, 200}, 40);
    ASSERT_TRUE(blurred);
    for (const auto& [x, y] : {std::pair{0, 0}, {299, 0}, {0, 199}, {299, 199}, {150, 100}})
        EXPECT_TRUE(within(blurred->bitmap().pixel(x, y), green, 1)) << x << "," << y;
}

TEST(BlurredToCover, CoversTheFrameCentredAndKeepsTheSidesColours) {
    // 200 × 100 covering 100 × 100 shows the middle half: red left, blue
    // right, a blend only about the seam.
    const auto blurred = Image(halves(200, 100, Qt::red, Qt::blue)).blurredToCover({100, 100}, 4);
    ASSERT_TRUE(blurred);
    const QImage& b = blurred->bitmap();
    EXPECT_TRUE(within(b.pixel(2, 50), Qt::red, 2));
    EXPECT_TRUE(within(b.pixel(97, 50), Qt::blue, 2));
    EXPECT_TRUE(within(b.pixel(0, 0), Qt::red, 2));
    const QRgb seam = b.pixel(50, 50);
    EXPECT_GT(qRed(seam), 60);
    EXPECT_GT(qBlue(seam), 60);
}

TEST(BlurredToCover, TheRadiusIsTheGaussiansDeviation) {
    // Across a black-to-white step a Gaussian of deviation σ gives half
    // white at the step and 84 % one σ into the white, on however reduced a
    // copy the blur ran.
    for (const double sigma : {6.0, 12.0, 40.0}) {
        const int w = 1000;
        const auto blurred =
            Image(halves(w, 20, Qt::black, Qt::white)).blurredToCover({double(w), 20}, sigma);
        ASSERT_TRUE(blurred);
        const QImage& b = blurred->bitmap();
        // The level `d` pixels right of the step, between pixel centres.
        const auto level = [&](double d) {
            const double at = w / 2.0 + d - 0.5;
            const int x = int(std::floor(at));
            const double f = at - x;
            return (1 - f) * qGreen(b.pixel(x, 10)) + f * qGreen(b.pixel(x + 1, 10));
        };
        EXPECT_NEAR(level(0), 128, 12) << sigma;
        EXPECT_NEAR(level(sigma), 0.84 * 255, 15) << sigma;
        EXPECT_NEAR(level(-sigma), 0.16 * 255, 15) << sigma;
        EXPECT_GT(level(4 * sigma), 250) << sigma;
        EXPECT_LT(level(-4 * sigma), 5) << sigma;
    }
}

TEST(BlurredToCover, TurnsThePictureUprightFirst) {
    // Stored 2 × 1, red then blue, tagged Right: upright, red is on top.
    QImage stored(2, 1, QImage::Format_RGB32);
    stored.setPixel(0, 0, qRgb(255, 0, 0));
    stored.setPixel(1, 0, qRgb(0, 0, 255));
    const auto blurred = Image(stored, ImageOrientation::Right).blurredToCover({20, 40}, 1);
    ASSERT_TRUE(blurred);
    EXPECT_TRUE(within(blurred->bitmap().pixel(10, 1), Qt::red, 10));
    EXPECT_TRUE(within(blurred->bitmap().pixel(10, 38), Qt::blue, 10));
}

TEST(BlurredToCover, NoPixelsOrNoFrameGiveNothing) {
    LogCapture log;
    EXPECT_FALSE(Image().blurredToCover({10, 10}, 2));
    EXPECT_FALSE(Image(test::codedBitmap(4, 4)).blurredToCover({0, 10}, 2));
    EXPECT_FALSE(Image(test::codedBitmap(4, 4)).blurredToCover({10, 10}, -1));
    EXPECT_EQ(log.lines().size(), 3u);
}

}  // namespace
}  // namespace qp
