// The sample theme-of-the-day feed: seven looks that the days of the month
// take in turn, one look for the special days, and the feed's property lists.

#include <string>

#include "Art.h"

namespace art {

namespace {

const char* kBottomBand = "36,540,576,604";
const char* kMonthVersion = "sample month 1";
const char* kSpecialDayVersion = "sample special days 1";

ThemeArt look(std::string id, std::string name, Painter paint, std::string font,
              std::string colour) {
    return {std::move(id),
            std::move(name),
            std::move(paint),
            "bottom_landscape.png",
            std::move(font),
            std::move(colour),
            "22",
            "12,40",
            "center",
            kBottomBand};
}

std::string url(const std::string& path) {
    return std::string(kFeedSampleBase) + path;
}

std::string plistHeader() {
    return "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
           "<plist version=\"1.0\">\n<dict>\n";
}

void record(std::string& out, const std::string& indent, const ThemeArt& theme,
            const std::string& name) {
    const std::string inner = indent + "\t";
    out += indent + "<dict>\n";
    plistEntry(out, inner, "theme name", name);
    plistEntry(out, inner, "image", theme.id + ".jpg");
    plistEntry(out, inner, "thumb image", "thumb_" + theme.id + ".jpg");
    plistEntry(out, inner, "photo enabled", "YES");
    plistEntry(out, inner, "bottom image", theme.bottom);
    plistEntry(out, inner, "font name", theme.font);
    plistEntry(out, inner, "font color", theme.colour);
    plistEntry(out, inner, "default font size", theme.defaultSize);
    plistEntry(out, inner, "min-max font size", theme.minMax);
    plistEntry(out, inner, "alignment", theme.alignment);
    plistEntry(out, inner, "text box corners", theme.corners);
    plistEntry(out, inner, "image URL", url("/art/" + theme.id + ".jpg"));
    plistEntry(out, inner, "bottom image URL", url("/art/" + feedSampleBottom().file));
    plistEntry(out, inner, "thumb image URL", url("/art/thumb_" + theme.id + ".jpg"));
    out += indent + "</dict>\n";
}

}  // namespace

std::vector<ThemeArt> feedSampleLooks() {
    return {
        look("cotd_confetti", "Confetti", confetti(QColor(250, 246, 236), 7), "Noto Sans",
             "60,40,90"),
        look("cotd_candy", "Candy stripes",
             withCaptionStrip(stripes(QColor(255, 255, 255), QColor(160, 220, 230), 16, -30),
                              QColor(255, 255, 255), QColor(40, 120, 140)),
             "DejaVu Sans", "30,90,110"),
        look("cotd_polka", "Polka", dots(QColor(250, 90, 90), QColor(255, 240, 230), 8),
             "Liberation Sans", "255,255,255"),
        look("cotd_picnic", "Picnic",
             withCaptionStrip(gingham(QColor(255, 255, 255), QColor(40, 120, 70), 14),
                              QColor(255, 255, 255), QColor(40, 120, 70)),
             "Liberation Serif", "30,80,50"),
        look("cotd_zigzag", "Zigzag", chevrons(QColor(40, 40, 60), QColor(250, 200, 60), 10),
             "DejaVu Sans", "255,255,255"),
        look("cotd_glow", "Glow", radialGradient(QColor(255, 236, 170), QColor(230, 110, 60)),
             "Noto Serif", "90,30,20"),
        look("cotd_wash", "Watercolour", watercolour(QColor(120, 150, 220), 11), "Noto Serif",
             "30,40,90"),
    };
}

ThemeArt feedSampleSpecialLook() {
    return look("cotd_special", "Celebration", goldCorners(), "Noto Serif", "120,90,20");
}

BottomArt feedSampleBottom() {
    return {"cotd_bottom.png", 3.0 / 2.0};
}

std::string feedRevisionPlist() {
    std::string out = plistHeader();
    plistEntry(out, "\t", "month of themes file - last update", kMonthVersion);
    plistEntry(out, "\t", "month of themes file URL", url("/themes/month.plist"));
    plistEntry(out, "\t", "specialday themes file - last update", kSpecialDayVersion);
    plistEntry(out, "\t", "specialday themes file URL", url("/themes/special-days.plist"));
    return out + "</dict>\n</plist>\n";
}

std::string feedMonthPlist() {
    const std::vector<ThemeArt> looks = feedSampleLooks();
    std::string out = plistHeader();
    out += "\t<key>month of theme items</key>\n\t<array>\n";
    for (int day = 1; day <= 31; ++day) {
        const ThemeArt& theme = looks[std::size_t(day - 1) % looks.size()];
        record(out, "\t\t", theme, "Day " + std::to_string(day) + ": " + theme.name);
    }
    return out + "\t</array>\n</dict>\n</plist>\n";
}

std::string feedSpecialDayPlist() {
    const ThemeArt special = feedSampleSpecialLook();
    std::string out = plistHeader();
    out += "\t<key>special day theme items</key>\n\t<dict>\n";
    for (const auto& [date, name] : {std::pair<const char*, const char*>{"01-01", "New Year"},
                                     {"02-14", "Valentine's Day"},
                                     {"10-31", "Halloween"},
                                     {"12-25", "Christmas"}}) {
        out += std::string("\t\t<key>") + date + "</key>\n";
        record(out, "\t\t", special, name);
    }
    return out + "\t</dict>\n</dict>\n</plist>\n";
}

}  // namespace art
