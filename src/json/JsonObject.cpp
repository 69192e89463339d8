#include <algorithm>
#include <cstring>
#include <functional>

#include "json/JsonArena.h"
#include "json/JsonValue.h"

namespace qp {
namespace {

// Up to this many members a linear search beats hashing.
constexpr std::size_t kLinearLimit = 8;
constexpr std::size_t kNotFound = static_cast<std::size_t>(-1);

std::size_t hashKey(std::string_view key) {
    return std::hash<std::string_view>{}(key);
}

std::size_t bucketCountFor(std::size_t members) {
    std::size_t capacity = 32;
    while (capacity < members * 4) capacity *= 2;
    return capacity;
}

}  // namespace

JsonObject::JsonObject(const JsonObject& other) {
    copyFrom(other);
}

JsonObject::JsonObject(JsonObject&& other) noexcept {
    takeOver(other);
}

JsonObject& JsonObject::operator=(const JsonObject& other) {
    if (this != &other) *this = JsonObject(other);
    return *this;
}

JsonObject& JsonObject::operator=(JsonObject&& other) noexcept {
    if (this != &other) {
        drop();
        takeOver(other);
    }
    return *this;
}

JsonObject::~JsonObject() {
    drop();
}

void JsonObject::takeOver(JsonObject& other) noexcept {
    m_members = std::exchange(other.m_members, nullptr);
    m_size = std::exchange(other.m_size, 0);
    m_capacity = std::exchange(other.m_capacity, 0);
    m_buckets = std::exchange(other.m_buckets, nullptr);
    m_bucketCount = std::exchange(other.m_bucketCount, 0);
    m_arena = std::exchange(other.m_arena, nullptr);
    m_ownsArena = std::exchange(other.m_ownsArena, false);
}

void JsonObject::drop() noexcept {
    // The members live in the arena and own nothing outside it.
    if (m_ownsArena) delete m_arena;
    m_members = nullptr;
    m_size = 0;
    m_capacity = 0;
    m_buckets = nullptr;
    m_bucketCount = 0;
    m_arena = nullptr;
    m_ownsArena = false;
}

JsonArena& JsonObject::arena() {
    if (m_arena == nullptr) {
        m_arena = new JsonArena();
        m_ownsArena = true;
    }
    return *m_arena;
}

void JsonObject::copyFrom(const JsonObject& other) {
    if (other.m_size == 0) return;
    JsonArena& into = arena();
    growTo(other.m_size);
    for (const Member& member : other) {
        append(into.copyText(member.first), JsonValue::copyIntoArena(into, member.second));
    }
    if (other.m_buckets != nullptr) {
        m_buckets = into.allocateArray<std::uint32_t>(other.m_bucketCount);
        std::memcpy(m_buckets, other.m_buckets, sizeof(std::uint32_t) * other.m_bucketCount);
        m_bucketCount = other.m_bucketCount;
    }
}

void JsonObject::reserve(std::size_t count) {
    if (count > m_capacity) growTo(count);
}

void JsonObject::growTo(std::size_t count) {
    Member* const members = arena().allocateArray<Member>(count);
    for (std::size_t i = 0; i < m_size; ++i) new (&members[i]) Member(std::move(m_members[i]));
    m_members = members;
    m_capacity = static_cast<std::uint32_t>(count);
}

void JsonObject::append(JsonString key, JsonValue&& value) {
    new (&m_members[m_size]) Member(key, std::move(value));
    ++m_size;
}

std::size_t JsonObject::indexOf(std::string_view key) const {
    if (m_buckets == nullptr) {
        for (std::size_t i = 0; i < m_size; ++i) {
            if (m_members[i].first == key) return i;
        }
        return kNotFound;
    }
    const std::size_t mask = m_bucketCount - 1;
    for (std::size_t at = hashKey(key) & mask;; at = (at + 1) & mask) {
        const std::uint32_t entry = m_buckets[at];
        if (entry == 0) return kNotFound;
        if (m_members[entry - 1].first == key) return entry - 1;
    }
}

const JsonValue* JsonObject::find(std::string_view key) const {
    const std::size_t index = indexOf(key);
    return index == kNotFound ? nullptr : &m_members[index].second;
}

void JsonObject::set(std::string_view key, JsonValue value) {
    JsonArena& into = arena();
    const std::size_t index = indexOf(key);
    if (index != kNotFound) {
        m_members[index].second = JsonValue::intoArena(into, std::move(value));
        return;
    }
    if (m_size == m_capacity) growTo(std::max<std::size_t>(4, 2 * std::size_t{m_capacity}));
    append(into.copyText(key), JsonValue::intoArena(into, std::move(value)));
    indexLastMember();
}

void JsonObject::indexLastMember() {
    if (m_buckets != nullptr && std::size_t{m_size} * 2 <= m_bucketCount) {
        indexMember(m_size - 1);
    } else if (m_size > kLinearLimit) {
        rebuildIndex();
    }
}

void JsonObject::rebuildIndex() {
    m_bucketCount = static_cast<std::uint32_t>(bucketCountFor(m_size));
    m_buckets = arena().allocateArray<std::uint32_t>(m_bucketCount);
    std::fill_n(m_buckets, m_bucketCount, 0u);
    for (std::size_t i = 0; i < m_size; ++i) indexMember(i);
}

bool JsonObject::indexMember(std::size_t index) {
    const std::size_t mask = m_bucketCount - 1;
    const JsonString& key = m_members[index].first;
    std::size_t at = hashKey(key) & mask;
    for (; m_buckets[at] != 0; at = (at + 1) & mask) {
        if (m_members[m_buckets[at] - 1].first == key) return false;
    }
    m_buckets[at] = static_cast<std::uint32_t>(index + 1);
    return true;
}

bool JsonObject::hasDuplicateKeysAmongFew() const {
    for (std::size_t i = 1; i < m_size; ++i) {
        for (std::size_t j = 0; j < i; ++j) {
            if (m_members[i].first == m_members[j].first) return true;
        }
    }
    return false;
}

void JsonObject::foldDuplicateKeys() {
    if (m_size <= kLinearLimit) {
        if (!hasDuplicateKeysAmongFew()) return;
    } else {
        m_bucketCount = static_cast<std::uint32_t>(bucketCountFor(m_size));
        m_buckets = arena().allocateArray<std::uint32_t>(m_bucketCount);
        std::fill_n(m_buckets, m_bucketCount, 0u);
        bool unique = true;
        for (std::size_t i = 0; i < m_size && unique; ++i) unique = indexMember(i);
        if (unique) return;
    }
    // Rare: set the members again one by one, as set() would. Keys and
    // values stay where they are in the arena.
    Member* const all = m_members;
    const std::size_t count = m_size;
    m_members = nullptr;
    m_size = 0;
    m_capacity = 0;
    m_buckets = nullptr;
    m_bucketCount = 0;
    growTo(count);
    for (std::size_t i = 0; i < count; ++i) {
        const std::size_t index = indexOf(all[i].first);
        if (index != kNotFound) {
            m_members[index].second = std::move(all[i].second);
        } else {
            append(all[i].first, std::move(all[i].second));
            indexLastMember();
        }
    }
}

bool operator==(const JsonObject& a, const JsonObject& b) {
    if (a.size() != b.size()) return false;
    for (const auto& [key, value] : a) {
        const JsonValue* other = b.find(key);
        if (other == nullptr || !(*other == value)) return false;
    }
    return true;
}

}  // namespace qp
