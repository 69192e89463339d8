#pragma once
// The bundled catalogue as the generator knows it, and the drawing entry
// points. All pictures are drawn at their final pixel size.

#include <QImage>
#include <QPainter>
#include <functional>
#include <string>
#include <vector>

namespace art {

// Theme art side in pixels: the 482-point tablet preview at two-fold scale
// is 964 pixels, so the art is never enlarged.
inline constexpr int kArtSide = 964;
// Theme buttons are 144 points on a tablet: 288 pixels at two-fold scale.
inline constexpr int kThumbSide = 288;

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
};

struct CategoryArt {
    std::string name;
    std::string marker;
    std::vector<ThemeArt> themes;
};

std::vector<CategoryArt> catalogue();

// Bottom images: transparent squares with a placeholder picture.
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

// Interface images keyed by file name.
std::vector<std::pair<std::string, QImage>> interfaceImages();

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
Painter frame(Painter inside, QColor outer, QColor inner, double width);
Painter woodFrame();
Painter polaroid();
Painter filmStrip();
Painter doubleLine(QColor base, QColor line);
Painter roundedBorder(QColor base, QColor border);

// Category files (CategoryFiles.cpp): XML property lists.
std::string categoryPlist(const CategoryArt& category, bool cotd);

}  // namespace art
