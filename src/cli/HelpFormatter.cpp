#include "cli/HelpFormatter.h"

#include <sstream>

namespace qp {

namespace {

// Option names and their values stay narrow; descriptions get the rest.
constexpr std::size_t kOptionColumn = 24;

// Where a continuation of `line` starts: its description column (after the
// first gap of two or more spaces, in the left half), else the indent of its
// first word.
std::size_t continuationIndent(const std::string& line, std::size_t width) {
    const std::size_t first = line.find_first_not_of(' ');
    if (first == std::string::npos) return 0;
    const std::size_t gap = line.find("  ", first);
    if (gap == std::string::npos) return first;
    const std::size_t description = line.find_first_not_of(' ', gap);
    return description != std::string::npos && description <= width / 2 ? description : first;
}

void appendWrapped(std::string& out, std::string line, std::size_t width) {
    const std::size_t indent = continuationIndent(line, width);
    const std::string hang(indent, ' ');
    while (line.size() > width) {
        // The last space that fits, else the first one past the edge: a word
        // longer than the line is left whole.
        std::size_t cut = line.rfind(' ', width);
        if (cut == std::string::npos || cut <= indent) cut = line.find(' ', width);
        if (cut == std::string::npos) break;
        const std::size_t next = line.find_first_not_of(' ', cut);
        if (next == std::string::npos) break;
        const std::size_t end = line.find_last_not_of(' ', cut);
        out += line.substr(0, end + 1) + "\n";
        line = hang + line.substr(next);
    }
    out += line + "\n";
}

}  // namespace

std::string wrapHelpText(const std::string& text, std::size_t width) {
    std::string out;
    std::istringstream lines(text);
    for (std::string line; std::getline(lines, line);) {
        if (line.size() <= width) {
            out += line + "\n";
        } else {
            appendWrapped(out, line, width);
        }
    }
    return out;
}

HelpFormatter::HelpFormatter() {
    column_width(kOptionColumn);
}

std::string HelpFormatter::make_help(const CLI::App* app, std::string name,
                                     CLI::AppFormatMode mode) const {
    return wrapHelpText(CLI::Formatter::make_help(app, std::move(name), mode));
}

}  // namespace qp
