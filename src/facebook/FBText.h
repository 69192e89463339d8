#pragma once
// Text helpers of the social-network client: filling "%@" formats, the
// escaping of query values, decoding percent escapes and reading integers
// the lenient way the service's answers need.

#include <cstdint>
#include <initializer_list>
#include <optional>
#include <string>
#include <string_view>

namespace qp {

// Replaces each "%@" of `format`, in order, with the next argument; extra
// placeholders stay as they are.
std::string fillFormat(std::string_view format, std::initializer_list<std::string_view> arguments);

// The value's UTF-8 bytes with everything but ASCII letters, digits and
// "-", ".", "_", "~" written as "%" and two upper-case hexadecimal digits.
std::string percentEscape(std::string_view value);

// Percent escapes decoded; none when an escape is malformed or the decoded
// bytes are not UTF-8. "+" stays "+".
std::optional<std::string> percentDecode(std::string_view text);

// The leading integer of `text`: white space skipped, an optional sign, then
// decimal digits up to the first other character; 0 when there are none.
// Saturates instead of overflowing.
std::int64_t integerValue(std::string_view text);

}  // namespace qp
