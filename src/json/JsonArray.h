#pragma once
// A JSON list. Its elements live in an arena: the list's own, made on the
// first insertion (or the reader's, for a list read from text). Elements are
// handed out read-only; a list is changed by adding to its end.
// Include json/JsonValue.h, which completes it, rather than this header.

#include <cstddef>
#include <cstdint>
#include <initializer_list>
#include <utility>
#include <vector>

#include "json/JsonValue.h"

namespace qp {

class JsonArray {
public:
    using value_type = JsonValue;
    using const_iterator = const JsonValue*;
    using iterator = const JsonValue*;

    JsonArray() = default;
    JsonArray(std::initializer_list<JsonValue> values);
    JsonArray(const JsonArray& other);
    JsonArray(JsonArray&& other) noexcept;
    JsonArray& operator=(const JsonArray& other);
    JsonArray& operator=(JsonArray&& other) noexcept;
    ~JsonArray();

    std::size_t size() const { return m_size; }
    bool empty() const { return m_size == 0; }
    const JsonValue* begin() const { return m_data; }
    const JsonValue* end() const { return m_data + m_size; }
    const JsonValue& operator[](std::size_t index) const { return m_data[index]; }
    const JsonValue& front() const { return m_data[0]; }
    const JsonValue& back() const { return m_data[m_size - 1]; }

    void reserve(std::size_t count);
    void push_back(JsonValue value);
    template <typename... Args>
    const JsonValue& emplace_back(Args&&... args) {
        push_back(JsonValue(std::forward<Args>(args)...));
        return back();
    }

    // The elements as values of their own, outside the list.
    std::vector<JsonValue> toVector() const { return std::vector<JsonValue>(begin(), end()); }

    friend bool operator==(const JsonArray& a, const JsonArray& b);

private:
    friend class JsonValue;
    friend class ZelJsonParser;

    JsonArena& arena();
    // Copies the values into this list's arena; the list is empty before.
    void copyFrom(const JsonValue* values, std::size_t count);
    void copyFrom(const JsonArray& other);
    void takeOver(JsonArray& other) noexcept;
    void drop() noexcept;

    JsonValue* m_data = nullptr;
    std::uint32_t m_size = 0;
    std::uint32_t m_capacity = 0;
    JsonArena* m_arena = nullptr;
    // Set for a list that is not itself inside a tree.
    bool m_ownsArena = false;
};

}  // namespace qp
