#pragma once
// Help text that fits an 80-column terminal: CLI11's layout with every line
// that would run past the edge wrapped under its own description column.

#include <CLI/CLI.hpp>

#include <cstddef>
#include <string>

namespace qp {

inline constexpr std::size_t kHelpWidth = 80;

// `text` with each line longer than `width` broken between words; a broken
// line goes on under its description (what follows the first gap of two or
// more spaces, when that starts in the left half), else under its first word.
std::string wrapHelpText(const std::string& text, std::size_t width = kHelpWidth);

class HelpFormatter : public CLI::Formatter {
public:
    HelpFormatter();
    std::string make_help(const CLI::App* app, std::string name,
                          CLI::AppFormatMode mode) const override;
};

}  // namespace qp
