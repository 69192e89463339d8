// The bundled categories and their themes: art, fonts, colours, sizes and
// text boxes (corners in the 612-pixel result).

#include "Art.h"

namespace art {

namespace {

const char* kBottomBand = "40,520,572,592";
const char* kTopBand = "40,20,572,92";

ThemeArt theme(std::string id, std::string name, Painter paint, std::string bottom,
               std::string font, std::string colour, std::string size, std::string minMax,
               std::string alignment, std::string corners) {
    return {std::move(id),        std::move(name),   std::move(paint), std::move(bottom),
            std::move(font),      std::move(colour), std::move(size),  std::move(minMax),
            std::move(alignment), std::move(corners)};
}

}  // namespace

std::vector<BottomArt> bottomImages() {
    return {{"bottom_landscape.png", 4.0 / 3.0},
            {"bottom_portrait.png", 3.0 / 4.0},
            {"bottom_square.png", 1.0}};
}

std::vector<CategoryArt> catalogue() {
    const std::string land = "bottom_landscape.png";
    const std::string port = "bottom_portrait.png";
    const std::string square = "bottom_square.png";
    return {
        {"Classic",
         "classic",
         {
             theme("classic_white", "Plain white", solid(Qt::white), land, "DejaVu Sans",
                   "40,40,40", "24", "12,48", "center", kBottomBand),
             theme("classic_black", "Plain black", solid(QColor(16, 16, 16)), land, "DejaVu Sans",
                   "245,245,245", "24", "12,48", "center", kBottomBand),
             theme("classic_grey", "Soft grey", solid(QColor(214, 214, 210)), port,
                   "Liberation Sans", "60,60,60", "22", "10,44", "left", kBottomBand),
             theme("classic_cream", "Cream", solid(QColor(246, 238, 218)), square,
                   "Liberation Serif", "92,64,40", "26", "14,52", "center", kTopBand),
             theme("classic_navy", "Navy", solid(QColor(24, 38, 74)), land, "Noto Sans",
                   "236,224,190", "24", "12,48", "right", kBottomBand),
             theme("classic_charcoal", "Charcoal", solid(QColor(52, 54, 58)), port,
                   "DejaVu Sans Mono", "250,200,80", "20", "10,36", "left", kTopBand),
         }},
        {"Gradients",
         "gradients",
         {
             theme("gradient_sunset", "Sunset",
                   linearGradient(QColor(255, 166, 77), QColor(222, 72, 128), 0), land,
                   "Noto Serif", "255,255,255", "28", "14,56", "center", kBottomBand),
             theme("gradient_ocean", "Ocean",
                   linearGradient(QColor(38, 176, 181), QColor(20, 40, 96), 0), port, "Noto Sans",
                   "255,255,255", "24", "12,48", "center", kTopBand),
             theme("gradient_mint", "Mint glow",
                   radialGradient(QColor(226, 255, 236), QColor(94, 196, 150)), square,
                   "DejaVu Sans", "20,80,60", "24", "12,48", "center", kBottomBand),
             theme("gradient_lavender", "Lavender",
                   linearGradient(QColor(236, 220, 255), QColor(140, 110, 200), 45), land,
                   "Liberation Serif", "60,30,90", "26", "12,50", "left", kBottomBand),
             theme("gradient_peach", "Peach",
                   radialGradient(QColor(255, 236, 220), QColor(246, 160, 130)), port,
                   "Noto Serif Display", "110,50,40", "30", "16,60", "center", "40,500,572,596"),
             theme("gradient_night", "Night sky", nightSky(), land, "DejaVu Serif", "255,244,200",
                   "24", "12,48", "right", kTopBand),
         }},
        {"Patterns",
         "patterns",
         {
             theme("pattern_stripes", "Candy stripes",
                   stripes(QColor(255, 255, 255), QColor(245, 190, 200), 18, 30), land,
                   "DejaVu Sans", "170,40,70", "24", "12,48", "center", kBottomBand),
             theme("pattern_dots", "Polka dots",
                   dots(QColor(30, 60, 110), QColor(250, 250, 240), 9), port, "Noto Sans",
                   "255,255,255", "24", "12,48", "center", kTopBand),
             theme("pattern_gingham", "Picnic gingham",
                   gingham(QColor(255, 255, 255), QColor(210, 40, 50), 16), square,
                   "Liberation Sans", "120,20,20", "22", "10,44", "center", kBottomBand),
             theme("pattern_chevrons", "Chevrons",
                   chevrons(QColor(250, 246, 236), QColor(60, 150, 160), 9), land,
                   "DejaVu Sans Mono", "30,60,70", "20", "10,40", "left", kBottomBand),
             theme("pattern_grid", "Blueprint",
                   grid(QColor(28, 82, 150), QColor(200, 225, 255, 150), 16), port,
                   "Liberation Mono", "230,240,255", "20", "10,40", "left", kTopBand),
             theme("pattern_confetti", "Confetti", confetti(QColor(255, 252, 245), 11), land,
                   "Noto Sans Display", "60,40,90", "28", "14,56", "center", kBottomBand),
         }},
        {"Paper",
         "paper",
         {
             theme("paper_kraft", "Kraft", paper(QColor(190, 150, 105), 0.35, 21), land,
                   "DejaVu Serif", "60,36,20", "24", "12,48", "center", kBottomBand),
             theme("paper_linen", "Linen", paper(QColor(236, 230, 216), 0.25, 22), port,
                   "Liberation Serif", "80,70,60", "24", "12,48", "right", kBottomBand),
             theme("paper_notebook", "Notebook", linedNotebook(), land, "DejaVu Sans Mono",
                   "30,50,120", "20", "10,36", "left", "80,540,590,600"),
             theme("paper_graph", "Graph paper", graphPaper(), square, "Liberation Mono",
                   "30,90,70", "20", "10,36", "left", kTopBand),
             theme("paper_parchment", "Parchment", paper(QColor(232, 214, 170), 0.45, 24), port,
                   "Noto Serif", "90,50,20", "28", "14,56", "center", kTopBand),
             theme("paper_watercolour", "Watercolour", watercolour(QColor(90, 150, 220), 25), land,
                   "Noto Serif Display", "40,60,110", "30", "16,60", "center", kBottomBand),
         }},
        {"Frames",
         "frames",
         {
             theme("frame_gold", "Gold frame",
                   frame(solid(QColor(250, 246, 236)), QColor(212, 175, 55), QColor(140, 105, 20),
                         0.07),
                   land, "Noto Serif", "110,80,20", "24", "12,44", "center", "60,500,552,560"),
             theme("frame_wood", "Wooden frame", woodFrame(), port, "DejaVu Serif", "80,50,30",
                   "24", "12,44", "center", "70,490,542,550"),
             theme("frame_polaroid", "Instant print", polaroid(), square, "DejaVu Sans", "50,50,60",
                   "26", "12,48", "center", "40,500,572,592"),
             theme("frame_film", "Film strip", filmStrip(), land, "DejaVu Sans Mono", "240,230,200",
                   "20", "10,36", "right", "50,470,562,530"),
             theme("frame_double", "Double line",
                   doubleLine(QColor(255, 255, 255), QColor(30, 30, 30)), port, "Liberation Serif",
                   "30,30,30", "24", "12,48", "center", "60,500,552,560"),
             theme("frame_rounded", "Rounded border",
                   roundedBorder(QColor(255, 250, 240), QColor(230, 120, 90)), square, "Noto Sans",
                   "200,90,60", "24", "12,48", "left", "60,500,552,560"),
         }},
        {"Theme of the day",
         "COTD",
         {
             // Stands in while the feed has no theme for today.
             theme("COTD", "Theme of the day", nullptr, "COTD.jpg", "DejaVu Sans", "255,255,255",
                   "26", "12,52", "center", kBottomBand),
         }},
    };
}

}  // namespace art
