#include "service/ReportIngest.h"

#include <map>
#include <string>
#include <utility>

#include "service/ServiceErrors.h"

namespace qp {

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
    PreparedReport prepared;
    prepared.head = std::move(report.head);
    std::map<std::string, std::size_t> indexOfId;
    for (SessionRecord& record : report.sessions) {
        // Without an id a later copy could never be matched with this one.
        if (record.sessionId.empty()) {
            return serviceError(ServiceErrorCode::ReportRejected,
                                "A session in the report has no session id");
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
