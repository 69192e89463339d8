#include <gtest/gtest.h>

#include "TempResources.h"
#include "editor/ThemeCategory.h"
#include "editor/ThemeTags.h"
#include "support/LogCapture.h"

namespace qp {
namespace {

TEST(ThemeCategory, FileNamesAreTwoDigitsZeroPadded) {
    EXPECT_EQ(categoryFileName(0), "category_00.plist");
    EXPECT_EQ(categoryFileName(7), "category_07.plist");
    EXPECT_EQ(categoryFileName(42), "category_42.plist");
}

TEST(ThemeCategory, TagsAddressCategoriesAndThemes) {
    EXPECT_EQ(categoryButtonTag(3), 503);
    EXPECT_EQ(categoryIndicatorTag(3), 603);
    EXPECT_EQ(themeButtonTag(0, 0), 1000);
    EXPECT_EQ(themeButtonTag(2, 4), 1104);
    EXPECT_EQ(categoryFromButtonTag(503), 3);
    EXPECT_EQ(themeIndexFromTag(1104, 2), 4);
    EXPECT_EQ(themeIndexFromTag(1000, 2), -100);
}

TEST(ThemeCategory, ReadsMarkerNameAndItemsInOrder) {
    TempResources res;
    res.writeCategory(1,
                      {ThemeRecord(ThemeRecord::Values{{kImageKey, "a.jpg"}}),
                       ThemeRecord(ThemeRecord::Values{{kImageKey, "b.jpg"}})},
                      "COTD");
    const auto category = readThemeCategory(res.root(), 1);
    ASSERT_TRUE(category);
    EXPECT_EQ(category->number, 1);
    EXPECT_TRUE(category->isCOTD());
    ASSERT_EQ(category->items.size(), 2u);
    EXPECT_EQ(category->items[1].value(kImageKey), "b.jpg");
}

TEST(ThemeCategory, OnlyTheExactMarkerMeansThemeOfTheDay) {
    TempResources res;
    res.writeCategory(0, {}, "cotd");
    EXPECT_FALSE(readThemeCategory(res.root(), 0)->isCOTD());
    res.writeCategory(0, {});
    EXPECT_EQ(readThemeCategory(res.root(), 0)->marker, "");
}

TEST(ThemeCategory, UnreadableFilesGiveNothingAndALogLine) {
    TempResources res;
    res.writeText(res.categoryPath(2), "this is not a property list");
    res.writeValue(3, PlistValue(PlistArray{PlistValue(1)}));
    for (int n : {1, 2, 3, -1, 100}) {
        LogCapture log;
        EXPECT_FALSE(readThemeCategory(res.root(), n)) << n;
        EXPECT_EQ(log.lines().size(), 1u) << n;
    }
}

TEST(ThemeCategory, OddItemsKeepTheirPlaceAndExtraThemesAreLeftOut) {
    TempResources res;
    PlistArray items{PlistValue("not a record"), PlistValue(PlistDictionary{{kImageKey, "x.jpg"}})};
    res.writeValue(0, PlistValue(PlistDictionary{{kThemeItemsKey, PlistValue(items)}}));
    auto category = readThemeCategory(res.root(), 0);
    ASSERT_EQ(category->items.size(), 2u);
    EXPECT_TRUE(category->items[0].values().empty());
    EXPECT_EQ(category->items[1].value(kImageKey), "x.jpg");

    // A 51st theme would take the tag of the next category's first theme.
    res.writeCategory(0, std::vector<ThemeRecord>(kThemesPerCategory + 1));
    EXPECT_EQ(readThemeCategory(res.root(), 0)->items.size(), std::size_t(kThemesPerCategory));

    res.writeValue(0, PlistValue(PlistDictionary{{kThemeItemsKey, PlistValue("none")}}));
    EXPECT_TRUE(readThemeCategory(res.root(), 0)->items.empty());
}

TEST(ThemeCategory, BundledNumbersAreTheFilesPresent) {
    TempResources res;
    res.writeCategory(0, {});
    res.writeCategory(4, {});
    EXPECT_EQ(bundledCategoryNumbers(res.root()), (std::vector<int>{0, 4}));
}

}  // namespace
}  // namespace qp
