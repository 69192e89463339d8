#include <fmt/format.h>
#include <gmock/gmock.h>

#include <QPainter>
#include <cmath>

#include "editor/composition/Composition.h"
#include "editor/composition/CompositionConstants.h"
#include "editor/composition/CompositionTestSupport.h"
#include "editor/composition/ResultFrame.h"
#include "imaging/ImageDrawing.h"

namespace qp {
namespace {

using test::profile;
using test::solidImage;

QColor pixel(const Image& image, double x, double y) {
    return image.bitmap().pixelColor(int(x), int(y));
}

bool near(QColor a, QColor b, int tolerance = 12) {
    return std::abs(a.red() - b.red()) <= tolerance &&
           std::abs(a.green() - b.green()) <= tolerance &&
           std::abs(a.blue() - b.blue()) <= tolerance;
}

Image halves(int w, int h, QColor left, QColor right) {
    QImage bitmap(w, h, QImage::Format_RGB32);
    bitmap.fill(right);
    QPainter(&bitmap).fillRect(0, 0, w / 2, h, left);
    return Image(bitmap);
}

TEST(ResultFrame, HeightFollowsTheShape) {
    struct Case {
        int width;
        double aw, ah;
        int height;
    };
    for (const Case& c : {Case{612, 1, 1, 612}, Case{1080, 4, 5, 1350}, Case{1920, 16, 9, 1080},
                          Case{1080, 1.91, 1, 565}, Case{1080, 9, 16, 1920}, Case{65, 2, 1, 33}}) {
        const ResultFrame frame{c.width, c.aw, c.ah};
        EXPECT_EQ(frame.height(), c.height) << c.width << " " << c.aw << ":" << c.ah;
    }
    EXPECT_TRUE(ResultFrame{}.isAppResult());
    EXPECT_FALSE((ResultFrame{1080, 1, 1}).isAppResult());
    EXPECT_FALSE((ResultFrame{612, 4, 5}).isAppResult());
}

// The photo is fitted whole into any frame: its longer side (relative to
// the frame) spans the frame, centred, on the theme's art.
TEST(ResultFrame, ThePhotoIsFittedWholeIntoFramesOfEveryShapeAndSize) {
    struct Case {
        int width;
        double aw, ah;
        int photoW, photoH;
    };
    for (const Case& c :
         {Case{1080, 4, 5, 1600, 1200}, Case{1080, 4, 5, 1200, 1600}, Case{640, 4, 5, 900, 900},
          Case{1920, 16, 9, 1600, 1200}, Case{1280, 16, 9, 1200, 1600},
          Case{300, 16, 9, 4000, 1000}, Case{2048, 4, 5, 1000, 1250}}) {
        const ResultFrame frame{c.width, c.aw, c.ah};
        Composition composition(profile("iphone-4in"), frame);
        composition.applyTheme(test::photoTheme(), solidImage(8, 8, Qt::green), std::nullopt);
        ASSERT_TRUE(
            composition.placement().importPhoto(solidImage(c.photoW, c.photoH, Qt::red)).ok());
        const std::optional<Image> result = composition.makeResultImage(true);
        ASSERT_TRUE(result);
        const std::string label =
            fmt::format("{}x{} in {} at {}:{}", c.photoW, c.photoH, c.width, c.aw, c.ah);
        ASSERT_EQ(result->width(), frame.width) << label;
        ASSERT_EQ(result->height(), frame.height()) << label;

        const double W = frame.width, H = frame.height();
        const double k = std::min(W / c.photoW, H / c.photoH);
        const double w = c.photoW * k, h = c.photoH * k;
        const double left = (W - w) / 2, top = (H - h) / 2;
        EXPECT_TRUE(near(pixel(*result, W / 2, H / 2), Qt::red)) << label;
        EXPECT_TRUE(near(pixel(*result, left + 2, top + 2), Qt::red)) << label;
        EXPECT_TRUE(near(pixel(*result, left + w - 3, top + h - 3), Qt::red)) << label;
        // One side touches the frame's edges; the other leaves the art.
        if (left >= 3) {
            EXPECT_TRUE(near(pixel(*result, left - 3, H / 2), Qt::green)) << label;
            EXPECT_TRUE(near(pixel(*result, left + w + 2, H / 2), Qt::green)) << label;
        }
        if (top >= 3) {
            EXPECT_TRUE(near(pixel(*result, W / 2, top - 3), Qt::green)) << label;
            EXPECT_TRUE(near(pixel(*result, W / 2, top + h + 2), Qt::green)) << label;
        }
        EXPECT_TRUE(left < 1 || top < 1) << label;
    }
}

TEST(ResultFrame, TheSquareAppResultIsUnchanged) {
    // The same composition through the default frame and an explicit 612
    // square gives the very same pixels.
    const auto render = [](std::optional<ResultFrame> frame) {
        Composition c(profile("iphone-retina"), frame.value_or(ResultFrame{}));
        c.applyTheme(test::photoTheme(), solidImage(8, 8, Qt::green), std::nullopt);
        EXPECT_TRUE(c.placement().importPhoto(halves(900, 600, Qt::red, Qt::blue)).ok());
        return c.makeResultImage(true)->bitmap();
    };
    EXPECT_EQ(render(std::nullopt), render(ResultFrame{612, 1, 1}));
}

TEST(ResultFrame, TheThemesArtCoversTheFrameCentred) {
    // Square art, left half yellow and right half cyan, in a 16:9 frame: it
    // is scaled to the frame's width and its middle band shows.
    Composition c(profile("iphone-4in"), ResultFrame{960, 16, 9});
    c.applyTheme(test::photoTheme(), halves(100, 100, Qt::yellow, Qt::cyan), std::nullopt);
    const Layer& art = c.previewSquare().backgroundLayer();
    const Size frame = c.frameSize();
    EXPECT_DOUBLE_EQ(art.frame().size.width, frame.width);
    EXPECT_DOUBLE_EQ(art.frame().size.height, frame.width);
    EXPECT_DOUBLE_EQ(art.frame().origin.y, (frame.height - frame.width) / 2);
    // A tall frame: the art as tall as the frame, cut at the sides.
    Composition tall(profile("iphone-4in"), ResultFrame{540, 9, 16});
    tall.applyTheme(test::photoTheme(), halves(100, 100, Qt::yellow, Qt::cyan), std::nullopt);
    const Layer& tallArt = tall.previewSquare().backgroundLayer();
    EXPECT_DOUBLE_EQ(tallArt.frame().size.height, tall.frameSize().height);
    EXPECT_DOUBLE_EQ(tallArt.frame().origin.x,
                     (tall.frameSize().width - tall.frameSize().height) / 2);
}

TEST(ResultFrame, TheTextBoxKeepsItsPlaceAndTheFontScalesWithTheWidth) {
    TextStyle style;
    style.fontDefaultSize = 24;
    style.fontMinSize = 12;
    style.fontMaxSize = 48;
    style.textBoxLeft = 36;
    style.textBoxTop = 540;
    style.textBoxWidth = 540;
    style.textBoxHeight = 64;
    const TextStyle scaled = textStyleForFrame(style, ResultFrame{1080, 4, 5});
    const double x = 1080.0 / 612, y = 1350.0 / 612;
    EXPECT_FLOAT_EQ(scaled.textBoxLeft, float(36 * x));
    EXPECT_FLOAT_EQ(scaled.textBoxWidth, float(540 * x));
    EXPECT_FLOAT_EQ(scaled.textBoxTop, float(540 * y));
    EXPECT_FLOAT_EQ(scaled.textBoxHeight, float(64 * y));
    EXPECT_FLOAT_EQ(scaled.fontDefaultSize, float(24 * x));
    EXPECT_FLOAT_EQ(scaled.fontMinSize, float(12 * x));
    EXPECT_FLOAT_EQ(scaled.fontMaxSize, float(48 * x));
    EXPECT_EQ(textStyleForFrame(style, ResultFrame{}), style);
    EXPECT_DOUBLE_EQ(fontSizeForFrame(30, ResultFrame{1224, 16, 9}), 60);
}

TEST(ResultFrame, TheMessageCanvasIsTheResultsSizeWithTheTextInItsBox) {
    TextStyle style;
    style.fontName = "DejaVu Sans";
    style.fontDefaultSize = 30;
    style.fontMinSize = 10;
    style.fontMaxSize = 40;
    style.textBoxLeft = 0;
    style.textBoxTop = 0;
    style.textBoxWidth = 306;
    style.textBoxHeight = 306;  // the top-left quarter
    style.textHalo = 0;
    Composition c(profile("iphone-4in"), ResultFrame{1224, 16, 9});
    c.applyTheme(test::photoTheme(style), std::nullopt, std::nullopt);
    c.setMessage("HELLO HELLO HELLO HELLO");
    const std::optional<Image> canvas = c.makeResultImage(false);
    ASSERT_TRUE(canvas);
    ASSERT_EQ(canvas->width(), 1224);
    ASSERT_EQ(canvas->height(), 689);
    // Ink only in the scaled box: left half, top half.
    int inkInBox = 0, inkOutside = 0;
    for (int y = 0; y < canvas->height(); y += 2) {
        for (int x = 0; x < canvas->width(); x += 2) {
            if (qAlpha(canvas->bitmap().pixel(x, y)) == 0) continue;
            (x < 612 && y < 345 ? inkInBox : inkOutside) += 1;
        }
    }
    EXPECT_GT(inkInBox, 0);
    EXPECT_EQ(inkOutside, 0);
    EXPECT_GE(c.messageFit().fontSize, 40);  // 30 at 612, twice as wide
}

// --- the blurred-photo background -----------------------------------------

ThemeSettings blurTheme() {
    ThemeSettings theme = test::photoTheme();
    theme.backgroundIsBlurredPhoto = true;
    return theme;
}

TEST(BlurredPhotoBackground, FollowsThePhotosColoursInTheMargins) {
    // Left half red, right half blue: the margins above and below the
    // fitted landscape show red on the left and blue on the right.
    for (const ResultFrame frame : {ResultFrame{}, ResultFrame{1080, 4, 5}}) {
        Composition c(profile("iphone-4in"), frame);
        c.applyTheme(blurTheme(), solidImage(8, 8, Qt::green), std::nullopt);
        ASSERT_TRUE(c.placement().importPhoto(halves(1500, 1000, Qt::red, Qt::blue)).ok());
        const std::optional<Image> result = c.makeResultImage(true);
        ASSERT_TRUE(result);
        const double W = frame.width, H = frame.height();
        const double margin = (H - W * 2 / 3) / 2;
        for (const double y : {margin / 2, H - margin / 2}) {
            const QColor left = pixel(*result, W * 0.1, y), right = pixel(*result, W * 0.9, y);
            EXPECT_GT(left.red(), 180) << frame.width << " " << y;
            EXPECT_LT(left.blue(), 60) << frame.width << " " << y;
            EXPECT_GT(right.blue(), 180) << frame.width << " " << y;
            EXPECT_LT(right.red(), 60) << frame.width << " " << y;
            EXPECT_LT(left.green(), 30);  // never the theme's art
        }
    }
}

TEST(BlurredPhotoBackground, MirrorAndNewPhotoRedrawItPanStepsDoNot) {
    Composition c(profile("iphone-4in"));
    c.applyTheme(blurTheme(), solidImage(8, 8, Qt::green), std::nullopt);
    const Layer& background = c.previewSquare().backgroundLayer();
    // Until a photo is placed the theme's art shows.
    ASSERT_TRUE(background.image());
    EXPECT_EQ(background.image()->width(), 8);

    ASSERT_TRUE(c.placement().importPhoto(halves(1500, 1000, Qt::red, Qt::blue)).ok());
    c.refreshPhotoBackground();
    const Image first = *background.image();
    EXPECT_EQ(first.width(), 612);
    EXPECT_GT(pixel(first, 20, 20).red(), 180);

    c.placement().panDetected({40, 10});
    c.placement().touchesBegan();
    c.placement().rotationDetected(0.3);
    c.refreshPhotoBackground();
    EXPECT_TRUE(background.image()->isSameImage(first));

    c.placement().actionFlipPhotoImage();
    c.refreshPhotoBackground();
    EXPECT_FALSE(background.image()->isSameImage(first));
    EXPECT_GT(pixel(*background.image(), 20, 20).blue(), 180);

    // Another theme with art, then back: the art, then the blur again.
    c.applyTheme(test::photoTheme(), solidImage(8, 8, Qt::green), std::nullopt);
    EXPECT_EQ(background.image()->width(), 8);
    c.applyTheme(blurTheme(), solidImage(8, 8, Qt::green), std::nullopt);
    EXPECT_EQ(background.image()->width(), 612);
}

TEST(BlurredPhotoBackground, TheResultIsRightEvenWhenNobodyRefreshedIt) {
    Composition c(profile("iphone-4in"));
    c.applyTheme(blurTheme(), solidImage(8, 8, Qt::green), std::nullopt);
    ASSERT_TRUE(c.placement().importPhoto(halves(1500, 1000, Qt::red, Qt::blue)).ok());
    c.placement().actionFlipPhotoImage();
    const std::optional<Image> result = c.makeResultImage(true);
    ASSERT_TRUE(result);
    EXPECT_GT(pixel(*result, 30, 20).blue(), 180);
    EXPECT_GT(pixel(*result, 580, 20).red(), 180);
}

}  // namespace
}  // namespace qp
