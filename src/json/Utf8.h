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

// The first byte from `p` on that is not printable ASCII, or is the quote or
// the backslash: the end of a run that strings copy as it is.
const unsigned char* skipPlainAscii(const unsigned char* p, const unsigned char* end);

// The end of the longest run from `p` that strings take as it is: plain
// ASCII as above and well-formed multi-byte sequences. nullptr when the run
// meets bytes that are not UTF-8.
const unsigned char* skipPlainText(const unsigned char* p, const unsigned char* end);

// Appends `codePoint` (a scalar value) in UTF-8.
void append(std::string& out, std::uint32_t codePoint);

}  // namespace qp::utf8
