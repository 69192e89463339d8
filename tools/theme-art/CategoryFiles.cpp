// Writes a category as an XML property list.

#include <string>

#include "Art.h"

namespace art {

namespace {

std::string escape(const std::string& text) {
    std::string out;
    for (char c : text) {
        if (c == '&') {
            out += "&amp;";
        } else if (c == '<') {
            out += "&lt;";
        } else if (c == '>') {
            out += "&gt;";
        } else {
            out += c;
        }
    }
    return out;
}

}  // namespace

void plistEntry(std::string& out, const std::string& indent, const std::string& key,
                const std::string& value) {
    out += indent + "<key>" + escape(key) + "</key>\n";
    out += indent + "<string>" + escape(value) + "</string>\n";
}

std::string categoryPlist(const CategoryArt& category, bool cotd) {
    std::string out =
        "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
        "<plist version=\"1.0\">\n<dict>\n";
    plistEntry(out, "\t", "category marker", category.marker);
    plistEntry(out, "\t", "category name", category.name);
    out += "\t<key>theme items</key>\n\t<array>\n";
    for (const ThemeArt& theme : category.themes) {
        const std::string image = cotd ? "COTD.jpg" : theme.id + ".jpg";
        const std::string thumb = cotd ? "thumb_COTD.jpg" : "thumb_" + theme.id + ".jpg";
        out += "\t\t<dict>\n";
        plistEntry(out, "\t\t\t", "theme name", theme.name);
        plistEntry(out, "\t\t\t", "thumb image", thumb);
        plistEntry(out, "\t\t\t", "image", image);
        plistEntry(out, "\t\t\t", "photo enabled", "YES");
        plistEntry(out, "\t\t\t", "bottom image", theme.bottom);
        plistEntry(out, "\t\t\t", "font name", theme.font);
        plistEntry(out, "\t\t\t", "font color", theme.colour);
        plistEntry(out, "\t\t\t", "default font size", theme.defaultSize);
        plistEntry(out, "\t\t\t", "min-max font size", theme.minMax);
        plistEntry(out, "\t\t\t", "alignment", theme.alignment);
        plistEntry(out, "\t\t\t", "text box corners", theme.corners);
        if (!theme.background.empty()) {
            plistEntry(out, "\t\t\t", "background", theme.background);
        }
        out += "\t\t</dict>\n";
    }
    out += "\t</array>\n</dict>\n</plist>\n";
    return out;
}

}  // namespace art
