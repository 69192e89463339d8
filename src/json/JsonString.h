#pragma once
// A run of UTF-8 text held by a JSON tree: a pointer and a length. It reads
// like a string (comparisons, conversion to std::string and string_view) but
// owns nothing; the tree that handed it out keeps the characters alive.

#include <cstddef>
#include <iosfwd>
#include <string>
#include <string_view>

namespace qp {

class JsonString {
public:
    constexpr JsonString() = default;
    // `plain`: the text is known to need no escapes when written.
    constexpr JsonString(const char* data, std::size_t size, bool plain = false)
        : m_data(data), m_size(size | (plain ? kPlainBit : 0)) {}

    const char* data() const { return m_data; }
    std::size_t size() const { return m_size & ~kPlainBit; }
    bool empty() const { return size() == 0; }
    std::string_view view() const { return {m_data, size()}; }
    // Read from text without escapes (so valid UTF-8 with nothing to escape):
    // the writer copies it as it is, without looking at it again.
    bool knownPlain() const { return (m_size & kPlainBit) != 0; }

    operator std::string_view() const { return view(); }          // NOLINT: reads as text
    operator std::string() const { return std::string(view()); }  // NOLINT

    friend bool operator==(const JsonString& a, const JsonString& b) {
        return a.view() == b.view();
    }
    friend bool operator==(const JsonString& a, std::string_view b) { return a.view() == b; }
    friend bool operator<(const JsonString& a, const JsonString& b) { return a.view() < b.view(); }
    friend std::string operator+(std::string a, const JsonString& b) { return a.append(b.view()); }
    friend std::string operator+(const JsonString& a, std::string_view b) {
        return std::string(a.view()).append(b);
    }

private:
    static constexpr std::size_t kPlainBit = ~(~std::size_t{0} >> 1);

    const char* m_data = "";
    std::size_t m_size = 0;
};

std::ostream& operator<<(std::ostream& out, const JsonString& text);

}  // namespace qp
