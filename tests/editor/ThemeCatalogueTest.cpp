#include <gtest/gtest.h>

#include "FakeThemeFeed.h"
#include "TempResources.h"
#include "editor/ThemeCatalogue.h"
#include "editor/ThemeFeed.h"
#include "platform/AppState.h"

namespace qp {
namespace {

using Source = ThemeImageRef::Source;

ThemeRecord theme(const std::string& image, ThemeRecord::Values extra = {}) {
    extra[kImageKey] = image;
    return ThemeRecord(std::move(extra));
}

// Category 0: two plain themes; 1: theme of the day; 2: one theme; 3 missing.
class ThemeCatalogueTest : public testing::Test {
protected:
    ThemeCatalogueTest() {
        res.writeCategory(0, {theme("white.jpg", {{kPhotoEnabledKey, "YES"},
                                                  {kBottomImageKey, "bottom.png"},
                                                  {kThumbImageKey, "thumb_white.jpg"},
                                                  {kAlignmentKey, "right"}}),
                              theme("black.jpg", {{kPhotoEnabledKey, "yes"},
                                                  {kBottomImageKey, "bottom.png"},
                                                  {kAlignmentKey, "middle"}})});
        res.writeCategory(1,
                          {theme("cotd_own.jpg", {{kPhotoEnabledKey, "YES"},
                                                  {kBottomImageKey, "cotd_bottom.png"},
                                                  {kFontNameKey, "Own Font"}})},
                          kCOTDMarker);
        res.writeCategory(2, {theme("solo.jpg", {{kAlignmentKey, "center"}})});
    }

    TempResources res;
    FakeThemeFeed feed;
    AppState state;
    ThemeCatalogue catalogue{res.root(), feed, &state};
};

TEST_F(ThemeCatalogueTest, FirstLoadAppliesTheFirstThemeOfCategoryZero) {
    const auto settings = catalogue.fetchThemeData();
    ASSERT_TRUE(settings);
    EXPECT_EQ(settings->categoryNumber, 0);
    EXPECT_EQ(settings->themeIndex, 0);
    EXPECT_EQ(settings->themeImageName, "white.jpg");
    EXPECT_EQ(settings->background, ThemeImageRef::resource("white.jpg"));
    EXPECT_TRUE(settings->photoEnabled);
    EXPECT_EQ(settings->bottomImage, ThemeImageRef::resource("bottom.png"));
    EXPECT_EQ(settings->textStyle.fontAlignment, TextAlignment::Right);
    EXPECT_EQ(catalogue.appliedSettings(), settings);
    EXPECT_EQ(catalogue.categoryMarker(), "");
    // Not the theme-of-the-day category: the feed is not asked.
    EXPECT_EQ(feed.recordRequests, 0);
}

TEST_F(ThemeCatalogueTest, LowerCaseYesGivesNoSlotAndAlignmentCarriesOver) {
    ASSERT_TRUE(catalogue.fetchThemeData());
    const ThemeSelection second = catalogue.doTheWorkForThemeBtnSelect(themeButtonTag(0, 1));
    ASSERT_TRUE(second.selected);
    ASSERT_TRUE(second.applied);
    EXPECT_FALSE(second.applied->photoEnabled);
    EXPECT_EQ(second.applied->bottomImage, ThemeImageRef::none());
    EXPECT_EQ(second.applied->textStyle.fontAlignment, TextAlignment::Right);
}

TEST_F(ThemeCatalogueTest, TappingTheAppliedThemeDoesNothing) {
    ASSERT_TRUE(catalogue.doTheWorkForThemeBtnSelect(themeButtonTag(0, 1)).applied);
    std::filesystem::remove(res.categoryPath(0));  // a re-read would now fail
    const ThemeSelection again = catalogue.doTheWorkForThemeBtnSelect(themeButtonTag(0, 1));
    EXPECT_FALSE(again.selected);
    EXPECT_FALSE(again.applied);
    EXPECT_EQ(catalogue.appliedSettings()->themeImageName, "black.jpg");
}

TEST_F(ThemeCatalogueTest, SelectingACategoryAppliesItsFirstTheme) {
    ASSERT_TRUE(catalogue.fetchThemeData());
    const CategorySelection sel = catalogue.actionCategoryBtnSelect(categoryButtonTag(2));
    EXPECT_TRUE(sel.categoryChanged);
    EXPECT_EQ(sel.deselectedIndicatorTag, 600);
    EXPECT_EQ(sel.selectedIndicatorTag, 602);
    ASSERT_TRUE(sel.firstTheme.applied);
    EXPECT_EQ(sel.firstTheme.applied->themeImageName, "solo.jpg");
    EXPECT_EQ(sel.firstTheme.applied->textStyle.fontAlignment, TextAlignment::Center);
    EXPECT_TRUE(sel.highlightVisible);
    EXPECT_FALSE(sel.currentThemeIsCOTD);
    EXPECT_EQ(catalogue.themeIdx(), themeButtonTag(2, 0));
    EXPECT_EQ(catalogue.currentCategoryIdx(), categoryButtonTag(2));
}

TEST_F(ThemeCatalogueTest, AMissingCategoryAppliesNothingAndKeepsTheMarker) {
    catalogue.actionCategoryBtnSelect(categoryButtonTag(1));
    ASSERT_EQ(catalogue.categoryMarker(), kCOTDMarker);
    const auto before = catalogue.appliedSettings();

    const CategorySelection sel = catalogue.actionCategoryBtnSelect(categoryButtonTag(3));
    EXPECT_TRUE(sel.categoryChanged);
    EXPECT_FALSE(sel.firstTheme.selected);
    EXPECT_FALSE(sel.highlightVisible);
    EXPECT_EQ(catalogue.appliedSettings(), before);
    // The previous marker stays, and with it the theme of the day.
    EXPECT_EQ(catalogue.categoryMarker(), kCOTDMarker);
    EXPECT_TRUE(sel.currentThemeIsCOTD);
    EXPECT_FALSE(catalogue.fetchThemeData());
    EXPECT_TRUE(catalogue.themeButtonImages(3).empty());
}

TEST_F(ThemeCatalogueTest, AThemeOutsideItsCategoryIsNotApplied) {
    catalogue.setThemeIdx(themeButtonTag(0, 2));
    EXPECT_FALSE(catalogue.fetchThemeData());
    catalogue.setThemeIdx(themeButtonTag(1, 0));  // negative index in category 0
    EXPECT_FALSE(catalogue.fetchThemeData());
    EXPECT_FALSE(catalogue.appliedSettings());
}

TEST_F(ThemeCatalogueTest, ThemeOfTheDayWithAFeedRecord) {
    feed.record = theme("feed.jpg", {{kPhotoEnabledKey, "YES"}, {kFontNameKey, "Feed Font"}});
    const CategorySelection sel = catalogue.actionCategoryBtnSelect(categoryButtonTag(1));
    ASSERT_TRUE(sel.firstTheme.applied);
    const ThemeSettings& s = *sel.firstTheme.applied;
    EXPECT_TRUE(s.recordFromFeed);
    EXPECT_EQ(s.themeImageName, "COTD");
    EXPECT_EQ(s.textStyle.fontName, "Feed Font");
    EXPECT_EQ(s.background, ThemeImageRef::feed(Source::FeedThemeImage));
    EXPECT_EQ(s.bottomImage, ThemeImageRef::feed(Source::FeedBottomImage));
    EXPECT_TRUE(sel.currentThemeIsCOTD);
    EXPECT_TRUE(state.currentThemeIsCOTD());
    EXPECT_EQ(feed.loadRequests, 1);
    EXPECT_EQ(catalogue.imageFor(s.background)->width(), 5);
    EXPECT_EQ(catalogue.imageFor(s.bottomImage)->width(), 7);
}

TEST_F(ThemeCatalogueTest, ThemeOfTheDayWithoutAFeedRecordUsesItsOwnItem) {
    const CategorySelection sel = catalogue.actionCategoryBtnSelect(categoryButtonTag(1));
    ASSERT_TRUE(sel.firstTheme.applied);
    const ThemeSettings& s = *sel.firstTheme.applied;
    EXPECT_FALSE(s.recordFromFeed);
    EXPECT_EQ(s.themeImageName, "COTD");
    EXPECT_EQ(s.textStyle.fontName, "Own Font");
    // Images still come from the feed, whatever it has.
    EXPECT_EQ(s.background, ThemeImageRef::feed(Source::FeedThemeImage));
    EXPECT_EQ(s.bottomImage, ThemeImageRef::feed(Source::FeedBottomImage));
}

TEST_F(ThemeCatalogueTest, TappingTheBrowsedCategoryAgainStillAsksTheFeed) {
    catalogue.actionCategoryBtnSelect(categoryButtonTag(1));
    const CategorySelection again = catalogue.actionCategoryBtnSelect(categoryButtonTag(1));
    EXPECT_FALSE(again.categoryChanged);
    EXPECT_FALSE(again.firstTheme.selected);
    EXPECT_TRUE(again.currentThemeIsCOTD);
    EXPECT_TRUE(again.highlightVisible);
    EXPECT_EQ(feed.loadRequests, 2);

    catalogue.actionCategoryBtnSelect(categoryButtonTag(0));
    EXPECT_FALSE(state.currentThemeIsCOTD());
    EXPECT_EQ(feed.loadRequests, 2);
}

TEST_F(ThemeCatalogueTest, BeforeAnySelectionTheEmptyMarkerPicksTheBundledBottomImage) {
    // Category 0 as the theme-of-the-day category, applied at load.
    res.writeCategory(
        0, {theme("own.jpg", {{kPhotoEnabledKey, "YES"}, {kBottomImageKey, "own_bottom.png"}})},
        kCOTDMarker);
    feed.record = theme("feed.jpg", {{kPhotoEnabledKey, "YES"}, {kBottomImageKey, "feed.png"}});
    const auto s = catalogue.fetchThemeData();
    ASSERT_TRUE(s);
    EXPECT_TRUE(s->recordFromFeed);
    EXPECT_EQ(s->themeImageName, "COTD");
    EXPECT_EQ(s->bottomImage, ThemeImageRef::resource("feed.png"));
    EXPECT_EQ(s->background, ThemeImageRef::resource("COTD"));
}

TEST_F(ThemeCatalogueTest, ButtonImagesFollowTheFilesMarker) {
    EXPECT_EQ(catalogue.themeButtonImages(0),
              (std::vector<ThemeImageRef>{ThemeImageRef::resource("thumb_white.jpg"),
                                          ThemeImageRef::none()}));
    EXPECT_EQ(catalogue.themeButtonImages(1),
              (std::vector<ThemeImageRef>{ThemeImageRef::feed(Source::FeedThumb)}));
}

TEST_F(ThemeCatalogueTest, ResourceImagesAreFoundByNameInsideTheImagesFolder) {
    res.writeImage("white.jpg", 4);
    res.writeImage("thumb.png", 2);
    EXPECT_EQ(catalogue.imageFor(ThemeImageRef::resource("white.jpg"))->width(), 4);
    EXPECT_EQ(catalogue.imageFor(ThemeImageRef::resource("thumb"))->width(), 2);
    EXPECT_FALSE(catalogue.imageFor(ThemeImageRef::resource("missing.jpg")));
    EXPECT_FALSE(catalogue.imageFor(ThemeImageRef::resource("../images/white.jpg")));
    EXPECT_FALSE(catalogue.imageFor(ThemeImageRef::none()));
    res.writeText(res.root() / kImagesFolder / "broken.jpg", "not a jpeg");
    EXPECT_FALSE(catalogue.imageFor(ThemeImageRef::resource("broken.jpg")));
}

// The command line chooses a theme through the same taps as the editor:
// the theme of the day comes with the feed's images, not a file "COTD".
TEST_F(ThemeCatalogueTest, SelectingAsTappedGoesThroughTheCategory) {
    struct Case {
        int category, index;
        std::optional<std::string> imageName;  // nullopt: nothing there
        ThemeImageRef background;
    };
    const Case cases[] = {
        {0, 0, "white.jpg", ThemeImageRef::resource("white.jpg")},
        {0, 1, "black.jpg", ThemeImageRef::resource("black.jpg")},
        {1, 0, "COTD", ThemeImageRef::feed(Source::FeedThemeImage)},
        {2, 0, "solo.jpg", ThemeImageRef::resource("solo.jpg")},
        {2, 1, std::nullopt, {}},
        {3, 0, std::nullopt, {}},
    };
    for (const Case& k : cases) {
        FakeThemeFeed ownFeed;
        ThemeCatalogue fresh(res.root(), ownFeed);
        const std::optional<ThemeSettings> s = fresh.selectThemeAsTapped(k.category, k.index);
        ASSERT_EQ(s.has_value(), k.imageName.has_value()) << k.category << "/" << k.index;
        if (!s) continue;
        EXPECT_EQ(s->themeImageName, *k.imageName);
        EXPECT_EQ(s->background, k.background);
        EXPECT_EQ(fresh.appliedSettings(), s);
        EXPECT_EQ(ownFeed.loadRequests, k.category == 1 ? 1 : 0);
        if (k.category == 1) {
            EXPECT_EQ(s->bottomImage, ThemeImageRef::feed(Source::FeedBottomImage));
        }
    }
}

TEST(FallbackThemeFeed, AnswersLikeAFeedWithoutData) {
    TempResources res;
    FallbackThemeFeed feed(res.root());
    EXPECT_FALSE(feed.getCOTDThumbIfAvailable());
    res.writeImage(kCOTDFallbackImage, 6);
    res.writeImage(kCOTDFallbackThumb, 3);
    feed.loadTheCOTDimages();
    EXPECT_FALSE(feed.getCOTDThemeDictIfAvailable());
    EXPECT_EQ(feed.getCOTDThemeImageIfAvailable()->width(), 6);
    EXPECT_EQ(feed.getCOTDThemeBottomImageIfAvailable()->width(), 6);
    EXPECT_EQ(feed.getCOTDThumbIfAvailable()->width(), 3);
}

}  // namespace
}  // namespace qp
