#pragma once
// Runs the client's report sends on threads of their own, one at a time.
//
// The delivery rule:
// - Sends never overlap: a send asked for while one is on its way is not
//   started beside it; it follows once that one has returned, with the state
//   asked for last, so the latest state of every session is what goes.
// - A session that ended stays on the device (SavedSessions) until a report
//   carrying that very state is acknowledged; then it leaves the device.
// - A lost answer (no answer, a dropped connection, an error status) leaves
//   everything kept; the next send, at the next pause, new session, quit or
//   launch, repeats it once. There is no retry loop. The service keeps one
//   record per session identifier, the fullest, so a repeat does no harm.
// - Nothing to send starts no thread and takes no lock.
// - At quit the client waits a bounded time for a send on its way, then
//   cancels it (and any send behind it); what it carried stays on the device
//   for the next launch. No send outlives the client's last moments.

#include <chrono>
#include <condition_variable>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

#include "analytics/ReportCodec.h"

namespace qp {

class HttpCancellation;
class HttpClient;
class ReportSender;
class SavedSessions;
class UsageFileCache;
class UsageSession;

struct ReportRequest {
    ReportHead head;
    // The session whose network access the outcome marks; may be null.
    std::shared_ptr<UsageSession> current;
    // The current session's record, taken on the main thread, when the
    // report should carry it.
    std::optional<std::string> currentRecord;
    // Held until the send that carries this request has returned.
    std::vector<std::shared_ptr<const void>> holds;
};

class ReportDelivery : public std::enable_shared_from_this<ReportDelivery> {
public:
    // Shares ownership of what a send touches, so a send may outlive the client.
    ReportDelivery(std::shared_ptr<HttpClient> http, std::string reportUrl,
                   std::chrono::milliseconds timeout, std::shared_ptr<SavedSessions> saved,
                   std::shared_ptr<const UsageFileCache> files);
    ~ReportDelivery();

    ReportDelivery(const ReportDelivery&) = delete;
    ReportDelivery& operator=(const ReportDelivery&) = delete;

    // Starts a send, or makes it follow the one on its way. Call on the main thread.
    void request(ReportRequest request);

    // Blocks until no send is on its way or waiting, or until `limit` has
    // passed; true when idle. No limit waits as long as it takes.
    bool waitUntilIdle(std::optional<std::chrono::milliseconds> limit = std::nullopt);
    bool isIdle() const;

    // Stops the send on its way promptly and makes every later one fail at
    // once, keeping what they carry on the device. Safe from any thread.
    void cancelSends();

private:
    bool hasSomethingToSend(const ReportRequest& request) const;
    // On the send thread: sends `request`, then each follow-up, then goes idle.
    void run(ReportRequest request);

    std::shared_ptr<HttpClient> m_http;
    std::shared_ptr<SavedSessions> m_saved;
    std::shared_ptr<const UsageFileCache> m_files;
    std::shared_ptr<HttpCancellation> m_cancellation;
    std::unique_ptr<ReportSender> m_sender;

    mutable std::mutex m_mutex;
    std::condition_variable m_idle;
    bool m_busy = false;
    std::optional<ReportRequest> m_followUp;
};

}  // namespace qp
