#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "json/JsonErrors.h"
#include "json/ZelJsonParser.h"

namespace qp {
namespace {

std::string nested(unsigned levels) {
    return std::string(levels, '[') + std::string(levels, ']');
}

struct ErrorCase {
    std::string input;
    int code;
    std::string text;  // of the innermost record
};

// Every failing read: none back, and the innermost record names the cause.
void expectInnermostError(const std::vector<ErrorCase>& cases, bool strict = false) {
    for (const ErrorCase& c : cases) {
        ZelJsonParser parser;
        const auto value =
            strict ? parser.objectWithString(c.input) : parser.fragmentWithString(c.input);
        EXPECT_FALSE(value) << c.input;
        ASSERT_FALSE(parser.errorTrace().empty()) << c.input;
        const Error& innermost = parser.errorTrace().front();
        EXPECT_EQ(innermost.domain(), kJsonErrorDomain);
        EXPECT_EQ(innermost.code(), c.code) << c.input;
        EXPECT_EQ(innermost.description(), c.text) << c.input;
    }
}

TEST(JsonReader, RejectsMalformedStructure) {
    expectInnermostError({
        {"[1,]", 9, "Trailing comma disallowed in array"},
        {"[1, ]", 9, "Trailing comma disallowed in array"},
        {R"({"a":1,})", 9, "Trailing comma disallowed in object"},
        {"[", 11, "End of input while parsing array"},
        {"[1", 11, "End of input while parsing array"},
        {"[1,", 11, "End of input while parsing array"},
        {"[ ", 11, "Unexpected end of string"},
        {R"({"a":1)", 11, "End of input while parsing object"},
        {"", 11, "Unexpected end of string"},
        {" \t\n\v\f\r", 11, "Unexpected end of string"},
        {"[1] x", 10, "Garbage after JSON"},
        {"truex", 10, "Garbage after JSON"},
        {std::string("[1]\0", 4), 10, "Garbage after JSON"},
        {"tru", 3, "Expected 'true'"},
        {"fals", 3, "Expected 'false'"},
        {"nulL", 3, "Expected 'null'"},
        {"x", 3, "Unrecognised leading character"},
        {"[,1]", 3, "Unrecognised leading character"},
        {"{1:2}", 3, "Object key string expected"},
        {R"({"a" 1})", 3, "Expected ':' separating key and value"},
        {R"({"a":})", 3, "Unrecognised leading character"},
    });
}

TEST(JsonReader, RejectsMalformedNumbers) {
    expectInnermostError({
        {"01", 2, "Leading 0 disallowed in number"},
        {"-01", 2, "Leading 0 disallowed in number"},
        {"-", 2, "No digits after initial minus"},
        {"-x", 2, "No digits after initial minus"},
        {"1.", 2, "No digits after decimal point"},
        {"1.e5", 2, "No digits after decimal point"},
        {"1e", 2, "No digits after exponent"},
        {"1E-", 2, "No digits after exponent"},
        {"+1", 2, "Leading + disallowed in number"},
        {"1e999", 2, "Failed creating decimal instance"},
        {"1234567890123456789012345678901234567891", 2, "Failed creating decimal instance"},
    });
}

TEST(JsonReader, RejectsMalformedStrings) {
    expectInnermostError({
        {"\"a\tb\"", 5, "Unescaped control character '0x9'"},
        {"\"a\nb\"", 5, "Unescaped control character '0xa'"},
        {"\"abc", 5, "Unescaped control character '0x0'"},
        {std::string("\"a\0b\"", 5), 5, "Unescaped control character '0x0'"},
        {R"("\x")", 8, "Illegal escape sequence '0x78'"},
        {"\"\\", 8, "Illegal escape sequence '0x0'"},
        {"\"a\\n", 11, "Unexpected EOF while parsing string"},
        {R"("\uDC00")", 6, "Invalid high character in surrogate pair"},
        {R"("\uD83Dx")", 6, "Missing low character in surrogate pair"},
        {R"("\uD83D\u0041")", 6, "Invalid low surrogate char"},
        {R"("\uD83D\u00")", 6, "Missing hex digit in quad"},
        {R"("\u12G4")", 6, "Missing hex digit in quad"},
        {"\"\\u12", 6, "Missing hex digit in quad"},
        // Not UTF-8: a stray continuation byte, an overlong slash, an encoded
        // surrogate, a cut-off sequence, a code point beyond U+10FFFF.
        {"\"\x80\"", 13, "Invalid UTF-8 in string"},
        {"\"\xC0\xAF\"", 13, "Invalid UTF-8 in string"},
        {"\"\xED\xA0\x80\"", 13, "Invalid UTF-8 in string"},
        {"\"\xE2\x82\"", 13, "Invalid UTF-8 in string"},
        {"\"\xE2\x82", 13, "Invalid UTF-8 in string"},
        {"\"\xF4\x90\x80\x80\"", 13, "Invalid UTF-8 in string"},
    });
}

TEST(JsonReader, NoTextAtAllIsItsOwnError) {
    ZelJsonParser parser;
    EXPECT_FALSE(parser.fragmentWithString(std::nullopt));
    ASSERT_EQ(parser.errorTrace().size(), 1u);
    EXPECT_EQ(parser.errorTrace()[0].code(), 12);
    EXPECT_EQ(parser.errorTrace()[0].description(), "Input was 'nil'");
}

TEST(JsonReader, StrictFormWantsAContainer) {
    ZelJsonParser parser;
    EXPECT_FALSE(parser.objectWithString("42"));
    ASSERT_EQ(parser.errorTrace().size(), 1u);
    EXPECT_EQ(parser.errorTrace()[0].code(), 4);
    EXPECT_EQ(parser.errorTrace()[0].description(), "Valid fragment, but not JSON");

    const auto number = parser.fragmentWithString("42");
    ASSERT_TRUE(number);
    EXPECT_EQ(*number, JsonValue(42));
    EXPECT_TRUE(parser.errorTrace().empty());  // each run starts afresh
    EXPECT_TRUE(parser.objectWithString(" {} "));
}

TEST(JsonReader, ReadsEveryKindOfValue) {
    ZelJsonParser parser;
    const auto value = parser.objectWithString(
        R"({"s":"x\"\\\/\b\f\n\r\t\u00e9é","n":-1.50e1,"t":true,"f":false,"z":null,"l":[],"o":{}})");
    ASSERT_TRUE(value) << describeErrorTrace(parser.errorTrace());
    EXPECT_EQ(*value->find("s"), JsonValue("x\"\\/\b\f\n\r\t\xC3\xA9\xC3\xA9"));
    EXPECT_EQ(value->find("n")->number()->stringValue(), "-15");
    EXPECT_EQ(*value->find("t"), JsonValue(true));
    EXPECT_EQ(*value->find("f"), JsonValue(false));
    EXPECT_TRUE(value->find("z")->isNull());
    EXPECT_EQ(*value->find("l"), JsonValue(JsonValue::Array{}));
    EXPECT_EQ(*value->find("o"), JsonValue(JsonObject{}));
    EXPECT_EQ(value->object()->members()[0].first, "s");  // document order
}

TEST(JsonReader, ToleratesMissingCommas) {
    ZelJsonParser parser;
    EXPECT_EQ(parser.objectWithString("[1 2]"), JsonValue(JsonValue::Array{1, 2}));
    EXPECT_EQ(parser.objectWithString("[true false]"), JsonValue(JsonValue::Array{true, false}));
    const auto object = parser.objectWithString(R"({"a":1 "b":2})");
    ASSERT_TRUE(object);
    EXPECT_EQ(object->object()->size(), 2u);
}

TEST(JsonReader, DecodesSurrogatePairs) {
    ZelJsonParser parser;
    EXPECT_EQ(parser.fragmentWithString(R"("\uD83D\uDE00")"), JsonValue("\xF0\x9F\x98\x80"));
    EXPECT_EQ(parser.fragmentWithString(R"("\ud800\udfff")"), JsonValue("\xF0\x90\x8F\xBF"));
    EXPECT_EQ(parser.fragmentWithString(R"("\u0000")"), JsonValue(std::string(1, '\0')));
}

TEST(JsonReader, LaterDuplicateKeyWins) {
    ZelJsonParser parser;
    const auto value = parser.objectWithString(R"({"a":1,"b":2,"a":3})");
    ASSERT_TRUE(value);
    ASSERT_EQ(value->object()->size(), 2u);
    EXPECT_EQ(value->object()->members()[0].first, "a");
    EXPECT_EQ(*value->find("a"), JsonValue(3));
}

TEST(JsonReader, NestingLimit) {
    ZelJsonParser parser;
    EXPECT_TRUE(parser.objectWithString(nested(512)));
    EXPECT_FALSE(parser.objectWithString(nested(513)));
    EXPECT_EQ(parser.errorTrace().front().code(), 7);
    EXPECT_EQ(parser.errorTrace().front().description(), "Nested too deep");
    EXPECT_FALSE(parser.objectWithString("[" + std::string(513, '{') + "]"));

    parser.setMaxDepth(0);
    EXPECT_TRUE(parser.objectWithString(nested(ZelJsonBase::kDepthCeiling)));
    // The limit off still stops before the stack could run out.
    EXPECT_FALSE(parser.objectWithString(nested(ZelJsonBase::kDepthCeiling + 1)));
    EXPECT_EQ(parser.errorTrace().front().code(), 7);
    EXPECT_FALSE(parser.objectWithString(std::string(1'000'000, '[')));
}

TEST(JsonReader, TraceChainsFromOutermostToInnermost) {
    ZelJsonParser parser;
    EXPECT_FALSE(parser.objectWithString(R"(["\u12"])"));
    const std::vector<Error>& trace = parser.errorTrace();
    ASSERT_EQ(trace.size(), 4u);
    const std::pair<int, const char*> expected[] = {
        {6, "Missing hex digit in quad"},
        {6, "Missing hex quad"},
        {6, "Broken unicode character"},
        {3, "Expected value while parsing array"},
    };
    const Error* link = &trace.back();
    for (int i = 3; i >= 0; --i) {
        EXPECT_EQ(trace[static_cast<std::size_t>(i)].code(), expected[i].first);
        EXPECT_EQ(trace[static_cast<std::size_t>(i)].description(), expected[i].second);
        ASSERT_NE(link, nullptr);
        EXPECT_EQ(link->description(), expected[i].second);
        link = link->underlying();
    }
    EXPECT_EQ(link, nullptr);
}

TEST(JsonReader, ObjectValueErrorNamesTheKey) {
    ZelJsonParser parser;
    EXPECT_FALSE(parser.objectWithString(R"({"name":[1,]})"));
    EXPECT_EQ(parser.errorTrace().back().description(), "Object value expected for key: name");
}

}  // namespace
}  // namespace qp

namespace qp {
namespace {

// The reader gathers short numbers while it checks them and hands longer ones
// to JsonDecimal::fromString; both ways must give the same value, and refuse
// the same numbers.
TEST(JsonReader, NumbersReadTheSameEitherWay) {
    const char* numbers[] = {
        "0",
        "-0",
        "-0.0",
        "7",
        "1.5000",
        "0.000123",
        "1e2",
        "-12.5E-3",
        "1000",
        "999999999999999999",
        "9999999999999999999",  // 19 digits: the most gathered directly
        "18446744073709551615",
        "18446744073709551616",
        "12345678901234567890",
        "-65.613616999999977",
        "1.0e-200",
        "1e-201",
        "10e200",
        "0.1e201",
        "100e-202",
        "0e999999999999",
        "1e999999999999",
        "123456789012345678901234567890123456789",
    };
    ZelJsonParser parser;
    for (const char* number : numbers) {
        const std::optional<JsonDecimal> expected = JsonDecimal::fromString(number);
        const std::optional<JsonValue> read = parser.fragmentWithString(number);
        ASSERT_EQ(read.has_value(), expected.has_value()) << number;
        if (expected) {
            EXPECT_EQ(*read, JsonValue(*expected)) << number;
        } else {
            EXPECT_EQ(parser.errorTrace().front().description(), "Failed creating decimal instance")
                << number;
        }
    }
}

}  // namespace
}  // namespace qp

namespace qp {
namespace {

// Objects are taken over whole and only then checked for repeated keys: a few
// members pairwise, many through the hash table. Either way a repeated key
// keeps its first position and its last value, and every key is found.
TEST(JsonReader, RepeatedKeysFoldInSmallAndLargeObjects) {
    for (int count : {2, 8, 9, 40}) {
        std::string text = "{";
        for (int i = 0; i < count; ++i)
            text += "\"k" + std::to_string(i) + "\":" + std::to_string(i) + ",";
        text += "\"k0\":-1,\"k1\":-2}";
        ZelJsonParser parser;
        const auto value = parser.objectWithString(text);
        ASSERT_TRUE(value) << count;
        const JsonObject& object = *value->object();
        ASSERT_EQ(object.size(), static_cast<std::size_t>(count)) << count;
        EXPECT_EQ(object.members()[0].first, "k0");
        EXPECT_EQ(object.members()[0].second, JsonValue(-1)) << count;
        EXPECT_EQ(*object.find("k1"), JsonValue(-2)) << count;
        for (int i = 2; i < count; ++i) {
            EXPECT_EQ(object.members()[static_cast<std::size_t>(i)].first, "k" + std::to_string(i));
            EXPECT_EQ(*object.find("k" + std::to_string(i)), JsonValue(i)) << count;
        }
    }
}

}  // namespace
}  // namespace qp
