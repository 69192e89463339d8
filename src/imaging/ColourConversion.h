#pragma once
// Bringing a photo's colours into sRGB with Little CMS, so a photo shot in
// Display P3 or Adobe RGB looks in the square and the result as it does in a
// colour-managed viewer. Untagged photos are taken as sRGB already, and never
// load Little CMS: it is opened for the first photo with a profile.

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
    LibraryMissing,    // Little CMS is not installed (it is loaded on first use)
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

// The one warning, if any, a photo gets for `outcome` in `warnings` (may be
// null): a damaged profile, or no Little CMS to apply it with.
void warnAbout(ProfileOutcome outcome, std::vector<std::string>* warnings);

// What a decoder does with the profile it found: converts, or says once in
// `warnings` (may be null) that a damaged or unreadable profile was ignored.
void applyEmbeddedProfile(QImage& bitmap, const EmbeddedProfile& profile,
                          std::vector<std::string>* warnings);

// Little CMS's own sRGB profile, serialised with a fixed date (embedded in
// results); kept as bytes, so writing a result never loads Little CMS.
QByteArray srgbIccProfile();

}  // namespace qp
