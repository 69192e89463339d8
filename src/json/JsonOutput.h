#pragma once
// The text the writer produces, written through a raw position: each piece
// asks for room once and is copied in, instead of growing a string by every
// character.

#include <algorithm>
#include <cstddef>
#include <cstdlib>
#include <cstring>
#include <new>
#include <string>
#include <string_view>

namespace qp {

class JsonOutput {
public:
    explicit JsonOutput(std::size_t capacity)
        : m_data(static_cast<char*>(std::malloc(capacity))), m_capacity(capacity) {
        if (m_data == nullptr) throw std::bad_alloc();
    }
    JsonOutput(const JsonOutput&) = delete;
    JsonOutput& operator=(const JsonOutput&) = delete;
    ~JsonOutput() { std::free(m_data); }

    // The position to write up to `count` characters at; advance() then says
    // how many were written.
    char* room(std::size_t count) {
        if (m_capacity - m_size < count) grow(count);
        return m_data + m_size;
    }
    void advance(std::size_t count) { m_size += count; }
    // Marks everything up to `end` (inside the last room()) as written.
    void advanceTo(const char* end) { m_size = static_cast<std::size_t>(end - m_data); }

    void put(char c) {
        *room(1) = c;
        ++m_size;
    }
    void append(std::string_view text) {
        std::memcpy(room(text.size()), text.data(), text.size());
        m_size += text.size();
    }
    void append(std::size_t count, char c) {
        std::memset(room(count), c, count);
        m_size += count;
    }

    std::string text() const { return std::string(m_data, m_size); }

private:
    // Grows with realloc, which extends a block in place or remaps a large
    // one, where a string would copy and clear it at every step.
    [[gnu::noinline]] void grow(std::size_t count) {
        const std::size_t capacity = std::max(m_capacity * 2, m_size + count);
        void* const data = std::realloc(m_data, capacity);
        if (data == nullptr) throw std::bad_alloc();
        m_data = static_cast<char*>(data);
        m_capacity = capacity;
    }

    char* m_data;
    std::size_t m_size = 0;
    std::size_t m_capacity;
};

}  // namespace qp
