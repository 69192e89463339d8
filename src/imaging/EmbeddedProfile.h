#pragma once
// Finds the ICC colour profile a photo file carries: the ICC_PROFILE chunks
// of a JPEG's APP2 segments, joined in their numbered order, or a PNG's
// iCCP chunk, inflated. Every length is checked, and an inflated profile may
// not grow past a limit, since the bytes come from files we do not trust.

#include <QByteArray>
#include <cstddef>
#include <cstdint>

#include "imaging/PhotoFormat.h"

namespace qp {

// No real profile comes near this; a larger one is taken as damaged.
inline constexpr std::size_t kMaxIccProfileBytes = 4 * 1024 * 1024;

struct EmbeddedProfile {
    enum class State {
        Untagged,  // no profile: the photo is taken as sRGB
        Found,
        Damaged,  // a profile is there but cannot be put together
    };
    State state = State::Untagged;
    QByteArray icc;  // the profile's bytes when Found
};

// The profile of a JPEG or PNG file; other formats are Untagged.
EmbeddedProfile readEmbeddedProfile(const std::uint8_t* data, std::size_t size, PhotoFormat format);

}  // namespace qp
