#pragma once
// A JSON object: string keys in insertion order, so output is deterministic.
// Setting an existing key replaces its value and keeps the key's position.
// Members live in an arena like a list's elements (json/JsonArray.h) and are
// handed out read-only.
// Include json/JsonValue.h, which completes it, rather than this header.

#include <cstddef>
#include <cstdint>
#include <string_view>
#include <utility>

#include "json/JsonString.h"
#include "json/JsonValue.h"

namespace qp {

class JsonObject {
public:
    using Member = std::pair<JsonString, JsonValue>;

    // The members in order, read-only.
    class Members {
    public:
        Members(const Member* data, std::size_t size) : m_data(data), m_size(size) {}
        const Member* begin() const { return m_data; }
        const Member* end() const { return m_data + m_size; }
        const Member& operator[](std::size_t index) const { return m_data[index]; }
        std::size_t size() const { return m_size; }
        bool empty() const { return m_size == 0; }

    private:
        const Member* m_data;
        std::size_t m_size;
    };

    JsonObject() = default;
    JsonObject(const JsonObject& other);
    JsonObject(JsonObject&& other) noexcept;
    JsonObject& operator=(const JsonObject& other);
    JsonObject& operator=(JsonObject&& other) noexcept;
    ~JsonObject();

    std::size_t size() const { return m_size; }
    bool empty() const { return m_size == 0; }
    void reserve(std::size_t count);

    const Member* begin() const { return m_members; }
    const Member* end() const { return m_members + m_size; }
    Members members() const { return {m_members, m_size}; }

    // The value under `key`, or nullptr.
    const JsonValue* find(std::string_view key) const;
    bool contains(std::string_view key) const { return find(key) != nullptr; }

    // Stores `value` under `key`.
    void set(std::string_view key, JsonValue value);

    // Same keys with equal values, in any order.
    friend bool operator==(const JsonObject& a, const JsonObject& b);

private:
    friend class JsonValue;
    friend class ZelJsonParser;

    JsonArena& arena();
    // Copies the members into this object's arena; the object is empty before.
    void copyFrom(const JsonObject& other);
    void takeOver(JsonObject& other) noexcept;
    // Keeps the lookup table in step after a member was appended.
    void indexLastMember();
    void drop() noexcept;
    // Makes room for `count` members in the arena, keeping those there are.
    void growTo(std::size_t count);
    // Appends a member whose key and value already live in the arena.
    void append(JsonString key, JsonValue&& value);

    std::size_t indexOf(std::string_view key) const;
    void rebuildIndex();
    // Enters the member at `index` in the table; false when a member before
    // it has the same key (the entry is then not made).
    bool indexMember(std::size_t index);
    bool hasDuplicateKeysAmongFew() const;
    // After the members were taken over whole: builds the table when there
    // are many, and folds members with the same key into the first's
    // position with the last one's value.
    void foldDuplicateKeys();

    Member* m_members = nullptr;
    std::uint32_t m_size = 0;
    std::uint32_t m_capacity = 0;
    // Open-addressed table of member index + 1 (0 is empty), kept only once
    // the object is too large for a linear search, so that many keys never
    // make reading quadratic. Not named "slots": Qt defines that word.
    std::uint32_t* m_buckets = nullptr;
    std::uint32_t m_bucketCount = 0;
    JsonArena* m_arena = nullptr;
    // Set for an object that is not itself inside a tree.
    bool m_ownsArena = false;
};

}  // namespace qp
