#pragma once
// The fixed names of the theme-of-the-day feed: where the revision file lives
// on the feed's host, the keys of its files and of the settings, its console
// lines, its notification and its overlay title.

namespace qp {

// The revision file's path on the host named by the configuration.
inline constexpr const char* kCOTDRevisionFilePath = "/feed2/COTD%20latest%20revision.plist";

// Revision file keys. The two version keys also name the settings that
// remember which version of each theme file was fetched last.
inline constexpr const char* kMonthOfThemesVersionKey = "month of themes file - last update";
inline constexpr const char* kMonthOfThemesUrlKey = "month of themes file URL";
inline constexpr const char* kSpecialDayVersionKey = "specialday themes file - last update";
inline constexpr const char* kSpecialDayUrlKey = "specialday themes file URL";

// Theme file keys.
inline constexpr const char* kMonthOfThemeItemsKey = "month of theme items";
inline constexpr const char* kSpecialDayThemeItemsKey = "special day theme items";

// The feed's own keys of a theme record: absolute URLs of its three images.
inline constexpr const char* kImageUrlKey = "image URL";
inline constexpr const char* kBottomImageUrlKey = "bottom image URL";
inline constexpr const char* kThumbImageUrlKey = "thumb image URL";

// Settings: the day ("MM-dd") on which a revision file was last fetched.
inline constexpr const char* kDateCOTDLoadedKey = "DateCOTDloaded";
// What the settings hold before the first fetch.
inline constexpr const char* kNeverLoadedDate = "00-00";

// Images that ship with the app and stand in for the downloaded ones.
inline constexpr const char* kCOTDFallbackImageName = "COTD.jpg";
inline constexpr const char* kCOTDFallbackThumbName = "thumb_COTD.jpg";

// Posted on the main thread, with the feed as sender, once images are in.
inline constexpr const char* kNewCOTDImagesLoadedNotification = "new COTD images loaded";

// The progress overlay's title while images download.
inline constexpr const char* kLoadingContentTitle = "\nloading content";

// Console lines.
inline constexpr const char* kLogLoadTheCOTDdata = "-[COTDHandler loadTheCOTDdata]";
inline constexpr const char* kLogLoadTheCOTDimages = "-[COTDHandler loadTheCOTDimages]";
inline constexpr const char* kLogLoadTheLatestRevFile = "-[COTDHandler loadTheLatestRevFile]";
inline constexpr const char* kLogRevFileLoadedNowCheckVersions =
    "-[COTDHandler revFileLoadedNowCheckVersions]";
inline constexpr const char* kLogLoadCOTDimagesFromServer =
    "-[COTDHandler loadCOTDimagesFromServer]";
inline constexpr const char* kLogRevisionsFileFailed =
    "\u2022 \u2022 \u2022 could not load revisions file \u2022 \u2022 \u2022";
inline constexpr const char* kLogMonthFileFailed =
    "\u2022 \u2022 \u2022 could not load monthOfThemesPlist file \u2022 \u2022 \u2022";
inline constexpr const char* kLogSpecialDayFileFailed =
    "\u2022 \u2022 \u2022 could not load specialDayThemesPlist file \u2022 \u2022 \u2022";
inline constexpr const char* kLogImageUrlScrewedUp =
    "----- image URL is screwed up - NSURL returned NIL -----";
inline constexpr const char* kLogPlistFormat = "plist: {}";
inline constexpr const char* kLogRevisionLoadedFormat =
    "- revisions file loaded - set lastDateCOTDloaded: {}";
inline constexpr const char* kLogMonthAlreadyLoadedFormat =
    "--- monthOfThemesPlist already loaded for date: {}";
inline constexpr const char* kLogMonthLoadedFormat =
    "- monthOfThemesPlist loaded - set lastUpdateOfMOTfile: {}";
inline constexpr const char* kLogSpecialDayAlreadyLoadedFormat =
    "--- specialDayThemesPlist already loaded for date: {}";
inline constexpr const char* kLogSpecialDayLoadedFormat =
    "- specialDayThemesPlist loaded - set lastUpdateOfSDTfile: {}";
inline constexpr const char* kLogImageUrlFormat = "the image URL: {}";
inline constexpr const char* kLogNewImagesLoaded = "=== new images loaded ===";
inline constexpr const char* kLogReachableFormat =
    "\u2022\u2022\u2022 {} is reachable \u2022\u2022\u2022";
inline constexpr const char* kLogUnreachableFormat =
    "\u2022\u2022\u2022 {} is unreachable \u2022\u2022\u2022";
// The line of a single blank that follows most of the feed's lines.
inline constexpr const char* kLogBlankLine = " ";

}  // namespace qp
