#pragma once
// URLs handed to the app from outside (the desktop's URL handler, a second
// start): what is accepted, and how one is written to the log without the
// secrets a login redirect carries.

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace qp {

// Longer URLs are refused: no redirect the app expects comes near it.
inline constexpr std::size_t kMaxIncomingURLLength = 8 * 1024;
inline constexpr const char* kRedactedValue = "<redacted>";

// Why `url` cannot be handed to the app, for the user to read; nothing when
// it can. Refused: no scheme, longer than kMaxIncomingURLLength bytes, or
// any control character.
std::optional<std::string> incomingURLProblem(std::string_view url);

// `url` for the log: the value of every query and fragment parameter (and
// any user information) replaced by kRedactedValue, except the few that
// carry no secret (expiry, error names).
std::string redactedURL(std::string_view url);

}  // namespace qp
