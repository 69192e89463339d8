#pragma once
// One send of a report: the saved sessions, and the current one when asked,
// posted to the report address. Sends run on threads of their own; a network
// lock lets only one of them talk to the service at a time, and a send that
// finds the lock taken gives up at once instead of waiting.

#include <chrono>
#include <memory>
#include <mutex>
#include <optional>
#include <string>

#include "analytics/ReportCodec.h"

namespace qp {

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
    // `currentRecord` its encoded record when the report should carry it.
    Outcome send(const ReportHead& head, const std::shared_ptr<UsageSession>& current,
                 const std::optional<std::string>& currentRecord);

    const std::string& reportUrl() const { return m_reportUrl; }

private:
    HttpClient& m_http;
    std::string m_reportUrl;
    std::chrono::milliseconds m_timeout;
    SavedSessions& m_saved;
    const UsageFileCache& m_files;
    std::mutex m_networkLock;
};

}  // namespace qp
