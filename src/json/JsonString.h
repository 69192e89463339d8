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
    constexpr JsonString(const char* data, std::size_t size) : m_data(data), m_size(size) {}

    const char* data() const { return m_data; }
    std::size_t size() const { return m_size; }
    bool empty() const { return m_size == 0; }
    std::string_view view() const { return {m_data, m_size}; }

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
    const char* m_data = "";
    std::size_t m_size = 0;
};

std::ostream& operator<<(std::ostream& out, const JsonString& text);

}  // namespace qp
