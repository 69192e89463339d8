#pragma once
// ICC profiles built with Little CMS inside tests, photo files that carry
// them (JPEG APP2 chunks, a PNG iCCP chunk), and Little CMS's own conversion
// of a pixel to sRGB to check the decoder against.

#include <lcms2.h>

#include <QByteArray>
#include <QImage>
#include <QRgb>

#include "imaging/FileStructure.h"

namespace qp::test {

struct Chromaticities {
    cmsCIExyY white;
    cmsCIExyYTRIPLE primaries;
};

inline constexpr cmsCIExyY kD65{0.3127, 0.3290, 1.0};
inline constexpr cmsCIExyYTRIPLE kSrgbPrimaries{
    {0.64, 0.33, 1.0}, {0.30, 0.60, 1.0}, {0.15, 0.06, 1.0}};

// Serialises a matrix-shaper profile; `gamma` 0 means sRGB's own curve.
inline QByteArray rgbProfile(const cmsCIExyYTRIPLE& primaries, double gamma = 0) {
    cmsFloat64Number srgb[5] = {2.4, 1 / 1.055, 0.055 / 1.055, 1 / 12.92, 0.04045};
    cmsToneCurve* curve =
        gamma > 0 ? cmsBuildGamma(nullptr, gamma) : cmsBuildParametricToneCurve(nullptr, 4, srgb);
    cmsToneCurve* curves[3] = {curve, curve, curve};
    cmsHPROFILE profile = cmsCreateRGBProfile(&kD65, &primaries, curves);
    cmsFreeToneCurve(curve);
    cmsUInt32Number size = 0;
    cmsSaveProfileToMem(profile, nullptr, &size);
    QByteArray bytes(qsizetype(size), '\0');
    cmsSaveProfileToMem(profile, bytes.data(), &size);
    cmsCloseProfile(profile);
    return bytes;
}

// sRGB with the red and green primaries exchanged: stored green shows red.
inline QByteArray swappedRedGreenProfile() {
    return rgbProfile({kSrgbPrimaries.Green, kSrgbPrimaries.Red, kSrgbPrimaries.Blue});
}
inline QByteArray displayP3Profile() {
    return rgbProfile({{0.680, 0.320, 1.0}, {0.265, 0.690, 1.0}, {0.150, 0.060, 1.0}});
}
inline QByteArray adobeRgbProfile() {
    return rgbProfile({{0.64, 0.33, 1.0}, {0.21, 0.71, 1.0}, {0.15, 0.06, 1.0}}, 563.0 / 256);
}

// Little CMS's own conversion of one stored pixel to sRGB.
inline QRgb referenceSrgb(const QByteArray& icc, QRgb stored) {
    cmsHPROFILE source = cmsOpenProfileFromMem(icc.constData(), cmsUInt32Number(icc.size()));
    cmsHPROFILE srgb = cmsCreate_sRGBProfile();
    cmsHTRANSFORM transform =
        cmsCreateTransform(source, TYPE_RGB_8, srgb, TYPE_RGB_8, INTENT_PERCEPTUAL, 0);
    const std::uint8_t in[3] = {std::uint8_t(qRed(stored)), std::uint8_t(qGreen(stored)),
                                std::uint8_t(qBlue(stored))};
    std::uint8_t out[3] = {};
    cmsDoTransform(transform, in, out, 1);
    cmsDeleteTransform(transform);
    cmsCloseProfile(srgb);
    cmsCloseProfile(source);
    return qRgb(out[0], out[1], out[2]);
}

// `jpeg` carrying `icc` in `chunks` APP2 segments, written last chunk first
// so a reader must order them by their numbers.
inline QByteArray jpegWithIcc(const QByteArray& jpeg, const QByteArray& icc, int chunks = 1) {
    QByteArray out = jpeg;
    const qsizetype step = (icc.size() + chunks - 1) / chunks;
    for (int i = 0; i < chunks; ++i) {
        const QByteArray body =
            QByteArray("ICC_PROFILE", 12) + char(i + 1) + char(chunks) + icc.mid(i * step, step);
        out = withJpegSegment(out, 0xE2, body);
    }
    return out;
}

// `png` with an iCCP chunk holding `icc`, deflated.
inline QByteArray pngWithIcc(const QByteArray& png, const QByteArray& icc) {
    // qCompress puts the length before the zlib stream.
    const QByteArray zlib = qCompress(icc).mid(4);
    return withPngChunk(png, "iCCP", QByteArray("photo\0\0", 7) + zlib);
}

inline int channelDistance(QRgb a, QRgb b) {
    return std::max({std::abs(qRed(a) - qRed(b)), std::abs(qGreen(a) - qGreen(b)),
                     std::abs(qBlue(a) - qBlue(b))});
}

}  // namespace qp::test
