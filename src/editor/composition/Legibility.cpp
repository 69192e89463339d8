#include "editor/composition/Legibility.h"

#include <algorithm>
#include <cmath>

namespace qp {
namespace {

constexpr double kThinnestHalo = 2;

double linearChannel(int value) {
    const double c = std::clamp(value, 0, 255) / 255.0;
    return c <= 0.04045 ? c / 12.92 : std::pow((c + 0.055) / 1.055, 2.4);
}

}  // namespace

double relativeLuminance(QColor colour) {
    const QColor rgb = colour.toRgb();
    return 0.2126 * linearChannel(rgb.red()) + 0.7152 * linearChannel(rgb.green()) +
           0.0722 * linearChannel(rgb.blue());
}

double contrastRatio(double luminanceA, double luminanceB) {
    const double lighter = std::max(luminanceA, luminanceB);
    const double darker = std::min(luminanceA, luminanceB);
    return (lighter + 0.05) / (darker + 0.05);
}

QColor haloColourFor(QColor text) {
    const double luminance = relativeLuminance(text);
    return contrastRatio(luminance, 0) >= contrastRatio(luminance, 1) ? QColor(Qt::black)
                                                                      : QColor(Qt::white);
}

double haloWidthFor(double fontSize, double haloPercent) {
    if (!(haloPercent > 0) || !(fontSize > 0)) return 0;
    return std::max(kThinnestHalo, fontSize * haloPercent / 100);
}

}  // namespace qp
