#pragma once
// Reads the primitives of ReportWriter back from untrusted bytes. Every read
// is bounds-checked and answers nullopt when the bytes run out or break a
// rule the writer keeps (a boolean other than 0 or 1, a string that is not
// well-formed UTF-8 or longer than 255 UTF-16 code units); after a failed
// read the reader stays failed.

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace qp {

class ReportReader {
public:
    explicit ReportReader(std::string_view bytes) : m_bytes(bytes) {}

    std::optional<bool> readBoolean();
    std::optional<std::uint8_t> readByte();
    std::optional<std::uint16_t> readUnsignedShort();
    std::optional<std::int32_t> readInteger();
    std::optional<std::uint32_t> readUnsignedInteger();
    std::optional<float> readFloat();
    std::optional<std::int64_t> readLong();
    std::optional<double> readDouble();
    // Milliseconds since 1970.
    std::optional<std::int64_t> readTimestamp() { return readLong(); }
    std::optional<std::string> readString();
    std::optional<std::string> readShortData();
    std::optional<std::string> readTinyData();
    std::optional<std::string_view> readRaw(std::size_t count);

    std::size_t position() const { return m_position; }
    std::size_t remaining() const { return m_failed ? 0 : m_bytes.size() - m_position; }
    bool atEnd() const { return !m_failed && m_position == m_bytes.size(); }
    bool failed() const { return m_failed; }

private:
    template <typename Unsigned>
    std::optional<Unsigned> readBigEndian();

    std::string_view m_bytes;
    std::size_t m_position = 0;
    bool m_failed = false;
};

}  // namespace qp
