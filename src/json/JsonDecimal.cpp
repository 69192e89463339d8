#include "json/JsonDecimal.h"

#include <charconv>
#include <cmath>
#include <cstring>
#include <limits>

namespace qp {
namespace {

__extension__ typedef unsigned __int128 Uint128;

constexpr std::uint64_t kTen19 = 10000000000000000000ull;

struct PowersOfTen {
    Uint128 values[JsonDecimal::kMaxDigits + 1];
    constexpr PowersOfTen() : values() {
        Uint128 v = 1;
        for (int i = 0; i <= JsonDecimal::kMaxDigits; ++i) {
            values[i] = v;
            v *= 10;
        }
    }
};
constexpr PowersOfTen kPowers;

bool isDigit(char c) {
    return c >= '0' && c <= '9';
}

Uint128 combine(std::uint64_t high, std::uint64_t low) {
    return (Uint128(high) << 64) | low;
}

// Room for the digits of any coefficient (at most 38) and then some.
constexpr std::size_t kDigitsRoom = 48;

// Writes the decimal digits of `value` (no leading zeros; "0" for zero) at
// `buffer` and answers their count.
std::size_t writeDigits(Uint128 value, char (&buffer)[kDigitsRoom]) {
    char* const end = buffer + kDigitsRoom;
    if (value >> 64 == 0) {
        return static_cast<std::size_t>(
            std::to_chars(buffer, end, static_cast<std::uint64_t>(value)).ptr - buffer);
    }
    // value < 10^38, so the part above 10^19 fits 64 bits.
    const auto high = static_cast<std::uint64_t>(value / kTen19);
    auto low = static_cast<std::uint64_t>(value % kTen19);
    char* const lowStart = std::to_chars(buffer, end, high).ptr;
    char* const p = lowStart + 19;
    for (char* q = p; q > lowStart;) {
        *--q = static_cast<char>('0' + low % 10);
        low /= 10;
    }
    return static_cast<std::size_t>(p - buffer);
}

}  // namespace

JsonDecimal::JsonDecimal(std::int64_t value) : m_negative(value < 0) {
    std::uint64_t magnitude =
        value < 0 ? ~static_cast<std::uint64_t>(value) + 1 : static_cast<std::uint64_t>(value);
    while (magnitude != 0 && magnitude % 10 == 0) {
        magnitude /= 10;
        ++m_exponent;
    }
    m_low = magnitude;
}

JsonDecimal::JsonDecimal(std::uint64_t value) {
    while (value != 0 && value % 10 == 0) {
        value /= 10;
        ++m_exponent;
    }
    m_low = value;
}

std::optional<JsonDecimal> JsonDecimal::fromParts(bool negative, std::uint64_t coefficient,
                                                  std::int64_t exponent) {
    JsonDecimal result;
    if (coefficient == 0) return result;  // zero, whatever its sign or exponent
    while (coefficient % 10 == 0) {
        coefficient /= 10;
        ++exponent;
    }
    if (exponent < kMinExponent || exponent > kMaxExponent) return std::nullopt;
    result.m_low = coefficient;
    result.m_exponent = static_cast<std::int16_t>(exponent);
    result.m_negative = negative;
    return result;
}

std::optional<JsonDecimal> JsonDecimal::fromString(std::string_view text) {
    // Most numbers are short integers: no point, no exponent, at most 18
    // digits, so they fit 64 bits whatever they are.
    if (!text.empty() && text.size() <= 19) {
        const char* q = text.data();
        const char* const last = q + text.size();
        const bool negative = *q == '-';
        if (negative) ++q;
        if (q < last && last - q <= 18 && (*q != '0' || last - q == 1)) {
            std::uint64_t value = 0;
            const char* digit = q;
            for (; digit < last && isDigit(*digit); ++digit) {
                value = value * 10 + static_cast<std::uint64_t>(*digit - '0');
            }
            if (digit == last) {
                JsonDecimal result(value);
                result.m_negative = negative && value != 0;
                return result;
            }
        }
    }
    const char* p = text.data();
    const char* const end = p + text.size();
    bool negative = false;
    if (p < end && *p == '-') {
        negative = true;
        ++p;
    }
    if (p == end || !isDigit(*p)) return std::nullopt;
    if (*p == '0' && p + 1 < end && isDigit(p[1])) return std::nullopt;

    // Significant digits go into the coefficient; zeros after the last
    // non-zero digit wait in `pendingZeros` so they can become exponent.
    Uint128 coefficient = 0;
    int digits = 0;
    std::int64_t pendingZeros = 0;
    std::int64_t exponent = 0;
    auto take = [&](char c) {
        if (c == '0') {
            if (digits > 0) ++pendingZeros;
            return true;
        }
        const std::int64_t needed = digits + pendingZeros + 1;
        if (needed > kMaxDigits) return false;
        coefficient = coefficient * kPowers.values[pendingZeros + 1] + Uint128(c - '0');
        digits = static_cast<int>(needed);
        pendingZeros = 0;
        return true;
    };

    while (p < end && isDigit(*p)) {
        if (!take(*p++)) return std::nullopt;
    }
    if (p < end && *p == '.') {
        ++p;
        if (p == end || !isDigit(*p)) return std::nullopt;
        while (p < end && isDigit(*p)) {
            if (!take(*p++)) return std::nullopt;
            --exponent;
        }
    }
    if (p < end && (*p == 'e' || *p == 'E')) {
        ++p;
        bool negativeExponent = false;
        if (p < end && (*p == '+' || *p == '-')) negativeExponent = *p++ == '-';
        if (p == end || !isDigit(*p)) return std::nullopt;
        // Saturate: anything this large is out of range whatever the digits.
        std::int64_t written = 0;
        while (p < end && isDigit(*p)) {
            if (written < 1'000'000'000'000) written = written * 10 + (*p - '0');
            ++p;
        }
        exponent += negativeExponent ? -written : written;
    }
    if (p != end) return std::nullopt;

    JsonDecimal result;
    if (digits == 0) return result;  // zero, whatever its sign or exponent
    exponent += pendingZeros;
    if (exponent < kMinExponent || exponent > kMaxExponent) return std::nullopt;
    result.m_high = static_cast<std::uint64_t>(coefficient >> 64);
    result.m_low = static_cast<std::uint64_t>(coefficient);
    result.m_exponent = static_cast<std::int16_t>(exponent);
    result.m_negative = negative;
    return result;
}

std::string JsonDecimal::coefficientDigits() const {
    char digits[kDigitsRoom];
    return std::string(digits, writeDigits(combine(m_high, m_low), digits));
}

std::optional<std::int64_t> JsonDecimal::toInt64() const {
    if (m_exponent < 0) return std::nullopt;
    Uint128 magnitude = combine(m_high, m_low);
    const Uint128 limit = Uint128(std::numeric_limits<std::int64_t>::max()) + (m_negative ? 1 : 0);
    for (int i = 0; i < m_exponent; ++i) {
        magnitude *= 10;
        if (magnitude > limit) return std::nullopt;
    }
    if (magnitude > limit) return std::nullopt;
    if (m_negative) return static_cast<std::int64_t>(~static_cast<std::uint64_t>(magnitude) + 1);
    return static_cast<std::int64_t>(magnitude);
}

double JsonDecimal::toDouble() const {
    std::string text = coefficientDigits();
    text += 'e';
    text += std::to_string(m_exponent);
    double value = 0;
    auto result = std::from_chars(text.data(), text.data() + text.size(), value);
    if (result.ec == std::errc::result_out_of_range) {
        value = m_exponent > 0 ? HUGE_VAL : 0.0;
    }
    return m_negative ? -value : value;
}

std::string JsonDecimal::stringValue() const {
    std::string out;
    appendTo(out);
    return out;
}

void JsonDecimal::appendTo(std::string& out) const {
    char text[kMaxTextLength];
    out.append(text, writeTo(text));
}

char* JsonDecimal::writeTo(char* out) const {
    if (m_high == 0 && m_exponent >= 0) {
        // Whole numbers, the most common kind, go straight to the output.
        if (m_negative) *out++ = '-';
        // Most fit 32 bits, whose digits take cheaper multiplications.
        out = m_low <= std::numeric_limits<std::uint32_t>::max()
                  ? std::to_chars(out, out + kDigitsRoom, static_cast<std::uint32_t>(m_low)).ptr
                  : std::to_chars(out, out + kDigitsRoom, m_low).ptr;
        if (isZero()) return out;
        std::memset(out, '0', static_cast<std::size_t>(m_exponent));
        return out + m_exponent;
    }
    char digits[kDigitsRoom];
    const std::size_t length = writeDigits(combine(m_high, m_low), digits);
    if (m_negative) *out++ = '-';
    if (m_exponent >= 0) {
        std::memcpy(out, digits, length);
        out += length;
        if (isZero()) return out;
        std::memset(out, '0', static_cast<std::size_t>(m_exponent));
        return out + m_exponent;
    }
    const auto fraction = static_cast<std::size_t>(-m_exponent);
    if (length > fraction) {
        const std::size_t whole = length - fraction;
        std::memcpy(out, digits, whole);
        out[whole] = '.';
        std::memcpy(out + whole + 1, digits + whole, fraction);
        return out + length + 1;
    }
    out[0] = '0';
    out[1] = '.';
    std::memset(out + 2, '0', fraction - length);
    std::memcpy(out + 2 + fraction - length, digits, length);
    return out + 2 + fraction;
}

}  // namespace qp
