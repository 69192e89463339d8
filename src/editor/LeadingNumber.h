#pragma once
// Reading the numbers inside theme strings: each comma-separated part is
// read with leading-number rules (white space skipped, optional sign,
// digits, a fraction for floats; the first other character ends it; no
// digits gives 0). Locale-independent.

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string_view>
#include <vector>

namespace qp {

// Whole number at the start of `text`, saturated to the 32-bit range.
std::int32_t leadingInteger(std::string_view text);
// Decimal number (no exponent) at the start of `text`, kept finite: a value
// beyond the float range saturates to the largest float of its sign.
float leadingFloat(std::string_view text);

// The parts between commas: "a,b" gives "a" and "b"; "" gives one empty part.
std::vector<std::string_view> commaParts(std::string_view text);

// The first `count` parts read as numbers; nullopt when `text` has fewer
// parts than that. Extra parts are ignored.
std::optional<std::vector<std::int32_t>> leadingIntegers(std::string_view text, std::size_t count);
std::optional<std::vector<float>> leadingFloats(std::string_view text, std::size_t count);

}  // namespace qp
