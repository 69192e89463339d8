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

void entry(std::string& out, const std::string& indent, const std::string& key,
           const std::string& value) {
    out += indent + "<key>" + escape(key) + "</key>\n";
    out += indent + "<string>" + escape(value) + "</string>\n";
}

}  // namespace

std::string categoryPlist(const CategoryArt& category, bool cotd) {
    std::string out =
        "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
        "<plist version=\"1.0\">\n<dict>\n";
    entry(out, "\t", "category marker", category.marker);
    entry(out, "\t", "category name", category.name);
    out += "\t<key>theme items</key>\n\t<array>\n";
    for (const ThemeArt& theme : category.themes) {
        const std::string image = cotd ? "COTD.jpg" : theme.id + ".jpg";
        const std::string thumb = cotd ? "thumb_COTD.jpg" : "thumb_" + theme.id + ".jpg";
        out += "\t\t<dict>\n";
        entry(out, "\t\t\t", "theme name", theme.name);
        entry(out, "\t\t\t", "thumb image", thumb);
        entry(out, "\t\t\t", "image", image);
        entry(out, "\t\t\t", "photo enabled", "YES");
        entry(out, "\t\t\t", "bottom image", theme.bottom);
        entry(out, "\t\t\t", "font name", theme.font);
        entry(out, "\t\t\t", "font color", theme.colour);
        entry(out, "\t\t\t", "default font size", theme.defaultSize);
        entry(out, "\t\t\t", "min-max font size", theme.minMax);
        entry(out, "\t\t\t", "alignment", theme.alignment);
        entry(out, "\t\t\t", "text box corners", theme.corners);
        if (!theme.background.empty()) {
            entry(out, "\t\t\t", "background", theme.background);
        }
        out += "\t\t</dict>\n";
    }
    out += "\t</array>\n</dict>\n</plist>\n";
    return out;
}

}  // namespace art
