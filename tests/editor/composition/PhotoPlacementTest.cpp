#include "editor/composition/PhotoPlacement.h"

#include <gmock/gmock.h>

#include <cmath>
#include <numbers>

#include "editor/composition/Composition.h"
#include "editor/composition/CompositionConstants.h"
#include "editor/composition/CompositionTestSupport.h"
#include "imaging/PhotoIO.h"

namespace qp {
namespace {

using test::profile;
using test::solidImage;

constexpr double kEps = 1e-9;

void expectRect(const Rect& actual, const Rect& expected, double eps = 1e-6) {
    EXPECT_NEAR(actual.origin.x, expected.origin.x, eps);
    EXPECT_NEAR(actual.origin.y, expected.origin.y, eps);
    EXPECT_NEAR(actual.size.width, expected.size.width, eps);
    EXPECT_NEAR(actual.size.height, expected.size.height, eps);
}

// The square point a photo point shows at.
Point onSquare(const Composition& c, Point photoPoint) {
    return c.previewSquare().photoLayer().convertPointToLayer(photoPoint, c.previewSquare().root());
}

TEST(PhotoImport, LargePhotoOnPhoneIsFittedWithoutEnlarging) {
    Composition c(profile("iphone"));
    // A reduced copy stands in for a 3000 × 2000 photo.
    ASSERT_TRUE(c.placement().importPhoto(solidImage(30, 20, Qt::red), Size{3000, 2000}).ok());
    const PhotoPlacement& p = c.placement();
    EXPECT_TRUE(p.previewPhotoIsRealPhoto());
    EXPECT_EQ(p.originalPhotoWidth(), 3000);
    EXPECT_EQ(p.originalPhotoHeight(), 2000);
    EXPECT_NEAR(p.totalScaleChange(), 0.102, kEps);
    const Layer& photo = c.previewSquare().photoLayer();
    EXPECT_EQ(photo.bounds().size, (Size{3000, 2000}));
    expectRect(photo.frame(), {0, 51, 306, 204});
}

TEST(PhotoImport, EnlargesShortSideToTheMinimumAndKeepsAspect) {
    struct Case {
        Size picked;
        Size placed;
        double fit;
    };
    const Case cases[] = {
        {{400, 300}, {816, 612}, 306.0 / 816},  // f = max(1.53, 2.04)
        {{300, 400}, {612, 816}, 306.0 / 816},
        {{612, 612}, {612, 612}, 0.5},  // exactly the minimum: used as it is
        {{611, 1000}, {612, 1000 * 612.0 / 611}, 306 / (1000 * 612.0 / 611)},
    };
    for (const Case& k : cases) {
        Composition c(profile("iphone"));
        ASSERT_TRUE(
            c.placement()
                .importPhoto(solidImage(int(k.picked.width), int(k.picked.height), Qt::blue))
                .ok());
        EXPECT_NEAR(c.placement().originalPhotoWidth(), k.placed.width, 1e-6);
        EXPECT_NEAR(c.placement().originalPhotoHeight(), k.placed.height, 1e-6);
        EXPECT_NEAR(c.placement().totalScaleChange(), k.fit, kEps);
        const Image& shown = *c.previewSquare().photoLayer().image();
        EXPECT_NEAR(shown.width(), k.placed.width, 1.0);
        EXPECT_NEAR(shown.height(), k.placed.height, 1.0);
    }
}

TEST(PhotoImport, EnlargingAStripStopsAtThePixelLimit) {
    for (Size strip : {Size{3000, 3}, Size{3, 3000}, Size{30000, 33}}) {
        Composition c(profile("iphone"));
        ASSERT_TRUE(c.placement()
                        .importPhoto(solidImage(int(strip.width), int(strip.height), Qt::red))
                        .ok());
        const PhotoPlacement& p = c.placement();
        const double placedPixels = p.originalPhotoWidth() * p.originalPhotoHeight();
        EXPECT_LE(placedPixels, double(kMaxDecodedPixels)) << strip.width;
        EXPECT_GT(placedPixels, 0.9 * double(kMaxDecodedPixels)) << "enlarged as far as allowed";
        EXPECT_NEAR(p.originalPhotoWidth() / p.originalPhotoHeight(), strip.width / strip.height,
                    1e-9);
        const QImage& shown = c.previewSquare().photoLayer().image()->bitmap();
        EXPECT_LE(std::int64_t(shown.width()) * shown.height(), kMaxDecodedPixels);
        // Fitted whole, as any photo.
        EXPECT_NEAR(std::max(c.previewSquare().photoLayer().frame().size.width,
                             c.previewSquare().photoLayer().frame().size.height),
                    306, 1e-6);
    }
}

TEST(PhotoImport, TabletSquareFitsTheLongerSide) {
    Composition c(profile("ipad-retina"));
    ASSERT_TRUE(c.placement().importPhoto(solidImage(8, 6, Qt::red), Size{4000, 3000}).ok());
    expectRect(c.previewSquare().photoLayer().frame(), {0, 60.25, 482, 361.5});
}

TEST(PhotoImport, SidewaysTagIsTurnedUpright) {
    Composition c(profile("iphone"));
    const Image stored = Image(solidImage(8, 6, Qt::red).bitmap(), ImageOrientation::Right);
    ASSERT_TRUE(c.placement().importPhoto(stored).ok());
    // 6 × 8 upright, enlarged to 612 × 816.
    EXPECT_EQ(c.placement().originalPhotoWidth(), 612);
    EXPECT_EQ(c.placement().originalPhotoHeight(), 816);
    EXPECT_EQ(c.previewSquare().photoLayer().image()->orientation(), ImageOrientation::Up);
}

TEST(PhotoImport, EmptyPictureIsRefusedAndChangesNothing) {
    Composition c(profile("iphone"));
    EXPECT_FALSE(c.placement().importPhoto(Image()).ok());
    EXPECT_FALSE(c.placement().previewPhotoIsRealPhoto());
}

TEST(PhotoImport, NewPhotoResetsThePlacement) {
    Composition c(profile("iphone"));
    ASSERT_TRUE(c.placement().importPhoto(solidImage(612, 612, Qt::red)).ok());
    c.placement().rotationDetected(1);
    c.placement().panDetected({20, 30});
    ASSERT_TRUE(c.placement().importPhoto(solidImage(612, 612, Qt::red)).ok());
    EXPECT_NEAR(c.placement().totalScaleChange(), 0.5, kEps);
    expectRect(c.previewSquare().photoLayer().frame(), {0, 0, 306, 306});
}

TEST(Pinch, StepPassingTheCapIsDroppedWhole) {
    Composition c(profile("iphone"));
    ASSERT_TRUE(c.placement().importPhoto(solidImage(612, 612, Qt::red)).ok());
    PhotoPlacement& p = c.placement();
    EXPECT_TRUE(p.pinchDetected(1.5));
    EXPECT_NEAR(p.totalScaleChange(), 0.75, kEps);
    EXPECT_TRUE(p.pinchDetected(1.5));
    EXPECT_NEAR(p.totalScaleChange(), 1.125, kEps);
    const AffineTransform before = c.previewSquare().photoLayer().transform();
    EXPECT_FALSE(p.pinchDetected(2.0));  // 2.25: not clamped to 2, dropped
    EXPECT_NEAR(p.totalScaleChange(), 1.125, kEps);
    EXPECT_EQ(c.previewSquare().photoLayer().transform(), before);
    EXPECT_TRUE(p.pinchDetected(2.0 / 1.125));  // exactly the cap is allowed
}

TEST(Pinch, ScaleNearZeroOrInvalidIsDroppedSoTheTransformStaysInvertible) {
    Composition c(profile("iphone"));
    ASSERT_TRUE(c.placement().importPhoto(solidImage(612, 612, Qt::red)).ok());
    PhotoPlacement& p = c.placement();
    for (double s : {0.0, -1.0, 0.001, std::nan(""), double(INFINITY)})
        EXPECT_FALSE(p.pinchDetected(s)) << s;
    EXPECT_NEAR(p.totalScaleChange(), 0.5, kEps);
    EXPECT_TRUE(c.previewSquare().photoLayer().transform().isInvertible());
    // Many small steps stop at the floor instead of reaching zero.
    for (int i = 0; i < 100; ++i) p.pinchDetected(0.5);
    EXPECT_GE(p.totalScaleChange(), kMinimumTotalScale);
    p.touchesBegan();
    const Point anchor = c.previewSquare().photoLayer().anchorPoint();
    EXPECT_TRUE(std::isfinite(anchor.x) && std::isfinite(anchor.y));
}

TEST(Pinch, VeryLongPanoramaStillFits) {
    Composition c(profile("iphone"));
    // Fit factor 306 / 61200 = 0.005, under the usual floor.
    ASSERT_TRUE(c.placement().importPhoto(solidImage(100, 1, Qt::red), Size{61200, 612}).ok());
    EXPECT_NEAR(c.placement().totalScaleChange(), 0.005, kEps);
    EXPECT_FALSE(c.placement().pinchDetected(0.5));
}

TEST(Gestures, PivotStaysUnderTheSquareCentreAfterAPan) {
    Composition c(profile("iphone"));
    ASSERT_TRUE(c.placement().importPhoto(solidImage(30, 20, Qt::red), Size{3000, 2000}).ok());
    PhotoPlacement& p = c.placement();
    p.panDetected({40, -25});
    p.touchesBegan();
    const Layer& photo = c.previewSquare().photoLayer();
    const Point underCentre =
        photo.convertPointFromLayer(c.previewSquare().center(), c.previewSquare().root());
    // Moving the pivot moves nothing on screen.
    expectRect(photo.frame(), {40, 51 - 25, 306, 204});
    ASSERT_TRUE(p.pinchDetected(1.7));
    p.rotationDetected(0.6);
    const Point after = onSquare(c, underCentre);
    EXPECT_NEAR(after.x, 153, 1e-6);
    EXPECT_NEAR(after.y, 153, 1e-6);
}

TEST(Gestures, RotationTurnsClockwiseOnScreen) {
    Composition c(profile("iphone"));
    ASSERT_TRUE(c.placement().importPhoto(solidImage(30, 20, Qt::red), Size{3000, 2000}).ok());
    c.placement().touchesBegan();
    c.placement().rotationDetected(std::numbers::pi / 2);
    // The photo's top-left corner goes to the top right.
    const Point corner = onSquare(c, {0, 0});
    EXPECT_NEAR(corner.x, 153 + 102, 1e-6);
    EXPECT_NEAR(corner.y, 0, 1e-6);
}

TEST(Gestures, SetAnchorPointKeepsTheLayerWhereItIs) {
    Layer layer;
    layer.setFrame({10, 20, 100, 50});
    layer.setTransform(AffineTransform::identity().rotated(0.3).scaled(1.5, 1.5));
    const Rect before = layer.frame();
    PhotoPlacement::setAnchorPointForView({0.1, 0.9}, layer);
    expectRect(layer.frame(), before);
    EXPECT_EQ(layer.anchorPoint(), (Point{0.1, 0.9}));
}

TEST(Gestures, WithoutAPhotoTheBottomImageStays) {
    Composition c(profile("iphone"));
    c.applyTheme(test::photoTheme(), std::nullopt, solidImage(4, 4, Qt::green));
    PhotoPlacement& p = c.placement();
    p.touchesBegan();
    p.panDetected({30, 30});
    EXPECT_FALSE(p.pinchDetected(1.5));
    p.rotationDetected(1);
    p.actionFlipPhotoImage();
    const Layer& photo = c.previewSquare().photoLayer();
    expectRect(photo.frame(), {0, 0, 306, 306});
    EXPECT_TRUE(photo.transform().isIdentity());
    EXPECT_EQ(photo.image()->bitmap().pixelColor(0, 0), QColor(Qt::green));
}

TEST(Gestures, MirrorFlipsPixelsAndKeepsThePlacement) {
    Composition c(profile("iphone"));
    QImage bitmap(612, 612, QImage::Format_RGB32);
    bitmap.fill(Qt::red);
    bitmap.setPixelColor(0, 0, Qt::blue);
    ASSERT_TRUE(c.placement().importPhoto(Image(bitmap)).ok());
    c.placement().panDetected({10, 5});
    c.placement().rotationDetected(0.4);
    const Layer& photo = c.previewSquare().photoLayer();
    const AffineTransform t = photo.transform();
    const Point position = photo.position();
    c.placement().actionFlipPhotoImage();
    EXPECT_EQ(photo.transform(), t);
    EXPECT_EQ(photo.position(), position);
    EXPECT_EQ(photo.image()->bitmap().pixelColor(611, 0), QColor(Qt::blue));
}

TEST(Theme, ChangeKeepsPhotoAndPlacement) {
    Composition c(profile("iphone"));
    c.applyTheme(test::photoTheme(), std::nullopt, solidImage(4, 4, Qt::green));
    ASSERT_TRUE(c.placement().importPhoto(solidImage(612, 612, Qt::red)).ok());
    c.placement().pinchDetected(1.5);
    c.placement().rotationDetected(0.2);
    const AffineTransform t = c.previewSquare().photoLayer().transform();
    c.applyTheme(test::photoTheme(), solidImage(2, 2, Qt::black), solidImage(4, 4, Qt::green));
    EXPECT_EQ(c.previewSquare().photoLayer().transform(), t);
    EXPECT_NEAR(c.placement().totalScaleChange(), 0.75, kEps);
    EXPECT_EQ(c.previewSquare().photoLayer().image()->bitmap().pixelColor(0, 0), QColor(Qt::red));
}

TEST(Theme, DefaultFontSizeReturnsOnEveryThemeAndMessageIsLimited) {
    Composition c(profile("iphone"));
    TextStyle style;
    style.fontDefaultSize = 24;
    c.applyTheme(test::photoTheme(style), std::nullopt, std::nullopt);
    c.setCurrentFontSize(40);
    c.applyTheme(test::photoTheme(style), std::nullopt, std::nullopt);
    EXPECT_EQ(c.currentFontSize(), 24);

    c.setMessage(std::string(150, 'a'));
    EXPECT_EQ(c.message().size(), 120u);
    // 119 letters then a character outside the basic plane: the pair is not split.
    c.setMessage(std::string(119, 'a') + "\xF0\x9F\x98\x80" + "b");
    EXPECT_EQ(c.message(), std::string(119, 'a'));
}

}  // namespace
}  // namespace qp
