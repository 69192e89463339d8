#include "editor/ResourceImages.h"
#include "editor/ThemeFeed.h"
#include "editor/ThemeKeys.h"

namespace qp {

FallbackThemeFeed::FallbackThemeFeed(std::filesystem::path resources)
    : m_resources(std::move(resources)) {}

std::optional<ThemeRecord> FallbackThemeFeed::getCOTDThemeDictIfAvailable() {
    return std::nullopt;
}

std::optional<Image> FallbackThemeFeed::getCOTDThumbIfAvailable() {
    return resourceImageNamed(m_resources, kCOTDFallbackThumb);
}

std::optional<Image> FallbackThemeFeed::getCOTDThemeImageIfAvailable() {
    return resourceImageNamed(m_resources, kCOTDFallbackImage);
}

std::optional<Image> FallbackThemeFeed::getCOTDThemeBottomImageIfAvailable() {
    return resourceImageNamed(m_resources, kCOTDFallbackImage);
}

void FallbackThemeFeed::loadTheCOTDimages() {}

}  // namespace qp
