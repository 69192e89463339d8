// Who owns what in a tree: values copied out of a tree, containers put into
// other containers and trees changed after reading must stay whole after
// their source is gone (the sanitizer builds catch any dangling reference).
#include <gtest/gtest.h>

#include <memory>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "json/ZelJsonParser.h"
#include "json/ZelJsonWriter.h"

namespace qp {
namespace {

std::string written(const JsonValue& value) {
    ZelJsonWriter writer;
    return writer.stringWithFragment(value).value_or("<not written>");
}

JsonValue parsed(std::string_view text) {
    ZelJsonParser parser;
    std::optional<JsonValue> value = parser.fragmentWithString(text);
    EXPECT_TRUE(value) << text;
    return value ? std::move(*value) : JsonValue();
}

class Counted : public JsonProxy {
public:
    std::optional<JsonValue> proxyForJson() const override { return JsonValue("counted"); }
};

TEST(JsonTree, ValuesCopiedOutOfATreeOutliveIt) {
    const char* const text = R"({"name":"a long enough string","list":[1,"two",{"three":3}],)"
                             R"("n":12.5,"nested":{"k":[true,null]}})";
    std::vector<std::pair<std::string, std::string>> expected = {
        {"name", R"("a long enough string")"},
        {"list", R"([1,"two",{"three":3}])"},
        {"n", "12.5"},
        {"nested", R"({"k":[true,null]})"},
    };
    std::vector<JsonValue> copies;
    {
        const JsonValue root = parsed(text);
        for (const auto& [key, json] : expected) copies.push_back(*root.find(key));
    }
    for (std::size_t i = 0; i < expected.size(); ++i) {
        EXPECT_EQ(written(copies[i]), expected[i].second) << expected[i].first;
    }
    // A whole tree copied, then the original dropped.
    std::optional<JsonValue> root = parsed(text);
    const JsonValue copy = *root;
    root.reset();
    EXPECT_EQ(written(copy), written(parsed(text)));
}

TEST(JsonTree, ATreeReadFromTextCanBeChanged) {
    JsonValue document = parsed(R"({"keep":"x","replace":[1,2,3]})");
    ASSERT_TRUE(document.object());
    document.object()->set("replace", JsonValue::Array{"new", 4});
    document.object()->set("added", JsonObject(*parsed(R"({"deep":{"er":"y"}})").object()));
    JsonArray list;
    list.push_back(*document.find("keep"));
    document.object()->set("list", std::move(list));
    EXPECT_EQ(written(document),
              R"({"keep":"x","replace":["new",4],"added":{"deep":{"er":"y"}},"list":["x"]})");
    // Moving the root keeps the tree; the moved-from value is null.
    JsonValue moved = std::move(document);
    EXPECT_TRUE(document.isNull());  // NOLINT: checks the moved-from state
    EXPECT_EQ(moved.find("added")->find("deep")->find("er")->string()->view(), "y");
}

TEST(JsonTree, ContainersPutIntoContainersComeAlong) {
    JsonValue outer;
    {
        JsonObject inner;
        inner.set("text", std::string(100, 'z'));
        inner.set("n", 7);
        JsonArray middle;
        middle.push_back(std::move(inner));  // taken over whole
        middle.push_back(JsonObject(middle[0].object() ? *middle[0].object() : JsonObject()));
        JsonObject top;
        top.set("middle", std::move(middle));
        outer = std::move(top);
    }
    const std::string expected = R"({"middle":[{"text":")" + std::string(100, 'z') +
                                 R"(","n":7},{"text":")" + std::string(100, 'z') + R"(","n":7}]})";
    EXPECT_EQ(written(outer), expected);
    const JsonValue copy = outer;
    outer = nullptr;
    EXPECT_EQ(written(copy), expected);
}

TEST(JsonTree, GrowingContainersKeepTheirContent) {
    JsonArray list;
    JsonObject object;
    for (int i = 0; i < 500; ++i) {
        list.emplace_back("item " + std::to_string(i));
        object.set("key " + std::to_string(i), i);
    }
    object.set("key 0", "replaced");
    ASSERT_EQ(list.size(), 500u);
    ASSERT_EQ(object.size(), 500u);
    for (int i = 0; i < 500; i += 7) {
        EXPECT_EQ(list[static_cast<std::size_t>(i)].string()->view(), "item " + std::to_string(i));
        EXPECT_EQ(*object.find("key " + std::to_string(i)),
                  i == 0 ? JsonValue("replaced") : JsonValue(i));
    }
    EXPECT_EQ(object.members()[0].first, "key 0");
}

TEST(JsonTree, ProxiesHeldByATreeAreReleasedWithIt) {
    auto proxy = std::make_shared<Counted>();
    {
        JsonArray list{proxy, 1};
        JsonObject object;
        object.set("p", proxy);
        list.push_back(std::move(object));
        EXPECT_EQ(proxy.use_count(), 3);
        EXPECT_EQ(written(JsonValue(list)), R"(["counted",1,{"p":"counted"}])");
    }
    EXPECT_EQ(proxy.use_count(), 1);
}

TEST(JsonTree, EachReadMakesATreeOfItsOwn) {
    ZelJsonParser parser;
    std::optional<JsonValue> first = parser.objectWithString(R"({"a":"first"})");
    std::optional<JsonValue> second = parser.objectWithString(R"({"a":"second"})");
    EXPECT_FALSE(parser.objectWithString(R"({"a":"broken)"));
    std::optional<JsonValue> scalar = parser.fragmentWithString(R"("alone")");
    ASSERT_TRUE(first && second && scalar);
    EXPECT_EQ(first->find("a")->string()->view(), "first");
    EXPECT_EQ(second->find("a")->string()->view(), "second");
    EXPECT_EQ(scalar->string()->view(), "alone");
}

// Memory of dropped trees is kept per thread for the next ones; a tree may
// be dropped on another thread than the one that read it, and threads end.
TEST(JsonTree, TreesMayBeDroppedOnOtherThreads) {
    std::string big = "[";
    for (int i = 0; i < 20000; ++i) big += "\"element " + std::to_string(i) + "\",";
    big += "0]";
    std::optional<JsonValue> tree = parsed(big);
    std::thread([&tree] { tree.reset(); }).join();
    std::string last;
    std::thread([&big, &last] {
        for (int round = 0; round < 3; ++round) {
            const JsonValue again = parsed(big);
            last = again.at(19999)->string()->view();
        }
    }).join();
    EXPECT_EQ(last, "element 19999");
    EXPECT_EQ(parsed(big).array()->size(), 20001u);
}

// Text read without escapes is written back as it is; text read with
// escapes must be escaped again, also once copied into another tree.
TEST(JsonTree, ReadTextIsWrittenBackEscapedWhereItMustBe) {
    const char* const cases[] = {
        R"({"plain":"text","esc\"aped":"line\nbreak","ctl":"\u0001","u":"\u00e9"})",
        R"(["a\\b","\/",""])",
    };
    const char* const expected[] = {
        R"({"plain":"text","esc\"aped":"line\nbreak","ctl":"\u0001","u":"é"})",
        R"(["a\\b","/",""])",
    };
    for (std::size_t i = 0; i < std::size(cases); ++i) {
        const JsonValue read = parsed(cases[i]);
        EXPECT_EQ(written(read), expected[i]) << cases[i];
        JsonArray holder;
        holder.push_back(read);
        EXPECT_EQ(written(holder[0]), expected[i]) << cases[i];
    }
}

TEST(JsonTree, SelfAssignmentKeepsTheValue) {
    JsonValue value = parsed(R"([{"a":"b"}])");
    const JsonValue& same = value;
    value = same;
    EXPECT_EQ(written(value), R"([{"a":"b"}])");
}

}  // namespace
}  // namespace qp
