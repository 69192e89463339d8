#pragma once
// One-call reading and writing, each with a fresh reader or writer. On failure
// they log the error trace and give none.

#include <optional>
#include <string>
#include <string_view>

#include "json/JsonValue.h"

namespace qp {

inline constexpr const char* kLogJSONRepresentationFailed =
    "-JSONRepresentation failed. Error trace is: %@";
inline constexpr const char* kLogJSONFragmentFailed = "-JSONFragment failed. Error trace is: %@";
inline constexpr const char* kLogJSONValueFailed = "-JSONValue failed. Error trace is: %@";
inline constexpr const char* kLogJSONFragmentValueFailed =
    "-JSONFragmentValue failed. Error trace is: %@";

// The text of a map or a list.
std::optional<std::string> JSONRepresentation(const JsonValue& value);
// The text of any value.
std::optional<std::string> JSONFragment(const JsonValue& value);
// A map or a list read from `text`.
std::optional<JsonValue> JSONValue(std::string_view text);
// Any value read from `text`.
std::optional<JsonValue> JSONFragmentValue(std::string_view text);

}  // namespace qp
