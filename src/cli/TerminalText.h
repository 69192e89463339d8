#pragma once
// File names as a terminal may safely show them: a name is the user's data,
// and its control characters (escape sequences above all, which can retitle
// the window or worse) must never reach the terminal raw.

#include <cstddef>
#include <string>
#include <string_view>

namespace qp {

// `text` with control characters (C0, DEL, C1) written as \n, \t, \e or \xNN
// and bytes that are not UTF-8 as \xNN; everything else unchanged.
std::string printable(std::string_view text);

// The last `maxCharacters` characters of `text`, after "…" when cut; never
// cuts a character apart.
std::string tailWithin(std::string_view text, std::size_t maxCharacters);

}  // namespace qp
