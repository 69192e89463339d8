#include "FuzzTarget.h"

#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

#include "analytics/ReportCodec.h"

namespace qp {

namespace {

[[noreturn]] void fail(const char* what) {
    std::fprintf(stderr, "report round trip failed: %s\n", what);
    std::abort();
}

}  // namespace

void fuzzOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);

    if (Result<SessionRecord> record = decodeSessionRecord(bytes); record.ok()) {
        if (encodeSessionRecord(*record) != bytes) fail("session record");
    }

    if (Result<DecodedReport> report = decodeReport(bytes); report.ok()) {
        std::vector<std::string> sessions;
        for (const SessionRecord& session : report->sessions)
            sessions.push_back(encodeSessionRecord(session));
        if (encodeReport(report->head, sessions) != bytes) fail("report");
    }
}

}  // namespace qp
