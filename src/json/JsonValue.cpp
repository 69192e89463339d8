#include "json/JsonValue.h"

#include <cstdlib>
#include <cstring>
#include <new>

#include "json/JsonArena.h"

namespace qp {
namespace {

// A string node of its own: the JsonString followed by its characters.
JsonString* heapString(std::string_view text) {
    void* const at = std::malloc(sizeof(JsonString) + text.size());
    if (at == nullptr) throw std::bad_alloc();
    char* const chars = static_cast<char*>(at) + sizeof(JsonString);
    if (!text.empty()) std::memcpy(chars, text.data(), text.size());
    return new (at) JsonString(chars, text.size());
}

}  // namespace

JsonValue::JsonValue(JsonDecimal value) : m_kind(Kind::Number), m_owned(true) {
    m_payload.node = new JsonDecimal(value);
}

JsonValue::JsonValue(std::string_view value) : m_kind(Kind::String), m_owned(true) {
    m_payload.node = heapString(value);
}

JsonValue::JsonValue(Array value) : m_kind(Kind::Array), m_owned(true) {
    m_payload.node = new Array(std::move(value));
}

JsonValue::JsonValue(Object value) : m_kind(Kind::Object), m_owned(true) {
    m_payload.node = new Object(std::move(value));
}

JsonValue::JsonValue(std::shared_ptr<const JsonProxy> proxy, ProxyTag)
    : m_kind(Kind::Proxy), m_owned(true) {
    m_payload.node = new std::shared_ptr<const JsonProxy>(std::move(proxy));
}

JsonValue::JsonValue(const JsonValue& other) : m_kind(other.m_kind) {
    switch (other.m_kind) {
        case Kind::Null:
            return;
        case Kind::Boolean:
            m_payload.boolean = other.m_payload.boolean;
            return;
        case Kind::Float:
            m_payload.floating = other.m_payload.floating;
            return;
        case Kind::Number:
            m_payload.node = new JsonDecimal(*other.number());
            break;
        case Kind::String:
            m_payload.node = heapString(other.string()->view());
            break;
        case Kind::Array:
            m_payload.node = new Array(*other.array());
            break;
        case Kind::Object:
            m_payload.node = new Object(*other.object());
            break;
        case Kind::Proxy:
            m_payload.node = new std::shared_ptr<const JsonProxy>(*other.proxy());
            break;
    }
    m_owned = true;
}

JsonValue& JsonValue::operator=(const JsonValue& other) {
    if (this != &other) *this = JsonValue(other);
    return *this;
}

JsonValue& JsonValue::operator=(JsonValue&& other) noexcept {
    if (this != &other) {
        if (m_owned) release();
        m_payload = other.m_payload;
        m_kind = other.m_kind;
        m_owned = other.m_owned;
        other.m_kind = Kind::Null;
        other.m_owned = false;
    }
    return *this;
}

void JsonValue::release() {
    switch (m_kind) {
        case Kind::Number:
            delete static_cast<JsonDecimal*>(m_payload.node);
            break;
        case Kind::String:
            std::free(m_payload.node);
            break;
        case Kind::Array:
            delete static_cast<Array*>(m_payload.node);
            break;
        case Kind::Object:
            delete static_cast<Object*>(m_payload.node);
            break;
        case Kind::Proxy:
            delete static_cast<std::shared_ptr<const JsonProxy>*>(m_payload.node);
            break;
        case Kind::Null:
        case Kind::Boolean:
        case Kind::Float:
            break;
    }
    m_owned = false;
}

JsonValue JsonValue::intoArena(JsonArena& arena, JsonValue&& value) {
    if (!value.m_owned) return copyIntoArena(arena, value);
    switch (value.m_kind) {
        case Kind::Array: {
            Array* const placed = arena.make<Array>();
            placed->takeOver(*value.array());
            if (placed->m_ownsArena) arena.adopt(placed->m_arena);
            if (placed->m_arena == nullptr) placed->m_arena = &arena;
            placed->m_ownsArena = false;
            return JsonValue(Kind::Array, placed);
        }
        case Kind::Object: {
            Object* const placed = arena.make<Object>();
            placed->takeOver(*value.object());
            if (placed->m_ownsArena) arena.adopt(placed->m_arena);
            if (placed->m_arena == nullptr) placed->m_arena = &arena;
            placed->m_ownsArena = false;
            return JsonValue(Kind::Object, placed);
        }
        case Kind::Proxy:
            return JsonValue(
                Kind::Proxy,
                arena.keepProxy(std::move(
                    *static_cast<std::shared_ptr<const JsonProxy>*>(value.m_payload.node))));
        default:
            return copyIntoArena(arena, value);
    }
}

JsonValue JsonValue::copyIntoArena(JsonArena& arena, const JsonValue& value) {
    switch (value.m_kind) {
        case Kind::Null:
            return JsonValue();
        case Kind::Boolean:
            return JsonValue(value.m_payload.boolean);
        case Kind::Float:
            return JsonValue(value.m_payload.floating);
        case Kind::Number:
            return JsonValue(Kind::Number, arena.make<JsonDecimal>(*value.number()));
        case Kind::String:
            return JsonValue(Kind::String, arena.makeString(value.string()->view(),
                                                            value.string()->knownPlain()));
        case Kind::Array: {
            Array* const placed = arena.make<Array>();
            placed->m_arena = &arena;
            placed->copyFrom(*value.array());
            return JsonValue(Kind::Array, placed);
        }
        case Kind::Object: {
            Object* const placed = arena.make<Object>();
            placed->m_arena = &arena;
            placed->copyFrom(*value.object());
            return JsonValue(Kind::Object, placed);
        }
        case Kind::Proxy:
            return JsonValue(Kind::Proxy, arena.keepProxy(*value.proxy()));
    }
    return JsonValue();
}

const JsonValue* JsonValue::find(std::string_view key) const {
    const Object* members = object();
    return members != nullptr ? members->find(key) : nullptr;
}

const JsonValue* JsonValue::at(std::size_t index) const {
    const Array* elements = array();
    return elements != nullptr && index < elements->size() ? &(*elements)[index] : nullptr;
}

bool operator==(const JsonValue& a, const JsonValue& b) {
    if (a.kind() != b.kind()) return false;
    switch (a.kind()) {
        case JsonValue::Kind::Null:
            return true;
        case JsonValue::Kind::Boolean:
            return *a.boolean() == *b.boolean();
        case JsonValue::Kind::Number:
            return *a.number() == *b.number();
        case JsonValue::Kind::Float:
            return *a.floatingPoint() == *b.floatingPoint();
        case JsonValue::Kind::String:
            return *a.string() == *b.string();
        case JsonValue::Kind::Array:
            return *a.array() == *b.array();
        case JsonValue::Kind::Object:
            return *a.object() == *b.object();
        case JsonValue::Kind::Proxy:
            return *a.proxy() == *b.proxy();
    }
    return false;
}

std::string JsonValue::typeName() const {
    switch (kind()) {
        case Kind::Null:
            return "null";
        case Kind::Boolean:
            return "boolean";
        case Kind::Number:
            return "number";
        case Kind::Float:
            return "double";
        case Kind::String:
            return "string";
        case Kind::Array:
            return "list";
        case Kind::Object:
            return "map";
        case Kind::Proxy:
            return (*proxy())->className();
    }
    return "value";
}

}  // namespace qp
