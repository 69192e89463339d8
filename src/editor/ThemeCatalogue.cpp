#include "editor/ThemeCatalogue.h"

#include <utility>

#include "editor/ResourceImages.h"
#include "editor/ThemeFeed.h"
#include "editor/ThemeKeys.h"
#include "platform/AppState.h"
#include "platform/Log.h"

namespace qp {

namespace {

// A short name for log lines about a record.
std::string recordLabel(const ThemeRecord& record, int category, int index) {
    if (auto name = record.value(kThemeNameKey)) return *name;
    if (auto image = record.value(kImageKey)) return *image;
    return fmt::format("category {} theme {}", category, index);
}

ThemeImageRef resourceOrNone(const std::optional<std::string>& name) {
    if (!name || name->empty()) return ThemeImageRef::none();
    return ThemeImageRef::resource(*name);
}

}  // namespace

ThemeCatalogue::ThemeCatalogue(std::filesystem::path resources, ThemeFeed& feed, AppState* state)
    : m_resources(std::move(resources)), m_feed(feed), m_state(state) {}

std::optional<ThemeCategory> ThemeCatalogue::readCategory(int category) const {
    return readThemeCategory(m_resources, category);
}

std::optional<ThemeSettings> ThemeCatalogue::fetchThemeData() {
    const int n = categoryFromButtonTag(m_categoryIdx);
    const std::optional<ThemeCategory> category = readCategory(n);
    if (!category) return std::nullopt;
    const int i = themeIndexFromTag(m_themeIdx, n);

    std::optional<ThemeRecord> record;
    bool fromFeed = false;
    if (category->isCOTD()) {
        record = m_feed.getCOTDThemeDictIfAvailable();
        fromFeed = record.has_value();
    }
    if (!record) {
        if (i < 0 || static_cast<std::size_t>(i) >= category->items.size()) {
            logf("theme catalogue: category {} has no theme {}", n, i);
            return std::nullopt;
        }
        record = category->items[static_cast<std::size_t>(i)];
    }

    ThemeSettings settings;
    settings.categoryNumber = n;
    settings.themeIndex = i;
    settings.recordFromFeed = fromFeed;
    settings.themeImageName =
        category->isCOTD() ? std::string(kCOTDThemeName) : record->value(kImageKey).value_or("");

    // The browsed category's marker, not the file's, picks the feed's
    // images: before the first category selection it is still empty.
    const bool browsingCOTD = m_categoryMarker == kCOTDMarker;
    settings.background = browsingCOTD ? ThemeImageRef::feed(ThemeImageRef::Source::FeedThemeImage)
                                       : resourceOrNone(settings.themeImageName);
    settings.backgroundIsBlurredPhoto = recordHasBlurredPhotoBackground(*record);
    settings.photoEnabled = recordIsPhotoEnabled(*record);
    if (settings.photoEnabled) {
        settings.bottomImage = browsingCOTD
                                   ? ThemeImageRef::feed(ThemeImageRef::Source::FeedBottomImage)
                                   : resourceOrNone(record->value(kBottomImageKey));
    }
    const TextAlignment previous =
        m_applied ? m_applied->textStyle.fontAlignment : TextAlignment::Left;
    settings.textStyle = readTextStyle(*record, previous, recordLabel(*record, n, i));

    m_applied = settings;
    return settings;
}

ThemeSelection ThemeCatalogue::doTheWorkForThemeBtnSelect(int tag) {
    if (tag == m_themeIdx) return {};
    m_themeIdx = tag;
    m_currentCategoryIdx = m_categoryIdx;
    return {true, fetchThemeData()};
}

CategorySelection ThemeCatalogue::actionCategoryBtnSelect(int tag) {
    CategorySelection result;
    if (tag != m_categoryIdx) {
        result.categoryChanged = true;
        result.deselectedIndicatorTag =
            m_categoryIdx + (kCategoryIndicatorTagBase - kCategoryButtonTagBase);
        m_categoryIdx = tag;
        const int n = categoryFromButtonTag(tag);
        const std::optional<ThemeCategory> category = readCategory(n);
        if (category) m_categoryMarker = category->marker;
        result.selectedIndicatorTag = categoryIndicatorTag(n);

        // Always apply the category's first theme, even if it was applied
        // before; a category without themes has no button to select.
        m_themeIdx = 0;
        if (category && !category->items.empty()) {
            result.firstTheme = doTheWorkForThemeBtnSelect(themeButtonTag(n, 0));
        }
    }
    result.highlightVisible = m_categoryIdx == m_currentCategoryIdx;

    result.currentThemeIsCOTD = m_categoryMarker == kCOTDMarker;
    if (m_state) m_state->setCurrentThemeIsCOTD(result.currentThemeIsCOTD);
    if (result.currentThemeIsCOTD) {
        m_feed.loadTheCOTDimages();
        result.askedFeedToLoad = true;
    }
    return result;
}

std::optional<ThemeSettings> ThemeCatalogue::selectThemeAsTapped(int category, int index) {
    if (!m_applied) fetchThemeData();
    actionCategoryBtnSelect(categoryButtonTag(category));
    doTheWorkForThemeBtnSelect(themeButtonTag(category, index));
    if (!m_applied || m_applied->categoryNumber != category || m_applied->themeIndex != index ||
        m_themeIdx != themeButtonTag(category, index)) {
        return std::nullopt;
    }
    return m_applied;
}

bool ThemeCatalogue::isThemeOfTheDayCategory(int categoryTag) const {
    const std::optional<ThemeCategory> category = readCategory(categoryFromButtonTag(categoryTag));
    return category && category->isCOTD();
}

std::optional<ThemeSettings> ThemeCatalogue::refetchAppliedThemeOfTheDay() {
    if (!isThemeOfTheDayCategory(m_currentCategoryIdx)) return std::nullopt;
    // Read as if the applied category were the browsed one, then put the
    // browsing back as it was.
    const int browsed = std::exchange(m_categoryIdx, m_currentCategoryIdx);
    const std::string marker = std::exchange(m_categoryMarker, kCOTDMarker);
    std::optional<ThemeSettings> settings = fetchThemeData();
    m_categoryIdx = browsed;
    m_categoryMarker = marker;
    return settings;
}

std::vector<ThemeImageRef> ThemeCatalogue::themeButtonImages(int category) const {
    std::vector<ThemeImageRef> images;
    const std::optional<ThemeCategory> file = readCategory(category);
    if (!file) return images;
    for (const ThemeRecord& record : file->items) {
        images.push_back(file->isCOTD() ? ThemeImageRef::feed(ThemeImageRef::Source::FeedThumb)
                                        : resourceOrNone(record.value(kThumbImageKey)));
    }
    return images;
}

std::optional<Image> ThemeCatalogue::imageFor(const ThemeImageRef& ref) const {
    switch (ref.source) {
        case ThemeImageRef::Source::None:
            return std::nullopt;
        case ThemeImageRef::Source::ResourceFile:
            return resourceImageNamed(m_resources, ref.fileName);
        case ThemeImageRef::Source::FeedThemeImage:
            return m_feed.getCOTDThemeImageIfAvailable();
        case ThemeImageRef::Source::FeedBottomImage:
            return m_feed.getCOTDThemeBottomImageIfAvailable();
        case ThemeImageRef::Source::FeedThumb:
            return m_feed.getCOTDThumbIfAvailable();
    }
    return std::nullopt;
}

}  // namespace qp
