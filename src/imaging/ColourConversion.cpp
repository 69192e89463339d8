#include "imaging/ColourConversion.h"

#include "imaging/LittleCmsLibrary.h"

#include <QColorSpace>
#include <algorithm>
#include <array>
#include <cstdint>
#include <memory>
#include <system_error>
#include <thread>
#include <vector>

namespace qp {
namespace {

// Every function here runs after convertToSrgb found the library loaded.
const LittleCmsFunctions& cms() {
    return *littleCmsFunctions();
}

struct ProfileCloser {
    void operator()(void* profile) const { cms().cmsCloseProfile(profile); }
};
using Profile = std::unique_ptr<void, ProfileCloser>;

struct TransformDeleter {
    void operator()(void* transform) const { cms().cmsDeleteTransform(transform); }
};
using Transform = std::unique_ptr<void, TransformDeleter>;

// QImage's 32-bit formats are native-endian 0xAARRGGBB words.
constexpr cmsUInt32Number kRgb32 = Q_BYTE_ORDER == Q_LITTLE_ENDIAN ? TYPE_BGRA_8 : TYPE_ARGB_8;

// Whether the transform leaves every colour of a coarse grid of the RGB cube
// exactly as it is: an sRGB photo's profile does, and then nothing is done.
bool isIdentity(cmsHTRANSFORM transform) {
    constexpr int kLevels = 18;  // 0, 15, 30, ... 255
    std::array<std::uint32_t, kLevels * kLevels * kLevels> in{}, out{};
    std::size_t i = 0;
    for (int r = 0; r < kLevels; ++r)
        for (int g = 0; g < kLevels; ++g)
            for (int b = 0; b < kLevels; ++b)
                in[i++] = 0xff000000u | std::uint32_t(r * 15) << 16 | std::uint32_t(g * 15) << 8 |
                          std::uint32_t(b * 15);
    out = in;
    cms().cmsDoTransform(transform, in.data(), out.data(), cmsUInt32Number(in.size()));
    return in == out;
}

// Runs the transform over the bitmap in place, a large photo in bands of
// rows on threads of their own (a 12-megapixel photo takes Little CMS about
// half a second on one core).
void transformInBands(cmsHTRANSFORM transform, QImage& bitmap) {
    constexpr std::int64_t kPixelsPerBand = 1'000'000;
    const int height = bitmap.height();
    const std::int64_t pixels = std::int64_t(bitmap.width()) * height;
    const int bands = int(
        std::clamp<std::int64_t>(pixels / kPixelsPerBand, 1,
                                 std::max(1u, std::min(4u, std::thread::hardware_concurrency()))));
    const auto stride = cmsUInt32Number(bitmap.bytesPerLine());
    std::uint8_t* bits = bitmap.bits();
    const auto run = [&](int first, int last) {
        std::uint8_t* rows = bits + std::size_t(first) * stride;
        cms().cmsDoTransformLineStride(transform, rows, rows, cmsUInt32Number(bitmap.width()),
                                       cmsUInt32Number(last - first), stride, stride, 0, 0);
    };
    const auto first = [&](int band) { return int(std::int64_t(height) * band / bands); };
    std::vector<std::thread> workers;
    int started = 1;
    try {
        for (; started < bands; ++started) {
            workers.emplace_back(run, first(started), first(started + 1));
        }
    } catch (const std::system_error&) {
        // No thread to be had: the rest runs here.
    }
    for (int band = started; band < bands; ++band) run(first(band), first(band + 1));
    run(0, first(1));
    for (std::thread& worker : workers) worker.join();
}

// Converts through `source`, whose colour model must suit the pixels.
ProfileOutcome convertWith(QImage& bitmap, cmsHPROFILE source) {
    const cmsColorSpaceSignature model = cms().cmsGetColorSpace(source);
    const cmsProfileClassSignature kind = cms().cmsGetDeviceClass(source);
    if (kind != cmsSigInputClass && kind != cmsSigDisplayClass && kind != cmsSigOutputClass &&
        kind != cmsSigColorSpaceClass) {
        return ProfileOutcome::Unreadable;  // a link or abstract profile describes no picture
    }
    const bool grey = bitmap.format() == QImage::Format_Grayscale8;
    if ((grey && model != cmsSigGrayData) || (!grey && model != cmsSigRgbData)) {
        return ProfileOutcome::OtherColourModel;
    }
    Profile srgb(cms().cmsCreate_sRGBProfile());
    if (!srgb) return ProfileOutcome::Unreadable;

    if (grey) {
        Transform transform(cms().cmsCreateTransform(source, TYPE_GRAY_8, srgb.get(), kRgb32,
                                                     INTENT_PERCEPTUAL, 0));
        if (!transform) return ProfileOutcome::Unreadable;
        QImage colour(bitmap.size(), QImage::Format_RGB32);
        if (colour.isNull()) return ProfileOutcome::Unreadable;
        colour.fill(0xffffffffu);  // the transform leaves the fourth byte alone
        cms().cmsDoTransformLineStride(
            transform.get(), bitmap.constBits(), colour.bits(), cmsUInt32Number(bitmap.width()),
            cmsUInt32Number(bitmap.height()), cmsUInt32Number(bitmap.bytesPerLine()),
            cmsUInt32Number(colour.bytesPerLine()), 0, 0);
        bitmap = std::move(colour);
        bitmap.setColorSpace(QColorSpace::SRgb);
        return ProfileOutcome::Converted;
    }

    // Without the one-pixel cache a transform may run on several threads.
    Transform transform(cms().cmsCreateTransform(source, kRgb32, srgb.get(), kRgb32,
                                                 INTENT_PERCEPTUAL,
                                                 cmsFLAGS_COPY_ALPHA | cmsFLAGS_NOCACHE));
    if (!transform) return ProfileOutcome::Unreadable;
    if (isIdentity(transform.get())) return ProfileOutcome::AlreadySrgb;
    if (bitmap.format() != QImage::Format_RGB32 && bitmap.format() != QImage::Format_ARGB32) {
        bitmap.convertTo(bitmap.hasAlphaChannel() ? QImage::Format_ARGB32 : QImage::Format_RGB32);
        if (bitmap.isNull()) return ProfileOutcome::Unreadable;
    }
    // Colour is converted unpremultiplied, the alpha byte copied over.
    transformInBands(transform.get(), bitmap);
    bitmap.setColorSpace(QColorSpace::SRgb);
    return ProfileOutcome::Converted;
}

Profile curveProfile(const RgbPrimaries& p, TransferCurve curve) {
    // Parametric curve type 4: Y = (aX + b)^g for X >= d, Y = cX below.
    cmsFloat64Number srgb[5] = {2.4, 1 / 1.055, 0.055 / 1.055, 1 / 12.92, 0.04045};
    cmsToneCurve* tone = nullptr;
    switch (curve) {
        case TransferCurve::Srgb:
            tone = cms().cmsBuildParametricToneCurve(nullptr, 4, srgb);
            break;
        case TransferCurve::Linear:
            tone = cms().cmsBuildGamma(nullptr, 1.0);
            break;
        case TransferCurve::Gamma22:
            tone = cms().cmsBuildGamma(nullptr, 2.2);
            break;
        case TransferCurve::Gamma28:
            tone = cms().cmsBuildGamma(nullptr, 2.8);
            break;
    }
    if (tone == nullptr) return nullptr;
    const cmsCIExyY white{p.whiteX, p.whiteY, 1.0};
    const cmsCIExyYTRIPLE primaries{
        {p.redX, p.redY, 1.0}, {p.greenX, p.greenY, 1.0}, {p.blueX, p.blueY, 1.0}};
    cmsToneCurve* curves[3] = {tone, tone, tone};
    Profile profile(cms().cmsCreateRGBProfile(&white, &primaries, curves));
    cms().cmsFreeToneCurve(tone);
    return profile;
}

}  // namespace

ProfileOutcome convertToSrgb(QImage& bitmap, const QByteArray& icc) {
    if (bitmap.isNull() || icc.isEmpty()) return ProfileOutcome::Unreadable;
    if (!littleCmsFunctions()) return ProfileOutcome::LibraryMissing;
    Profile source(cms().cmsOpenProfileFromMem(icc.constData(), cmsUInt32Number(icc.size())));
    if (!source) return ProfileOutcome::Unreadable;
    return convertWith(bitmap, source.get());
}

ProfileOutcome convertToSrgb(QImage& bitmap, const RgbPrimaries& primaries, TransferCurve curve) {
    if (bitmap.isNull()) return ProfileOutcome::Unreadable;
    if (!littleCmsFunctions()) return ProfileOutcome::LibraryMissing;
    Profile source = curveProfile(primaries, curve);
    if (!source) return ProfileOutcome::Unreadable;
    return convertWith(bitmap, source.get());
}

void warnAbout(ProfileOutcome outcome, std::vector<std::string>* warnings) {
    if (!warnings) return;
    if (outcome == ProfileOutcome::Unreadable) {
        warnings->push_back(
            "the photo's colour profile is damaged or unreadable; its colours are taken as sRGB");
    }
    std::string problem;
    if (outcome == ProfileOutcome::LibraryMissing && !littleCmsFunctions(&problem)) {
        warnings->push_back("the photo's colours are taken as sRGB: " + problem);
    }
}

void applyEmbeddedProfile(QImage& bitmap, const EmbeddedProfile& profile,
                          std::vector<std::string>* warnings) {
    ProfileOutcome outcome = ProfileOutcome::AlreadySrgb;
    if (profile.state == EmbeddedProfile::State::Damaged) outcome = ProfileOutcome::Unreadable;
    if (profile.state == EmbeddedProfile::State::Found)
        outcome = convertToSrgb(bitmap, profile.icc);
    warnAbout(outcome, warnings);
}

}  // namespace qp
