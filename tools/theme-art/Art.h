#pragma once
// The bundled catalogue as the generator knows it, and the drawing entry
// points. All pictures are drawn at their final pixel size.
//
// A photo is fitted whole into the square: its longer side spans it. So the
// art's centre is always covered, a 3:2 landscape leaves a band of 102 result
// pixels free above and below it (76.5 for 4:3), a 2:3 portrait the same on
// the left and right, and the four corners stay free with either. The art
// keeps its features in those margins and the message's box in the bottom
// (or top) band a 4:3 landscape leaves free.

#include <QImage>
#include <QPainter>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace art {

// Theme art side in pixels: the 482-point tablet preview at two-fold scale
// is 964 pixels, so the art is never enlarged.
inline constexpr int kArtSide = 964;
// Theme buttons are 144 points on a tablet: 288 pixels at two-fold scale.
inline constexpr int kThumbSide = 288;
// The result's side. Text boxes, and the painters' own drawing (see
// inResultUnits), are in these units.
inline constexpr double kUnits = 612;
// The free band above and below a fitted landscape, in result units.
inline constexpr double kBand3x2 = kUnits / 6;  // 102
inline constexpr double kBand4x3 = kUnits / 8;  // 76.5

using Painter = std::function<void(QPainter&, int side)>;

struct ThemeArt {
    std::string id;    // file stem of "<id>.jpg" and "thumb_<id>.jpg"
    std::string name;  // shown in listings
    Painter paint;
    std::string bottom;  // bottom image file
    std::string font;
    std::string colour;  // "r,g,b"
    std::string defaultSize;
    std::string minMax;
    std::string alignment;
    std::string corners;  // x1,y1,x2,y2 in the 612-pixel result
    // "blurred photo": the photo itself, blurred, lies behind it once placed
    // (the art shows until then); empty: the art.
    std::string background = {};
};

struct CategoryArt {
    std::string name;
    std::string marker;
    std::vector<ThemeArt> themes;
};

std::vector<CategoryArt> catalogue();

// Bottom images: transparent squares with a placeholder photo where a photo
// of that shape lands at the fit.
struct BottomArt {
    std::string file;
    double aspect;  // width / height of the placeholder
};
std::vector<BottomArt> bottomImages();
QImage drawBottom(const BottomArt& bottom);

QImage drawTheme(const Painter& paint, int side);
QImage drawThumb(const QImage& background, const QImage& bottom);
QImage drawCOTD(int side);
QImage drawSamplePhoto();  // upright, 1200 x 1600

// The application icon (Icon.cpp): `side` pixels square, and the same
// drawing as an SVG document.
QImage drawIcon(int side);
std::string iconSvg();

// Interface images keyed by file name.
std::vector<std::pair<std::string, QImage>> interfaceImages();

// The interface's icon set (InterfaceIcons.cpp), keyed by file name: light
// line drawings for the screens' buttons, transparent around them.
std::vector<std::pair<std::string, QImage>> interfaceIcons();
// A photo fitted whole into a theme, as the editor first shows it: the start
// screen's sample composition.
QImage drawSampleComposition(const Painter& theme, const QImage& photo, int side);

// Runs `draw` with the painter scaled so that the square is kUnits wide.
Painter inResultUnits(std::function<void(QPainter&)> draw);

// Background painters (Backgrounds.cpp).
Painter solid(QColor colour);
Painter linearGradient(QColor top, QColor bottom, double angleDegrees);
Painter radialGradient(QColor centre, QColor edge);
Painter nightSky();
Painter stripes(QColor base, QColor stripe, int count, double angleDegrees);
Painter dots(QColor base, QColor dot, int perRow);
Painter gingham(QColor base, QColor check, int count);
Painter chevrons(QColor base, QColor stripe, int count);
Painter grid(QColor base, QColor line, int count);
Painter confetti(QColor base, std::uint64_t seed);
Painter paper(QColor base, double grain, std::uint64_t seed);
Painter linedNotebook();
Painter graphPaper();
Painter watercolour(QColor wash, std::uint64_t seed);
// Large soft blobs of colour, as an out-of-focus photo looks.
Painter softFocus(std::uint64_t seed);
// A plain caption strip across the bottom band over `pattern`, so the
// message never sits on a busy pattern.
Painter withCaptionStrip(Painter pattern, QColor strip, QColor trim);

// Keepsakes (Keepsakes.cpp): decoration that lives in the margins a
// whole photo leaves, at the corners and along the edges.
Painter goldCorners();
Painter woodTable();
Painter printStack();
Painter filmStrip();
Painter airmail();
Painter stageLight();

// Category files (CategoryFiles.cpp): XML property lists.
std::string categoryPlist(const CategoryArt& category, bool cotd);
// One <key> and its <string> value, escaped, each line after `indent`.
void plistEntry(std::string& out, const std::string& indent, const std::string& key,
                const std::string& value);

// The sample theme-of-the-day feed (FeedSample.cpp) for resources/feed-sample/:
// a few looks that the month's 31 days take in turn and one for the special
// days, and the feed's three property lists, whose URLs name the sample
// server at kFeedSampleBase (scripts/serve-feed-sample puts its own port in).
inline constexpr const char* kFeedSampleBase = "http://127.0.0.1:8080";
std::vector<ThemeArt> feedSampleLooks();
ThemeArt feedSampleSpecialLook();
// The bottom image every sample record names.
BottomArt feedSampleBottom();
std::string feedRevisionPlist();
std::string feedMonthPlist();
std::string feedSpecialDayPlist();

// Sample photos for the contact sheet (SamplePhotos.cpp): a dark 3:2
// landscape, a pale 2:3 portrait and a busy square, upright.
struct SamplePhoto {
    std::string file;  // "landscape.jpg", ...
    QImage image;
};
std::vector<SamplePhoto> samplePhotos();

// The contact sheet (ContactSheet.cpp): for every theme of the catalogue,
// the results `<folder>/<category>_<index>/<sample stem>-square.jpg` side by
// side under a label. Null when a result is missing.
QImage drawContactSheet(const std::vector<CategoryArt>& all, const std::string& folder,
                        std::string& missing);

}  // namespace art
