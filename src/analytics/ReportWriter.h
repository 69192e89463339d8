#pragma once
// Writes the primitives that reports and session records are made of. Every
// multi-byte value goes most significant byte first:
//   boolean, byte        1 byte (a boolean is 0 or 1)
//   unsigned short       2 bytes
//   integer, float       4 bytes (a float by its IEEE 754 bits)
//   long, double         8 bytes (a double by its IEEE 754 bits)
//   timestamp            milliseconds since 1970 as a long, truncated
//   string               at most 255 UTF-16 code units (a surrogate pair is
//                        never split), then its UTF-8 byte count as an
//                        unsigned short, then the UTF-8 bytes
//   short data           byte count as an unsigned short, then the bytes
//   tiny data            byte count in 1 byte, then the bytes

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "platform/Clock.h"

namespace qp {

// Strings longer than this many UTF-16 code units are cut to it.
inline constexpr std::size_t kMaxReportStringUnits = 255;

class ReportWriter {
public:
    void writeBoolean(bool value) { writeByte(value ? 1 : 0); }
    void writeByte(std::uint8_t value);
    void writeUnsignedShort(std::uint16_t value);
    void writeInteger(std::int32_t value);
    void writeUnsignedInteger(std::uint32_t value);
    void writeFloat(float value);
    void writeLong(std::int64_t value);
    void writeDouble(double value);
    void writeTimestamp(Clock::WallTime time);
    // Ill-formed UTF-8 is written with U+FFFD in place of each bad byte.
    void writeString(std::string_view text);
    // Data beyond 65 535 (short) or 255 (tiny) bytes is cut so that the
    // count always matches what follows it.
    void writeShortData(std::string_view bytes);
    void writeTinyData(std::string_view bytes);
    void writeRaw(std::string_view bytes) { m_bytes.append(bytes); }

    // Appends the CRC-32 of everything written so far as an unsigned integer.
    void appendCrc32Trailer();

    std::size_t size() const { return m_bytes.size(); }
    const std::string& bytes() const { return m_bytes; }
    std::string take() { return std::move(m_bytes); }

private:
    std::string m_bytes;
};

// Milliseconds since 1970, truncated toward zero.
std::int64_t timestampMilliseconds(Clock::WallTime time);

// `to` minus `from` in whole milliseconds since 1970; 0 when either is absent.
std::int64_t intervalMilliseconds(const std::optional<Clock::WallTime>& from,
                                  const std::optional<Clock::WallTime>& to);

}  // namespace qp
