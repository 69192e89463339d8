#pragma once
// The editor's settings for one applied theme: what the background view,
// the photo slot and the message text style take from the theme record. A
// plain value; the screen and the command-line composer apply it.

#include <cstdint>
#include <string>

#include "platform/Geometry.h"

namespace qp {

class ThemeRecord;

// Where an image the editor shows comes from.
struct ThemeImageRef {
    enum class Source {
        None,             // no image
        ResourceFile,     // `fileName` in resources/images/
        FeedThemeImage,   // the feed's getCOTDThemeImageIfAvailable
        FeedBottomImage,  // the feed's getCOTDThemeBottomImageIfAvailable
        FeedThumb,        // the feed's getCOTDThumbIfAvailable
    };
    Source source = Source::None;
    std::string fileName;

    static ThemeImageRef none() { return {}; }
    static ThemeImageRef resource(std::string name) {
        return {Source::ResourceFile, std::move(name)};
    }
    static ThemeImageRef feed(Source source) { return {source, {}}; }

    friend bool operator==(const ThemeImageRef&, const ThemeImageRef&) = default;
};

enum class TextAlignment : std::int32_t { Left = 0, Center = 1, Right = 2 };

// The message's halo when a theme does not set one: a band of the
// contrasting lightness around the glyphs a tenth of the font size wide.
inline constexpr float kDefaultTextHalo = 10;
// Wider halos swallow the letters' counters; "text halo" is held to this.
inline constexpr float kLargestTextHalo = 40;

// The message's style; sizes in points, the box in the units of the
// theme's corner values (the 612-pixel result for bundled themes).
struct TextStyle {
    std::string fontName;  // empty: none
    std::int32_t fontRed = 0;
    std::int32_t fontGreen = 0;
    std::int32_t fontBlue = 0;
    float fontDefaultSize = 0;
    float fontMinSize = 0;
    float fontMaxSize = 0;
    TextAlignment fontAlignment = TextAlignment::Left;
    float textBoxLeft = 0;
    float textBoxTop = 0;
    float textBoxWidth = 0;
    float textBoxHeight = 0;
    // Halo width in percent of the font size; 0 draws none.
    float textHalo = kDefaultTextHalo;

    Rect textBox() const { return {textBoxLeft, textBoxTop, textBoxWidth, textBoxHeight}; }
    friend bool operator==(const TextStyle&, const TextStyle&) = default;
};

struct ThemeSettings {
    int categoryNumber = 0;
    int themeIndex = 0;  // within the category
    // The record came from the feed rather than the category file.
    bool recordFromFeed = false;
    // The theme's "image" value, or "COTD" in the theme-of-the-day category;
    // names the theme in the share's usage event.
    std::string themeImageName;
    // What the background view shows once the theme is selected.
    ThemeImageRef background;
    // Once a photo is placed, the background is that photo, covering the
    // square and blurred; `background` shows until then.
    bool backgroundIsBlurredPhoto = false;
    // The theme has a photo slot. When it has and no user photo is placed,
    // the photo view shows `bottomImage` at (0, 0, S, S) with the placement
    // reset; a placed user photo is left untouched.
    bool photoEnabled = false;
    ThemeImageRef bottomImage;
    TextStyle textStyle;

    friend bool operator==(const ThemeSettings&, const ThemeSettings&) = default;
};

// The text style a record gives. Alignment words other than "left",
// "center" and "right" keep `previousAlignment`. "text halo" is read as a
// leading number held to 0…kLargestTextHalo; absent, the default halo. A
// number list with fewer parts than it needs (three colour parts, two
// sizes, four corners) is read as if the key were absent, and logged with
// `themeName`.
TextStyle readTextStyle(const ThemeRecord& record, TextAlignment previousAlignment,
                        const std::string& themeName = {});

// Whether the record has a photo slot: "photo enabled" is exactly "YES".
bool recordIsPhotoEnabled(const ThemeRecord& record);
// Whether the record's background is the blurred photo: "background" is
// exactly "blurred photo".
bool recordHasBlurredPhotoBackground(const ThemeRecord& record);

}  // namespace qp
