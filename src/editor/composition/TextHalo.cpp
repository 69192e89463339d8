#include "editor/composition/TextHalo.h"

#include <algorithm>
#include <cmath>
#include <vector>

namespace qp {
namespace {

// Past the opaque band the halo fades out over this much of its width,
// starting from this opacity.
constexpr double kFadeLength = 1.0;
constexpr double kFadeOpacity = 0.55;
// Distances are squared pixels; "far" must stay finite for the arithmetic.
constexpr double kFar = 1e20;

// Squared distance to the nearest seed along one line, in place (the
// lower envelope of parabolas: Felzenszwalb and Huttenlocher).
void distanceAlongLine(const std::vector<double>& f, std::vector<int>& v, std::vector<double>& z,
                       std::vector<double>& out) {
    const auto at = [](int i) { return std::size_t(i); };
    const auto crossing = [&](int q, int p) {
        return ((f[at(q)] + double(q) * q) - (f[at(p)] + double(p) * p)) / (2.0 * (q - p));
    };
    const int n = int(f.size());
    int k = 0;
    v[0] = 0;
    z[0] = -kFar;
    z[1] = kFar;
    for (int q = 1; q < n; ++q) {
        double s = crossing(q, v[at(k)]);
        while (s <= z[at(k)]) {
            --k;
            s = crossing(q, v[at(k)]);
        }
        ++k;
        v[at(k)] = q;
        z[at(k)] = s;
        z[at(k) + 1] = kFar;
    }
    k = 0;
    for (int q = 0; q < n; ++q) {
        while (z[at(k) + 1] < q) ++k;
        const int p = v[at(k)];
        out[at(q)] = double(q - p) * (q - p) + f[at(p)];
    }
}

// Squared distance from each pixel to the nearest covered one.
std::vector<double> squaredDistances(const QImage& glyphs) {
    const int w = glyphs.width(), h = glyphs.height();
    std::vector<double> d(std::size_t(w) * std::size_t(h), kFar);
    for (int y = 0; y < h; ++y) {
        const auto* row = reinterpret_cast<const QRgb*>(glyphs.constScanLine(y));
        for (int x = 0; x < w; ++x) {
            // Distances count from the centres of covered pixels; one the
            // glyph covers partly counts as that much farther out, so
            // hairlines that never cover a whole pixel still get a halo.
            const int alpha = qAlpha(row[x]);
            if (alpha == 0) continue;
            const double outward = 1.0 - alpha / 255.0;
            d[std::size_t(y) * std::size_t(w) + std::size_t(x)] = outward * outward;
        }
    }
    const int longest = std::max(w, h);
    std::vector<double> f, out;
    std::vector<int> v(std::size_t(longest) + 1);
    std::vector<double> z(std::size_t(longest) + 2);
    f.resize(std::size_t(h));
    out.resize(std::size_t(h));
    for (int x = 0; x < w; ++x) {
        for (int y = 0; y < h; ++y)
            f[std::size_t(y)] = d[std::size_t(y) * std::size_t(w) + std::size_t(x)];
        distanceAlongLine(f, v, z, out);
        for (int y = 0; y < h; ++y)
            d[std::size_t(y) * std::size_t(w) + std::size_t(x)] = out[std::size_t(y)];
    }
    f.resize(std::size_t(w));
    out.resize(std::size_t(w));
    for (int y = 0; y < h; ++y) {
        double* row = d.data() + std::size_t(y) * std::size_t(w);
        std::copy(row, row + w, f.begin());
        distanceAlongLine(f, v, z, out);
        std::copy(out.begin(), out.end(), row);
    }
    return d;
}

// The halo's opacity at `distance` pixels from the nearest covered pixel's
// centre, whose edge lies half a pixel nearer: opaque for `width` past the
// edge, antialiased over the pixel after, then fading.
double opacityAt(double distance, double width) {
    const double band = std::clamp(width + 1 - distance, 0.0, 1.0);
    const double past = (distance - width - 0.5) / (width * kFadeLength);
    const double fade = kFadeOpacity * std::clamp(1.0 - past, 0.0, 1.0);
    return std::max(band, fade);
}

}  // namespace

double haloReach(double width) {
    return width > 0 ? std::ceil(width * (1 + kFadeLength) + 1.5) : 0;
}

QImage haloAround(const QImage& glyphs, double width, QColor colour) {
    if (!(width > 0) || glyphs.isNull()) return {};
    const QImage source = glyphs.format() == QImage::Format_ARGB32_Premultiplied ||
                                  glyphs.format() == QImage::Format_ARGB32
                              ? glyphs
                              : glyphs.convertToFormat(QImage::Format_ARGB32_Premultiplied);
    const std::vector<double> d = squaredDistances(source);
    QImage halo(source.size(), QImage::Format_ARGB32_Premultiplied);
    const QColor rgb = colour.toRgb();
    for (int y = 0; y < halo.height(); ++y) {
        auto* row = reinterpret_cast<QRgb*>(halo.scanLine(y));
        for (int x = 0; x < halo.width(); ++x) {
            const double distance =
                std::sqrt(d[std::size_t(y) * std::size_t(halo.width()) + std::size_t(x)]);
            const int a = int(std::lround(255 * opacityAt(distance, width)));
            row[x] = qPremultiply(qRgba(rgb.red(), rgb.green(), rgb.blue(), a));
        }
    }
    return halo;
}

}  // namespace qp
