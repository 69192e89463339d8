#pragma once
// CRC-32 as Ethernet and zip use it: polynomial 0x04C11DB7 in reflected form
// (0xEDB88320), initial value all ones, final complement, as usage reports
// and PNG chunks use it.

#include <cstddef>
#include <cstdint>
#include <string_view>

namespace qp {

class Crc32 {
public:
    void update(std::string_view bytes);
    std::uint32_t value() const { return ~m_state; }

    static std::uint32_t of(std::string_view bytes);

private:
    std::uint32_t m_state = 0xFFFFFFFFu;
};

}  // namespace qp
