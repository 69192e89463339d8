#include "cli/TerminalText.h"

#include <fmt/format.h>

#include <cstdint>
#include <vector>

namespace qp {
namespace {

// Length of the well-formed UTF-8 sequence at the start of `text`, or 0.
std::size_t sequenceLength(std::string_view text) {
    const auto byte = [&](std::size_t i) { return std::uint8_t(text[i]); };
    const std::uint8_t lead = byte(0);
    if (lead < 0x80) return 1;
    std::size_t length = 0;
    std::uint32_t min = 0;
    if ((lead & 0xE0) == 0xC0)
        length = 2, min = 0x80;
    else if ((lead & 0xF0) == 0xE0)
        length = 3, min = 0x800;
    else if ((lead & 0xF8) == 0xF0)
        length = 4, min = 0x10000;
    else
        return 0;
    if (text.size() < length) return 0;
    std::uint32_t code = lead & (0x7F >> length);
    for (std::size_t i = 1; i < length; ++i) {
        if ((byte(i) & 0xC0) != 0x80) return 0;
        code = code << 6 | (byte(i) & 0x3F);
    }
    if (code < min || code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF)) return 0;
    return length;
}

std::string escaped(std::uint8_t byte) {
    switch (byte) {
        case '\n':
            return "\\n";
        case '\r':
            return "\\r";
        case '\t':
            return "\\t";
        case 0x1B:
            return "\\e";
        default:
            return fmt::format("\\x{:02X}", byte);
    }
}

}  // namespace

std::string printable(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size();) {
        const std::size_t length = sequenceLength(text.substr(i));
        const auto lead = std::uint8_t(text[i]);
        if (length == 0) {
            out += escaped(lead);
            ++i;
        } else if (length == 1 && (lead < 0x20 || lead == 0x7F)) {
            out += escaped(lead);
            ++i;
        } else if (length == 2 && lead == 0xC2 && std::uint8_t(text[i + 1]) < 0xA0) {
            // C1 controls, U+0080 to U+009F: CSI (U+009B) starts a sequence too.
            out += fmt::format("\\u{:04X}", std::uint8_t(text[i + 1]));
            i += 2;
        } else {
            out.append(text.substr(i, length));
            i += length;
        }
    }
    return out;
}

std::string tailWithin(std::string_view text, std::size_t maxCharacters) {
    std::vector<std::size_t> starts;  // where each character begins
    for (std::size_t i = 0; i < text.size();) {
        starts.push_back(i);
        const std::size_t length = sequenceLength(text.substr(i));
        i += length == 0 ? 1 : length;
    }
    if (starts.size() <= maxCharacters) return std::string(text);
    if (maxCharacters == 0) return "…";
    return "…" + std::string(text.substr(starts[starts.size() - (maxCharacters - 1)]));
}

}  // namespace qp
