#pragma once
// What `quillpost compose` was asked to do, as parsed from its command line.

#include <optional>
#include <string>
#include <vector>

namespace qp {

struct ComposeOptions {
    std::vector<std::string> photos;
    std::string output;     // -o FILE: one photo only
    std::string outputDir;  // --out-dir DIR
    std::string theme;      // "CATEGORY/INDEX"; empty: the editor's first theme
    std::string device;     // a device profile name; empty: the default profile
    std::optional<double> zoom;
    std::optional<double> rotateDegrees;
    std::string move;  // "DX,DY" in result pixels
    bool mirror = false;
    bool keepExif = false;  // the photo's capture date and camera go into the result
    std::string message;
    std::optional<double> fontSize;
    std::string format;       // "jpeg" or "png" in any case; empty: from -o's name, else jpeg
    std::optional<int> size;  // the result's width in pixels; empty: 612
    std::string aspect;       // "W:H"; empty: 1:1
    std::string background;   // "blur" or "theme"; empty: the theme's own
    std::optional<int> jobs;  // photos composed at once; empty: one per core
    bool force = false;
    int maxInputMegabytes = 256;  // photo files above this are refused unread
    bool verbose = false;         // library warnings and the log on stderr
    // Where themes are read from; empty: found as the app finds them.
    std::string resources;
    // The configuration file (its feed_host serves the theme of the day);
    // empty: the default file.
    std::string configFile;
};

}  // namespace qp
