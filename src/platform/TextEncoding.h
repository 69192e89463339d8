#pragma once
// Checks on text that arrives from files and the network.

#include <string_view>

namespace qp {

// True when `text` is well-formed UTF-8: no stray continuation bytes, no
// overlong forms, no surrogates, nothing above U+10FFFF.
bool isValidUtf8(std::string_view text);

}  // namespace qp
