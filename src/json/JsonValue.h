#pragma once
// One JSON value: null, boolean, exact decimal number, string, list, object,
// or a proxy standing in for another value. A double may also be stored for
// writing; the reader never produces one.
//
// A value takes 16 bytes. A value made in code owns what it holds (its
// string, number or container). The values inside a list or an object live
// in the container's arena (json/JsonArena.h) and are only ever handed out
// as const references: copying one copies it out of the arena, so a copy
// never outlives the tree it came from. Putting a value into a container
// copies it into the container's arena; a moved container of its own is
// taken over whole (its arena joins the destination's) instead.

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <type_traits>

#include "json/JsonDecimal.h"
#include "json/JsonProxy.h"
#include "json/JsonString.h"

namespace qp {

class JsonArena;
class JsonArray;
class JsonObject;

class JsonValue {
public:
    using Array = JsonArray;
    using Object = JsonObject;

    enum class Kind : std::uint8_t { Null, Boolean, Number, Float, String, Array, Object, Proxy };

    JsonValue() = default;        // null
    JsonValue(std::nullptr_t) {}  // NOLINT: implicit by design
    JsonValue(bool value) : m_kind(Kind::Boolean) { m_payload.boolean = value; }  // NOLINT
    // A pointer other than text is no value (it would otherwise read as a boolean).
    JsonValue(const void*) = delete;
    JsonValue(JsonDecimal value);  // NOLINT
    template <typename Integer,
              std::enable_if_t<std::is_integral_v<Integer> && !std::is_same_v<Integer, bool> &&
                                   !std::is_same_v<Integer, char>,
                               int> = 0>
    JsonValue(Integer value)  // NOLINT
        : JsonValue(std::is_signed_v<Integer> ? JsonDecimal(static_cast<std::int64_t>(value))
                                              : JsonDecimal(static_cast<std::uint64_t>(value))) {}
    JsonValue(double value) : m_kind(Kind::Float) { m_payload.floating = value; }  // NOLINT
    JsonValue(const char* value) : JsonValue(std::string_view(value)) {}           // NOLINT
    JsonValue(const std::string& value) : JsonValue(std::string_view(value)) {}    // NOLINT
    JsonValue(std::string_view value);                                             // NOLINT
    JsonValue(JsonString value) : JsonValue(value.view()) {}                       // NOLINT
    JsonValue(Array value);                                                        // NOLINT
    JsonValue(Object value);                                                       // NOLINT
    template <typename Proxy, std::enable_if_t<std::is_base_of_v<JsonProxy, Proxy>, int> = 0>
    JsonValue(std::shared_ptr<Proxy> proxy)  // NOLINT
        : JsonValue(std::shared_ptr<const JsonProxy>(std::move(proxy)), ProxyTag{}) {}

    JsonValue(const JsonValue& other);
    JsonValue(JsonValue&& other) noexcept;
    JsonValue& operator=(const JsonValue& other);
    JsonValue& operator=(JsonValue&& other) noexcept;
    ~JsonValue() {
        if (m_owned) release();
    }

    Kind kind() const { return m_kind; }
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
    const bool* boolean() const { return isBoolean() ? &m_payload.boolean : nullptr; }
    const JsonDecimal* number() const { return nodeOf<JsonDecimal>(Kind::Number); }
    const double* floatingPoint() const {
        return kind() == Kind::Float ? &m_payload.floating : nullptr;
    }
    const JsonString* string() const { return nodeOf<JsonString>(Kind::String); }
    const Array* array() const { return nodeOf<Array>(Kind::Array); }
    Array* array() { return nodeOf<Array>(Kind::Array); }
    const Object* object() const { return nodeOf<Object>(Kind::Object); }
    Object* object() { return nodeOf<Object>(Kind::Object); }
    const std::shared_ptr<const JsonProxy>* proxy() const {
        return nodeOf<std::shared_ptr<const JsonProxy>>(Kind::Proxy);
    }

    // Member or element lookup; nullptr when absent or not a container.
    const JsonValue* find(std::string_view key) const;
    const JsonValue* at(std::size_t index) const;

    // A short name of the kind, used in error texts ("string", "list", …).
    std::string typeName() const;

    friend bool operator==(const JsonValue& a, const JsonValue& b);

private:
    friend class JsonArray;
    friend class JsonObject;
    friend class ZelJsonParser;
    struct ProxyTag {};

    JsonValue(std::shared_ptr<const JsonProxy> proxy, ProxyTag);
    // A value whose node lives in an arena and is not freed with the value.
    JsonValue(Kind kind, const void* node) : m_kind(kind) {
        m_payload.node = const_cast<void*>(node);
    }

    // This value as one living in `arena`: a copy of its content there, or,
    // for a container with an arena of its own, the container taken over.
    static JsonValue intoArena(JsonArena& arena, JsonValue&& value);
    static JsonValue copyIntoArena(JsonArena& arena, const JsonValue& value);

    template <typename Node>
    Node* nodeOf(Kind kind) const {
        return m_kind == kind ? static_cast<Node*>(m_payload.node) : nullptr;
    }
    void release();

    // Copied whole, whichever member is in use.
    union Payload {
        bool boolean;
        double floating;
        void* node = nullptr;
    };
    Payload m_payload;
    Kind m_kind = Kind::Null;
    // The node was allocated for this value alone and goes with it.
    bool m_owned = false;
};

static_assert(sizeof(JsonValue) == 16);

// GCC, inlining this through std::optional's move, wrongly takes the
// source of a disengaged optional for one that is read.
#if defined(__GNUC__) && !defined(__clang__)
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wmaybe-uninitialized"
#endif
inline JsonValue::JsonValue(JsonValue&& other) noexcept
    : m_payload(other.m_payload), m_kind(other.m_kind), m_owned(other.m_owned) {
    other.m_kind = Kind::Null;
    other.m_owned = false;
}
#if defined(__GNUC__) && !defined(__clang__)
#pragma GCC diagnostic pop
#endif

}  // namespace qp

// The containers need the complete JsonValue.
#include "json/JsonArray.h"
#include "json/JsonObject.h"
