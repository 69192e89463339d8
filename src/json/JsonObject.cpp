#include "json/JsonObject.h"

#include <functional>
#include <tuple>

#include "json/JsonValue.h"

namespace qp {
namespace {

// Up to this many members a linear search beats hashing.
constexpr std::size_t kLinearLimit = 8;
constexpr std::size_t kNotFound = static_cast<std::size_t>(-1);

std::size_t hashKey(std::string_view key) {
    return std::hash<std::string_view>{}(key);
}

}  // namespace

JsonObject::JsonObject() = default;
JsonObject::JsonObject(const JsonObject& other)
    : m_members(other.m_members),
      m_index(other.m_index ? std::make_unique<Index>(*other.m_index) : nullptr) {}
JsonObject::JsonObject(JsonObject&&) noexcept = default;
JsonObject& JsonObject::operator=(const JsonObject& other) {
    if (this != &other) *this = JsonObject(other);
    return *this;
}
JsonObject& JsonObject::operator=(JsonObject&&) noexcept = default;
JsonObject::~JsonObject() = default;

void JsonObject::reserve(std::size_t count) {
    m_members.reserve(count);
}

std::size_t JsonObject::indexOf(std::string_view key) const {
    if (!m_index) {
        for (std::size_t i = 0; i < m_members.size(); ++i) {
            if (m_members[i].first == key) return i;
        }
        return kNotFound;
    }
    const std::vector<std::uint32_t>& buckets = m_index->buckets;
    const std::size_t mask = buckets.size() - 1;
    for (std::size_t at = hashKey(key) & mask;; at = (at + 1) & mask) {
        const std::uint32_t entry = buckets[at];
        if (entry == 0) return kNotFound;
        if (m_members[entry - 1].first == key) return entry - 1;
    }
}

const JsonValue* JsonObject::find(std::string_view key) const {
    const std::size_t index = indexOf(key);
    return index == kNotFound ? nullptr : &m_members[index].second;
}

JsonValue* JsonObject::find(std::string_view key) {
    const std::size_t index = indexOf(key);
    return index == kNotFound ? nullptr : &m_members[index].second;
}

void JsonObject::set(std::string key, JsonValue value) {
    slot(std::move(key)) = std::move(value);
}

JsonValue& JsonObject::slot(std::string key) {
    const std::size_t index = indexOf(key);
    if (index != kNotFound) return m_members[index].second;
    m_members.emplace_back(std::piecewise_construct, std::forward_as_tuple(std::move(key)),
                           std::forward_as_tuple());
    if (m_index && m_members.size() * 2 <= m_index->buckets.size()) {
        indexMember(m_members.size() - 1);
    } else if (m_members.size() > kLinearLimit) {
        rebuildIndex();
    }
    return m_members.back().second;
}

void JsonObject::rebuildIndex() {
    std::size_t capacity = 32;
    while (capacity < m_members.size() * 4) capacity *= 2;
    if (!m_index) m_index = std::make_unique<Index>();
    m_index->buckets.assign(capacity, 0);
    for (std::size_t i = 0; i < m_members.size(); ++i) indexMember(i);
}

bool JsonObject::indexMember(std::size_t index) {
    std::vector<std::uint32_t>& buckets = m_index->buckets;
    const std::size_t mask = buckets.size() - 1;
    const std::string& key = m_members[index].first;
    std::size_t at = hashKey(key) & mask;
    for (; buckets[at] != 0; at = (at + 1) & mask) {
        if (m_members[buckets[at] - 1].first == key) return false;
    }
    buckets[at] = static_cast<std::uint32_t>(index + 1);
    return true;
}

bool JsonObject::hasDuplicateKeysAmongFew() const {
    for (std::size_t i = 1; i < m_members.size(); ++i) {
        for (std::size_t j = 0; j < i; ++j) {
            if (m_members[i].first == m_members[j].first) return true;
        }
    }
    return false;
}

void JsonObject::foldDuplicateKeys() {
    if (m_members.size() <= kLinearLimit) {
        if (!hasDuplicateKeysAmongFew()) return;
    } else {
        std::size_t capacity = 32;
        while (capacity < m_members.size() * 4) capacity *= 2;
        m_index = std::make_unique<Index>();
        m_index->buckets.assign(capacity, 0);
        bool unique = true;
        for (std::size_t i = 0; i < m_members.size() && unique; ++i) unique = indexMember(i);
        if (unique) return;
    }
    // Rare: set the members again one by one, as set() would.
    Members all = std::move(m_members);
    m_members.clear();
    m_index.reset();
    m_members.reserve(all.size());
    for (Member& member : all) slot(std::move(member.first)) = std::move(member.second);
}

bool operator==(const JsonObject& a, const JsonObject& b) {
    if (a.size() != b.size()) return false;
    for (const auto& [key, value] : a.m_members) {
        const JsonValue* other = b.find(key);
        if (other == nullptr || !(*other == value)) return false;
    }
    return true;
}

}  // namespace qp
