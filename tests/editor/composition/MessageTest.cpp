#include <gmock/gmock.h>

#include "editor/composition/Composition.h"
#include "editor/composition/CompositionConstants.h"
#include "editor/composition/CompositionTestSupport.h"
#include "editor/composition/MessageRenderer.h"

namespace qp {
namespace {

using test::profile;
using test::solidImage;

TextStyle boxStyle(TextAlignment alignment = TextAlignment::Left) {
    TextStyle style;
    style.fontName = "DejaVu Sans";
    style.fontRed = 200;
    style.fontGreen = 30;
    style.fontBlue = 40;
    style.fontDefaultSize = 30;
    style.fontMinSize = 12;
    style.fontMaxSize = 48;
    style.fontAlignment = alignment;
    style.textBoxLeft = 100;
    style.textBoxTop = 400;
    style.textBoxWidth = 300;
    style.textBoxHeight = 100;
    // These cases look at the glyphs alone; the halo has tests of its own.
    style.textHalo = 0;
    return style;
}

struct Ink {
    int count = 0;
    QRect bounds;
    bool allInTextColour = true;
};

// Where the canvas is not transparent, and whether the fully covered
// pixels carry the text colour.
Ink inkOf(const Image& canvas, QColor colour) {
    Ink ink;
    const QImage& bitmap = canvas.bitmap();
    for (int y = 0; y < bitmap.height(); ++y) {
        for (int x = 0; x < bitmap.width(); ++x) {
            const QColor c = bitmap.pixelColor(x, y);
            if (c.alpha() == 0) continue;
            ++ink.count;
            ink.bounds |= QRect(x, y, 1, 1);
            if (c.alpha() == 255 &&
                (std::abs(c.red() - colour.red()) > 2 || std::abs(c.green() - colour.green()) > 2 ||
                 std::abs(c.blue() - colour.blue()) > 2)) {
                ink.allInTextColour = false;
            }
        }
    }
    return ink;
}

TEST(Message, DrawnInsideItsBoxInTheThemeColour) {
    const TextStyle style = boxStyle();
    const Image canvas = renderMessageCanvas(
        "A message long enough to wrap over several lines of the box and beyond its bottom edge "
        "so that clipping matters",
        style, 30);
    EXPECT_EQ(canvas.width(), kResultSide);
    const Ink ink = inkOf(canvas, QColor(200, 30, 40));
    EXPECT_GT(ink.count, 500);
    EXPECT_TRUE(ink.allInTextColour);
    EXPECT_TRUE(QRect(100, 400, 300, 100).contains(ink.bounds))
        << ink.bounds.x() << "," << ink.bounds.y() << " " << ink.bounds.width() << "x"
        << ink.bounds.height();
    // Wrapped: more than one line's height is inked.
    EXPECT_GT(ink.bounds.height(), 50);
}

TEST(Message, AlignmentPlacesTheLine) {
    struct Case {
        TextAlignment alignment;
        int minLeft, maxLeft;  // where the ink may start
    };
    const Case cases[] = {
        {TextAlignment::Left, 100, 110},
        {TextAlignment::Center, 180, 240},
        {TextAlignment::Right, 280, 390},
    };
    for (const Case& k : cases) {
        const Ink ink = inkOf(renderMessageCanvas("Hi", boxStyle(k.alignment), 30), Qt::black);
        ASSERT_GT(ink.count, 0);
        EXPECT_GE(ink.bounds.left(), k.minLeft) << int(k.alignment);
        EXPECT_LE(ink.bounds.left(), k.maxLeft) << int(k.alignment);
    }
}

TEST(Message, NothingDrawnForEmptyTextZeroSizeOrEmptyBox) {
    TextStyle emptyBox = boxStyle();
    emptyBox.textBoxWidth = 0;
    EXPECT_EQ(inkOf(renderMessageCanvas("", boxStyle(), 30), Qt::black).count, 0);
    EXPECT_EQ(inkOf(renderMessageCanvas("Hi", boxStyle(), 0), Qt::black).count, 0);
    EXPECT_EQ(inkOf(renderMessageCanvas("Hi", emptyBox, 30), Qt::black).count, 0);
    // A box running off the canvas is cut to it, not an error.
    TextStyle offCanvas = boxStyle();
    offCanvas.textBoxLeft = 580;
    EXPECT_GT(inkOf(renderMessageCanvas("Hi", offCanvas, 30), Qt::black).count, 0);
}

TEST(Message, LargerSizeInksMore) {
    const int small = inkOf(renderMessageCanvas("Hello", boxStyle(), 14), Qt::black).count;
    const int large = inkOf(renderMessageCanvas("Hello", boxStyle(), 40), Qt::black).count;
    EXPECT_GT(large, small * 3);
}

TEST(Message, TextLayerShowsItAndTheResultCarriesIt) {
    Composition c(profile("iphone-4in"));
    c.applyTheme(test::photoTheme(boxStyle()), solidImage(4, 4, Qt::white), std::nullopt);
    c.setMessage("Hello there");
    const std::optional<Image> textImage = c.makeResultImage(false);
    ASSERT_TRUE(textImage);
    EXPECT_GT(inkOf(*textImage, Qt::black).count, 0);

    const std::optional<Image> before = c.makeResultImage(true);
    c.refreshTextLayer();
    const std::optional<Image> after = c.makeResultImage(true);
    ASSERT_TRUE(before && after);
    int reddish = 0;
    for (int y = 400; y < 500; ++y) {
        for (int x = 100; x < 400; ++x) {
            const QColor b = before->bitmap().pixelColor(x, y);
            const QColor a = after->bitmap().pixelColor(x, y);
            EXPECT_EQ(b, QColor(Qt::white));
            if (a.red() > 150 && a.green() < 120) ++reddish;
        }
    }
    EXPECT_GT(reddish, 100);
}

// The same message gives the same pixels every time, halo included, from
// the first use of a font on (the result must not depend on what was drawn
// before it in the process).
TEST(Message, SameMessageSamePixelsEveryTime) {
    TextStyle style = boxStyle();
    style.fontName = "Noto Serif";
    style.textHalo = kDefaultTextHalo;
    const QImage first = renderMessageCanvas("Same again, and again", style, 23).bitmap();
    const QImage second = renderMessageCanvas("Same again, and again", style, 23).bitmap();
    EXPECT_EQ(first, second);
}

}  // namespace
}  // namespace qp
