#include "platform/Crc32.h"

#include <array>

namespace qp {

namespace {

constexpr std::uint32_t kReflectedPolynomial = 0xEDB88320u;

constexpr std::array<std::uint32_t, 256> makeTable() {
    std::array<std::uint32_t, 256> table{};
    for (std::uint32_t i = 0; i < 256; ++i) {
        std::uint32_t c = i;
        for (int bit = 0; bit < 8; ++bit)
            c = (c & 1u) ? (kReflectedPolynomial ^ (c >> 1)) : (c >> 1);
        table[i] = c;
    }
    return table;
}

constexpr std::array<std::uint32_t, 256> kTable = makeTable();

}  // namespace

void Crc32::update(std::string_view bytes) {
    std::uint32_t c = m_state;
    for (const char ch : bytes) c = kTable[(c ^ static_cast<std::uint8_t>(ch)) & 0xFFu] ^ (c >> 8);
    m_state = c;
}

std::uint32_t Crc32::of(std::string_view bytes) {
    Crc32 crc;
    crc.update(bytes);
    return crc.value();
}

}  // namespace qp
