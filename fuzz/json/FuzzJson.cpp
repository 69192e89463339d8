// libFuzzer entry: every input goes through the JSON round trip.
#include <cstddef>
#include <cstdint>

#include "JsonRoundTrip.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    qp::jsonRoundTrip(data, size);
    return 0;
}
