#pragma once
// The yardstick for the result's quality: the photo fitted whole into the
// 612 × 612 square on white, resampled with a Lanczos-3 filter at exactly
// the fit's (fractional) place, and the PSNR of a result against it.

#include <QImage>

namespace qp::bench {

// `upright` fitted whole and centred in a `side` × `side` white square.
QImage lanczosFit(const QImage& upright, int side);

// Peak signal-to-noise ratio of two equal-sized pictures over R, G and B, in dB.
double psnr(const QImage& a, const QImage& b);

}  // namespace qp::bench
