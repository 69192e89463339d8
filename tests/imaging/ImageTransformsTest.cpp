#include <gtest/gtest.h>

#include <QPainter>
#include <cstdlib>
#include <functional>
#include <iterator>
#include <numbers>

#include "ImageTestSupport.h"
#include "imaging/ImageOperationNames.h"
#include "imaging/PixelOps.h"

namespace qp {
namespace {

using test::codedBitmap;
using test::codeFor;

struct PermutationCase {
    ImageOrientation tag;
    bool swaps;
    // Stored pixel for output (x, y), given the stored size W × H.
    std::function<std::pair<int, int>(int x, int y, int W, int H)> source;
};

const PermutationCase kPermutations[] = {
    {ImageOrientation::Down, false,
     [](int x, int y, int W, int H) {
         return std::pair{W - 1 - x, H - 1 - y};
     }},
    {ImageOrientation::Left, true,
     [](int x, int y, int W, int) {
         return std::pair{W - 1 - y, x};
     }},
    {ImageOrientation::Right, true,
     [](int x, int y, int, int H) {
         return std::pair{y, H - 1 - x};
     }},
    {ImageOrientation::UpMirrored, false,
     [](int x, int y, int W, int) {
         return std::pair{W - 1 - x, y};
     }},
    {ImageOrientation::DownMirrored, false,
     [](int x, int y, int, int H) {
         return std::pair{x, H - 1 - y};
     }},
    {ImageOrientation::LeftMirrored, true,
     [](int x, int y, int, int) {
         return std::pair{y, x};
     }},
    {ImageOrientation::RightMirrored, true,
     [](int x, int y, int W, int H) {
         return std::pair{W - 1 - y, H - 1 - x};
     }},
};

TEST(FixOrientation, EveryTagIsTheTablePermutation) {
    // 3 × 2 and a size past the 64-pixel tiles, in both 32-bit and 8-bit form.
    for (const auto& [W, H] : {std::pair{3, 2}, std::pair{70, 131}}) {
        for (const auto format : {QImage::Format_RGB32, QImage::Format_ARGB32_Premultiplied}) {
            const QImage stored = codedBitmap(W, H, format);
            for (const auto& c : kPermutations) {
                SCOPED_TRACE(std::string(toString(c.tag)) + " " + std::to_string(W));
                const auto fixed = Image(stored, c.tag).fixOrientation();
                ASSERT_TRUE(fixed);
                EXPECT_EQ(fixed->orientation(), ImageOrientation::Up);
                EXPECT_EQ(fixed->bitmap().format(), format);
                ASSERT_EQ(fixed->width(), c.swaps ? H : W);
                ASSERT_EQ(fixed->height(), c.swaps ? W : H);
                for (int y = 0; y < fixed->height(); ++y)
                    for (int x = 0; x < fixed->width(); ++x) {
                        const auto [sx, sy] = c.source(x, y, W, H);
                        ASSERT_EQ(fixed->bitmap().pixel(x, y), codeFor(sx, sy)) << x << "," << y;
                    }
            }
        }
    }
}

TEST(FixOrientation, GreyBitmapKeepsItsFormat) {
    QImage grey(3, 2, QImage::Format_Grayscale8);
    for (int y = 0; y < 2; ++y)
        for (int x = 0; x < 3; ++x) grey.scanLine(y)[x] = uchar(x + 3 * y);
    const auto fixed = Image(grey, ImageOrientation::Right).fixOrientation();
    ASSERT_TRUE(fixed);
    EXPECT_EQ(fixed->pixelFormat(), PixelFormat::Grey8);
    // Top row is the stored left column read bottom to top.
    EXPECT_EQ(fixed->bitmap().constScanLine(0)[0], 3);
    EXPECT_EQ(fixed->bitmap().constScanLine(0)[1], 0);
}

TEST(FixOrientation, UpReturnsTheVerySameImage) {
    const Image up(codedBitmap(3, 2));
    const auto fixed = up.fixOrientation();
    ASSERT_TRUE(fixed);
    EXPECT_TRUE(fixed->isSameImage(up));
    EXPECT_FALSE(Image(codedBitmap(3, 2)).isSameImage(up));
}

TEST(FixOrientation, OtherScaleGivesTheDisplaySizeInPixels) {
    const Image retina(codedBitmap(8, 4), ImageOrientation::Left, 2.0);
    EXPECT_EQ(retina.displaySize(), (Size{2, 4}));
    const auto fixed = retina.fixOrientation();
    ASSERT_TRUE(fixed);
    EXPECT_EQ(fixed->width(), 2);
    EXPECT_EQ(fixed->height(), 4);
    EXPECT_EQ(fixed->scale(), 1.0);
}

TEST(Flip, OnceMirrorsTwiceRestoresAndTagIsIgnored) {
    const Image image(codedBitmap(5, 3), ImageOrientation::Right);
    const auto h = image.flipHorizontally();
    const auto v = image.flipVertically();
    ASSERT_TRUE(h && v);
    EXPECT_EQ(h->orientation(), ImageOrientation::Up);
    EXPECT_EQ(h->width(), 5);
    EXPECT_EQ(h->bitmap().pixel(0, 1), codeFor(4, 1));
    EXPECT_EQ(v->bitmap().pixel(1, 0), codeFor(1, 2));
    const auto hh = h->flipHorizontally();
    const auto vv = v->flipVertically();
    ASSERT_TRUE(hh && vv);
    for (int y = 0; y < 3; ++y)
        for (int x = 0; x < 5; ++x) {
            EXPECT_EQ(hh->bitmap().pixel(x, y), codeFor(x, y));
            EXPECT_EQ(vv->bitmap().pixel(x, y), codeFor(x, y));
        }
}

TEST(RotateOnAngle, ZeroCopiesQuarterTurnsClockwiseHalfTurnReverses) {
    const Image square(codedBitmap(3, 3), ImageOrientation::Down);
    const auto same = square.rotateOnAngle(0);
    const auto quarter = square.rotateOnAngle(std::numbers::pi / 2);
    const auto half = Image(codedBitmap(4, 2)).rotateOnAngle(std::numbers::pi);
    ASSERT_TRUE(same && quarter && half);
    EXPECT_EQ(same->bitmap().pixel(2, 0), codeFor(2, 0));  // stored pixels, tag ignored
    // Clockwise: the stored top-left lands top-right.
    EXPECT_EQ(quarter->bitmap().pixel(2, 0), codeFor(0, 0));
    EXPECT_EQ(quarter->bitmap().pixel(0, 0), codeFor(0, 2));
    EXPECT_EQ(half->bitmap().pixel(0, 0), codeFor(3, 1));
}

TEST(RotateOnAngle, OddAngleCutsCornersAndLeavesThemTransparent) {
    const auto turned =
        Image(test::filledBitmap(20, 20, Qt::red)).rotateOnAngle(std::numbers::pi / 4);
    ASSERT_TRUE(turned);
    EXPECT_EQ(turned->width(), 20);
    EXPECT_EQ(qAlpha(turned->bitmap().pixel(0, 0)), 0);
    EXPECT_EQ(turned->bitmap().pixel(10, 10), qRgb(255, 0, 0));
}

TEST(ZeroSizeGuard, EveryOperationLogsItsNameAndGivesNothing) {
    const Image none;
    const Image some(codedBitmap(2, 2));
    const std::vector<std::pair<const char*, std::function<std::optional<Image>()>>> cases = {
        {kRotateOnAngleName, [&] { return none.rotateOnAngle(1); }},
        {kFlipVerticallyName, [&] { return none.flipVertically(); }},
        {kFlipHorizontallyName, [&] { return none.flipHorizontally(); }},
        {kResizeToSizeName,
         [&] {
             return none.resizeToSize({4, 4});
         }},
        {kCropToRectName,
         [&] {
             return none.cropToRect({0, 0, 1, 1});
         }},
        {kPreviewWithSizeName,
         [&] {
             return none.previewWithSize({4, 4});
         }},
        {kMixWithImageName,
         [&] {
             return none.mixWithImage(some, {0, 0, 1, 1});
         }},
        {kMaskWithImageName, [&] { return none.maskWithImage(some); }},
        {kMaskWithImageRectName,
         [&] {
             return none.maskWithImage(some, {0, 0, 2, 2});
         }},
        {kMaskWithImageRectName,
         [&] {
             return some.maskWithImage(some, {0, 0, 0, 2});
         }},
        {kMakeBlackAndWhiteName, [&] { return none.makeBlackAndWhite(); }},
        {kMakeRoundCornersName,
         [&] { return none.makeRoundCornersWithCornerWidthCornerHeight(1, 1); }},
        {kMaskWithPathName, [&] { return none.maskWithPath(QPainterPath()); }},
        {kMaskFromPathName, [&] { return none.maskFromPathBlur(QPainterPath(), 2); }},
    };
    for (const auto& [name, operation] : cases) {
        test::LogCapture log;
        EXPECT_FALSE(operation()) << name;
        ASSERT_EQ(log.lines().size(), 1u) << name;
        EXPECT_EQ(log.lines()[0], std::string(name) + ": Error!");
    }
}

TEST(OverWhite, MatchesAPainterLayingTheBitmapOnWhite) {
    // Opaque, clear, and half-covered pixels of every channel strength.
    const QRgb colours[] = {qRgba(10, 200, 30, 255), qRgba(0, 0, 0, 0),
                            qRgba(255, 0, 0, 128),   qRgba(0, 0, 0, 128),
                            qRgba(90, 91, 92, 1),    qRgba(255, 255, 255, 254),
                            qRgba(40, 140, 240, 77)};
    QImage premultiplied(int(std::size(colours)), 3, QImage::Format_ARGB32);
    for (int y = 0; y < premultiplied.height(); ++y) {
        for (int x = 0; x < premultiplied.width(); ++x) premultiplied.setPixel(x, y, colours[x]);
    }
    premultiplied.convertTo(QImage::Format_ARGB32_Premultiplied);
    QImage painted(premultiplied.size(), QImage::Format_RGB32);
    painted.fill(Qt::white);
    QPainter(&painted).drawImage(0, 0, premultiplied);

    const QImage flat = pixelops::overWhite(premultiplied);
    ASSERT_EQ(flat.format(), QImage::Format_RGB32);
    ASSERT_EQ(flat.size(), premultiplied.size());
    for (int y = 0; y < flat.height(); ++y) {
        for (int x = 0; x < flat.width(); ++x) {
            const QRgb got = flat.pixel(x, y), want = painted.pixel(x, y);
            EXPECT_EQ(qAlpha(got), 255);
            EXPECT_LE(std::abs(qRed(got) - qRed(want)) + std::abs(qGreen(got) - qGreen(want)) +
                          std::abs(qBlue(got) - qBlue(want)),
                      1)
                << "pixel " << x << ": " << std::hex << got << " against " << want;
        }
    }
    EXPECT_EQ(flat.pixel(0, 0), qRgb(10, 200, 30));    // opaque: unchanged
    EXPECT_EQ(flat.pixel(1, 0), qRgb(255, 255, 255));  // clear: white
}

TEST(OverWhite, OnlyFullAlphaEverywhereIsOpaque) {
    struct Case {
        const char* name;
        QPoint at;  // the one pixel made not quite opaque, or (-1, -1)
        int alpha;
    };
    const Case cases[] = {{"all opaque", {-1, -1}, 255},
                          {"first pixel", {0, 0}, 254},
                          {"last pixel", {6, 4}, 0},
                          {"middle", {3, 2}, 128}};
    for (const Case& c : cases) {
        QImage bitmap(7, 5, QImage::Format_ARGB32_Premultiplied);
        bitmap.fill(qRgba(20, 30, 40, 255));
        if (c.at.x() >= 0) bitmap.setPixel(c.at, qPremultiply(qRgba(20, 30, 40, c.alpha)));
        EXPECT_EQ(pixelops::isOpaque(bitmap), c.alpha == 255) << c.name;
    }
}

}  // namespace
}  // namespace qp
