#pragma once
// Text rules shared by every module: only well-formed UTF-8 is kept, and
// lengths that the phone counted as characters are counted in UTF-16 code
// units, never splitting a surrogate pair.

#include <cstddef>
#include <string>
#include <string_view>

namespace qp {

// True when `text` is well-formed UTF-8: no stray continuation bytes, no
// overlong forms, no surrogates, nothing above U+10FFFF.
bool isValidUtf8(std::string_view text);

// Bytes in the longest well-formed UTF-8 prefix of `text`: the offset of the
// first ill-formed byte, or text.size() when there is none.
std::size_t validUtf8Length(std::string_view text);

// `text` with every ill-formed byte sequence replaced by U+FFFD.
std::string sanitizeUtf8(std::string_view text);

// UTF-16 code units of well-formed UTF-8 `text`.
std::size_t utf16Length(std::string_view text);

// The longest prefix of well-formed UTF-8 `text` with at most `maxUnits`
// UTF-16 code units; a character needing a surrogate pair is never split.
std::string_view cutToUtf16Units(std::string_view text, std::size_t maxUnits);

}  // namespace qp
