#pragma once
// Encodes session records and whole reports, and decodes them again: the
// client writes them, our analytics service reads them with the same code.
//
// A report (all values big-endian, primitives as in ReportWriter.h):
//   byte       report version, kReportVersion (1)
//   string     API key, spaces removed
//   string     agent version of the client (kAgentVersion)
//   timestamp  when the report was made
//   long       first use of the client on this device, ms since 1970; 0 unknown
//   u. short   number of session records that follow
//   per record: unsigned integer byte count, then the session record
//   unsigned integer  CRC-32 of every byte before it (see Crc32.h)
//
// A session record:
//   byte       record version, kSessionRecordVersion (1)
//   string     session identifier (32 hex digits)
//   string     application version
//   timestamp  start
//   boolean    has an end; timestamp end when it has
//   long       total paused time in ms
//   boolean    crashed (the run that kept it did not end cleanly)
//   boolean    event log complete (no event refused or left out)
//   boolean    event logging enabled
//   byte       network access: 0 unknown, 1 reached, 2 not reached
//   u. short   event names counted (at most 100); each: string name, integer count
//   u. short   events logged (at most 1000); each:
//                integer log identifier, string name, boolean timed,
//                timestamp start, boolean ended automatically,
//                boolean has parameters; when it has: byte count (at most 10),
//                then per parameter string key, string value
//
// The decoders take untrusted bytes: anything the encoder could not have
// written (bad lengths, trailing bytes, a flag other than 0/1, ill-formed
// UTF-8, a limit exceeded, a wrong CRC) is an error, never a crash.

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "analytics/SessionRecord.h"
#include "platform/Result.h"

namespace qp {

inline constexpr std::uint8_t kReportVersion = 1;
inline constexpr std::uint8_t kSessionRecordVersion = 1;
inline constexpr const char* kReportErrorDomain = "qp.analytics.report";

// Limits the recorder keeps; a decoded record beyond them is rejected.
inline constexpr std::size_t kMaxEventParameters = 10;
inline constexpr std::size_t kMaxCountedEventNames = 100;
inline constexpr std::size_t kMaxLoggedEvents = 1000;

struct ReportHead {
    std::string apiKey;
    std::string agentVersion;
    std::int64_t createdMilliseconds = 0;
    std::int64_t firstUseMilliseconds = 0;

    friend bool operator==(const ReportHead&, const ReportHead&) = default;
};

struct DecodedReport {
    ReportHead head;
    std::vector<SessionRecord> sessions;
};

std::string encodeSessionRecord(const SessionRecord& record);
Result<SessionRecord> decodeSessionRecord(std::string_view bytes);

// `encodedSessions` are outputs of encodeSessionRecord.
std::string encodeReport(const ReportHead& head, const std::vector<std::string>& encodedSessions);
Result<DecodedReport> decodeReport(std::string_view bytes);

}  // namespace qp
