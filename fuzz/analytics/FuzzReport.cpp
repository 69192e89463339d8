// libFuzzer entry: every input goes through the report and session decoders.
#include <cstddef>
#include <cstdint>

#include "ReportRoundTrip.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    qp::reportRoundTrip(data, size);
    return 0;
}
