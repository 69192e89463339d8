// The bundled categories and their themes: art, fonts, colours, sizes and
// text boxes (corners in the 612-pixel result).

#include "Art.h"

namespace art {

namespace {

// The message's boxes live in the band a 4:3 landscape leaves free (76.5
// result units above and below it; 102 for 3:2), a little in from the edge.
const char* kBottomBand = "36,540,576,604";
const char* kTopBand = "36,8,576,72";

ThemeArt theme(std::string id, std::string name, Painter paint, std::string bottom,
               std::string font, std::string colour, std::string size, std::string minMax,
               std::string alignment, std::string corners) {
    return {std::move(id),        std::move(name),   std::move(paint), std::move(bottom),
            std::move(font),      std::move(colour), std::move(size),  std::move(minMax),
            std::move(alignment), std::move(corners)};
}

// The photo itself, blurred, behind the photo once one is placed.
ThemeArt blurredPhoto(ThemeArt look) {
    look.background = "blurred photo";
    return look;
}

}  // namespace

std::vector<BottomArt> bottomImages() {
    return {{"bottom_landscape.png", 3.0 / 2.0}, {"bottom_portrait.png", 2.0 / 3.0}};
}

std::vector<CategoryArt> catalogue() {
    const std::string land = "bottom_landscape.png";
    const std::string port = "bottom_portrait.png";
    // Sizes: two lines at the default size fill a standard box (Noto's
    // line spacing is wider, so its themes start smaller); one line at the
    // largest size fits it.
    return {
        {"Classic",
         "classic",
         {
             theme("classic_white", "Plain white", solid(Qt::white), land, "DejaVu Sans",
                   "40,40,40", "24", "12,48", "center", kBottomBand),
             theme("classic_black", "Plain black", solid(QColor(16, 16, 16)), land, "DejaVu Sans",
                   "245,245,245", "24", "12,48", "center", kBottomBand),
             theme("classic_grey", "Soft grey", solid(QColor(214, 214, 210)), port,
                   "Liberation Sans", "50,50,50", "26", "12,40", "left", kBottomBand),
             theme("classic_cream", "Cream", solid(QColor(246, 238, 218)), land, "Liberation Serif",
                   "92,64,40", "26", "12,40", "center", kTopBand),
             theme("classic_navy", "Navy", solid(QColor(24, 38, 74)), land, "Noto Sans",
                   "236,224,190", "22", "12,40", "right", kBottomBand),
             theme("classic_charcoal", "Charcoal", solid(QColor(52, 54, 58)), land,
                   "DejaVu Sans Mono", "250,200,80", "22", "10,36", "left", kTopBand),
             blurredPhoto(theme("classic_blur", "Blurred photo", softFocus(28), land, "DejaVu Sans",
                                "255,255,255", "24", "12,48", "center", kBottomBand)),
         }},
        {"Gradients",
         "gradients",
         {
             theme("gradient_sunset", "Sunset",
                   linearGradient(QColor(255, 166, 77), QColor(176, 40, 104), 0), land,
                   "Noto Serif", "255,255,255", "22", "12,40", "center", kBottomBand),
             theme("gradient_ocean", "Ocean",
                   linearGradient(QColor(38, 176, 181), QColor(20, 40, 96), 0), land, "Noto Sans",
                   "255,255,255", "22", "12,40", "center", kBottomBand),
             theme("gradient_mint", "Mint glow",
                   radialGradient(QColor(226, 255, 236), QColor(94, 196, 150)), land, "DejaVu Sans",
                   "10,60,44", "26", "12,40", "center", kBottomBand),
             theme("gradient_lavender", "Lavender",
                   linearGradient(QColor(236, 220, 255), QColor(170, 140, 220), 45), land,
                   "Liberation Serif", "44,16,70", "26", "12,40", "left", kBottomBand),
             theme("gradient_peach", "Peach",
                   radialGradient(QColor(255, 236, 220), QColor(246, 160, 130)), land,
                   "Noto Serif Display", "96,36,30", "22", "12,40", "center", kBottomBand),
             theme("gradient_night", "Night sky", nightSky(), land, "DejaVu Serif", "255,244,200",
                   "26", "12,40", "right", kTopBand),
         }},
        {"Patterns",
         "patterns",
         {
             theme("pattern_stripes", "Candy stripes",
                   withCaptionStrip(stripes(QColor(255, 255, 255), QColor(245, 190, 200), 18, 30),
                                    QColor(255, 255, 255), QColor(226, 120, 146)),
                   land, "DejaVu Sans", "170,40,70", "26", "12,40", "center", kBottomBand),
             theme("pattern_dots", "Polka dots",
                   withCaptionStrip(dots(QColor(30, 60, 110), QColor(250, 250, 240), 9),
                                    QColor(22, 44, 84), QColor(250, 250, 240)),
                   land, "Noto Sans", "255,255,255", "22", "12,40", "center", kBottomBand),
             theme("pattern_gingham", "Picnic gingham",
                   withCaptionStrip(gingham(QColor(255, 255, 255), QColor(210, 40, 50), 16),
                                    QColor(255, 255, 255), QColor(210, 40, 50)),
                   land, "Liberation Sans", "120,20,20", "26", "12,40", "center", kBottomBand),
             theme("pattern_chevrons", "Chevrons",
                   withCaptionStrip(chevrons(QColor(250, 246, 236), QColor(60, 150, 160), 9),
                                    QColor(250, 246, 236), QColor(60, 150, 160)),
                   land, "DejaVu Sans Mono", "30,60,70", "22", "10,36", "left", kBottomBand),
             theme("pattern_grid", "Blueprint",
                   withCaptionStrip(grid(QColor(28, 82, 150), QColor(200, 225, 255, 150), 16),
                                    QColor(20, 62, 118), QColor(200, 225, 255)),
                   land, "Liberation Mono", "230,240,255", "22", "10,36", "left", kBottomBand),
             theme("pattern_confetti", "Confetti",
                   withCaptionStrip(confetti(QColor(255, 252, 245), 11), QColor(255, 252, 245),
                                    QColor(155, 93, 229)),
                   land, "Noto Sans Display", "60,40,90", "22", "12,40", "center", kBottomBand),
         }},
        {"Paper",
         "paper",
         {
             theme("paper_kraft", "Kraft", paper(QColor(204, 166, 120), 0.3, 21), land,
                   "DejaVu Serif", "44,26,12", "26", "12,40", "center", kBottomBand),
             theme("paper_linen", "Linen", paper(QColor(236, 230, 216), 0.25, 22), port,
                   "Liberation Serif", "80,70,60", "26", "12,40", "right", kBottomBand),
             theme("paper_notebook", "Notebook", linedNotebook(), land, "DejaVu Sans Mono",
                   "30,50,120", "22", "10,36", "left", "84,540,590,604"),
             theme("paper_graph", "Graph paper", graphPaper(), land, "Liberation Mono", "30,90,70",
                   "22", "10,36", "left", kTopBand),
             theme("paper_parchment", "Parchment", paper(QColor(232, 214, 170), 0.45, 24), land,
                   "Noto Serif", "90,50,20", "22", "12,40", "center", kTopBand),
             theme("paper_watercolour", "Watercolour", watercolour(QColor(90, 150, 220), 25), land,
                   "Noto Serif Display", "40,60,110", "22", "12,40", "center", kBottomBand),
         }},
        {"Keepsakes",
         "keepsakes",
         {
             theme("frame_gold", "Gold corners", goldCorners(), port, "Liberation Serif",
                   "236,206,130", "24", "12,40", "center", "40,534,572,590"),
             theme("frame_wood", "Wooden table", woodTable(), land, "DejaVu Serif", "252,240,220",
                   "26", "12,40", "center", kBottomBand),
             theme("frame_prints", "Stack of prints", printStack(), land, "DejaVu Serif",
                   "50,50,60", "22", "12,40", "center", "40,536,572,590"),
             theme("frame_film", "Film strip", filmStrip(), land, "DejaVu Sans Mono", "255,160,50",
                   "20", "10,30", "right", "48,536,564,584"),
             theme("frame_airmail", "Air mail", airmail(), land, "Liberation Serif", "34,62,140",
                   "24", "12,40", "left", "36,536,576,594"),
             theme("frame_stage", "Stage light", stageLight(), port, "DejaVu Sans", "255,236,200",
                   "26", "12,40", "center", kBottomBand),
         }},
        {"Theme of the day",
         "COTD",
         {
             // Stands in while the feed has no theme for today; its box keeps
             // clear of the fallback art's corner stars.
             theme("COTD", "Theme of the day", nullptr, "COTD.jpg", "DejaVu Sans", "90,40,10", "26",
                   "12,40", "center", "90,540,522,604"),
         }},
    };
}

}  // namespace art
