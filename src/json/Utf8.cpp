#include "json/Utf8.h"

#include <cstring>

namespace qp::utf8 {

std::size_t sequenceLength(const unsigned char* p, const unsigned char* end) {
    const unsigned char lead = *p;
    const auto available = static_cast<std::size_t>(end - p);
    auto continuation = [&](std::size_t i) { return i < available && (p[i] & 0xC0) == 0x80; };
    if (lead >= 0xC2 && lead <= 0xDF) return continuation(1) ? 2 : 0;
    if (lead >= 0xE0 && lead <= 0xEF) {
        if (available < 2) return 0;
        const unsigned char second = p[1];
        if (lead == 0xE0 && second < 0xA0) return 0;   // overlong
        if (lead == 0xED && second >= 0xA0) return 0;  // surrogate
        return continuation(1) && continuation(2) ? 3 : 0;
    }
    if (lead >= 0xF0 && lead <= 0xF4) {
        if (available < 2) return 0;
        const unsigned char second = p[1];
        if (lead == 0xF0 && second < 0x90) return 0;   // overlong
        if (lead == 0xF4 && second >= 0x90) return 0;  // beyond U+10FFFF
        return continuation(1) && continuation(2) && continuation(3) ? 4 : 0;
    }
    return 0;
}

// Eight bytes at a time while it can.
const unsigned char* skipPlainAscii(const unsigned char* p, const unsigned char* end) {
    constexpr std::uint64_t kOnes = 0x0101010101010101ull;
    constexpr std::uint64_t kHigh = 0x8080808080808080ull;
    while (end - p >= 8) {
        std::uint64_t v;
        std::memcpy(&v, p, 8);
        const std::uint64_t quote = v ^ (kOnes * '"');
        const std::uint64_t backslash = v ^ (kOnes * '\\');
        const std::uint64_t stop = (v | ((v - kOnes * 0x20) & ~v) | ((quote - kOnes) & ~quote) |
                                    ((backslash - kOnes) & ~backslash)) &
                                   kHigh;
        if (stop != 0) break;
        p += 8;
    }
    while (p < end && *p >= 0x20 && *p < 0x80 && *p != '"' && *p != '\\') ++p;
    return p;
}

const unsigned char* skipPlainText(const unsigned char* p, const unsigned char* end) {
    for (;;) {
        p = skipPlainAscii(p, end);
        // Text in other scripts runs from one multi-byte sequence to the next.
        while (p < end && *p >= 0x80) {
            const std::size_t length = sequenceLength(p, end);
            if (length == 0) return nullptr;
            p += length;
        }
        if (p == end || *p < 0x20 || *p == '"' || *p == '\\') return p;
    }
}

void append(std::string& out, std::uint32_t codePoint) {
    if (codePoint < 0x80) {
        out += static_cast<char>(codePoint);
    } else if (codePoint < 0x800) {
        out += static_cast<char>(0xC0 | (codePoint >> 6));
        out += static_cast<char>(0x80 | (codePoint & 0x3F));
    } else if (codePoint < 0x10000) {
        out += static_cast<char>(0xE0 | (codePoint >> 12));
        out += static_cast<char>(0x80 | ((codePoint >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (codePoint & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (codePoint >> 18));
        out += static_cast<char>(0x80 | ((codePoint >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((codePoint >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (codePoint & 0x3F));
    }
}

}  // namespace qp::utf8
