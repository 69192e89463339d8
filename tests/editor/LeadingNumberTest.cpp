#include <gtest/gtest.h>

#include <cfloat>
#include <climits>
#include <string>

#include "editor/LeadingNumber.h"

namespace qp {
namespace {

TEST(LeadingNumber, IntegersReadUpToTheFirstOtherCharacter) {
    const struct {
        const char* text;
        int expected;
    } cases[] = {
        {"255", 255},
        {" 128", 128},
        {"\t\n 7", 7},
        {"-12", -12},
        {"+3", 3},
        {"12.9", 12},
        {"42px", 42},
        {"", 0},
        {"abc", 0},
        {"- 5", 0},
        {"0x1F", 0},
        {"  ", 0},
        {"007", 7},
        {"99999999999", INT_MAX},
        {"-99999999999", INT_MIN},
        {"2147483647", INT_MAX},
        {"-2147483648", INT_MIN},
    };
    for (const auto& c : cases) EXPECT_EQ(leadingInteger(c.text), c.expected) << c.text;
}

TEST(LeadingNumber, FloatsTakeAFractionButNoExponent) {
    const struct {
        const char* text;
        float expected;
    } cases[] = {
        {"24", 24.0f}, {" 12.5", 12.5f}, {"-0.25", -0.25f}, {".5", 0.5f},  {"5.", 5.0f},
        {"1e3", 1.0f}, {"3.5pt", 3.5f},  {"", 0.0f},        {".", 0.0f},   {"-", 0.0f},
        {"x1", 0.0f},  {"+7.75", 7.75f}, {"1.2.3", 1.2f},   {"nan", 0.0f}, {"inf", 0.0f},
    };
    for (const auto& c : cases) EXPECT_FLOAT_EQ(leadingFloat(c.text), c.expected) << c.text;
}

TEST(LeadingNumber, HugeFloatsStayFinite) {
    const std::string big = "1" + std::string(400, '0');
    EXPECT_EQ(leadingFloat(big), FLT_MAX);
    EXPECT_EQ(leadingFloat("-" + big), -FLT_MAX);
    EXPECT_EQ(leadingFloat("0." + std::string(400, '0') + "1"), 0.0f);
}

TEST(LeadingNumber, PartsAreTheTextsBetweenCommas) {
    EXPECT_EQ(commaParts(""), (std::vector<std::string_view>{""}));
    EXPECT_EQ(commaParts("a"), (std::vector<std::string_view>{"a"}));
    EXPECT_EQ(commaParts("1,,3,"), (std::vector<std::string_view>{"1", "", "3", ""}));
}

TEST(LeadingNumber, ListsNeedEnoughParts) {
    EXPECT_EQ(leadingIntegers("255, 128,0", 3), (std::vector<int>{255, 128, 0}));
    EXPECT_EQ(leadingIntegers("1,2,3,4", 3), (std::vector<int>{1, 2, 3}));
    EXPECT_EQ(leadingIntegers(",,", 3), (std::vector<int>{0, 0, 0}));
    EXPECT_FALSE(leadingIntegers("255,128", 3));
    EXPECT_FALSE(leadingIntegers("", 2));
    EXPECT_EQ(leadingFloats("10,20,110,70", 4), (std::vector<float>{10, 20, 110, 70}));
    EXPECT_FALSE(leadingFloats("10 20 110 70", 4));
}

}  // namespace
}  // namespace qp
