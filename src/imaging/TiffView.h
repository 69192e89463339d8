#pragma once
// Bounds-checked reads of a TIFF structure (the body of an EXIF block) in
// either byte order: every offset comes from a file we do not trust.

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>

namespace qp {

class TiffView {
public:
    TiffView(const std::uint8_t* data, std::size_t size, bool bigEndian)
        : m_data(data), m_size(size), m_bigEndian(bigEndian) {}

    // The view of a TIFF block from its "II" or "MM" header, or nothing.
    static std::optional<TiffView> of(const std::uint8_t* data, std::size_t size) {
        if (data == nullptr || size < 8) return std::nullopt;
        bool bigEndian = false;
        if (data[0] == 'M' && data[1] == 'M') {
            bigEndian = true;
        } else if (!(data[0] == 'I' && data[1] == 'I')) {
            return std::nullopt;
        }
        TiffView view(data, size, bigEndian);
        if (view.u16(2) != 42) return std::nullopt;
        return view;
    }

    std::optional<std::uint16_t> u16(std::size_t offset) const {
        if (offset > m_size || m_size - offset < 2) return std::nullopt;
        const std::uint8_t* p = m_data + offset;
        return m_bigEndian ? std::uint16_t(p[0] << 8 | p[1]) : std::uint16_t(p[1] << 8 | p[0]);
    }
    std::optional<std::uint32_t> u32(std::size_t offset) const {
        const auto hi = u16(offset + (m_bigEndian ? 0 : 2));
        const auto lo = u16(offset + (m_bigEndian ? 2 : 0));
        if (!hi || !lo || offset > m_size) return std::nullopt;
        return std::uint32_t(*hi) << 16 | *lo;
    }

    // The offset of the directory entry with `tag` in the directory at
    // `directory`, or nothing.
    std::optional<std::size_t> findEntry(std::size_t directory, std::uint16_t tag) const {
        const auto count = u16(directory);
        if (!count) return std::nullopt;
        for (std::size_t i = 0; i < *count; ++i) {
            const std::size_t entry = directory + 2 + 12 * i;
            const auto found = u16(entry);
            if (!found) return std::nullopt;  // the directory runs past the block
            if (*found == tag) return entry;
        }
        return std::nullopt;
    }

    // The ASCII value of an entry, up to its first zero, when it lies
    // within the block.
    std::optional<std::string> ascii(std::size_t entry) const {
        constexpr std::uint16_t kAsciiType = 2;
        const auto type = u16(entry + 2);
        const auto count = u32(entry + 4);
        if (type != kAsciiType || !count) return std::nullopt;
        std::size_t at = entry + 8;
        if (*count > 4) {
            const auto offset = u32(entry + 8);
            if (!offset) return std::nullopt;
            at = *offset;
        }
        if (at > m_size || m_size - at < *count) return std::nullopt;
        std::string text(reinterpret_cast<const char*>(m_data + at), *count);
        if (const auto zero = text.find('\0'); zero != std::string::npos) text.resize(zero);
        return text;
    }

private:
    const std::uint8_t* m_data;
    std::size_t m_size;
    bool m_bigEndian;
};

}  // namespace qp
