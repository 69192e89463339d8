#pragma once
// One JSON value: null, boolean, exact decimal number, string, list, object,
// or a proxy standing in for another value. A double may also be stored for
// writing; the reader never produces one.

#include <cstddef>
#include <cstdint>
#include <iterator>
#include <memory>
#include <string>
#include <string_view>
#include <type_traits>
#include <variant>
#include <vector>

#include "json/JsonDecimal.h"
#include "json/JsonObject.h"
#include "json/JsonProxy.h"

namespace qp {

class JsonValue {
public:
    using Array = std::vector<JsonValue>;
    using Object = JsonObject;

    enum class Kind : std::uint8_t { Null, Boolean, Number, Float, String, Array, Object, Proxy };

    JsonValue() = default;                            // null
    JsonValue(std::nullptr_t) {}                      // NOLINT: implicit by design
    JsonValue(bool value) : m_value(value) {}         // NOLINT
    JsonValue(JsonDecimal value) : m_value(value) {}  // NOLINT
    template <typename Integer,
              std::enable_if_t<std::is_integral_v<Integer> && !std::is_same_v<Integer, bool> &&
                                   !std::is_same_v<Integer, char>,
                               int> = 0>
    JsonValue(Integer value)  // NOLINT
        : m_value(std::is_signed_v<Integer> ? JsonDecimal(static_cast<std::int64_t>(value))
                                            : JsonDecimal(static_cast<std::uint64_t>(value))) {}
    JsonValue(double value) : m_value(value) {}                         // NOLINT
    JsonValue(const char* value) : m_value(std::string(value)) {}       // NOLINT
    JsonValue(std::string_view value) : m_value(std::string(value)) {}  // NOLINT
    JsonValue(std::string value) : m_value(std::move(value)) {}         // NOLINT
    JsonValue(Array value) : m_value(std::move(value)) {}               // NOLINT
    JsonValue(Object value) : m_value(std::move(value)) {}              // NOLINT
    template <typename Proxy, std::enable_if_t<std::is_base_of_v<JsonProxy, Proxy>, int> = 0>
    JsonValue(std::shared_ptr<Proxy> proxy)  // NOLINT
        : m_value(std::shared_ptr<const JsonProxy>(std::move(proxy))) {}

    Kind kind() const { return static_cast<Kind>(m_value.index()); }
    bool isNull() const { return kind() == Kind::Null; }
    bool isBoolean() const { return kind() == Kind::Boolean; }
    bool isNumber() const { return kind() == Kind::Number; }
    bool isString() const { return kind() == Kind::String; }
    bool isArray() const { return kind() == Kind::Array; }
    bool isObject() const { return kind() == Kind::Object; }
    bool isProxy() const { return kind() == Kind::Proxy; }
    // A list or an object: what strict reading and writing accept at top level.
    bool isContainer() const { return isArray() || isObject(); }

    // Each accessor gives nullptr when the value is of another kind.
    const bool* boolean() const { return std::get_if<bool>(&m_value); }
    const JsonDecimal* number() const { return std::get_if<JsonDecimal>(&m_value); }
    const double* floatingPoint() const { return std::get_if<double>(&m_value); }
    const std::string* string() const { return std::get_if<std::string>(&m_value); }
    const Array* array() const { return std::get_if<Array>(&m_value); }
    Array* array() { return std::get_if<Array>(&m_value); }
    const Object* object() const { return std::get_if<Object>(&m_value); }
    Object* object() { return std::get_if<Object>(&m_value); }
    const std::shared_ptr<const JsonProxy>* proxy() const {
        return std::get_if<std::shared_ptr<const JsonProxy>>(&m_value);
    }

    // Member or element lookup; nullptr when absent or not a container.
    const JsonValue* find(std::string_view key) const;
    const JsonValue* at(std::size_t index) const;

    // Make this value an empty string, list or object and hand it out for
    // filling in place.
    std::string& emplaceString() { return m_value.emplace<std::string>(); }
    Array& emplaceArray() { return m_value.emplace<Array>(); }
    Object& emplaceObject() { return m_value.emplace<Object>(); }

    // A short name of the kind, used in error texts ("string", "list", …).
    std::string typeName() const;

    friend bool operator==(const JsonValue& a, const JsonValue& b) {
        return a.m_value == b.m_value;
    }

private:
    std::variant<std::nullptr_t, bool, JsonDecimal, double, std::string, Array, Object,
                 std::shared_ptr<const JsonProxy>>
        m_value;
};

// JsonObject's accessors need the complete JsonValue.
inline std::size_t JsonObject::size() const {
    return m_members.size();
}
inline bool JsonObject::empty() const {
    return m_members.empty();
}
inline JsonObject::Members::const_iterator JsonObject::begin() const {
    return m_members.begin();
}
inline JsonObject::Members::const_iterator JsonObject::end() const {
    return m_members.end();
}

template <typename Iterator>
void JsonObject::assign(Iterator first, Iterator last) {
    m_index.reset();
    m_members.assign(first, last);
    foldDuplicateKeys();
}

}  // namespace qp
