#pragma once
// The coding of a HEIF file's primary picture, read from its boxes (pitm
// and iinf inside meta) with every size checked, so a file whose picture no
// decoder here reads can be named for what it is.

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>

namespace qp {

// The primary item's four-letter type ("hvc1", "av01", ...), or nothing
// when the boxes do not say.
std::optional<std::string> heifPrimaryItemType(const std::uint8_t* data, std::size_t size);

struct HeifGridSize {
    std::int64_t width = 0;
    std::int64_t height = 0;
};

// What the file's derived pictures (grids and overlays) state in their own
// headers: the largest canvas a decoder would allocate for one, which the
// container's size property need not match, and the most tiles of a grid.
struct HeifDerivedPictures {
    HeifGridSize largestCanvas;
    int mostTiles = 0;
};
HeifDerivedPictures heifDerivedPictures(const std::uint8_t* data, std::size_t size);

// The largest picture any HEVC parameter set of the file codes (the frame
// the HEVC decoder allocates, which the container's size property need not
// match), or nothing when no parameter set can be read.
std::optional<HeifGridSize> heifLargestCodedSize(const std::uint8_t* data, std::size_t size);

// "HEVC", "AV1", "JPEG", ... for a known item type; the type itself otherwise.
std::string heifCodecName(const std::string& itemType);

}  // namespace qp
