#pragma once
// One theme as a category file or the theme-of-the-day feed describes it:
// string values under the theme keys (ThemeKeys.h).

#include <map>
#include <optional>
#include <string>

namespace qp {

class PlistValue;

class ThemeRecord {
public:
    using Values = std::map<std::string, std::string>;

    ThemeRecord() = default;
    explicit ThemeRecord(Values values) : m_values(std::move(values)) {}

    // Takes the string entries of a property-list dictionary. Integers and
    // reals become their decimal text and booleans "YES"/"NO", so a
    // hand-written file with typed values still reads; other entries (and a
    // value that is not a dictionary) are left out as absent.
    static ThemeRecord fromPlist(const PlistValue& value);

    // The value under `key`, or nullopt when absent.
    std::optional<std::string> value(const std::string& key) const;
    bool has(const std::string& key) const { return m_values.count(key) != 0; }
    const Values& values() const { return m_values; }
    void setValue(const std::string& key, std::string value) { m_values[key] = std::move(value); }

    friend bool operator==(const ThemeRecord&, const ThemeRecord&) = default;

private:
    Values m_values;
};

}  // namespace qp
