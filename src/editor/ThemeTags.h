#pragma once
// Tag numbers by which the editor addresses categories and themes: the
// category buttons, their selection indicators and the theme buttons.

namespace qp {

inline constexpr int kCategoryButtonTagBase = 500;
inline constexpr int kCategoryIndicatorTagBase = 600;
inline constexpr int kThemeButtonTagBase = 1000;
inline constexpr int kThemesPerCategory = 50;
// Category numbers stay below 100 so button tags never reach the indicators'.
inline constexpr int kMaxCategories = 100;
// The category strip's clearing pass removes views tagged in this range.
inline constexpr int kCategoryStripFirstTag = 500;
inline constexpr int kCategoryStripLastTag = 748;

constexpr int categoryButtonTag(int category) {
    return kCategoryButtonTagBase + category;
}
constexpr int categoryIndicatorTag(int category) {
    return kCategoryIndicatorTagBase + category;
}
constexpr int themeButtonTag(int category, int theme) {
    return kThemeButtonTagBase + kThemesPerCategory * category + theme;
}
constexpr int categoryFromButtonTag(int tag) {
    return tag - kCategoryButtonTagBase;
}
// The index of a theme within `category` from its button tag; outside
// 0..49 when the tag belongs to no theme of that category.
constexpr int themeIndexFromTag(int tag, int category) {
    return tag - kThemeButtonTagBase - kThemesPerCategory * category;
}

}  // namespace qp
