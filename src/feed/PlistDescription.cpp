#include "feed/PlistDescription.h"

#include <algorithm>
#include <cctype>

#include <fmt/format.h>

namespace qp {

namespace {

bool needsQuotes(const std::string& text) {
    return text.empty() || !std::all_of(text.begin(), text.end(), [](char c) {
               return std::isalnum(static_cast<unsigned char>(c)) || c == '_' || c == '.' ||
                      c == '/';
           });
}

std::string quoted(const std::string& text) {
    if (!needsQuotes(text)) return text;
    std::string out = "\"";
    for (char c : text) {
        if (c == '"' || c == '\\') out += '\\';
        if (c == '\n') {
            out += "\\n";
            continue;
        }
        out += c;
    }
    return out + '"';
}

void describe(const PlistValue& value, int depth, std::string& out) {
    const std::string indent(static_cast<std::size_t>(depth) * 4, ' ');
    const std::string inner(static_cast<std::size_t>(depth + 1) * 4, ' ');
    switch (value.type()) {
        case PlistValue::Type::String:
            out += quoted(value.stringValue());
            return;
        case PlistValue::Type::Integer:
            out += std::to_string(value.integerValue());
            return;
        case PlistValue::Type::Real:
            out += fmt::format("{}", value.realValue());
            return;
        case PlistValue::Type::Boolean:
            out += value.boolValue() ? "1" : "0";
            return;
        case PlistValue::Type::Date:
            out +=
                fmt::format("\"{} s since 1970\"", std::chrono::duration_cast<std::chrono::seconds>(
                                                       value.dateValue().time_since_epoch())
                                                       .count());
            return;
        case PlistValue::Type::Data:
            out += fmt::format("<{} bytes>", value.dataValue().size());
            return;
        case PlistValue::Type::Array: {
            out += "(\n";
            const PlistArray& items = value.arrayValue();
            for (std::size_t i = 0; i < items.size(); ++i) {
                out += inner;
                describe(items[i], depth + 1, out);
                out += i + 1 < items.size() ? ",\n" : "\n";
            }
            out += indent + ")";
            return;
        }
        case PlistValue::Type::Dictionary:
            out += "{\n";
            for (const auto& [key, item] : value.dictionaryValue()) {
                out += inner + quoted(key) + " = ";
                describe(item, depth + 1, out);
                out += ";\n";
            }
            out += indent + "}";
            return;
    }
}

}  // namespace

std::string describePlist(const PlistValue& value) {
    std::string out;
    describe(value, 0, out);
    return out;
}

}  // namespace qp
