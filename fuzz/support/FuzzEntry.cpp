// libFuzzer's entry point for every fuzz target.
#include "FuzzTarget.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    qp::fuzzOneInput(data, size);
    return 0;
}
