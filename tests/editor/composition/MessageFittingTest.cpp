// Fitting the message into its box: shrink, then break long words, then
// cut with an ellipsis; never more than the box, never half a character.

#include <gtest/gtest.h>

#include <QImage>
#include <QString>
#include <string>

#include "editor/composition/MessageFitting.h"
#include "editor/composition/MessageRenderer.h"

namespace qp {
namespace {

TextStyle boxStyle(float width, float height, float size, float smallest) {
    TextStyle style;
    style.fontName = "DejaVu Sans";
    style.fontRed = 250;
    style.fontGreen = 250;
    style.fontBlue = 250;
    style.fontDefaultSize = size;
    style.fontMinSize = smallest;
    style.fontMaxSize = size * 2;
    style.textBoxLeft = 40;
    style.textBoxTop = 300;
    style.textBoxWidth = width;
    style.textBoxHeight = height;
    style.textHalo = 0;
    return style;
}

std::string repeated(const std::string& piece, int times) {
    std::string text;
    for (int i = 0; i < times; ++i) text += piece;
    return text;
}

// Rows of the canvas that carry ink, as bands of consecutive rows.
struct InkBands {
    int bands = 0;
    QRect bounds;
};

InkBands inkBands(const Image& canvas) {
    InkBands ink;
    bool inBand = false;
    const QImage& bitmap = canvas.bitmap();
    for (int y = 0; y < bitmap.height(); ++y) {
        bool rowInked = false;
        for (int x = 0; x < bitmap.width(); ++x) {
            if (bitmap.pixelColor(x, y).alpha() == 0) continue;
            rowInked = true;
            ink.bounds |= QRect(x, y, 1, 1);
        }
        if (rowInked && !inBand) ++ink.bands;
        inBand = rowInked;
    }
    return ink;
}

bool wholeCharacters(const QString& text) {
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (text.at(i).isHighSurrogate() &&
            (i + 1 == text.size() || !text.at(i + 1).isLowSurrogate())) {
            return false;
        }
        if (text.at(i).isLowSurrogate() && (i == 0 || !text.at(i - 1).isHighSurrogate())) {
            return false;
        }
    }
    return true;
}

TEST(MessageFitting, EachStepOnlyWhenTheOneBeforeCannotHoldTheText) {
    struct Case {
        const char* name;
        std::string message;
        TextStyle style;
        bool shrunk, broken, cut;
    };
    const Case cases[] = {
        {"fits as chosen", "Hello there", boxStyle(300, 100, 30, 12), false, false, false},
        // 120 units of one word: no size keeps it whole; broken, it fits.
        {"long word", std::string(120, 'w'), boxStyle(532, 120, 24, 12), true, true, false},
        {"eight short lines", "one\ntwo\nthree\nfour\nfive\nsix\nseven\neight",
         boxStyle(300, 150, 40, 10), true, false, false},
        {"many words", repeated("word ", 23) + "word", boxStyle(300, 100, 30, 10), true, false,
         false},
        {"too much for the box", std::string(120, 'W'), boxStyle(120, 40, 24, 12), true, true,
         true},
        {"lines beyond the box at the smallest size", repeated("line\n", 24) + "end",
         boxStyle(300, 60, 30, 12), true, false, true},
    };
    for (const Case& k : cases) {
        SCOPED_TRACE(k.name);
        const MessageCanvas drawn = renderMessage(k.message, k.style, k.style.fontDefaultSize);
        const MessageFit& fit = drawn.fit;
        ASSERT_GT(fit.fontSize, 0);
        EXPECT_EQ(fit.fontSize < k.style.fontDefaultSize, k.shrunk) << fit.fontSize;
        EXPECT_GE(fit.fontSize, k.style.fontMinSize);
        EXPECT_EQ(fit.cut, k.cut);
        if (!k.cut) {
            EXPECT_EQ(fit.wordsBroken, k.broken);
        }
        EXPECT_EQ(fit.text.endsWith(QChar(kEllipsis)), k.cut);
        if (k.cut) {
            EXPECT_EQ(fit.fontSize, k.style.fontMinSize);
        }
        if (!k.cut) {
            QString expected = QString::fromStdString(k.message);
            expected.replace(QChar('\n'), QChar::LineSeparator);
            EXPECT_EQ(fit.text, expected);
        }
        // Whatever happened, nothing is drawn outside the box.
        const InkBands ink = inkBands(drawn.image);
        EXPECT_TRUE(QRectF(k.style.textBoxLeft, k.style.textBoxTop, k.style.textBoxWidth,
                           k.style.textBoxHeight)
                        .contains(QRectF(ink.bounds)))
            << ink.bounds.x() << "," << ink.bounds.y() << " " << ink.bounds.width() << "x"
            << ink.bounds.height();
    }
}

TEST(MessageFitting, EightShortLinesAreAllDrawnAndTheLongWordFillsThreeLines) {
    const TextStyle lines = boxStyle(300, 150, 40, 10);
    // Words without dotted letters: each line is one band of ink.
    const MessageCanvas eight = renderMessage("one\ntwo\ncat\nowl\nsun\nmap\nfox\nend", lines, 40);
    EXPECT_EQ(inkBands(eight.image).bands, 8);

    // The case: 120 letters at the default theme's size lost half
    // their third line. Now every letter is drawn, on full lines.
    const TextStyle word = boxStyle(532, 72, 24, 12);
    const MessageCanvas long120 = renderMessage(std::string(120, 'm'), word, 24);
    EXPECT_FALSE(long120.fit.cut);
    EXPECT_TRUE(long120.fit.wordsBroken);
    EXPECT_GE(inkBands(long120.image).bands, 3);
}

TEST(MessageFitting, EmojiAtTheLimitAreNeverSplit) {
    // 60 faces are 120 UTF-16 units; a thumb with a skin tone is 4 units
    // and one character.
    const std::string faces = repeated("\U0001F600", 60);
    const std::string thumbs = repeated("\U0001F44D\U0001F3FD", 30);
    ASSERT_EQ(QString::fromStdString(faces).size(), 120);
    ASSERT_EQ(QString::fromStdString(thumbs).size(), 120);
    struct Case {
        std::string message;
        int unitsPerCharacter;
    };
    for (const Case& k : {Case{faces, 2}, Case{thumbs, 4}}) {
        for (const TextStyle& style : {boxStyle(532, 120, 24, 12), boxStyle(90, 30, 24, 12)}) {
            const MessageFit fit = fitMessage(k.message, style, 24);
            SCOPED_TRACE(fit.text.toStdString());
            ASSERT_GT(fit.fontSize, 0);
            EXPECT_TRUE(wholeCharacters(fit.text));
            QString kept = fit.text;
            if (fit.cut) kept.chop(1);
            EXPECT_EQ(kept.size() % k.unitsPerCharacter, 0);
        }
    }
    EXPECT_TRUE(fitMessage(faces, boxStyle(90, 30, 24, 12), 24).cut);
}

TEST(MessageFitting, SmallestSizeComesFromTheThemeOrAFloor) {
    const std::string crowded = repeated("crowded ", 15);
    struct Case {
        float themeMinimum;
        float chosen;
        int smallest;
    };
    const Case cases[] = {
        {12, 30, 12},
        {0, 30, kSmallestMessageSize},  // a theme without a range
        {40, 30, 30},                   // a minimum above the chosen size: no shrinking
    };
    for (const Case& k : cases) {
        const MessageFit fit =
            fitMessage(crowded, boxStyle(100, 40, k.chosen, k.themeMinimum), k.chosen);
        EXPECT_TRUE(fit.cut) << k.themeMinimum;
        EXPECT_EQ(fit.fontSize, k.smallest) << k.themeMinimum;
    }
}

TEST(MessageFitting, TrailingBlankLinesTakeNoRoom) {
    const TextStyle style = boxStyle(300, 40, 30, 10);
    const MessageFit fit = fitMessage("Hi\n\n\n\n\n\n  \r\n", style, 30);
    EXPECT_EQ(fit.text, "Hi");
    EXPECT_EQ(fit.fontSize, 30);
    EXPECT_FALSE(fit.cut);
}

TEST(MessageFitting, NothingToDrawGivesNoSize) {
    EXPECT_EQ(fitMessage("", boxStyle(300, 100, 30, 10), 30).fontSize, 0);
    EXPECT_EQ(fitMessage("Hi", boxStyle(300, 100, 30, 10), 0).fontSize, 0);
    EXPECT_EQ(fitMessage("Hi", boxStyle(0, 100, 30, 10), 30).fontSize, 0);
    // A box too small for even the ellipsis draws nothing, and says so.
    const MessageFit none = fitMessage("Hello", boxStyle(3, 3, 30, 10), 30);
    EXPECT_EQ(none.fontSize, 0);
    EXPECT_TRUE(none.cut);
}

}  // namespace
}  // namespace qp
