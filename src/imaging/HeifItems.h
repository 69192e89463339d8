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

// The output size a grid primary picture states in its own header (the
// canvas a decoder allocates, which the container's size property need not
// match), or nothing when the primary picture is no grid or the boxes do not
// say.
struct HeifGridSize {
    std::int64_t width = 0;
    std::int64_t height = 0;
};
std::optional<HeifGridSize> heifPrimaryGridSize(const std::uint8_t* data, std::size_t size);

// The largest picture any HEVC parameter set of the file codes (the frame
// the HEVC decoder allocates, which the container's size property need not
// match), or nothing when no parameter set can be read.
std::optional<HeifGridSize> heifLargestCodedSize(const std::uint8_t* data, std::size_t size);

// "HEVC", "AV1", "JPEG", ... for a known item type; the type itself otherwise.
std::string heifCodecName(const std::string& itemType);

}  // namespace qp
