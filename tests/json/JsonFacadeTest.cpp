#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "json/JsonConveniences.h"
#include "json/ZelJSON.h"
#include "support/LogCapture.h"

namespace qp {
namespace {

TEST(ZelJSON, FailureCopiesTheTraceAndHandsOutTheOutermostError) {
    ZelJSON json;
    Error error;
    EXPECT_FALSE(json.objectWithString(R"(["\u12"])", &error));
    EXPECT_EQ(json.errorTrace().size(), 4u);
    EXPECT_EQ(error, json.errorTrace().back());
    EXPECT_EQ(error.code(), 3);
    ASSERT_NE(error.underlying(), nullptr);
    EXPECT_EQ(error.underlying()->description(), "Broken unicode character");

    // Success leaves the facade's trace as it was.
    EXPECT_TRUE(json.objectWithString("[1]", &error));
    EXPECT_EQ(json.errorTrace().size(), 4u);
}

TEST(ZelJSON, ScalarFormsChooseStrictOrFragment) {
    ZelJSON json;
    Error error;
    EXPECT_FALSE(json.objectWithString("7", false, &error));
    EXPECT_EQ(error.code(), 4);
    EXPECT_EQ(json.objectWithString("7", true, nullptr), JsonValue(7));
    EXPECT_EQ(json.fragmentWithString("\"s\"", nullptr), JsonValue("s"));
    EXPECT_FALSE(json.stringWithObject("s", &error));
    EXPECT_EQ(error.description(), "Not valid type for JSON");
    EXPECT_EQ(json.stringWithFragment("s", nullptr), "\"s\"");
    EXPECT_EQ(json.stringWithObject(JsonValue::Array{}, true, nullptr), "[]");
}

TEST(ZelJSON, SettingsReachBothComponents) {
    ZelJSON json;
    EXPECT_EQ(json.maxDepth(), 512u);
    json.setMaxDepth(2);
    EXPECT_EQ(json.jsonParser().maxDepth(), 2u);
    EXPECT_EQ(json.jsonWriter().maxDepth(), 2u);
    EXPECT_FALSE(json.objectWithString("[[[]]]"));
    EXPECT_FALSE(json.stringWithObject(JsonValue::Array{JsonValue::Array{JsonValue::Array{}}}));
    json.setHumanReadable(true);
    json.setSortKeys(true);
    EXPECT_TRUE(json.jsonWriter().humanReadable());
    EXPECT_TRUE(json.jsonWriter().sortKeys());
}

class ConvenienceLog : public ::testing::Test {
protected:
    LogCapture m_log;
};

TEST_F(ConvenienceLog, FailuresLogTheirTrace) {
    EXPECT_FALSE(JSONValue("[1,]"));
    EXPECT_FALSE(JSONFragmentValue(""));
    EXPECT_FALSE(JSONRepresentation("s"));
    EXPECT_FALSE(JSONFragment(HUGE_VAL));
    ASSERT_EQ(m_log.lines().size(), 4u);
    EXPECT_EQ(m_log.lines()[0],
              "-JSONValue failed. Error trace is: (9 \"Trailing comma disallowed in array\")");
    EXPECT_EQ(m_log.lines()[1],
              "-JSONFragmentValue failed. Error trace is: (11 \"Unexpected end of string\")");
    EXPECT_EQ(m_log.lines()[2],
              "-JSONRepresentation failed. Error trace is: (4 \"Not valid type for JSON\")");
    EXPECT_EQ(m_log.lines()[3].rfind("-JSONFragment failed. Error trace is: (1 ", 0), 0u);
}

TEST_F(ConvenienceLog, SuccessIsSilent) {
    EXPECT_EQ(JSONValue(R"({"a":[true]})"),
              JsonValue(JsonObject(*JSONValue(R"({"a":[true]})")->object())));
    EXPECT_EQ(JSONFragmentValue("null"), JsonValue());
    EXPECT_EQ(JSONRepresentation(JsonValue::Array{1}), "[1]");
    EXPECT_EQ(JSONFragment(2), "2");
    EXPECT_TRUE(m_log.lines().empty());
}

}  // namespace
}  // namespace qp
