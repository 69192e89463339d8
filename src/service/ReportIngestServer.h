#pragma once
// The analytics service's HTTP side: reports arrive by POST at /report as
// application/octet-stream, are checked and decoded, and are answered 200
// only once the store has them durably; a report we refuse gets a 4xx with a
// one-line reason, a store that fails a 503 so the sender keeps its sessions.
// No peer address is kept or logged.
//
// Threads: listen() runs the accept loop on the caller's thread and handles
// requests on a pool of worker threads; stop() may come from any thread and
// lets requests already being handled finish before listen() returns.

#include <atomic>
#include <functional>
#include <memory>
#include <string>

#include "platform/Result.h"
#include "service/AnalyticsStore.h"

namespace httplib {
class Server;
}

namespace qp {

inline constexpr const char* kReportPath = "/report";
inline constexpr const char* kReportContentType = "application/octet-stream";

class ReportIngestServer {
public:
    // `store` is not owned and must outlive the server.
    explicit ReportIngestServer(AnalyticsStore& store);
    ~ReportIngestServer();
    ReportIngestServer(const ReportIngestServer&) = delete;
    ReportIngestServer& operator=(const ReportIngestServer&) = delete;

    // Binds `host`:`port` (0: any free port); gives the port bound.
    Result<int> bind(const std::string& host, int port);
    // Serves until stop(); false when the accept loop failed.
    bool listen();
    void stop();
    bool isRunning() const;

    // Called on a worker thread after every answered report, with the status
    // sent and a one-line description (for the service's log). Set it before
    // listen(); the workers read it without a lock.
    void setReportObserver(std::function<void(int status, const std::string& line)> observer);

private:
    std::unique_ptr<httplib::Server> m_server;
    AnalyticsStore& m_store;
    std::function<void(int, const std::string&)> m_observer;
};

}  // namespace qp
