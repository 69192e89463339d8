#pragma once
// What the editor asks of the theme-of-the-day feed, and the stand-in that
// answers as the feed does before it has any data.

#include <filesystem>
#include <optional>

#include "editor/ThemeRecord.h"
#include "imaging/Image.h"

namespace qp {

// The feed's five operations, called on the main thread.
class ThemeFeed {
public:
    virtual ~ThemeFeed() = default;

    // Today's theme record, or nullopt: the editor then uses the category
    // file's own record.
    virtual std::optional<ThemeRecord> getCOTDThemeDictIfAvailable() = 0;
    // The image on every theme button of the theme-of-the-day category.
    virtual std::optional<Image> getCOTDThumbIfAvailable() = 0;
    // The background view's image.
    virtual std::optional<Image> getCOTDThemeImageIfAvailable() = 0;
    // The image in an empty photo slot.
    virtual std::optional<Image> getCOTDThemeBottomImageIfAvailable() = 0;
    // Starts loading today's images; the feed tells the editor when they are in.
    virtual void loadTheCOTDimages() = 0;
};

// No record, no loading, and the bundled images "COTD.jpg" (background and
// bottom image) and "thumb_COTD.jpg" (thumbnail), read on each call.
class FallbackThemeFeed : public ThemeFeed {
public:
    explicit FallbackThemeFeed(std::filesystem::path resources);

    std::optional<ThemeRecord> getCOTDThemeDictIfAvailable() override;
    std::optional<Image> getCOTDThumbIfAvailable() override;
    std::optional<Image> getCOTDThemeImageIfAvailable() override;
    std::optional<Image> getCOTDThemeBottomImageIfAvailable() override;
    void loadTheCOTDimages() override;

private:
    std::filesystem::path m_resources;
};

}  // namespace qp
