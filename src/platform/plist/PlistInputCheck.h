#pragma once
// Vets untrusted property-list bytes before the parser sees them: structure,
// nesting depth and expanded size, so hostile files fail cleanly instead of
// exhausting the stack or memory. Also recovers exact binary date values.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace qp {

// Deepest container nesting accepted in either format.
inline constexpr int kMaxPlistNesting = 512;
// Most values a binary file may expand to once shared objects are copied out.
inline constexpr std::uint64_t kMaxPlistExpandedValues = std::uint64_t{1} << 22;

// What a sound binary property list holds, as far as the checks need it.
struct BinaryPlistLayout {
    // Every date object's seconds since the reference date, as stored.
    std::vector<double> dates;
};

// The binary checks: trailer and offset table in bounds, references in
// range, no cycles, nesting and expanded size within the limits above.
// nullopt with `reason` set when the bytes must not be parsed.
std::optional<BinaryPlistLayout> checkBinaryPlist(std::string_view bytes, std::string& reason);

// The XML check: container nesting within kMaxPlistNesting.
bool checkXmlPlistNesting(std::string_view bytes, std::string& reason);

}  // namespace qp
