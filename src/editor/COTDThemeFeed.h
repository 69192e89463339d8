#pragma once
// The editor's theme feed answered by the downloaded theme of the day.

#include "editor/ThemeFeed.h"

namespace qp {

class COTDHandler;

class COTDThemeFeed final : public ThemeFeed {
public:
    // `handler` must outlive this feed.
    explicit COTDThemeFeed(COTDHandler& handler) : m_handler(handler) {}

    std::optional<ThemeRecord> getCOTDThemeDictIfAvailable() override;
    std::optional<Image> getCOTDThumbIfAvailable() override;
    std::optional<Image> getCOTDThemeImageIfAvailable() override;
    std::optional<Image> getCOTDThemeBottomImageIfAvailable() override;
    void loadTheCOTDimages() override;

private:
    COTDHandler& m_handler;
};

}  // namespace qp
