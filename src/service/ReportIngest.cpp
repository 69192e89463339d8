#include "service/ReportIngest.h"

#include <map>
#include <string>
#include <utility>

#include "service/ServiceErrors.h"

namespace qp {
namespace {

bool holdsNul(std::string_view text) {
    return text.find('\0') != std::string_view::npos;
}

// A NUL is well-formed UTF-8, but a PostgreSQL text cannot hold it: such a
// report would fail there at every send, so neither store takes it.
bool holdsNul(const SessionRecord& record) {
    if (holdsNul(record.sessionId) || holdsNul(record.appVersion)) return true;
    for (const auto& [name, count] : record.eventCounts) {
        if (holdsNul(name)) return true;
    }
    for (const EventRecord& event : record.events) {
        if (holdsNul(event.name)) return true;
        if (!event.parameters) continue;
        for (const auto& [key, value] : *event.parameters) {
            if (holdsNul(key) || holdsNul(value)) return true;
        }
    }
    return false;
}

}  // namespace

Result<PreparedReport> prepareReport(std::string_view body) {
    if (body.size() > kMaxReportBytes) {
        return serviceError(ServiceErrorCode::ReportTooLarge,
                            "Report of " + std::to_string(body.size()) + " bytes is over the " +
                                std::to_string(kMaxReportBytes) + "-byte limit");
    }
    Result<DecodedReport> decoded = decodeReport(body);
    if (!decoded.ok()) {
        return serviceError(ServiceErrorCode::ReportRejected, decoded.error().description());
    }
    return prepareDecodedReport(std::move(decoded).value());
}

Result<PreparedReport> prepareDecodedReport(DecodedReport report) {
    if (holdsNul(report.head.apiKey) || holdsNul(report.head.agentVersion)) {
        return serviceError(ServiceErrorCode::ReportRejected,
                            "The report's API key or agent version holds a NUL character");
    }
    PreparedReport prepared;
    prepared.head = std::move(report.head);
    std::map<std::string, std::size_t> indexOfId;
    for (SessionRecord& record : report.sessions) {
        // Without an id a later copy could never be matched with this one.
        if (record.sessionId.empty()) {
            return serviceError(ServiceErrorCode::ReportRejected,
                                "A session in the report has no session id");
        }
        if (holdsNul(record)) {
            return serviceError(ServiceErrorCode::ReportRejected,
                                "A session in the report holds a NUL character in a text");
        }
        PreparedSession session{std::move(record), {}};
        session.fullness = fullnessOf(session.record);
        const auto [found, isNew] =
            indexOfId.emplace(session.record.sessionId, prepared.sessions.size());
        if (isNew) {
            prepared.sessions.push_back(std::move(session));
        } else if (isFuller(session.fullness, prepared.sessions[found->second].fullness)) {
            prepared.sessions[found->second] = std::move(session);
        }
    }
    return prepared;
}

}  // namespace qp
