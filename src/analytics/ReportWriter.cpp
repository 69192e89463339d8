#include "analytics/ReportWriter.h"

#include <bit>
#include <limits>

#include "platform/Crc32.h"
#include "platform/TextEncoding.h"

namespace qp {

namespace {

template <typename Unsigned>
void appendBigEndian(std::string& out, Unsigned value) {
    for (int shift = static_cast<int>(sizeof(Unsigned) * 8) - 8; shift >= 0; shift -= 8) {
        out.push_back(static_cast<char>((value >> shift) & 0xFFu));
    }
}

}  // namespace

void ReportWriter::writeByte(std::uint8_t value) {
    m_bytes.push_back(static_cast<char>(value));
}

void ReportWriter::writeUnsignedShort(std::uint16_t value) {
    appendBigEndian(m_bytes, value);
}

void ReportWriter::writeInteger(std::int32_t value) {
    appendBigEndian(m_bytes, static_cast<std::uint32_t>(value));
}

void ReportWriter::writeUnsignedInteger(std::uint32_t value) {
    appendBigEndian(m_bytes, value);
}

void ReportWriter::writeFloat(float value) {
    appendBigEndian(m_bytes, std::bit_cast<std::uint32_t>(value));
}

void ReportWriter::writeLong(std::int64_t value) {
    appendBigEndian(m_bytes, static_cast<std::uint64_t>(value));
}

void ReportWriter::writeDouble(double value) {
    appendBigEndian(m_bytes, std::bit_cast<std::uint64_t>(value));
}

void ReportWriter::writeTimestamp(Clock::WallTime time) {
    writeLong(timestampMilliseconds(time));
}

void ReportWriter::writeString(std::string_view text) {
    std::string sanitized;
    if (!isValidUtf8(text)) {
        sanitized = sanitizeUtf8(text);
        text = sanitized;
    }
    // The service refuses a NUL in a text (its databases cannot keep one), and
    // a refused report is sent again at every later send: a NUL goes as
    // U+FFFD, as ill-formed bytes do.
    if (text.find('\0') != std::string_view::npos) {
        std::string withoutNul;
        withoutNul.reserve(text.size() + 8);
        for (char c : text) {
            if (c == '\0') {
                withoutNul += "\xEF\xBF\xBD";
            } else {
                withoutNul += c;
            }
        }
        sanitized = std::move(withoutNul);
        text = sanitized;
    }
    // 255 units of at most 3 bytes each, or pairs of 4: always below 65 535.
    const std::string_view cut = cutToUtf16Units(text, kMaxReportStringUnits);
    writeUnsignedShort(static_cast<std::uint16_t>(cut.size()));
    m_bytes.append(cut);
}

void ReportWriter::writeShortData(std::string_view bytes) {
    bytes = bytes.substr(0, std::numeric_limits<std::uint16_t>::max());
    writeUnsignedShort(static_cast<std::uint16_t>(bytes.size()));
    m_bytes.append(bytes);
}

void ReportWriter::writeTinyData(std::string_view bytes) {
    bytes = bytes.substr(0, std::numeric_limits<std::uint8_t>::max());
    writeByte(static_cast<std::uint8_t>(bytes.size()));
    m_bytes.append(bytes);
}

void ReportWriter::appendCrc32Trailer() {
    writeUnsignedInteger(Crc32::of(m_bytes));
}

std::int64_t timestampMilliseconds(Clock::WallTime time) {
    return std::chrono::duration_cast<std::chrono::milliseconds>(time.time_since_epoch()).count();
}

std::int64_t intervalMilliseconds(const std::optional<Clock::WallTime>& from,
                                  const std::optional<Clock::WallTime>& to) {
    if (!from || !to) return 0;
    return timestampMilliseconds(*to) - timestampMilliseconds(*from);
}

}  // namespace qp
