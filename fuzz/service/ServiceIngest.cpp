#include "FuzzTarget.h"

#include <cstdio>
#include <cstdlib>
#include <set>
#include <string>
#include <string_view>

#include "platform/Crc32.h"
#include "service/ReportIngest.h"
#include "service/ServiceErrors.h"

namespace qp {

namespace {

[[noreturn]] void fail(const char* what) {
    std::fprintf(stderr, "service ingest check failed: %s\n", what);
    std::abort();
}

void checkBody(std::string_view body) {
    const Result<PreparedReport> prepared = prepareReport(body);
    const Result<DecodedReport> decoded = decodeReport(body);

    if (!prepared.ok()) {
        const Error& error = prepared.error();
        if (error.domain() != kServiceErrorDomain) fail("error from another domain");
        const std::string reason = error.description();
        if (reason.empty() || reason.find('\n') != std::string::npos) fail("reason not one line");
        return;
    }
    if (!decoded.ok()) fail("prepared a report that does not decode");
    if (prepared->head != decoded->head) fail("head changed");

    std::set<std::string> ids;
    for (const PreparedSession& session : prepared->sessions) {
        if (session.record.sessionId.empty()) fail("session without id kept");
        if (!ids.insert(session.record.sessionId).second) fail("session id twice");
        if (session.fullness != fullnessOf(session.record)) fail("fullness out of date");
        if (isFuller(session.fullness, session.fullness)) fail("a copy fuller than itself");
        // No copy of this session in the report holds more than the one kept.
        for (const SessionRecord& copy : decoded->sessions) {
            if (copy.sessionId == session.record.sessionId &&
                isFuller(fullnessOf(copy), session.fullness)) {
                fail("a fuller copy was dropped");
            }
        }
    }
    for (const SessionRecord& copy : decoded->sessions) {
        if (!ids.count(copy.sessionId)) fail("a session went missing");
    }
}

}  // namespace

void fuzzOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    checkBody(bytes);
    // The same bytes with a checksum that matches, so the search reaches the
    // decoder and the preparation behind the checksum test.
    std::string sealed(bytes);
    const std::uint32_t crc = Crc32::of(bytes);
    for (int shift = 24; shift >= 0; shift -= 8) sealed.push_back(char((crc >> shift) & 0xff));
    checkBody(sealed);
}

}  // namespace qp
