#include "LanczosReference.h"

#include <algorithm>
#include <cmath>
#include <numbers>
#include <vector>

namespace qp::bench {
namespace {

double lanczos3(double x) {
    x = std::abs(x);
    if (x < 1e-9) return 1;
    if (x >= 3) return 0;
    const double px = std::numbers::pi * x;
    return 3 * std::sin(px) * std::sin(px / 3) / (px * px);
}

// Weights taking `srcLength` samples onto `dstLength` pixels, the source
// scaled by `scale` and starting at `offset`; plus each pixel's coverage.
struct Axis {
    std::vector<int> first;
    std::vector<std::vector<double>> weights;
    std::vector<double> coverage;
};

Axis makeAxis(int srcLength, int dstLength, double scale, double offset) {
    Axis axis;
    const double support = 3 / std::min(scale, 1.0);
    for (int d = 0; d < dstLength; ++d) {
        const double centre = (d + 0.5 - offset) / scale - 0.5;
        const int lo = int(std::floor(centre - support)), hi = int(std::ceil(centre + support));
        std::vector<double> w;
        double sum = 0;
        for (int i = lo; i <= hi; ++i) {
            const double v = lanczos3((i - centre) * std::min(scale, 1.0));
            w.push_back(v);
            sum += v;
        }
        for (double& v : w) v /= sum;
        axis.first.push_back(lo);
        axis.weights.push_back(std::move(w));
        const double covered =
            std::min(d + 1.0, offset + srcLength * scale) - std::max(double(d), offset);
        axis.coverage.push_back(std::clamp(covered, 0.0, 1.0));
    }
    return axis;
}

}  // namespace

QImage lanczosFit(const QImage& uprightIn, int side) {
    const QImage upright = uprightIn.convertToFormat(QImage::Format_RGB32);
    const int w = upright.width(), h = upright.height();
    const double scale = double(side) / std::max(w, h);
    const Axis ax = makeAxis(w, side, scale, (side - w * scale) / 2);
    const Axis ay = makeAxis(h, side, scale, (side - h * scale) / 2);
    // Horizontal pass over every source row.
    std::vector<float> rows(std::size_t(h) * side * 3);
    for (int y = 0; y < h; ++y) {
        const auto* src = reinterpret_cast<const QRgb*>(upright.constScanLine(y));
        for (int x = 0; x < side; ++x) {
            double r = 0, g = 0, b = 0;
            const auto& wts = ax.weights[std::size_t(x)];
            for (std::size_t k = 0; k < wts.size(); ++k) {
                const QRgb p = src[std::clamp(ax.first[std::size_t(x)] + int(k), 0, w - 1)];
                r += wts[k] * qRed(p);
                g += wts[k] * qGreen(p);
                b += wts[k] * qBlue(p);
            }
            float* out = &rows[(std::size_t(y) * side + std::size_t(x)) * 3];
            out[0] = float(r), out[1] = float(g), out[2] = float(b);
        }
    }
    QImage result(side, side, QImage::Format_RGB32);
    for (int y = 0; y < side; ++y) {
        auto* dst = reinterpret_cast<QRgb*>(result.scanLine(y));
        const auto& wts = ay.weights[std::size_t(y)];
        for (int x = 0; x < side; ++x) {
            double c[3] = {0, 0, 0};
            for (std::size_t k = 0; k < wts.size(); ++k) {
                const int sy = std::clamp(ay.first[std::size_t(y)] + int(k), 0, h - 1);
                const float* in = &rows[(std::size_t(sy) * side + std::size_t(x)) * 3];
                for (int i = 0; i < 3; ++i) c[i] += wts[k] * in[i];
            }
            const double cover = ax.coverage[std::size_t(x)] * ay.coverage[std::size_t(y)];
            int v[3];
            for (int i = 0; i < 3; ++i) {
                v[i] = std::clamp(int(std::lround(cover * c[i] + (1 - cover) * 255)), 0, 255);
            }
            dst[x] = qRgb(v[0], v[1], v[2]);
        }
    }
    return result;
}

double psnr(const QImage& aIn, const QImage& bIn) {
    const QImage a = aIn.convertToFormat(QImage::Format_RGB32);
    const QImage b = bIn.convertToFormat(QImage::Format_RGB32);
    if (a.size() != b.size()) return 0;
    double sum = 0;
    for (int y = 0; y < a.height(); ++y) {
        const auto* pa = reinterpret_cast<const QRgb*>(a.constScanLine(y));
        const auto* pb = reinterpret_cast<const QRgb*>(b.constScanLine(y));
        for (int x = 0; x < a.width(); ++x) {
            const int d[3] = {qRed(pa[x]) - qRed(pb[x]), qGreen(pa[x]) - qGreen(pb[x]),
                              qBlue(pa[x]) - qBlue(pb[x])};
            sum += d[0] * d[0] + d[1] * d[1] + d[2] * d[2];
        }
    }
    const double mse = sum / (3.0 * a.width() * a.height());
    return mse == 0 ? 99 : 10 * std::log10(255.0 * 255.0 / mse);
}

}  // namespace qp::bench
