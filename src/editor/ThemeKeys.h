#pragma once
// The fixed names of the theme catalogue: category files, their keys, the
// theme record's keys and the bundled fallback images.

namespace qp {

// Category files live in resources/categories/ as "category_%02d.plist".
inline constexpr const char* kCategoryFileFormat = "category_%02d.plist";
inline constexpr const char* kCategoriesFolder = "categories";
// Theme art and interface images live in resources/images/.
inline constexpr const char* kImagesFolder = "images";

// Category file keys.
inline constexpr const char* kThemeItemsKey = "theme items";
inline constexpr const char* kCategoryMarkerKey = "category marker";
// A display name for listings; not read by the editor.
inline constexpr const char* kCategoryNameKey = "category name";
// The marker value of the theme-of-the-day category.
inline constexpr const char* kCOTDMarker = "COTD";

// Theme record keys (the feed's records use them too).
inline constexpr const char* kThumbImageKey = "thumb image";
inline constexpr const char* kImageKey = "image";
inline constexpr const char* kPhotoEnabledKey = "photo enabled";
inline constexpr const char* kBottomImageKey = "bottom image";
inline constexpr const char* kFontNameKey = "font name";
inline constexpr const char* kFontColorKey = "font color";
inline constexpr const char* kDefaultFontSizeKey = "default font size";
inline constexpr const char* kMinMaxFontSizeKey = "min-max font size";
inline constexpr const char* kAlignmentKey = "alignment";
inline constexpr const char* kTextBoxCornersKey = "text box corners";
// The halo that keeps the message readable over a photo: its width in
// percent of the font size; "0" (or no number) turns it off.
inline constexpr const char* kTextHaloKey = "text halo";
// A display name for listings; not read by the editor.
inline constexpr const char* kThemeNameKey = "theme name";
// What lies behind the photo: "blurred photo" is the user's photo itself,
// covering the square and blurred; absent (or anything else), the "image".
inline constexpr const char* kBackgroundKey = "background";
inline constexpr const char* kBackgroundBlurredPhoto = "blurred photo";

inline constexpr const char* kPhotoEnabledYes = "YES";
inline constexpr const char* kAlignmentLeft = "left";
inline constexpr const char* kAlignmentCenter = "center";
inline constexpr const char* kAlignmentRight = "right";

// The theme-of-the-day category's applied theme is always named this.
inline constexpr const char* kCOTDThemeName = "COTD";

// Images that stand in for the feed's until it has its own.
inline constexpr const char* kCOTDFallbackImage = "COTD.jpg";
inline constexpr const char* kCOTDFallbackThumb = "thumb_COTD.jpg";

// Interface images the screens name.
inline constexpr const char* kSliderBarImage = "sliderbar.png";
inline constexpr const char* kSliderThumbImage = "sliderThumb.png";
inline constexpr const char* kCategorySelectedImage = "category_selected.png";
inline constexpr const char* kCategoryNotSelectedImage = "category_notselected.png";

// Side of the preview square in points.
inline constexpr double kPreviewSidePhone = 306;
inline constexpr double kPreviewSideTablet = 482;

}  // namespace qp
