#include <gtest/gtest.h>

#include <string>

#include "json/JsonValue.h"

namespace qp {
namespace {

std::string keyOf(int i) {
    return "key" + std::to_string(i);
}

TEST(JsonObject, ReplacingAKeyKeepsItsFirstPosition) {
    JsonObject object;
    object.set("a", 1);
    object.set("b", 2);
    object.set("a", 3);
    ASSERT_EQ(object.size(), 2u);
    EXPECT_EQ(object.members()[0].first, "a");
    EXPECT_EQ(object.members()[0].second, JsonValue(3));
    EXPECT_EQ(object.members()[1].first, "b");
}

// Past a handful of members lookups go through a hash table; it must agree
// with the members after growth, replacement and copying.
TEST(JsonObject, LargeObjectsFindEveryKey) {
    JsonObject object;
    for (int i = 0; i < 1000; ++i) object.set(keyOf(i), i);
    for (int i = 0; i < 1000; i += 3) object.set(keyOf(i), -i);
    ASSERT_EQ(object.size(), 1000u);
    const JsonObject copy = object;
    for (int i = 0; i < 1000; ++i) {
        const JsonValue* value = copy.find(keyOf(i));
        ASSERT_NE(value, nullptr) << i;
        EXPECT_EQ(*value, JsonValue(i % 3 == 0 ? -i : i)) << i;
        EXPECT_EQ(copy.members()[static_cast<std::size_t>(i)].first, keyOf(i));
    }
    EXPECT_EQ(copy.find("missing"), nullptr);
}

TEST(JsonObject, EqualityIgnoresOrder) {
    JsonObject a;
    a.set("x", 1);
    a.set("y", "z");
    JsonObject b;
    b.set("y", "z");
    b.set("x", 1);
    EXPECT_EQ(a, b);
    b.set("x", 2);
    EXPECT_FALSE(a == b);
}

TEST(JsonValue, BooleansAreNotNumbers) {
    EXPECT_FALSE(JsonValue(true) == JsonValue(1));
    EXPECT_TRUE(JsonValue(true).isBoolean());
    EXPECT_FALSE(JsonValue(true).isNumber());
    EXPECT_TRUE(JsonValue("text").isString());
}

}  // namespace
}  // namespace qp
