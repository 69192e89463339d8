#pragma once
// An exact decimal number: a sign, a coefficient of at most 38 decimal digits
// and a power of ten. Every number the reader sees becomes one, so numbers read
// from text never pass through binary floating point.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace qp {

class JsonDecimal {
public:
    static constexpr int kMaxDigits = 38;
    // Range of the power of ten once trailing zeros are folded into it.
    static constexpr int kMinExponent = -200;
    static constexpr int kMaxExponent = 200;

    JsonDecimal() = default;  // zero
    explicit JsonDecimal(std::int64_t value);
    explicit JsonDecimal(std::uint64_t value);

    // Reads text in JSON number syntax. None when the syntax is wrong or the
    // value needs more digits or a larger power of ten than this type holds.
    static std::optional<JsonDecimal> fromString(std::string_view text);
    // coefficient × 10^exponent with the sign; none when out of range. The
    // reader's quick way for numbers of at most 19 digits, already checked.
    static std::optional<JsonDecimal> fromParts(bool negative, std::uint64_t coefficient,
                                                std::int64_t exponent);

    bool isZero() const { return m_high == 0 && m_low == 0; }
    bool isNegative() const { return m_negative; }
    // The value is coefficientDigits() × 10^exponent(), with no trailing zeros.
    int exponent() const { return m_exponent; }
    std::string coefficientDigits() const;

    // The value when it is a whole number that fits.
    std::optional<std::int64_t> toInt64() const;
    // The nearest double (infinite or zero when out of its range).
    double toDouble() const;

    // Plain form: digits, an optional point, no exponent, no trailing zeros.
    std::string stringValue() const;
    void appendTo(std::string& out) const;
    // The longest plain form: a sign, 38 digits, a point or 200 zeros, "0.".
    static constexpr std::size_t kMaxTextLength = 1 + kMaxDigits + 2 - kMinExponent;
    // Writes the plain form at `out`, which has room for kMaxTextLength
    // characters, and answers the end of what it wrote.
    char* writeTo(char* out) const;

    friend bool operator==(const JsonDecimal&, const JsonDecimal&) = default;

private:
    std::uint64_t m_high = 0;
    std::uint64_t m_low = 0;
    std::int16_t m_exponent = 0;
    bool m_negative = false;
};

}  // namespace qp
