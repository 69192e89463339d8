#pragma once
// A JSON object: string keys in insertion order, so output is deterministic.
// Setting an existing key replaces its value and keeps the key's position.
// Include json/JsonValue.h, which completes it, rather than this header.

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace qp {

class JsonValue;

class JsonObject {
public:
    using Member = std::pair<std::string, JsonValue>;
    using Members = std::vector<Member>;

    JsonObject();
    JsonObject(const JsonObject&);
    JsonObject(JsonObject&&) noexcept;
    JsonObject& operator=(const JsonObject&);
    JsonObject& operator=(JsonObject&&) noexcept;
    ~JsonObject();

    std::size_t size() const;
    bool empty() const;
    void reserve(std::size_t count);

    Members::const_iterator begin() const;
    Members::const_iterator end() const;
    const Members& members() const { return m_members; }

    // The value under `key`, or nullptr.
    const JsonValue* find(std::string_view key) const;
    JsonValue* find(std::string_view key);
    bool contains(std::string_view key) const { return find(key) != nullptr; }

    // Replaces the members with those in [first, last), in order, a later
    // duplicate key replacing the value of the first.
    template <typename Iterator>
    void assign(Iterator first, Iterator last);

    // Stores `value` under `key`.
    void set(std::string key, JsonValue value);
    // The slot for `key`: the existing one, or a new null value at the end.
    JsonValue& slot(std::string key);

    // Same keys with equal values, in any order.
    friend bool operator==(const JsonObject& a, const JsonObject& b);

private:
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

    // Open-addressed table of member index + 1 (0 is empty), kept only once
    // the object is too large for a linear search, so that many keys never
    // make reading quadratic.
    struct Index {
        // Not named "slots": Qt defines that word as a macro.
        std::vector<std::uint32_t> buckets;
    };

    Members m_members;
    std::unique_ptr<Index> m_index;
};

}  // namespace qp
