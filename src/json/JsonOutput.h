#pragma once
// The text the writer produces, written through a raw position: each piece
// asks for room once and is copied in, instead of growing a string by every
// character.

#include <algorithm>
#include <cstddef>
#include <cstring>
#include <string>
#include <string_view>

namespace qp {

class JsonOutput {
public:
    explicit JsonOutput(std::size_t capacity) { m_text.resize(capacity); }

    // The position to write up to `count` characters at; advance() then says
    // how many were written.
    char* room(std::size_t count) {
        if (m_text.size() - m_size < count) grow(count);
        return m_text.data() + m_size;
    }
    void advance(std::size_t count) { m_size += count; }
    // Marks everything up to `end` (inside the last room()) as written.
    void advanceTo(const char* end) { m_size = static_cast<std::size_t>(end - m_text.data()); }

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

    // The text written, which the output gives up.
    std::string take() {
        m_text.resize(m_size);
        return std::move(m_text);
    }

private:
    [[gnu::noinline]] void grow(std::size_t count) {
        m_text.resize(std::max(m_text.size() * 2, m_size + count));
    }

    std::string m_text;
    std::size_t m_size = 0;
};

}  // namespace qp
