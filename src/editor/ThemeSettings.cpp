#include "editor/ThemeSettings.h"

#include <algorithm>
#include <limits>
#include <optional>
#include <vector>

#include "editor/LeadingNumber.h"
#include "editor/ThemeKeys.h"
#include "editor/ThemeRecord.h"
#include "platform/Log.h"

namespace qp {

namespace {

void logMalformed(const std::string& themeName, const char* key, const std::string& value) {
    logf("theme catalogue: theme \"{}\": \"{}\" value \"{}\" has too few parts; read as absent",
         themeName, key, value);
}

template <typename T, typename Reader>
std::optional<std::vector<T>> numberList(const ThemeRecord& record, const char* key,
                                         std::size_t count, const std::string& themeName,
                                         Reader read) {
    const std::optional<std::string> text = record.value(key);
    if (!text) return std::nullopt;
    std::optional<std::vector<T>> values = read(*text, count);
    if (!values) logMalformed(themeName, key, *text);
    return values;
}

// The difference of two finite floats, kept finite.
float span(float from, float to) {
    const double d = static_cast<double>(to) - static_cast<double>(from);
    constexpr double kMax = std::numeric_limits<float>::max();
    return static_cast<float>(d > kMax ? kMax : d < -kMax ? -kMax : d);
}

}  // namespace

bool recordIsPhotoEnabled(const ThemeRecord& record) {
    return record.value(kPhotoEnabledKey) == std::optional<std::string>(kPhotoEnabledYes);
}

bool recordHasBlurredPhotoBackground(const ThemeRecord& record) {
    return record.value(kBackgroundKey) == std::optional<std::string>(kBackgroundBlurredPhoto);
}

TextStyle readTextStyle(const ThemeRecord& record, TextAlignment previousAlignment,
                        const std::string& themeName) {
    TextStyle style;
    style.fontName = record.value(kFontNameKey).value_or(std::string());

    if (auto colour =
            numberList<std::int32_t>(record, kFontColorKey, 3, themeName, leadingIntegers)) {
        style.fontRed = (*colour)[0];
        style.fontGreen = (*colour)[1];
        style.fontBlue = (*colour)[2];
    }
    if (const std::optional<std::string> size = record.value(kDefaultFontSizeKey)) {
        style.fontDefaultSize = leadingFloat(*size);
    }
    if (auto range = numberList<float>(record, kMinMaxFontSizeKey, 2, themeName, leadingFloats)) {
        style.fontMinSize = (*range)[0];
        style.fontMaxSize = (*range)[1];
    }

    style.fontAlignment = previousAlignment;
    if (const std::optional<std::string> word = record.value(kAlignmentKey)) {
        if (*word == kAlignmentLeft) style.fontAlignment = TextAlignment::Left;
        if (*word == kAlignmentCenter) style.fontAlignment = TextAlignment::Center;
        if (*word == kAlignmentRight) style.fontAlignment = TextAlignment::Right;
    }

    if (auto corners = numberList<float>(record, kTextBoxCornersKey, 4, themeName, leadingFloats)) {
        style.textBoxLeft = (*corners)[0];
        style.textBoxTop = (*corners)[1];
        style.textBoxWidth = span((*corners)[0], (*corners)[2]);
        style.textBoxHeight = span((*corners)[1], (*corners)[3]);
    }
    if (const std::optional<std::string> halo = record.value(kTextHaloKey)) {
        style.textHalo = std::clamp(leadingFloat(*halo), 0.0F, kLargestTextHalo);
    }
    return style;
}

}  // namespace qp
