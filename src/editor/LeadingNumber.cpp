#include "editor/LeadingNumber.h"

#include <charconv>
#include <limits>
#include <string>

namespace qp {

namespace {

bool isSpace(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\v' || c == '\f';
}
bool isDigit(char c) {
    return c >= '0' && c <= '9';
}

// Skips white space and reads an optional sign; answers whether it was '-'.
bool skipToDigits(std::string_view text, std::size_t& pos) {
    while (pos < text.size() && isSpace(text[pos])) ++pos;
    bool negative = false;
    if (pos < text.size() && (text[pos] == '+' || text[pos] == '-')) {
        negative = text[pos] == '-';
        ++pos;
    }
    return negative;
}

}  // namespace

std::int32_t leadingInteger(std::string_view text) {
    std::size_t pos = 0;
    const bool negative = skipToDigits(text, pos);
    // Accumulate as a negative number so INT32_MIN is reachable.
    constexpr std::int64_t kLow = std::numeric_limits<std::int32_t>::min();
    std::int64_t value = 0;
    for (; pos < text.size() && isDigit(text[pos]); ++pos) {
        value = value * 10 - (text[pos] - '0');
        if (value < kLow) value = kLow;  // saturate; keep reading nothing more useful
    }
    if (!negative) {
        value = -value;
        if (value > std::numeric_limits<std::int32_t>::max()) {
            value = std::numeric_limits<std::int32_t>::max();
        }
    }
    return static_cast<std::int32_t>(value);
}

float leadingFloat(std::string_view text) {
    std::size_t pos = 0;
    const bool negative = skipToDigits(text, pos);
    const std::size_t start = pos;
    bool sawDigit = false;
    bool sawNonZero = false;
    while (pos < text.size() && isDigit(text[pos])) {
        sawDigit = true;
        sawNonZero = sawNonZero || text[pos] != '0';
        ++pos;
    }
    const bool wholeNonZero = sawNonZero;
    if (pos < text.size() && text[pos] == '.') {
        std::size_t fraction = pos + 1;
        while (fraction < text.size() && isDigit(text[fraction])) {
            sawDigit = true;
            ++fraction;
        }
        pos = fraction;
    }
    if (!sawDigit) return 0.0f;

    std::string digits(text.substr(start, pos - start));
    if (digits.back() == '.') digits.pop_back();
    if (digits.front() == '.') digits.insert(digits.begin(), '0');
    double value = 0;
    const auto [end, ec] = std::from_chars(digits.data(), digits.data() + digits.size(), value,
                                           std::chars_format::fixed);
    (void)end;
    constexpr double kMax = std::numeric_limits<float>::max();
    if (ec == std::errc::result_out_of_range) {
        value = wholeNonZero ? kMax : 0.0;
    } else if (ec != std::errc()) {
        value = 0.0;
    }
    if (value > kMax) value = kMax;
    return static_cast<float>(negative ? -value : value);
}

std::vector<std::string_view> commaParts(std::string_view text) {
    std::vector<std::string_view> parts;
    std::size_t start = 0;
    while (true) {
        const std::size_t comma = text.find(',', start);
        if (comma == std::string_view::npos) {
            parts.push_back(text.substr(start));
            return parts;
        }
        parts.push_back(text.substr(start, comma - start));
        start = comma + 1;
    }
}

std::optional<std::vector<std::int32_t>> leadingIntegers(std::string_view text, std::size_t count) {
    const std::vector<std::string_view> parts = commaParts(text);
    if (parts.size() < count) return std::nullopt;
    std::vector<std::int32_t> values;
    values.reserve(count);
    for (std::size_t i = 0; i < count; ++i) values.push_back(leadingInteger(parts[i]));
    return values;
}

std::optional<std::vector<float>> leadingFloats(std::string_view text, std::size_t count) {
    const std::vector<std::string_view> parts = commaParts(text);
    if (parts.size() < count) return std::nullopt;
    std::vector<float> values;
    values.reserve(count);
    for (std::size_t i = 0; i < count; ++i) values.push_back(leadingFloat(parts[i]));
    return values;
}

}  // namespace qp
