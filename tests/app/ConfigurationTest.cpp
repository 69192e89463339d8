// What the configuration accepts and how it says what is wrong with a file.

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

#include "appkit/Configuration.h"
#include "support/TempFolder.h"

using namespace qp;

namespace {

bool says(const Result<void>& result, const std::string& words) {
    return !result.ok() && result.error().description().find(words) != std::string::npos;
}

}  // namespace

TEST(Configuration, ReadsUtf8WithOrWithoutAByteOrderMark) {
    Configuration plain;
    ASSERT_TRUE(plain.mergeJson(R"({"feed_host": "caf\u00e9 h\u00f4te"})", "test").ok());
    EXPECT_EQ(plain.value(config::kFeedHost), "caf\xC3\xA9 h\xC3\xB4te");

    Configuration marked;
    ASSERT_TRUE(marked.mergeJson("\xEF\xBB\xBF{\"feed_host\": \"h\xC3\xB4te\"}", "test").ok());
    EXPECT_EQ(marked.value(config::kFeedHost), "h\xC3\xB4te");
}

TEST(Configuration, NamesTheFirstByteThatIsNotUtf8) {
    const struct {
        std::string text;
        std::string says;
    } cases[] = {
        {"{\"feed_host\": \"\xE9t\xE9\"}", "not valid UTF-8 (bad byte at offset 15)"},
        // A surrogate written out in bytes is no character at all.
        {"{\"feed_host\": \"\xED\xA0\x80\"}", "not valid UTF-8 (bad byte at offset 15)"},
        // Offsets count the byte-order mark: they are offsets in the file.
        {"\xEF\xBB\xBF{\"a\": \"\xFF\"}", "not valid UTF-8 (bad byte at offset 10)"},
        {"{\"a\": \"x\"}\xC3", "not valid UTF-8 (bad byte at offset 10)"},
        // An escaped lone surrogate is well-formed UTF-8 but no text: the
        // reader's own reason comes first, then where it was.
        {R"({"feed_host": "\ud800"})", "surrogate"},
        {R"({"feed_host": "\ud800"})", "feed_host"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        Configuration configuration;
        const Result<void> merged = configuration.mergeJson(c.text, "/etc/qp.json");
        EXPECT_TRUE(says(merged, "/etc/qp.json: ")) << merged.error().description();
        EXPECT_TRUE(says(merged, c.says)) << merged.error().description();
    }
}

TEST(Configuration, TheAnalyticsKeyIsTwentyCapitalLettersAndDigits) {
    const struct {
        const char* key;
        bool accepted;
    } cases[] = {
        {"QUILLPOSTDESKTOP2026", true},         {"01234567890123456789", true},
        {"QUILLPOSTDESKTOP202", false},         {"QUILLPOSTDESKTOP20266", false},
        {"quillpostdesktop2026", false},        {"QUILLPOST DESKTOP 26", false},
        {"QUILLPOSTDESKTOP202\xC3\x89", false}, {"", false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.key);
        Configuration fromFile;
        const Result<void> merged =
            fromFile.mergeJson(std::string(R"({"analytics_key": ")") + c.key + "\"}", "file");
        EXPECT_EQ(merged.ok(), c.accepted);
        EXPECT_EQ(says(merged, "20 capital letters and digits"), !c.accepted);

        setenv("QUILLPOST_ANALYTICS_KEY", c.key, 1);
        Configuration fromEnvironment;
        const Result<void> overridden = fromEnvironment.mergeEnvironment();
        unsetenv("QUILLPOST_ANALYTICS_KEY");
        EXPECT_EQ(overridden.ok(), c.accepted);
        EXPECT_EQ(says(overridden, "$QUILLPOST_ANALYTICS_KEY: "), !c.accepted);
    }
    // A number of the right form is as good as the string.
    Configuration numeric;
    EXPECT_TRUE(numeric.mergeJson(R"({"analytics_key": 12345678901234567890})", "file").ok());
    EXPECT_EQ(numeric.value(config::kAnalyticsKey), "12345678901234567890");
}

TEST(Configuration, SaysWhatIsWrongWithTheFileItself) {
    TempFolder folder;
    const std::filesystem::path file = folder.path() / "config.json";
    std::ofstream(file) << R"({"feed_host": "h"})";
    EXPECT_TRUE(Configuration::checkFile(file).ok());
    EXPECT_TRUE(says(Configuration::checkFile(folder.path() / "absent.json"), "no such file"));
    EXPECT_TRUE(says(Configuration::checkFile(folder.path()), "is a directory"));
    EXPECT_TRUE(says(Configuration::checkFile("/dev/null"), "not a regular file"));
    EXPECT_TRUE(says(Configuration::checkFile(""), "an empty name"));

    // Absent is fine when nobody named the file; a directory never is.
    EXPECT_TRUE(Configuration::load(folder.path() / "absent.json").ok());
    const Result<Configuration> directory = Configuration::load(folder.path());
    ASSERT_FALSE(directory.ok());
    EXPECT_NE(directory.error().description().find("is a directory"), std::string::npos);
}
