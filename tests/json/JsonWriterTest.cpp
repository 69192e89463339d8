#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <memory>

#include "json/ZelJsonParser.h"
#include "json/ZelJsonWriter.h"

namespace qp {
namespace {

JsonValue nestedArrays(unsigned levels) {
    JsonValue value = JsonValue::Array{};
    for (unsigned i = 1; i < levels; ++i) value = JsonValue::Array{std::move(value)};
    return value;
}

// Stands in for whatever it is given; none stands for "no JSON form".
class Widget : public JsonProxy {
public:
    explicit Widget(std::optional<JsonValue> stand) : m_stand(std::move(stand)) {}
    std::optional<JsonValue> proxyForJson() const override { return m_stand; }
    std::string className() const override { return "Widget"; }

private:
    std::optional<JsonValue> m_stand;
};

// Puts itself inside a list: a cycle only a guard can stop.
class Loop : public JsonProxy, public std::enable_shared_from_this<Loop> {
public:
    explicit Loop(bool wrap) : m_wrap(wrap) {}
    std::optional<JsonValue> proxyForJson() const override {
        JsonValue self(std::static_pointer_cast<const JsonProxy>(shared_from_this()));
        if (m_wrap) return JsonValue(JsonValue::Array{self});
        return self;
    }

private:
    bool m_wrap;
};

TEST(JsonWriter, WritesScalarsAsFragments) {
    ZelJsonWriter writer;
    EXPECT_EQ(writer.stringWithFragment(true), "true");
    EXPECT_EQ(writer.stringWithFragment(false), "false");
    EXPECT_EQ(writer.stringWithFragment(nullptr), "null");
    EXPECT_EQ(writer.stringWithFragment(*JsonDecimal::fromString("1.50")), "1.5");
    EXPECT_EQ(writer.stringWithFragment(-7), "-7");
    EXPECT_EQ(writer.stringWithFragment(0.1), "0.1");
    EXPECT_EQ(writer.stringWithFragment(1e21), "1000000000000000000000");
}

TEST(JsonWriter, StrictFormWantsAContainer) {
    ZelJsonWriter writer;
    EXPECT_FALSE(writer.stringWithObject("text"));
    ASSERT_EQ(writer.errorTrace().size(), 1u);
    EXPECT_EQ(writer.errorTrace()[0].code(), 4);
    EXPECT_EQ(writer.errorTrace()[0].description(), "Not valid type for JSON");
    EXPECT_EQ(writer.stringWithObject(JsonValue::Array{1, "a"}), "[1,\"a\"]");
}

TEST(JsonWriter, EscapesOnlyWhatMustBeEscaped) {
    ZelJsonWriter writer;
    EXPECT_EQ(writer.stringWithFragment("\"/\\\t"), R"("\"/\\\t")");
    EXPECT_EQ(writer.stringWithFragment("\b\f\n\r"), R"("\b\f\n\r")");
    EXPECT_EQ(writer.stringWithFragment(std::string("\0\x01\x1f", 3)), R"("\u0000\u0001\u001f")");
    EXPECT_EQ(writer.stringWithFragment("caf\xC3\xA9 \xF0\x9F\x98\x80"),
              "\"caf\xC3\xA9 \xF0\x9F\x98\x80\"");
    EXPECT_EQ(writer.stringWithFragment("plain"), "\"plain\"");
}

TEST(JsonWriter, RefusesWhatIsNotJson) {
    ZelJsonWriter writer;
    for (double bad : {std::numeric_limits<double>::quiet_NaN(), HUGE_VAL, -HUGE_VAL}) {
        EXPECT_FALSE(writer.stringWithFragment(bad));
        EXPECT_EQ(writer.errorTrace().front().code(), 1);
    }
    EXPECT_FALSE(writer.stringWithFragment("\xFF"));
    EXPECT_EQ(writer.errorTrace().front().code(), 13);

    JsonObject object;
    object.set("k", std::make_shared<Widget>(std::nullopt));
    EXPECT_FALSE(writer.stringWithObject(object));
    ASSERT_EQ(writer.errorTrace().size(), 2u);
    EXPECT_EQ(writer.errorTrace()[0].description(), "JSON serialisation not supported for Widget");
    EXPECT_EQ(writer.errorTrace()[1].code(), 1);
    EXPECT_EQ(writer.errorTrace()[1].description(), "Unsupported value for key k in object");
}

TEST(JsonWriter, HumanReadableLayout) {
    ZelJsonWriter writer;
    writer.setHumanReadable(true);
    JsonObject object;
    object.set("a", JsonValue::Array{1, 2});
    EXPECT_EQ(writer.stringWithObject(object), "{\n  \"a\" : [\n    1,\n    2\n  ]\n}");
    EXPECT_EQ(writer.stringWithObject(JsonValue::Array{}), "[]");
    EXPECT_EQ(writer.stringWithObject(JsonObject{}), "{}");
    writer.setHumanReadable(false);
    EXPECT_EQ(writer.stringWithObject(object), R"({"a":[1,2]})");
    EXPECT_EQ(writer.stringWithObject(JsonObject{}), "{}");
}

TEST(JsonWriter, KeysInTheirOwnOrderOrSorted) {
    ZelJsonWriter writer;
    JsonObject object;
    object.set("b", 1);
    object.set("a", 2);
    object.set("B", 3);
    EXPECT_EQ(writer.stringWithObject(object), R"({"b":1,"a":2,"B":3})");
    writer.setSortKeys(true);
    EXPECT_EQ(writer.stringWithObject(object), R"({"B":3,"a":2,"b":1})");
}

TEST(JsonWriter, NestingLimit) {
    ZelJsonWriter writer;
    EXPECT_TRUE(writer.stringWithObject(nestedArrays(512)));
    EXPECT_FALSE(writer.stringWithObject(nestedArrays(513)));
    EXPECT_EQ(writer.errorTrace().front().code(), 7);
    writer.setMaxDepth(0);
    EXPECT_TRUE(writer.stringWithObject(nestedArrays(ZelJsonBase::kDepthCeiling)));
}

TEST(JsonWriter, ProxiesWriteInPlaceOfTheirObject) {
    ZelJsonWriter writer;
    JsonValue list = JsonValue::Array{std::make_shared<Widget>(JsonValue("w")), 1};
    EXPECT_EQ(writer.stringWithObject(list), R"(["w",1])");
    JsonObject members;
    members.set("x", 1);
    EXPECT_EQ(writer.stringWithObject(std::make_shared<Widget>(JsonValue(members))), R"({"x":1})");
    EXPECT_FALSE(writer.stringWithObject(std::make_shared<Widget>(JsonValue("scalar"))));
    EXPECT_EQ(writer.errorTrace().back().code(), 4);
    EXPECT_EQ(writer.stringWithFragment(std::make_shared<Widget>(JsonValue("scalar"))),
              "\"scalar\"");
}

TEST(JsonWriter, CyclesEndInAnErrorEvenWithTheLimitOff) {
    ZelJsonWriter writer;
    writer.setMaxDepth(0);
    EXPECT_FALSE(writer.stringWithFragment(std::make_shared<Loop>(true)));
    EXPECT_EQ(writer.errorTrace().front().code(), 7);
    EXPECT_FALSE(writer.stringWithFragment(std::make_shared<Loop>(false)));
    EXPECT_EQ(writer.errorTrace().front().code(), 7);
    EXPECT_FALSE(writer.stringWithObject(std::make_shared<Loop>(false)));
}

TEST(JsonWriter, WhatIsWrittenReadsBackEqual) {
    ZelJsonParser parser;
    ZelJsonWriter writer;
    const char* documents[] = {
        R"({"a":[1,2.5,-3e-7,true,null,{"b":"\u0001\"\\ é"}],"c":{},"d":[]})",
        R"([12345678901234567890123456789012345678,1e200,-1e-200,0])",
        R"(["\uD83D\uDE00","tab\there"])",
    };
    for (bool pretty : {false, true}) {
        writer.setHumanReadable(pretty);
        for (const char* document : documents) {
            const auto value = parser.objectWithString(document);
            ASSERT_TRUE(value) << document;
            const auto text = writer.stringWithObject(*value);
            ASSERT_TRUE(text) << document;
            EXPECT_EQ(parser.objectWithString(*text), value) << *text;
        }
    }
}

}  // namespace
}  // namespace qp

namespace qp {
namespace {

// The output grows from its first 128 characters many times over; numbers ask
// for room for their longest form, strings and escapes for their own length.
TEST(JsonWriter, LongOutputsComeOutWhole) {
    const std::string tiny = "0." + std::string(199, '0') + "1";
    const std::string longText(300, 'x');
    JsonValue::Array items;
    std::string expected = "[";
    for (int i = 0; i < 500; ++i) {
        if (i > 0) expected += ',';
        if (i % 3 == 0) {
            items.emplace_back(*JsonDecimal::fromString("1e-200"));
            expected += tiny;
        } else if (i % 3 == 1) {
            items.emplace_back(longText + "\n");
            expected += '"' + longText + "\\n\"";
        } else {
            items.emplace_back(i);
            expected += std::to_string(i);
        }
    }
    expected += ']';
    ZelJsonWriter writer;
    EXPECT_EQ(writer.stringWithObject(items), expected);
}

}  // namespace
}  // namespace qp
