#include "editor/COTDThemeFeed.h"

#include "feed/COTDHandler.h"

namespace qp {

std::optional<ThemeRecord> COTDThemeFeed::getCOTDThemeDictIfAvailable() {
    std::optional<PlistDictionary> record = m_handler.getCOTDThemeDictIfAvailable();
    if (!record) return std::nullopt;
    return ThemeRecord::fromPlist(PlistValue(std::move(*record)));
}

std::optional<Image> COTDThemeFeed::getCOTDThumbIfAvailable() {
    return m_handler.getCOTDThumbIfAvailable();
}

std::optional<Image> COTDThemeFeed::getCOTDThemeImageIfAvailable() {
    return m_handler.getCOTDThemeImageIfAvailable();
}

std::optional<Image> COTDThemeFeed::getCOTDThemeBottomImageIfAvailable() {
    return m_handler.getCOTDThemeBottomImageIfAvailable();
}

void COTDThemeFeed::loadTheCOTDimages() {
    m_handler.loadTheCOTDimages();
}

}  // namespace qp
