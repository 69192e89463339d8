// Help text wrapped for an 80-column terminal.

#include <gtest/gtest.h>

#include <string>

#include "cli/HelpFormatter.h"

using namespace qp;

TEST(HelpFormatter, WrapsLongLinesUnderTheirOwnDescription) {
    const struct {
        const char* name;
        std::string text;
        std::size_t width;
        std::string wrapped;
    } cases[] = {
        {"fits", "  --home DIR  App home\n", 30, "  --home DIR  App home\n"},
        {"option line", "  --home DIR  App home folder, else elsewhere\n", 30,
         "  --home DIR  App home folder,\n              else elsewhere\n"},
        {"no gap", "Quillpost puts a whole photo into a square\n", 20,
         "Quillpost puts a\nwhole photo into a\nsquare\n"},
        {"indented, no gap", "    one two three four five\n", 14,
         "    one two\n    three four\n    five\n"},
        // A description that starts past the middle is no column to hang on.
        {"late gap", "  a-very-long-option-name  description words here\n", 40,
         "  a-very-long-option-name  description\n  words here\n"},
        // A word that fits no line stays whole where it is.
        {"word longer than the line", "  x  abcdefghijklmnopqrstuvwxyz end\n", 12,
         "  x  abcdefghijklmnopqrstuvwxyz\n     end\n"},
        {"last line without newline", "ab cd", 3, "ab\ncd\n"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(wrapHelpText(c.text, c.width), c.wrapped);
    }
}
