#include "analytics/ReportReader.h"

#include <bit>

#include "analytics/ReportWriter.h"
#include "platform/TextEncoding.h"

namespace qp {

template <typename Unsigned>
std::optional<Unsigned> ReportReader::readBigEndian() {
    const std::optional<std::string_view> raw = readRaw(sizeof(Unsigned));
    if (!raw) return std::nullopt;
    Unsigned value = 0;
    for (const char ch : *raw)
        value = static_cast<Unsigned>((value << 8) | static_cast<std::uint8_t>(ch));
    return value;
}

std::optional<std::string_view> ReportReader::readRaw(std::size_t count) {
    if (m_failed || count > m_bytes.size() - m_position) {
        m_failed = true;
        return std::nullopt;
    }
    const std::string_view out = m_bytes.substr(m_position, count);
    m_position += count;
    return out;
}

std::optional<bool> ReportReader::readBoolean() {
    const std::optional<std::uint8_t> byte = readByte();
    if (!byte) return std::nullopt;
    if (*byte > 1) {
        m_failed = true;
        return std::nullopt;
    }
    return *byte == 1;
}

std::optional<std::uint8_t> ReportReader::readByte() {
    return readBigEndian<std::uint8_t>();
}

std::optional<std::uint16_t> ReportReader::readUnsignedShort() {
    return readBigEndian<std::uint16_t>();
}

std::optional<std::int32_t> ReportReader::readInteger() {
    const auto value = readBigEndian<std::uint32_t>();
    if (!value) return std::nullopt;
    return static_cast<std::int32_t>(*value);
}

std::optional<std::uint32_t> ReportReader::readUnsignedInteger() {
    return readBigEndian<std::uint32_t>();
}

std::optional<float> ReportReader::readFloat() {
    const auto value = readBigEndian<std::uint32_t>();
    if (!value) return std::nullopt;
    return std::bit_cast<float>(*value);
}

std::optional<std::int64_t> ReportReader::readLong() {
    const auto value = readBigEndian<std::uint64_t>();
    if (!value) return std::nullopt;
    return static_cast<std::int64_t>(*value);
}

std::optional<double> ReportReader::readDouble() {
    const auto value = readBigEndian<std::uint64_t>();
    if (!value) return std::nullopt;
    return std::bit_cast<double>(*value);
}

std::optional<std::string> ReportReader::readString() {
    const std::optional<std::uint16_t> length = readUnsignedShort();
    if (!length) return std::nullopt;
    const std::optional<std::string_view> raw = readRaw(*length);
    if (!raw) return std::nullopt;
    if (!isValidUtf8(*raw) || utf16Length(*raw) > kMaxReportStringUnits) {
        m_failed = true;
        return std::nullopt;
    }
    return std::string(*raw);
}

std::optional<std::string> ReportReader::readShortData() {
    const std::optional<std::uint16_t> length = readUnsignedShort();
    if (!length) return std::nullopt;
    const std::optional<std::string_view> raw = readRaw(*length);
    if (!raw) return std::nullopt;
    return std::string(*raw);
}

std::optional<std::string> ReportReader::readTinyData() {
    const std::optional<std::uint8_t> length = readByte();
    if (!length) return std::nullopt;
    const std::optional<std::string_view> raw = readRaw(*length);
    if (!raw) return std::nullopt;
    return std::string(*raw);
}

}  // namespace qp
