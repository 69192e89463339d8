#pragma once
// Where the theme strip puts its buttons: margins, gap, button side and top
// by interface idiom, and the content width they need.

#include "platform/Geometry.h"

namespace qp {

struct ThemeStripLayout {
    double margin;
    double gap;
    double side;
    double top;

    static constexpr ThemeStripLayout forIdiom(bool pad) {
        return pad ? ThemeStripLayout{60, 20, 144, 3} : ThemeStripLayout{26, 10, 74, 3};
    }
    constexpr double contentWidth(int count) const {
        return 2 * margin - gap + count * (side + gap);
    }
    Rect buttonFrame(int index) const { return {margin + index * (side + gap), top, side, side}; }
};

}  // namespace qp
