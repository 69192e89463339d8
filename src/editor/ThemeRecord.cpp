#include "editor/ThemeRecord.h"

#include <fmt/format.h>

#include "platform/plist/PropertyList.h"

namespace qp {

ThemeRecord ThemeRecord::fromPlist(const PlistValue& value) {
    Values values;
    for (const auto& [key, entry] : value.dictionaryValue()) {
        switch (entry.type()) {
            case PlistValue::Type::String:
                values[key] = entry.stringValue();
                break;
            case PlistValue::Type::Integer:
                values[key] = fmt::format("{}", entry.integerValue());
                break;
            case PlistValue::Type::Real:
                values[key] = fmt::format("{:f}", entry.realValue());
                break;
            case PlistValue::Type::Boolean:
                values[key] = entry.boolValue() ? "YES" : "NO";
                break;
            default:
                break;
        }
    }
    return ThemeRecord(std::move(values));
}

std::optional<std::string> ThemeRecord::value(const std::string& key) const {
    const auto it = m_values.find(key);
    if (it == m_values.end()) return std::nullopt;
    return it->second;
}

}  // namespace qp
