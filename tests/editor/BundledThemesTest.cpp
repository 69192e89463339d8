// The themes that ship with the app: every category reads, every file a
// record names exists, and the art has the sizes the screens rely on.

#include <gtest/gtest.h>

#include <QFont>
#include <QFontDatabase>
#include <QFontMetricsF>
#include <QGuiApplication>
#include <QImageReader>
#include <cmath>
#include <cstdlib>
#include <set>

#include "editor/LeadingNumber.h"
#include "editor/ResourceImages.h"
#include "editor/ThemeCatalogue.h"
#include "editor/ThemeFeed.h"
#include "editor/ThemeKeys.h"
#include "editor/ThemeListing.h"
#include "imaging/PhotoIO.h"
#include "platform/Paths.h"

namespace qp {
namespace {

constexpr int kArtSide = 964;    // the tablet's 482-point preview at two-fold scale
constexpr int kThumbSide = 288;  // the tablet's 144-point theme button at two-fold scale
constexpr std::uintmax_t kArtBudget = 15u * 1024 * 1024;
constexpr double kResultSide = 612;
// A 3:2 landscape fitted whole leaves this band free above and below it.
constexpr double kLandscapeBand = kResultSide / 6;
// The accessibility guidelines' contrast for body text.
constexpr double kReadableContrast = 4.5;

std::filesystem::path resources() {
    return Paths::locateResources({});
}

QSize imageSize(const std::string& name) {
    const auto path = resourceImagePath(resources(), name);
    if (!path) return {};
    return QImageReader(QString::fromStdString(path->string())).size();
}

std::vector<ThemeCategory> bundled() {
    std::vector<ThemeCategory> all;
    for (int n : bundledCategoryNumbers(resources())) {
        auto category = readThemeCategory(resources(), n);
        EXPECT_TRUE(category) << categoryFileName(n);
        if (category) all.push_back(std::move(*category));
    }
    return all;
}

TEST(BundledThemes, CategoriesAreNumberedFromZeroAndOneIsTheThemeOfTheDay) {
    const std::vector<ThemeCategory> all = bundled();
    int regular = 0;
    int cotd = 0;
    for (std::size_t i = 0; i < all.size(); ++i) {
        EXPECT_EQ(all[i].number, static_cast<int>(i)) << "category numbers have a gap";
        EXPECT_FALSE(all[i].name.empty());
        if (all[i].isCOTD()) {
            ++cotd;
            EXPECT_GE(all[i].items.size(), 1u) << "the theme of the day needs its own record";
        } else if (all[i].items.size() >= 6) {
            ++regular;
        }
    }
    EXPECT_GE(regular, 5);
    EXPECT_EQ(cotd, 1);
}

// Relative luminance and contrast ratio as the accessibility guidelines
// define them.
double luminance(QColor colour) {
    const auto linear = [](double channel) {
        return channel <= 0.04045 ? channel / 12.92 : std::pow((channel + 0.055) / 1.055, 2.4);
    };
    return 0.2126 * linear(colour.redF()) + 0.7152 * linear(colour.greenF()) +
           0.0722 * linear(colour.blueF());
}

double contrast(QColor a, QColor b) {
    const double la = luminance(a);
    const double lb = luminance(b);
    return (std::max(la, lb) + 0.05) / (std::min(la, lb) + 0.05);
}

TEST(BundledThemes, TheFirstThemeIsThePlainWhiteSquare) {
    FallbackThemeFeed feed(resources());
    ThemeCatalogue catalogue(resources(), feed);
    const auto settings = catalogue.fetchThemeData();
    ASSERT_TRUE(settings);
    EXPECT_TRUE(settings->photoEnabled);
    const auto background = catalogue.imageFor(settings->background);
    ASSERT_TRUE(background);
    const QImage& bitmap = background->bitmap();
    for (const QPoint p : {QPoint(0, 0), QPoint(bitmap.width() / 2, bitmap.height() / 2),
                           QPoint(bitmap.width() - 1, bitmap.height() - 1)}) {
        EXPECT_EQ(QColor(bitmap.pixel(p)), QColor(Qt::white));
    }
}

TEST(BundledThemes, EveryRecordIsCompleteAndItsFilesExist) {
    std::set<std::string> names;
    for (const ThemeCategory& category : bundled()) {
        for (const ThemeRecord& record : category.items) {
            const std::string label = record.value(kImageKey).value_or("?");
            SCOPED_TRACE(categoryFileName(category.number) + " " + label);
            EXPECT_TRUE(recordIsPhotoEnabled(record));
            for (const char* key : {kImageKey, kThumbImageKey, kBottomImageKey}) {
                const std::string file = record.value(key).value_or("");
                EXPECT_TRUE(resourceImagePath(resources(), file)) << key << " " << file;
            }
            const QSize art = imageSize(record.value(kImageKey).value_or(""));
            EXPECT_EQ(art.width(), art.height());
            EXPECT_GE(art.width(), kArtSide);
            const QSize bottom = imageSize(record.value(kBottomImageKey).value_or(""));
            EXPECT_EQ(bottom.width(), bottom.height());
            EXPECT_GE(bottom.width(), kArtSide);
            const QSize thumb = imageSize(record.value(kThumbImageKey).value_or(""));
            EXPECT_EQ(thumb.width(), thumb.height());
            EXPECT_GE(thumb.width(), kThumbSide);
            if (!category.isCOTD()) {
                EXPECT_TRUE(names.insert(label).second) << "two themes share one image";
            }
        }
    }
}

TEST(BundledThemes, TextStylesAreSound) {
    for (const ThemeCategory& category : bundled()) {
        for (const ThemeRecord& record : category.items) {
            SCOPED_TRACE(record.value(kImageKey).value_or("?"));
            for (const char* key : {kFontColorKey, kMinMaxFontSizeKey, kTextBoxCornersKey,
                                    kDefaultFontSizeKey, kAlignmentKey, kFontNameKey}) {
                EXPECT_TRUE(record.has(key)) << key;
            }
            EXPECT_TRUE(leadingIntegers(record.value(kFontColorKey).value_or(""), 3));
            EXPECT_TRUE(leadingFloats(record.value(kTextBoxCornersKey).value_or(""), 4));
            const TextStyle style = readTextStyle(record, TextAlignment::Left);
            for (int part : {style.fontRed, style.fontGreen, style.fontBlue}) {
                EXPECT_TRUE(part >= 0 && part <= 255);
            }
            EXPECT_GT(style.fontMinSize, 0);
            EXPECT_LE(style.fontMinSize, style.fontDefaultSize);
            EXPECT_LE(style.fontDefaultSize, style.fontMaxSize);
            const std::string word = record.value(kAlignmentKey).value_or("");
            EXPECT_TRUE(word == kAlignmentLeft || word == kAlignmentCenter ||
                        word == kAlignmentRight);
            const Rect box = style.textBox();
            EXPECT_GT(box.size.width, 0);
            EXPECT_GT(box.size.height, 0);
            EXPECT_TRUE(Rect(0, 0, 612, 612).intersection(box) == box) << "box leaves the square";
        }
    }
}

// A photo is fitted whole, so a landscape leaves a band above and below it
// and nothing else is sure to stay free: the message goes there.
TEST(BundledThemes, TextBoxesLieInTheBandALandscapeLeavesFree) {
    for (const ThemeCategory& category : bundled()) {
        for (const ThemeRecord& record : category.items) {
            SCOPED_TRACE(record.value(kImageKey).value_or("?"));
            const Rect box = readTextStyle(record, TextAlignment::Left).textBox();
            const bool above = box.origin.y + box.size.height <= kLandscapeBand;
            const bool below = box.origin.y >= kResultSide - kLandscapeBand;
            EXPECT_TRUE(above || below)
                << "box from y " << box.origin.y << " to " << box.origin.y + box.size.height;
        }
    }
}

// Where a landscape leaves the box free the message lies on the art itself:
// its colour must read there, apart from a speck or two (stars, confetti).
TEST(BundledThemes, TheMessageColourReadsOnTheArtUnderItsBox) {
    for (const ThemeCategory& category : bundled()) {
        for (const ThemeRecord& record : category.items) {
            const std::string image = record.value(kImageKey).value_or("");
            SCOPED_TRACE(image);
            const auto path = resourceImagePath(resources(), image);
            ASSERT_TRUE(path);
            const QImage art(QString::fromStdString(path->string()));
            ASSERT_FALSE(art.isNull());
            const TextStyle style = readTextStyle(record, TextAlignment::Left);
            const QColor text(style.fontRed, style.fontGreen, style.fontBlue);
            const Rect box = style.textBox();
            const double scale = art.width() / kResultSide;
            int samples = 0;
            int unreadable = 0;
            for (double y = box.origin.y; y < box.origin.y + box.size.height; y += 2) {
                for (double x = box.origin.x; x < box.origin.x + box.size.width; x += 2) {
                    const QColor under(art.pixel(int(x * scale), int(y * scale)));
                    ++samples;
                    if (contrast(text, under) < kReadableContrast) ++unreadable;
                }
            }
            ASSERT_GT(samples, 0);
            EXPECT_LE(unreadable, samples / 50)
                << unreadable << " of " << samples << " points under the box are too close to "
                << text.name().toStdString();
        }
    }
}

// Fonts need a Gui application.
void ensureGuiApplication() {
    if (QGuiApplication::instance()) return;
    if (std::getenv("QT_QPA_PLATFORM") == nullptr) setenv("QT_QPA_PLATFORM", "offscreen", 1);
    static int argc = 1;
    static char name[] = "qp_editor_tests";
    static char* argv[] = {name, nullptr};
    static QGuiApplication app(argc, argv);
}

QFontMetricsF metrics(const TextStyle& style, double size) {
    QFont font(QString::fromStdString(style.fontName));
    font.setPixelSize(int(std::lround(size)));
    return QFontMetricsF(font);
}

// The box holds the message over the slider's whole range: one line at the
// largest size, two at the default (a short sentence starts whole), and a
// message at the 120-character limit at the smallest.
TEST(BundledThemes, TextBoxesHoldTheMessageAcrossTheSizeRange) {
    ensureGuiApplication();
    constexpr int kMessageLimit = 120;
    for (const ThemeCategory& category : bundled()) {
        for (const ThemeRecord& record : category.items) {
            SCOPED_TRACE(record.value(kImageKey).value_or("?"));
            const TextStyle style = readTextStyle(record, TextAlignment::Left);
            const Rect box = style.textBox();
            EXPECT_LE(metrics(style, style.fontMaxSize).lineSpacing(), box.size.height);
            EXPECT_LE(2 * metrics(style, style.fontDefaultSize).lineSpacing(), box.size.height);
            const QFontMetricsF smallest = metrics(style, style.fontMinSize);
            const int lines = int(box.size.height / smallest.lineSpacing());
            const int perLine = int(box.size.width / smallest.averageCharWidth());
            EXPECT_GE(lines * perLine, kMessageLimit);
        }
    }
}

TEST(BundledThemes, FontsAreInstalled) {
    ensureGuiApplication();
    const QStringList families = QFontDatabase::families();
    for (const ThemeCategory& category : bundled()) {
        for (const ThemeRecord& record : category.items) {
            const std::string font = record.value(kFontNameKey).value_or("");
            EXPECT_TRUE(families.contains(QString::fromStdString(font))) << font;
        }
    }
}

TEST(BundledThemes, InterfaceAndFallbackImagesShip) {
    for (const char* name :
         {kSliderBarImage, kSliderThumbImage, kCategorySelectedImage, kCategoryNotSelectedImage}) {
        EXPECT_FALSE(imageSize(name).isEmpty()) << name;
    }
    FallbackThemeFeed feed(resources());
    EXPECT_GE(feed.getCOTDThemeImageIfAvailable()->width(), kArtSide);
    EXPECT_GE(feed.getCOTDThemeBottomImageIfAvailable()->width(), kArtSide);
    EXPECT_GE(feed.getCOTDThumbIfAvailable()->width(), kThumbSide);
}

TEST(BundledThemes, TheDemoPhotoNeedsTurningUpright) {
    const auto path = resourceImagePath(resources(), "sample_photo.jpg");
    ASSERT_TRUE(path);
    Result<Image> photo = readPhoto(path->string());
    ASSERT_TRUE(photo);
    EXPECT_NE(photo->orientation(), ImageOrientation::Up);
    const auto upright = photo->fixOrientation();
    ASSERT_TRUE(upright);
    const QImage& bitmap = upright->bitmap();
    EXPECT_LT(bitmap.width(), bitmap.height());
    // Sky above, grass below.
    const QColor top(bitmap.pixel(bitmap.width() / 2, 5));
    const QColor bottom(bitmap.pixel(bitmap.width() / 2, bitmap.height() - 5));
    EXPECT_GT(top.blue(), top.red());
    EXPECT_GT(bottom.green(), bottom.blue());
}

TEST(BundledThemes, ArtStaysWithinItsBudgetAndOpaqueArtIsJpeg) {
    std::uintmax_t total = 0;
    for (const auto& entry : std::filesystem::directory_iterator(resources() / kImagesFolder)) {
        total += entry.file_size();
        if (entry.path().extension() == ".png") {
            const QImage image(QString::fromStdString(entry.path().string()));
            EXPECT_TRUE(image.hasAlphaChannel()) << entry.path() << " is opaque: use JPEG";
        }
    }
    EXPECT_LT(total, kArtBudget);
}

TEST(BundledThemes, ListingNamesEveryThemeWithItsTag) {
    const std::string listing = themeListing(resources());
    EXPECT_NE(listing.find("category  0  tag 500"), std::string::npos);
    EXPECT_NE(listing.find(" 1000  "), std::string::npos);
    EXPECT_NE(listing.find("[theme of the day]"), std::string::npos);
    EXPECT_NE(listing.find("classic_white.jpg"), std::string::npos);
}

}  // namespace
}  // namespace qp
