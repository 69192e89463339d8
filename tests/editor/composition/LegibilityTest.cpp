// The message stays readable over any photo: the contrast arithmetic, and
// every bundled theme's message measured over a dark, a pale and a busy
// photo that covers its text box.

#include <gtest/gtest.h>

#include <QImage>
#include <QPainter>
#include <algorithm>
#include <cstdint>
#include <vector>

#include "editor/ThemeCatalogue.h"
#include "editor/ThemeCategory.h"
#include "editor/ThemeFeed.h"
#include "editor/composition/Composition.h"
#include "editor/composition/CompositionConstants.h"
#include "editor/composition/CompositionTestSupport.h"
#include "editor/composition/Legibility.h"
#include "editor/composition/MessageRenderer.h"
#include "editor/composition/TextHalo.h"
#include "platform/Paths.h"

namespace qp {
namespace {

constexpr double kRequiredContrast = 4.5;
constexpr const char* kMessage = "Sunday at the lake, gulls and jelly ice!";

TEST(Legibility, ContrastRatiosFollowTheMeasure) {
    struct Case {
        QColor a, b;
        double ratio;
    };
    const Case cases[] = {
        {Qt::black, Qt::white, 21},
        {Qt::white, Qt::white, 1},
        {QColor(119, 119, 119), Qt::white, 4.48},  // the grey that just fails on white
        {QColor(118, 118, 118), Qt::white, 4.54},
    };
    for (const Case& k : cases) {
        EXPECT_NEAR(contrastRatio(relativeLuminance(k.a), relativeLuminance(k.b)), k.ratio, 0.01)
            << k.a.name().toStdString();
        EXPECT_NEAR(contrastRatio(relativeLuminance(k.b), relativeLuminance(k.a)), k.ratio, 0.01);
    }
}

TEST(Legibility, HaloContrastsWithEveryTextColour) {
    EXPECT_EQ(haloColourFor(Qt::white), QColor(Qt::black));
    EXPECT_EQ(haloColourFor(Qt::black), QColor(Qt::white));
    EXPECT_EQ(haloColourFor(QColor(30, 60, 140)), QColor(Qt::white));
    EXPECT_EQ(haloColourFor(QColor(250, 200, 80)), QColor(Qt::black));
    double worst = 21;
    for (int r = 0; r <= 255; r += 15) {
        for (int g = 0; g <= 255; g += 15) {
            for (int b = 0; b <= 255; b += 15) {
                const QColor text(r, g, b);
                worst = std::min(worst, contrastRatio(relativeLuminance(text),
                                                      relativeLuminance(haloColourFor(text))));
            }
        }
    }
    EXPECT_GE(worst, 4.58);
}

TEST(Legibility, HaloWidthFollowsTheSizeAndTheTheme) {
    EXPECT_DOUBLE_EQ(haloWidthFor(24, kDefaultTextHalo), 2.4);
    EXPECT_DOUBLE_EQ(haloWidthFor(40, 25), 10);
    EXPECT_DOUBLE_EQ(haloWidthFor(8, kDefaultTextHalo), 2);  // never thinner
    EXPECT_EQ(haloWidthFor(24, 0), 0);                       // turned off
    EXPECT_EQ(haloWidthFor(0, kDefaultTextHalo), 0);
}

TEST(Legibility, HaloFollowsTheGlyphsOutToItsWidthThenFades) {
    QImage glyph(41, 41, QImage::Format_ARGB32_Premultiplied);
    glyph.fill(Qt::transparent);
    glyph.setPixel(20, 20, qRgba(255, 255, 255, 255));
    glyph.setPixel(21, 20, qRgba(128, 128, 128, 128));  // half covered
    glyph.setPixel(8, 8, qRgba(40, 40, 40, 40));        // a hairline's faint pixel
    const QImage halo = haloAround(glyph, 4, Qt::black);
    ASSERT_EQ(halo.size(), glyph.size());
    const auto alphaAt = [&](int x, int y) { return qAlpha(halo.pixel(x, y)); };
    EXPECT_EQ(alphaAt(20, 20), 255);
    EXPECT_EQ(alphaAt(20, 24), 255);  // within the band below the glyph
    EXPECT_EQ(alphaAt(24, 20), 255);  // 3 right of the half-covered pixel
    EXPECT_EQ(alphaAt(18, 17), 255);  // diagonal, 3.6 away
    EXPECT_EQ(alphaAt(8, 11), 255);   // the faint pixel gets a band too
    const int fading = alphaAt(20, 27);
    EXPECT_GT(fading, 0);
    EXPECT_LT(fading, 200);
    EXPECT_EQ(alphaAt(20, 20 + int(haloReach(4))), 0);
    EXPECT_EQ(alphaAt(0, 0), 0);
    EXPECT_EQ(QColor(halo.pixel(20, 20)).rgb(), QColor(Qt::black).rgb());
    EXPECT_TRUE(haloAround(glyph, 0, Qt::black).isNull());
}

// --- the pass level over photos -------------------------------------------------

Image solidPhoto(QColor colour) {
    return test::solidImage(kResultSide, kResultSide, colour);
}

// Small blocks of every lightness and hue, with thin black and white lines.
Image busyPhoto() {
    QImage bitmap(kResultSide, kResultSide, QImage::Format_RGB32);
    std::uint32_t seed = 12345;
    const auto next = [&seed] {
        seed = seed * 1664525u + 1013904223u;
        return int(seed >> 24);
    };
    QPainter painter(&bitmap);
    for (int y = 0; y < kResultSide; y += 6) {
        for (int x = 0; x < kResultSide; x += 6) {
            painter.fillRect(x, y, 6, 6, QColor(next(), next(), next()));
        }
    }
    for (int x = 0; x < kResultSide; x += 17) painter.fillRect(x, 0, 1, kResultSide, Qt::white);
    for (int y = 0; y < kResultSide; y += 13) painter.fillRect(0, y, kResultSide, 1, Qt::black);
    painter.end();
    return Image(bitmap);
}

// The contrast between the glyphs and what lies right around them in
// `result`: the text colour against each pixel that touches a glyph's edge
// in `glyphsAlone` (the message drawn without halo). Answers the contrast
// that 95 in 100 of those pixels reach; 0 when no glyph was drawn.
double glyphContrast(const Image& result, const Image& glyphsAlone, QColor textColour,
                     const QRect& area) {
    const QImage composite = result.bitmap().convertToFormat(QImage::Format_ARGB32);
    const QImage glyphs = glyphsAlone.bitmap().convertToFormat(QImage::Format_ARGB32);
    const QRect inside = area.intersected(glyphs.rect());
    const auto alpha = [&](int x, int y) {
        if (!inside.contains(x, y)) return 0;
        return qAlpha(reinterpret_cast<const QRgb*>(glyphs.constScanLine(y))[x]);
    };
    const double glyph = relativeLuminance(textColour);
    std::vector<double> ratios;
    for (int y = inside.top(); y <= inside.bottom(); ++y) {
        for (int x = inside.left(); x <= inside.right(); ++x) {
            if (alpha(x, y) != 0) continue;
            if (!alpha(x - 1, y) && !alpha(x + 1, y) && !alpha(x, y - 1) && !alpha(x, y + 1)) {
                continue;
            }
            const QColor around(reinterpret_cast<const QRgb*>(composite.constScanLine(y))[x]);
            ratios.push_back(contrastRatio(glyph, relativeLuminance(around)));
        }
    }
    if (ratios.empty()) return 0;
    std::sort(ratios.begin(), ratios.end());
    return ratios[ratios.size() / 20];
}

struct Photo {
    const char* name;
    Image image;
};

// Every bundled theme over each photo, at its smallest, default and largest
// size (or at its default only), with the halo as the theme sets it or
// turned off. Answers the lowest contrast found.
double worstContrastOfBundledThemes(bool haloOff, bool everySize) {
    const std::filesystem::path resources = Paths::locateResources({});
    const Photo photos[] = {{"dark", solidPhoto(QColor(12, 12, 16))},
                            {"pale", solidPhoto(QColor(246, 246, 240))},
                            {"busy", busyPhoto()}};
    double worst = 21;
    int measured = 0;
    for (int n : bundledCategoryNumbers(resources)) {
        const std::optional<ThemeCategory> category = readThemeCategory(resources, n);
        const int count = category ? int(category->items.size()) : 0;
        for (int i = 0; i < count; ++i) {
            FallbackThemeFeed feed(resources);
            ThemeCatalogue catalogue(resources, feed);
            std::optional<ThemeSettings> theme = catalogue.selectThemeAsTapped(n, i);
            EXPECT_TRUE(theme) << n << "/" << i;
            if (!theme || !theme->photoEnabled) continue;
            if (haloOff) theme->textStyle.textHalo = 0;
            const TextStyle& style = theme->textStyle;
            TextStyle glyphsOnly = style;
            glyphsOnly.textHalo = 0;
            const QColor textColour(std::clamp(style.fontRed, 0, 255),
                                    std::clamp(style.fontGreen, 0, 255),
                                    std::clamp(style.fontBlue, 0, 255));
            const QRect area =
                QRectF(style.textBoxLeft, style.textBoxTop, style.textBoxWidth, style.textBoxHeight)
                    .toAlignedRect()
                    .adjusted(-2, -2, 2, 2);
            std::vector<float> sizes{style.fontDefaultSize};
            if (everySize) sizes = {style.fontMinSize, style.fontDefaultSize, style.fontMaxSize};

            Composition c(test::profile("iphone-retina"));
            c.applyTheme(*theme, catalogue);
            c.setMessage(kMessage);
            for (const Photo& photo : photos) {
                EXPECT_TRUE(c.placement().importPhoto(photo.image).ok());
                for (float size : sizes) {
                    c.setCurrentFontSize(size);
                    c.refreshTextLayer();
                    const std::optional<Image> result = c.makeResultImage(true);
                    EXPECT_TRUE(result);
                    if (!result) continue;
                    const double contrast = glyphContrast(
                        *result, renderMessageCanvas(kMessage, glyphsOnly, size), textColour, area);
                    ++measured;
                    worst = std::min(worst, contrast);
                    if (!haloOff) {
                        EXPECT_GE(contrast, kRequiredContrast)
                            << "theme " << n << "/" << i << " size " << size << " over the "
                            << photo.name << " photo";
                    }
                }
            }
        }
    }
    EXPECT_GT(measured, 0);
    return worst;
}

TEST(Legibility, EveryBundledThemeReadsOverDarkPaleAndBusyPhotos) {
    const double worst = worstContrastOfBundledThemes(false, true);
    EXPECT_GE(worst, kRequiredContrast);
    std::printf("worst contrast of a bundled theme's message over a photo: %.2f\n", worst);
    // The measure itself can fail: without the halo some theme does.
    EXPECT_LT(worstContrastOfBundledThemes(true, false), kRequiredContrast);
}

}  // namespace
}  // namespace qp
