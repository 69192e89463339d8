#include <gtest/gtest.h>

#include "json/JsonDecimal.h"

namespace qp {
namespace {

TEST(JsonDecimal, ReadsIntoPlainForm) {
    const struct {
        const char* text;
        const char* plain;
    } cases[] = {
        {"0", "0"},
        {"-0", "0"},
        {"-0.000e5", "0"},
        {"0e999999999999999999999", "0"},
        {"1.50", "1.5"},
        {"1e2", "100"},
        {"1E+2", "100"},
        {"12.5e-3", "0.0125"},
        {"-42", "-42"},
        {"1000", "1000"},
        {"0.001", "0.001"},
        {"10.01", "10.01"},
        {"18446744073709551615", "18446744073709551615"},
        {"18446744073709551616", "18446744073709551616"},
        {"-18446744073709551615e3", "-18446744073709551615000"},
        {"12345678901234567890123456789012345678", "12345678901234567890123456789012345678"},
        {"-1234567890123456789012345678.9012345678", "-1234567890123456789012345678.9012345678"},
        // 39 digits, but the last is a zero that becomes exponent.
        {"123456789012345678901234567890123456780", "123456789012345678901234567890123456780"},
        {"99999999999999999999999999999999999999e-38", "0.99999999999999999999999999999999999999"},
    };
    for (const auto& c : cases) {
        const auto number = JsonDecimal::fromString(c.text);
        ASSERT_TRUE(number) << c.text;
        EXPECT_EQ(number->stringValue(), c.plain) << c.text;
    }
}

TEST(JsonDecimal, ReachesTwoHundredPowersOfTenEachWay) {
    const auto big = JsonDecimal::fromString("1e200");
    ASSERT_TRUE(big);
    EXPECT_EQ(big->stringValue(), "1" + std::string(200, '0'));
    const auto small = JsonDecimal::fromString("-1e-200");
    ASSERT_TRUE(small);
    EXPECT_EQ(small->stringValue(), "-0." + std::string(199, '0') + "1");
    // Written forms read back as the same value.
    EXPECT_EQ(JsonDecimal::fromString(big->stringValue()), big);
    EXPECT_EQ(JsonDecimal::fromString(small->stringValue()), small);
}

TEST(JsonDecimal, RefusesWhatItCannotHoldOrRead) {
    for (const char* text :
         {"1e201", "1e-201", "1e99999999999999999999999",
          "1234567890123456789012345678901234567891", "1.00000000000000000000000000000000000001",
          "", "-", "01", "1.", ".5", "1e", "1e+", "+1", "1x", " 1", "0x10"}) {
        EXPECT_FALSE(JsonDecimal::fromString(text)) << text;
    }
}

TEST(JsonDecimal, EqualValuesCompareEqualWhateverTheirText) {
    EXPECT_EQ(JsonDecimal::fromString("1.0"), JsonDecimal::fromString("1"));
    EXPECT_EQ(JsonDecimal::fromString("100"), JsonDecimal(std::int64_t{100}));
    EXPECT_EQ(JsonDecimal::fromString("0.5e1"), JsonDecimal::fromString("5"));
    EXPECT_NE(JsonDecimal::fromString("-5"), JsonDecimal::fromString("5"));
}

TEST(JsonDecimal, ConvertsToIntegersOnlyWhenExact) {
    EXPECT_EQ(JsonDecimal::fromString("9223372036854775807")->toInt64(), INT64_MAX);
    EXPECT_EQ(JsonDecimal::fromString("-9223372036854775808")->toInt64(), INT64_MIN);
    EXPECT_EQ(JsonDecimal::fromString("1e3")->toInt64(), 1000);
    EXPECT_FALSE(JsonDecimal::fromString("9223372036854775808")->toInt64());
    EXPECT_FALSE(JsonDecimal::fromString("1.5")->toInt64());
    EXPECT_FALSE(JsonDecimal::fromString("1e100")->toInt64());
    EXPECT_EQ(JsonDecimal(std::int64_t{INT64_MIN}).stringValue(), "-9223372036854775808");
    EXPECT_EQ(JsonDecimal(std::uint64_t{UINT64_MAX}).stringValue(), "18446744073709551615");
}

TEST(JsonDecimal, ConvertsToNearestDouble) {
    EXPECT_EQ(JsonDecimal::fromString("0.1")->toDouble(), 0.1);
    EXPECT_EQ(JsonDecimal::fromString("-2.5e3")->toDouble(), -2500.0);
    EXPECT_EQ(JsonDecimal::fromString("1e-200")->toDouble(), 1e-200);
}

}  // namespace
}  // namespace qp
