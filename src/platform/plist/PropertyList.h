#pragma once
// Property-list values (the phone platform's settings and resource format) and
// reading/writing them as XML or binary property-list files through libplist.

#include <chrono>
#include <cstdint>
#include <filesystem>
#include <map>
#include <memory>
#include <string>
#include <variant>
#include <vector>

#include "platform/Result.h"

namespace qp {

// Errors in this domain: 1 file missing, 2 file unreadable or bytes not a sound
// property list, 3 value cannot be written (a date outside 1933-2069, a NUL
// inside a string or key, nesting deeper than 512), 4 file could not be written.
inline constexpr const char* kPropertyListErrorDomain = "qp.plist";
enum PropertyListErrorCode {
    kPropertyListMissing = 1,          // no file at the path
    kPropertyListMalformed = 2,        // unreadable or damaged
    kPropertyListUnrepresentable = 3,  // a value the format cannot hold
    kPropertyListWriteFailed = 4,
};

class PlistValue;
using PlistArray = std::vector<PlistValue>;
using PlistDictionary = std::map<std::string, PlistValue>;
using PlistData = std::vector<std::uint8_t>;
using PlistDate = std::chrono::system_clock::time_point;

// One value: string, integer, real, boolean, date, data, array or dictionary.
class PlistValue {
public:
    enum class Type { String, Integer, Real, Boolean, Date, Data, Array, Dictionary };

    PlistValue() : m_value(std::string()) {}
    PlistValue(std::string v) : m_value(std::move(v)) {}          // NOLINT
    PlistValue(const char* v) : m_value(std::string(v)) {}        // NOLINT
    PlistValue(std::int64_t v) : m_value(v) {}                    // NOLINT
    PlistValue(int v) : m_value(static_cast<std::int64_t>(v)) {}  // NOLINT
    PlistValue(double v) : m_value(v) {}                          // NOLINT
    PlistValue(bool v) : m_value(v) {}                            // NOLINT
    PlistValue(PlistDate v) : m_value(v) {}                       // NOLINT
    PlistValue(PlistData v) : m_value(std::move(v)) {}            // NOLINT
    PlistValue(PlistArray v);                                     // NOLINT
    PlistValue(PlistDictionary v);                                // NOLINT

    Type type() const;
    bool isString() const { return type() == Type::String; }
    bool isInteger() const { return type() == Type::Integer; }
    bool isReal() const { return type() == Type::Real; }
    bool isBoolean() const { return type() == Type::Boolean; }
    bool isDate() const { return type() == Type::Date; }
    bool isData() const { return type() == Type::Data; }
    bool isArray() const { return type() == Type::Array; }
    bool isDictionary() const { return type() == Type::Dictionary; }

    // Typed reads; a value of another type answers the fallback.
    std::string stringValue(const std::string& fallback = {}) const;
    std::int64_t integerValue(std::int64_t fallback = 0) const;  // reals truncate, booleans 0/1
    double realValue(double fallback = 0) const;                 // integers widen, booleans 0/1
    bool boolValue(bool fallback = false) const;                 // numbers: non-zero
    PlistDate dateValue(PlistDate fallback = {}) const;
    const PlistData& dataValue() const;              // empty when not data
    const PlistArray& arrayValue() const;            // empty when not an array
    const PlistDictionary& dictionaryValue() const;  // empty when not a dictionary
    PlistArray& mutableArray();            // turns the value into an array if it is not one
    PlistDictionary& mutableDictionary();  // turns the value into a dictionary if it is not one

    // Dictionary member, or nullptr when absent or not a dictionary.
    const PlistValue* find(const std::string& key) const;

    friend bool operator==(const PlistValue& a, const PlistValue& b);

private:
    // Containers are held behind pointers because the type is recursive.
    std::variant<std::string, std::int64_t, double, bool, PlistDate, PlistData,
                 std::shared_ptr<PlistArray>, std::shared_ptr<PlistDictionary>>
        m_value;
};

enum class PlistFormat { Xml, Binary };

// Parses XML or binary property-list bytes. Untrusted input is safe: damaged,
// truncated, cyclic or absurdly nested bytes answer an error (code 2).
// A keyed-archive reference reads as the dictionary {"CF$UID": n}.
Result<PlistValue> parsePropertyList(const std::string& bytes);
// Binary keeps dates to the microsecond; XML keeps whole seconds (rounded down).
Result<std::string> serializePropertyList(const PlistValue& value, PlistFormat format);
// Whether `value` can be written in `format` (the code 3 cases above).
Result<void> checkPropertyListValue(const PlistValue& value,
                                    PlistFormat format = PlistFormat::Binary);

// Reads a property-list file. A missing file and a file that is not a
// property list are errors (code 1 missing, 2 unreadable or malformed).
Result<PlistValue> readPropertyListFile(const std::filesystem::path& path);
// Writes atomically: a temporary file beside `path`, flushed, then renamed.
Result<void> writePropertyListFile(const std::filesystem::path& path, const PlistValue& value,
                                   PlistFormat format = PlistFormat::Binary);

}  // namespace qp
