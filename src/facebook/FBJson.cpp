#include "facebook/FBJson.h"

#include <algorithm>
#include <cmath>
#include <limits>

#include "facebook/FBText.h"
#include "json/ZelJSON.h"

namespace qp {

std::optional<std::int64_t> fbInt64Value(const JsonValue& value) {
    if (const JsonDecimal* number = value.number()) {
        if (std::optional<std::int64_t> whole = number->toInt64()) return whole;
        const double approximate = std::trunc(number->toDouble());
        constexpr double kLimit = 9.2e18;  // inside the range of int64
        return static_cast<std::int64_t>(std::clamp(approximate, -kLimit, kLimit));
    }
    if (const JsonString* text = value.string()) return integerValue(*text);
    if (const bool* flag = value.boolean()) return *flag ? 1 : 0;
    return std::nullopt;
}

int fbIntValue(const JsonValue& value) {
    const std::int64_t wide = fbInt64Value(value).value_or(0);
    return static_cast<int>(std::clamp<std::int64_t>(wide, std::numeric_limits<int>::min(),
                                                     std::numeric_limits<int>::max()));
}

std::optional<std::string> fbTextValue(const JsonValue& value) {
    if (const JsonString* text = value.string()) return *text;
    if (const JsonDecimal* number = value.number()) return number->stringValue();
    return std::nullopt;
}

Error::Details fbErrorDetails(const JsonValue::Object& object) {
    Error::Details details;
    ZelJSON writer;
    for (const auto& [key, value] : object) {
        if (const JsonString* text = value.string()) {
            details[key] = *text;
        } else if (std::optional<std::string> json = writer.stringWithFragment(value, nullptr)) {
            details[key] = std::move(*json);
        }
    }
    return details;
}

}  // namespace qp
