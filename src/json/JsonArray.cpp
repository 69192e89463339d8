#include "json/JsonArena.h"
#include "json/JsonValue.h"

#include <algorithm>

namespace qp {

JsonArray::JsonArray(std::initializer_list<JsonValue> values) {
    copyFrom(values.begin(), values.size());
}

JsonArray::JsonArray(const JsonArray& other) {
    copyFrom(other.m_data, other.m_size);
}

JsonArray::JsonArray(JsonArray&& other) noexcept {
    takeOver(other);
}

JsonArray& JsonArray::operator=(const JsonArray& other) {
    if (this != &other) *this = JsonArray(other);
    return *this;
}

JsonArray& JsonArray::operator=(JsonArray&& other) noexcept {
    if (this != &other) {
        drop();
        takeOver(other);
    }
    return *this;
}

JsonArray::~JsonArray() {
    drop();
}

void JsonArray::takeOver(JsonArray& other) noexcept {
    m_data = std::exchange(other.m_data, nullptr);
    m_size = std::exchange(other.m_size, 0);
    m_capacity = std::exchange(other.m_capacity, 0);
    m_arena = std::exchange(other.m_arena, nullptr);
    m_ownsArena = std::exchange(other.m_ownsArena, false);
}

void JsonArray::drop() noexcept {
    // The elements live in the arena and own nothing outside it.
    if (m_ownsArena) delete m_arena;
    m_data = nullptr;
    m_size = 0;
    m_capacity = 0;
    m_arena = nullptr;
    m_ownsArena = false;
}

JsonArena& JsonArray::arena() {
    if (m_arena == nullptr) {
        m_arena = new JsonArena();
        m_ownsArena = true;
    }
    return *m_arena;
}

void JsonArray::copyFrom(const JsonValue* values, std::size_t count) {
    reserve(count);
    for (std::size_t i = 0; i < count; ++i) {
        new (&m_data[m_size]) JsonValue(JsonValue::copyIntoArena(*m_arena, values[i]));
        ++m_size;
    }
}

void JsonArray::copyFrom(const JsonArray& other) {
    copyFrom(other.m_data, other.m_size);
}

void JsonArray::reserve(std::size_t count) {
    if (count <= m_capacity) return;
    JsonValue* const data = arena().allocateArray<JsonValue>(count);
    for (std::size_t i = 0; i < m_size; ++i) new (&data[i]) JsonValue(std::move(m_data[i]));
    m_data = data;
    m_capacity = static_cast<std::uint32_t>(count);
}

void JsonArray::push_back(JsonValue value) {
    if (m_size == m_capacity) reserve(std::max<std::size_t>(4, 2 * std::size_t{m_capacity}));
    new (&m_data[m_size]) JsonValue(JsonValue::intoArena(*m_arena, std::move(value)));
    ++m_size;
}

bool operator==(const JsonArray& a, const JsonArray& b) {
    return std::equal(a.begin(), a.end(), b.begin(), b.end());
}

}  // namespace qp
