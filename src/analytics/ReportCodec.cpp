#include "analytics/ReportCodec.h"

#include <algorithm>
#include <limits>

#include "analytics/ReportReader.h"
#include "analytics/ReportWriter.h"
#include "platform/Crc32.h"

namespace qp {

namespace {

constexpr std::size_t kCrcSize = 4;

// Error codes in kReportErrorDomain.
constexpr int kMalformed = 1;
constexpr int kUnsupportedVersion = 2;
constexpr int kChecksumMismatch = 3;

Error reportError(int code, const std::string& what) {
    return Error(kReportErrorDomain, code, {{kLocalizedDescriptionKey, what}});
}

void writeSessionRecord(ReportWriter& out, const SessionRecord& record) {
    out.writeByte(kSessionRecordVersion);
    out.writeString(record.sessionId);
    out.writeString(record.appVersion);
    out.writeLong(record.startMilliseconds);
    out.writeBoolean(record.endMilliseconds.has_value());
    if (record.endMilliseconds) out.writeLong(*record.endMilliseconds);
    out.writeLong(record.pausedMilliseconds);
    out.writeBoolean(record.crashed);
    out.writeBoolean(record.eventLogComplete);
    out.writeBoolean(record.eventLoggingEnabled);
    out.writeByte(static_cast<std::uint8_t>(record.networkAccess));

    // The limits keep every count within its field, so the record stays readable.
    const std::size_t names = std::min(record.eventCounts.size(), kMaxCountedEventNames);
    out.writeUnsignedShort(static_cast<std::uint16_t>(names));
    for (std::size_t i = 0; i < names; ++i) {
        out.writeString(record.eventCounts[i].first);
        out.writeInteger(record.eventCounts[i].second);
    }
    const std::size_t events = std::min(record.events.size(), kMaxLoggedEvents);
    out.writeUnsignedShort(static_cast<std::uint16_t>(events));
    for (std::size_t i = 0; i < events; ++i) {
        const EventRecord& event = record.events[i];
        out.writeInteger(event.logId);
        out.writeString(event.name);
        out.writeBoolean(event.timed);
        out.writeLong(event.startMilliseconds);
        out.writeBoolean(event.automaticallyEnded);
        out.writeBoolean(event.parameters.has_value());
        if (!event.parameters) continue;
        const std::size_t count = std::min(event.parameters->size(), kMaxEventParameters);
        out.writeByte(static_cast<std::uint8_t>(count));
        for (std::size_t p = 0; p < count; ++p) {
            out.writeString((*event.parameters)[p].first);
            out.writeString((*event.parameters)[p].second);
        }
    }
}

std::optional<EventRecord> readEvent(ReportReader& in) {
    EventRecord event;
    const auto logId = in.readInteger();
    auto name = in.readString();
    const auto timed = in.readBoolean();
    const auto start = in.readLong();
    const auto ended = in.readBoolean();
    const auto hasParameters = in.readBoolean();
    if (in.failed()) return std::nullopt;
    event.logId = *logId;
    event.name = std::move(*name);
    event.timed = *timed;
    event.startMilliseconds = *start;
    event.automaticallyEnded = *ended;
    if (*hasParameters) {
        const auto count = in.readByte();
        if (!count || *count > kMaxEventParameters) return std::nullopt;
        ParameterList parameters;
        for (std::uint8_t p = 0; p < *count; ++p) {
            auto key = in.readString();
            auto value = in.readString();
            if (in.failed()) return std::nullopt;
            parameters.emplace_back(std::move(*key), std::move(*value));
        }
        event.parameters = std::move(parameters);
    }
    return event;
}

Result<SessionRecord> readSessionRecord(ReportReader& in) {
    const auto version = in.readByte();
    if (!version) return reportError(kMalformed, "Session record is empty");
    if (*version != kSessionRecordVersion) {
        return reportError(kUnsupportedVersion,
                           "Unsupported session record version " + std::to_string(*version));
    }
    SessionRecord record;
    auto sessionId = in.readString();
    auto appVersion = in.readString();
    const auto start = in.readLong();
    const auto hasEnd = in.readBoolean();
    if (in.failed())
        return reportError(kMalformed, "Session record head is truncated or malformed");
    if (*hasEnd) {
        const auto end = in.readLong();
        if (!end) return reportError(kMalformed, "Session end time is truncated");
        record.endMilliseconds = *end;
    }
    const auto paused = in.readLong();
    const auto crashed = in.readBoolean();
    const auto complete = in.readBoolean();
    const auto enabled = in.readBoolean();
    const auto network = in.readByte();
    if (in.failed() || *network > static_cast<std::uint8_t>(NetworkAccess::NotReached)) {
        return reportError(kMalformed, "Session flags are truncated or malformed");
    }
    record.sessionId = std::move(*sessionId);
    record.appVersion = std::move(*appVersion);
    record.startMilliseconds = *start;
    record.pausedMilliseconds = *paused;
    record.crashed = *crashed;
    record.eventLogComplete = *complete;
    record.eventLoggingEnabled = *enabled;
    record.networkAccess = static_cast<NetworkAccess>(*network);

    const auto names = in.readUnsignedShort();
    if (!names || *names > kMaxCountedEventNames)
        return reportError(kMalformed, "Bad event count table size");
    for (std::uint16_t i = 0; i < *names; ++i) {
        auto name = in.readString();
        const auto count = in.readInteger();
        if (in.failed())
            return reportError(kMalformed, "Event count table is truncated or malformed");
        record.eventCounts.emplace_back(std::move(*name), *count);
    }
    const auto events = in.readUnsignedShort();
    if (!events || *events > kMaxLoggedEvents) return reportError(kMalformed, "Bad event log size");
    record.events.reserve(*events);
    for (std::uint16_t i = 0; i < *events; ++i) {
        std::optional<EventRecord> event = readEvent(in);
        if (!event) return reportError(kMalformed, "Event log is truncated or malformed");
        record.events.push_back(std::move(*event));
    }
    return record;
}

}  // namespace

std::string encodeSessionRecord(const SessionRecord& record) {
    ReportWriter out;
    writeSessionRecord(out, record);
    return out.take();
}

Result<SessionRecord> decodeSessionRecord(std::string_view bytes) {
    ReportReader in(bytes);
    Result<SessionRecord> record = readSessionRecord(in);
    if (record.ok() && !in.atEnd())
        return reportError(kMalformed, "Bytes left after the session record");
    return record;
}

std::string encodeReport(const ReportHead& head, const std::vector<std::string>& encodedSessions) {
    ReportWriter out;
    out.writeByte(kReportVersion);
    out.writeString(head.apiKey);
    out.writeString(head.agentVersion);
    out.writeLong(head.createdMilliseconds);
    out.writeLong(head.firstUseMilliseconds);
    const std::size_t count =
        std::min<std::size_t>(encodedSessions.size(), std::numeric_limits<std::uint16_t>::max());
    out.writeUnsignedShort(static_cast<std::uint16_t>(count));
    for (std::size_t i = 0; i < count; ++i) {
        out.writeUnsignedInteger(static_cast<std::uint32_t>(encodedSessions[i].size()));
        out.writeRaw(encodedSessions[i]);
    }
    out.appendCrc32Trailer();
    return out.take();
}

Result<DecodedReport> decodeReport(std::string_view bytes) {
    if (bytes.size() < kCrcSize)
        return reportError(kMalformed, "Report is shorter than its checksum");
    const std::string_view body = bytes.substr(0, bytes.size() - kCrcSize);
    ReportReader trailer(bytes.substr(body.size()));
    if (trailer.readUnsignedInteger() != Crc32::of(body)) {
        return reportError(kChecksumMismatch, "Report checksum does not match");
    }

    ReportReader in(body);
    const auto version = in.readByte();
    if (!version) return reportError(kMalformed, "Report is empty");
    if (*version != kReportVersion) {
        return reportError(kUnsupportedVersion,
                           "Unsupported report version " + std::to_string(*version));
    }
    DecodedReport report;
    auto apiKey = in.readString();
    auto agent = in.readString();
    const auto created = in.readLong();
    const auto firstUse = in.readLong();
    const auto count = in.readUnsignedShort();
    if (in.failed()) return reportError(kMalformed, "Report head is truncated or malformed");
    report.head = {std::move(*apiKey), std::move(*agent), *created, *firstUse};

    for (std::uint16_t i = 0; i < *count; ++i) {
        const auto length = in.readUnsignedInteger();
        if (!length) return reportError(kMalformed, "Session record length is truncated");
        const auto raw = in.readRaw(*length);
        if (!raw) return reportError(kMalformed, "Session record runs past the report");
        Result<SessionRecord> record = decodeSessionRecord(*raw);
        if (!record.ok()) return record.error();
        report.sessions.push_back(std::move(record).value());
    }
    if (!in.atEnd()) return reportError(kMalformed, "Bytes left after the last session record");
    return report;
}

}  // namespace qp
