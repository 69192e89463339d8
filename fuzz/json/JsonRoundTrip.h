#pragma once
// The property the JSON fuzzer checks: whatever the reader accepts, the writer
// writes and the reader reads back as the same value, in both output styles;
// whatever it refuses, it explains. A broken property aborts.

#include <cstddef>
#include <cstdint>

namespace qp {

void jsonRoundTrip(const std::uint8_t* data, std::size_t size);

}  // namespace qp
