#include <gtest/gtest.h>

#include "cli/TerminalText.h"

namespace qp {
namespace {

TEST(TerminalText, ControlCharactersAndBrokenUtf8AreEscaped) {
    const struct {
        std::string raw;
        std::string shown;
    } cases[] = {
        {"plain/photo.jpg", "plain/photo.jpg"},
        {"caf\xC3\xA9 \xF0\x9F\x93\xB7.jpg", "caf\xC3\xA9 \xF0\x9F\x93\xB7.jpg"},  // é and a camera
        {"a\nb\tc\rd", "a\\nb\\tc\\rd"},
        {"\x1b]0;title\x07", "\\e]0;title\\x07"},
        {"del\x7f", "del\\x7F"},
        {"csi\xC2\x9B"
         "31m",
         "csi\\u009B31m"},                          // the C1 control-sequence introducer
        {"half\xC3", "half\\xC3"},                  // cut inside a character
        {"over\xC0\xAF", "over\\xC0\\xAF"},         // an overlong slash
        {"sur\xED\xA0\x80", "sur\\xED\\xA0\\x80"},  // a UTF-16 surrogate
    };
    for (const auto& c : cases) EXPECT_EQ(printable(c.raw), c.shown) << c.raw;
}

TEST(TerminalText, TailsAreCutBetweenCharacters) {
    EXPECT_EQ(tailWithin("short.jpg", 40), "short.jpg");
    EXPECT_EQ(tailWithin("abcdef", 4), "…def");
    // Every character here is two or more bytes: a cut by bytes would split one.
    EXPECT_EQ(tailWithin("\xC3\xA9\xC3\xA9\xE2\x82\xAC\xF0\x9F\x93\xB7", 3),
              "…\xE2\x82\xAC\xF0\x9F\x93\xB7");
}

}  // namespace
}  // namespace qp
