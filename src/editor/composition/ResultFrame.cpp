#include "editor/composition/ResultFrame.h"

#include <cmath>

namespace qp {

int ResultFrame::height() const {
    return int(std::lround(double(width) * aspectHeight / aspectWidth));
}

Size ResultFrame::pointsForWidth(double side) const {
    return {side, side * aspectHeight / aspectWidth};
}

double fontSizeForFrame(double size, const ResultFrame& frame) {
    if (frame.width == kResultSide) return size;
    return size * frame.width / kResultSide;
}

TextStyle textStyleForFrame(const TextStyle& style, const ResultFrame& frame) {
    if (frame.isAppResult()) return style;
    const double x = double(frame.width) / kResultSide;
    const double y = double(frame.height()) / kResultSide;
    TextStyle scaled = style;
    scaled.fontDefaultSize = float(style.fontDefaultSize * x);
    scaled.fontMinSize = float(style.fontMinSize * x);
    scaled.fontMaxSize = float(style.fontMaxSize * x);
    scaled.textBoxLeft = float(style.textBoxLeft * x);
    scaled.textBoxWidth = float(style.textBoxWidth * x);
    scaled.textBoxTop = float(style.textBoxTop * y);
    scaled.textBoxHeight = float(style.textBoxHeight * y);
    return scaled;
}

}  // namespace qp
