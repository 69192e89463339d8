#pragma once
// The editor's theme catalogue: which category is browsed, which theme is
// applied, and turning the addressed theme record into ThemeSettings. Runs
// on the main thread; category files are read afresh on every use.

#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "editor/ThemeCategory.h"
#include "editor/ThemeSettings.h"
#include "editor/ThemeTags.h"
#include "imaging/Image.h"

namespace qp {

class AppState;
class ThemeFeed;

// What selecting a theme button did.
struct ThemeSelection {
    // False when the button was the applied theme's: nothing happened.
    bool selected = false;
    // The theme applied, or nullopt when its record could not be read.
    std::optional<ThemeSettings> applied;
};

// What selecting a category button did; the screen mirrors it.
struct CategorySelection {
    // False when the button was the browsed category's: the strip stays.
    bool categoryChanged = false;
    int deselectedIndicatorTag = 0;  // shows "category_notselected.png"
    int selectedIndicatorTag = 0;    // shows "category_selected.png"
    // The first theme's selection (when the category has a theme button).
    ThemeSelection firstTheme;
    // The highlight view shows only while the browsed category is the
    // applied theme's.
    bool highlightVisible = false;
    bool currentThemeIsCOTD = false;
    bool askedFeedToLoad = false;
};

class ThemeCatalogue {
public:
    // `feed` must outlive the catalogue; `state` may be null (no app state).
    ThemeCatalogue(std::filesystem::path resources, ThemeFeed& feed, AppState* state = nullptr);

    // Tags of the browsed category, the applied theme's category and the
    // applied theme's button; all start at the first theme of category 0.
    int categoryIdx() const { return m_categoryIdx; }
    void setCategoryIdx(int tag) { m_categoryIdx = tag; }
    int currentCategoryIdx() const { return m_currentCategoryIdx; }
    void setCurrentCategoryIdx(int tag) { m_currentCategoryIdx = tag; }
    int themeIdx() const { return m_themeIdx; }
    void setThemeIdx(int tag) { m_themeIdx = tag; }
    // The browsed category's marker; empty until the first category selection.
    const std::string& categoryMarker() const { return m_categoryMarker; }

    // Applies the theme addressed by categoryIdx and themeIdx. Nullopt when
    // the category file cannot be read or holds no such theme: the settings
    // applied before stay in force.
    std::optional<ThemeSettings> fetchThemeData();
    // New theme-of-the-day images or record have come: when the applied
    // theme is the theme of the day, its settings read afresh (whatever
    // category is being browsed); otherwise nullopt and nothing changes.
    std::optional<ThemeSettings> refetchAppliedThemeOfTheDay();
    // Whether the category of a category button tag is the theme of the day.
    bool isThemeOfTheDayCategory(int categoryTag) const;
    // The settings last applied, if any.
    const std::optional<ThemeSettings>& appliedSettings() const { return m_applied; }

    // A theme button was tapped: applies its theme unless it is the
    // applied one.
    ThemeSelection doTheWorkForThemeBtnSelect(int tag);
    // A category button was tapped: browses it, applies its first theme and
    // tells the app state and the feed whether the theme of the day is on.
    CategorySelection actionCategoryBtnSelect(int tag);

    // Theme `index` of `category` chosen as a user does on a freshly loaded
    // editor: the theme addressed at load applied, then the category's
    // button tapped, then the theme's. So the browsed category's marker is
    // read, and the theme of the day gets the feed's background and bottom
    // image. Answers the theme then applied, or nullopt when that category
    // or theme cannot be read (the selection may have moved all the same).
    std::optional<ThemeSettings> selectThemeAsTapped(int category, int index);

    // The images of the theme strip's buttons for `category`, one per theme:
    // the feed's thumbnail for every button of the theme-of-the-day
    // category. Empty when the file cannot be read.
    std::vector<ThemeImageRef> themeButtonImages(int category) const;

    // The picture behind a reference: a bundled file or the feed's image.
    std::optional<Image> imageFor(const ThemeImageRef& ref) const;

    std::optional<ThemeCategory> readCategory(int category) const;
    const std::filesystem::path& resources() const { return m_resources; }

private:
    std::filesystem::path m_resources;
    ThemeFeed& m_feed;
    AppState* m_state;

    int m_categoryIdx = categoryButtonTag(0);
    int m_currentCategoryIdx = categoryButtonTag(0);
    int m_themeIdx = themeButtonTag(0, 0);
    std::string m_categoryMarker;
    std::optional<ThemeSettings> m_applied;
};

}  // namespace qp
