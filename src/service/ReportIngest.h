#pragma once
// The first step for every posted report: refuse what is too large or does
// not decode (a wrong checksum or version included), then make the sessions
// ready for the store, one per session id. Plain C++ on untrusted bytes, no
// I/O: the fuzz target runs it as the server does.

#include <cstddef>
#include <string_view>
#include <vector>

#include "analytics/ReportCodec.h"
#include "platform/Result.h"
#include "service/SessionFullness.h"

namespace qp {

// Larger bodies are refused before they are read.
inline constexpr std::size_t kMaxReportBytes = 8 * 1024 * 1024;

struct PreparedSession {
    SessionRecord record;
    SessionFullness fullness;
};

struct PreparedReport {
    ReportHead head;
    // Distinct session ids, in the order of first appearance; a session sent
    // twice in one report keeps its fuller copy.
    std::vector<PreparedSession> sessions;
};

// A ServiceErrorCode::ReportTooLarge or ReportRejected error, whose
// description is one line saying why, for the answer to the sender.
Result<PreparedReport> prepareReport(std::string_view body);

// The sessions of an already decoded report, as prepareReport makes them.
Result<PreparedReport> prepareDecodedReport(DecodedReport report);

}  // namespace qp
