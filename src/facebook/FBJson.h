#pragma once
// Reading the service's JSON answers leniently: numbers that come as text,
// members of any kind turned into error details.

#include <cstdint>
#include <optional>
#include <string>

#include "json/JsonValue.h"
#include "platform/Error.h"

namespace qp {

// The integer a member stands for: a number (fraction cut off, clamped to
// int), a string read like integerValue, a boolean as 1 or 0; 0 otherwise.
int fbIntValue(const JsonValue& value);
// The same, 64 bits wide; none for kinds that carry no number at all (null,
// lists, objects).
std::optional<std::int64_t> fbInt64Value(const JsonValue& value);
// A string as is, a number as its decimal text; none for other kinds.
std::optional<std::string> fbTextValue(const JsonValue& value);
// Each member as a detail: strings as they are, other values as JSON text.
Error::Details fbErrorDetails(const JsonValue::Object& object);

}  // namespace qp
