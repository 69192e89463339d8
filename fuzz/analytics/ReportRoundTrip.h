#pragma once
// The property the report fuzzer checks: untrusted bytes either fail to
// decode, or decode to values that encode back to exactly the same bytes.

#include <cstddef>
#include <cstdint>

namespace qp {

// Aborts when the property fails.
void reportRoundTrip(const std::uint8_t* data, std::size_t size);

}  // namespace qp
