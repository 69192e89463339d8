#include "analytics/ReportSender.h"

#include "analytics/SavedSessions.h"
#include "analytics/UsageFileCache.h"
#include "analytics/UsageSession.h"
#include "platform/HttpClient.h"
#include "platform/Log.h"

namespace qp {

ReportSender::ReportSender(HttpClient& http, std::string reportUrl,
                           std::chrono::milliseconds timeout, SavedSessions& saved,
                           const UsageFileCache& files)
    : m_http(http),
      m_reportUrl(std::move(reportUrl)),
      m_timeout(timeout),
      m_saved(saved),
      m_files(files) {}

ReportSender::Outcome ReportSender::send(const ReportHead& head,
                                         const std::shared_ptr<UsageSession>& current,
                                         const std::optional<std::string>& currentRecord) {
    // What goes is settled before the lock: a send with nothing to carry
    // must not keep another one from going.
    const std::vector<std::string> savedSessions = m_saved.snapshot();
    std::vector<std::string> sessions = savedSessions;
    // A report carries each session once; a kept copy of the current session
    // is its later state.
    if (currentRecord && !(current && m_saved.contains(current->sessionId())))
        sessions.push_back(*currentRecord);
    if (sessions.empty()) return Outcome::NothingToSend;

    std::unique_lock lock(m_networkLock, std::try_to_lock);
    if (!lock.owns_lock()) {
        logLine("Could not acquire network lock. Skipping");
        return Outcome::Skipped;
    }

    HttpRequest request;
    request.url = m_reportUrl;
    request.method = kReportMethod;
    request.setHeader(kReportContentTypeHeader, kReportContentType);
    request.body = encodeReport(head, sessions);
    request.timeout = m_timeout;
    request.useCookies = false;
    request.cancellation = m_cancellation;

    const Result<HttpResponse> response = m_http.send(request);
    const bool accepted =
        response.ok() && response->statusCode >= 200 && response->statusCode < 300;
    if (!accepted) {
        if (current) current->setNetworkAccess(NetworkAccess::NotReached);
        logLine("UsageAnalytics: Could not connect to server.");
        return Outcome::Failed;
    }

    if (current) current->setNetworkAccess(NetworkAccess::Reached);
    m_saved.removeSent(savedSessions);
    if (Result<void> written = m_files.writeSentSession(sessions.back()); !written.ok()) {
        logf("UsageAnalytics: Could not note the session sent: {}", written.error().toString());
    }
    logf("UsageAnalytics: Sent {} session(s).", sessions.size());
    return Outcome::Sent;
}

}  // namespace qp
