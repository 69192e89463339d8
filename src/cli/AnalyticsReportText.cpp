#include "cli/AnalyticsReportText.h"

#include <fmt/format.h>

#include <algorithm>

#include "cli/TerminalText.h"

namespace qp {
namespace {

// Characters, not bytes: what lines a column up in a terminal.
std::size_t characterCount(const std::string& text) {
    return static_cast<std::size_t>(std::count_if(text.begin(), text.end(), [](char c) {
        return (static_cast<unsigned char>(c) & 0xC0) != 0x80;
    }));
}

std::string table(const char* title, const char* countHeading,
                  const std::vector<NamedCount>& rows) {
    std::string text = fmt::format("\n{}\n", title);
    if (rows.empty()) return text + "  (none)\n";
    std::vector<std::string> names;
    std::size_t width = 0;
    std::size_t countWidth = std::char_traits<char>::length(countHeading);
    for (const NamedCount& row : rows) {
        names.push_back(printable(row.name));
        width = std::max(width, characterCount(names.back()));
        countWidth = std::max(countWidth, std::to_string(row.count).size());
    }
    text += fmt::format("  {}  {:>{}}\n", std::string(width, ' '), countHeading, countWidth);
    for (std::size_t i = 0; i < rows.size(); ++i) {
        text += fmt::format("  {}{}  {:>{}}\n", names[i],
                            std::string(width - characterCount(names[i]), ' '), rows[i].count,
                            countWidth);
    }
    return text;
}

}  // namespace

std::string usageFiguresText(const UsageFigures& figures) {
    std::string text =
        fmt::format("Sessions: {}\nEvents:   {}\n", figures.sessions, figures.events);
    text += table("Sessions per day (UTC)", "sessions", figures.sessionsPerDay);
    text += table("Top events", "count", figures.topEvents);
    text += table("Device classes", "sessions", figures.deviceClasses);
    text += table("System versions", "sessions", figures.systemVersions);
    return text;
}

}  // namespace qp
