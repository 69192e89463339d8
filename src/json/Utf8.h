#pragma once
// UTF-8 helpers shared by the reader and the writer.

#include <cstddef>
#include <cstdint>
#include <string>

namespace qp::utf8 {

// Length of the well-formed multi-byte sequence at `p` (its lead byte is
// 0x80 or above), or 0 when it is malformed, overlong, a surrogate, beyond
// U+10FFFF or cut off by `end`.
std::size_t sequenceLength(const unsigned char* p, const unsigned char* end);

// Appends `codePoint` (a scalar value) in UTF-8.
void append(std::string& out, std::uint32_t codePoint);

}  // namespace qp::utf8
