#pragma once
// One send of a report: the saved sessions, and the current one when asked,
// posted to the report address. A network lock lets only one send talk to the
// service at a time; a send that finds it taken gives up at once instead of
// waiting. The lock is taken only when there is something to send.
// ReportDelivery runs the client's sends one after the other, so they never
// meet the lock taken.

#include <chrono>
#include <memory>
#include <mutex>
#include <optional>
#include <string>

#include "analytics/ReportCodec.h"

namespace qp {

class HttpCancellation;
class HttpClient;
class SavedSessions;
class UsageFileCache;
class UsageSession;

inline constexpr const char* kReportMethod = "POST";
inline constexpr const char* kReportContentTypeHeader = "Content-Type";
inline constexpr const char* kReportContentType = "application/octet-stream";

class ReportSender {
public:
    enum class Outcome { Sent, Failed, Skipped, NothingToSend };

    // `http`, `saved` and `files` must outlive the sender.
    ReportSender(HttpClient& http, std::string reportUrl, std::chrono::milliseconds timeout,
                 SavedSessions& saved, const UsageFileCache& files);

    // Blocks until the service has answered; call it on a worker thread.
    // `current` is the session whose network access the outcome marks, and
    // `currentRecord` its encoded record when the report should carry it (a
    // kept copy of the same session goes instead). An acknowledged report
    // takes exactly the kept records it carried off the device.
    Outcome send(const ReportHead& head, const std::shared_ptr<UsageSession>& current,
                 const std::optional<std::string>& currentRecord);

    const std::string& reportUrl() const { return m_reportUrl; }

    // Lets another thread stop this sender's sends; none: each runs its course.
    void setCancellation(std::shared_ptr<HttpCancellation> cancellation) {
        m_cancellation = std::move(cancellation);
    }

private:
    HttpClient& m_http;
    std::string m_reportUrl;
    std::chrono::milliseconds m_timeout;
    SavedSessions& m_saved;
    const UsageFileCache& m_files;
    std::shared_ptr<HttpCancellation> m_cancellation;
    std::mutex m_networkLock;
};

}  // namespace qp
