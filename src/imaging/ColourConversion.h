#pragma once
// Bringing a photo's colours into sRGB with Little CMS, so a photo shot in
// Display P3 or Adobe RGB looks in the square and the result as it does in a
// colour-managed viewer. Untagged photos are taken as sRGB already.

#include <QByteArray>
#include <QImage>
#include <string>
#include <vector>

#include "imaging/EmbeddedProfile.h"

namespace qp {

enum class ProfileOutcome {
    Converted,
    AlreadySrgb,       // the profile maps every colour to itself: nothing to do
    Unreadable,        // not a profile Little CMS can read or use
    OtherColourModel,  // a CMYK profile on RGB pixels, say: left alone
};

// Converts `bitmap` in place from the colours `icc` describes to sRGB. On any
// outcome but Converted the pixels are as they were.
ProfileOutcome convertToSrgb(QImage& bitmap, const QByteArray& icc);

// Chromaticities (CIE xy) of a picture's primaries and white point, and its
// transfer curve, as a HEIC file's colour box may state them instead of a
// profile.
struct RgbPrimaries {
    double redX, redY, greenX, greenY, blueX, blueY, whiteX, whiteY;
};
enum class TransferCurve { Srgb, Linear, Gamma22, Gamma28 };
ProfileOutcome convertToSrgb(QImage& bitmap, const RgbPrimaries& primaries, TransferCurve curve);

// The text of the one warning a photo with a damaged profile gets.
std::string damagedProfileWarning();

// What a decoder does with the profile it found: converts, or says once in
// `warnings` (may be null) that a damaged or unreadable profile was ignored.
void applyEmbeddedProfile(QImage& bitmap, const EmbeddedProfile& profile,
                          std::vector<std::string>* warnings);

// Little CMS's own sRGB profile, serialised (embedded in results).
QByteArray srgbIccProfile();

}  // namespace qp
