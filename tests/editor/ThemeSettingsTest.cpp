#include <gtest/gtest.h>

#include <cfloat>

#include "editor/ThemeKeys.h"
#include "editor/ThemeRecord.h"
#include "editor/ThemeSettings.h"
#include "platform/plist/PropertyList.h"
#include "support/LogCapture.h"

namespace qp {
namespace {

ThemeRecord record(ThemeRecord::Values values) {
    return ThemeRecord(std::move(values));
}

TEST(ThemeSettings, PhotoSlotOnlyForExactYes) {
    EXPECT_TRUE(recordIsPhotoEnabled(record({{kPhotoEnabledKey, "YES"}})));
    for (const char* other : {"yes", "Yes", "YES ", " YES", "1", "true", ""}) {
        EXPECT_FALSE(recordIsPhotoEnabled(record({{kPhotoEnabledKey, other}}))) << other;
    }
    EXPECT_FALSE(recordIsPhotoEnabled(record({})));
}

TEST(ThemeSettings, AbsentKeysGiveZeroesAndNoFont) {
    const TextStyle style = readTextStyle(record({}), TextAlignment::Right);
    EXPECT_EQ(style.fontName, "");
    EXPECT_EQ(style.fontRed, 0);
    EXPECT_EQ(style.fontGreen, 0);
    EXPECT_EQ(style.fontBlue, 0);
    EXPECT_EQ(style.fontDefaultSize, 0);
    EXPECT_EQ(style.fontMinSize, 0);
    EXPECT_EQ(style.fontMaxSize, 0);
    EXPECT_EQ(style.fontAlignment, TextAlignment::Right);
    EXPECT_EQ(style.textBox(), Rect(0, 0, 0, 0));
}

TEST(ThemeSettings, ReadsEveryStyleKey) {
    const TextStyle style = readTextStyle(record({{kFontNameKey, "DejaVu Serif"},
                                                  {kFontColorKey, "255, 128,0"},
                                                  {kDefaultFontSizeKey, "24"},
                                                  {kMinMaxFontSizeKey, "12,48"},
                                                  {kAlignmentKey, "center"},
                                                  {kTextBoxCornersKey, "10,20,110,70"}}),
                                          TextAlignment::Left);
    EXPECT_EQ(style.fontName, "DejaVu Serif");
    EXPECT_EQ(style.fontRed, 255);
    EXPECT_EQ(style.fontGreen, 128);
    EXPECT_EQ(style.fontBlue, 0);
    EXPECT_EQ(style.fontDefaultSize, 24);
    EXPECT_EQ(style.fontMinSize, 12);
    EXPECT_EQ(style.fontMaxSize, 48);
    EXPECT_EQ(style.fontAlignment, TextAlignment::Center);
    EXPECT_EQ(style.textBoxLeft, 10);
    EXPECT_EQ(style.textBoxTop, 20);
    EXPECT_EQ(style.textBoxWidth, 100);
    EXPECT_EQ(style.textBoxHeight, 50);
}

TEST(ThemeSettings, AlignmentWordsAreExactOthersKeepThePrevious) {
    const struct {
        const char* word;
        TextAlignment previous;
        TextAlignment expected;
    } cases[] = {
        {"left", TextAlignment::Right, TextAlignment::Left},
        {"center", TextAlignment::Left, TextAlignment::Center},
        {"right", TextAlignment::Left, TextAlignment::Right},
        {"", TextAlignment::Center, TextAlignment::Center},
        {"Right", TextAlignment::Center, TextAlignment::Center},
        {"centre", TextAlignment::Right, TextAlignment::Right},
        {" left", TextAlignment::Right, TextAlignment::Right},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(readTextStyle(record({{kAlignmentKey, c.word}}), c.previous).fontAlignment,
                  c.expected)
            << '"' << c.word << '"';
    }
}

TEST(ThemeSettings, ListsWithTooFewPartsReadAsAbsentAndAreLogged) {
    LogCapture log;
    const TextStyle style = readTextStyle(record({{kFontColorKey, "255,128"},
                                                  {kMinMaxFontSizeKey, "12"},
                                                  {kTextBoxCornersKey, "10,20,110"},
                                                  {kDefaultFontSizeKey, "18"}}),
                                          TextAlignment::Left, "broken");
    EXPECT_EQ(style.fontRed, 0);
    EXPECT_EQ(style.fontGreen, 0);
    EXPECT_EQ(style.fontMinSize, 0);
    EXPECT_EQ(style.fontMaxSize, 0);
    EXPECT_EQ(style.textBox(), Rect(0, 0, 0, 0));
    EXPECT_EQ(style.fontDefaultSize, 18);
    EXPECT_EQ(log.lines().size(), 3u);
    EXPECT_TRUE(log.contains(
        "theme catalogue: theme \"broken\": \"font color\" value \"255,128\" has too few "
        "parts; read as absent"));
}

TEST(ThemeSettings, GarbageAndExtremeNumbersStayBounded) {
    const TextStyle style = readTextStyle(
        record({{kFontColorKey, "red,green,blue,alpha"},
                {kMinMaxFontSizeKey, "-1" + std::string(60, '9') + ",1" + std::string(60, '0')},
                {kTextBoxCornersKey,
                 "-1" + std::string(60, '0') + ",0,1" + std::string(60, '0') + ",x"}}),
        TextAlignment::Left);
    EXPECT_EQ(style.fontRed, 0);
    EXPECT_EQ(style.fontBlue, 0);
    EXPECT_EQ(style.fontMinSize, -FLT_MAX);
    EXPECT_EQ(style.fontMaxSize, FLT_MAX);
    // The span of two extreme corners saturates instead of becoming infinite.
    EXPECT_EQ(style.textBoxWidth, FLT_MAX);
    EXPECT_EQ(style.textBoxHeight, 0);
}

TEST(ThemeSettings, TextHaloIsOnByDefaultTunedOrTurnedOff) {
    struct Case {
        const char* value;  // nullptr: absent
        float halo;
    };
    const Case cases[] = {
        {nullptr, kDefaultTextHalo},
        {"0", 0},
        {"off", 0},
        {"NO", 0},
        {"25", 25},
        {"6.5", 6.5F},
        {"-3", 0},
        {"900", kLargestTextHalo},
    };
    for (const Case& k : cases) {
        ThemeRecord::Values values;
        if (k.value) values[kTextHaloKey] = k.value;
        EXPECT_FLOAT_EQ(readTextStyle(record(values), TextAlignment::Left).textHalo, k.halo)
            << (k.value ? k.value : "(absent)");
    }
}

TEST(ThemeRecord, TypedPropertyListValuesBecomeText) {
    PlistDictionary dict{{kImageKey, PlistValue("a.jpg")},
                         {kDefaultFontSizeKey, PlistValue(24)},
                         {kMinMaxFontSizeKey, PlistValue(12.5)},
                         {kPhotoEnabledKey, PlistValue(true)},
                         {kFontColorKey, PlistValue(PlistArray{PlistValue(1)})}};
    const ThemeRecord r = ThemeRecord::fromPlist(PlistValue(dict));
    EXPECT_EQ(r.value(kImageKey), "a.jpg");
    EXPECT_EQ(r.value(kDefaultFontSizeKey), "24");
    EXPECT_FLOAT_EQ(readTextStyle(r, TextAlignment::Left).fontDefaultSize, 24);
    EXPECT_EQ(r.value(kMinMaxFontSizeKey), "12.500000");
    EXPECT_TRUE(recordIsPhotoEnabled(r));
    EXPECT_FALSE(r.has(kFontColorKey));
    EXPECT_TRUE(ThemeRecord::fromPlist(PlistValue("not a dictionary")).values().empty());
}

}  // namespace
}  // namespace qp
