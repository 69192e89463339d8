#pragma once
// Each fuzz folder defines this check once; the libFuzzer entry and the
// corpus replay both call it. It must abort on a broken property and return
// normally otherwise.

#include <cstddef>
#include <cstdint>

namespace qp {
void fuzzOneInput(const std::uint8_t* data, std::size_t size);
}
