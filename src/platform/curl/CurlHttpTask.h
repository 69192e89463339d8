#pragma once
// A background HTTP request: a worker thread runs the transfer and hands each
// event to the observer through the main queue. cancel() and the destructor
// stop it; no observer call is delivered once cancel() has returned.

#include <atomic>
#include <memory>
#include <thread>

#include "platform/HttpClient.h"
#include "platform/MainQueue.h"
#include "platform/curl/CurlTransfer.h"

namespace qp {

class CurlCookieJar;

class CurlHttpTask final : public HttpTask {
public:
    // The queue must outlive the task. `jar` (may be null) is kept alive for
    // as long as the transfer runs.
    CurlHttpTask(MainQueue& queue, HttpRequest request, std::shared_ptr<CurlCookieJar> jar,
                 HttpRequestObserver* observer);
    // Cancels and waits for the worker, which by then only has to clean up.
    ~CurlHttpTask() override;

    // Call on the main thread, like the observer's events.
    void cancel() override;
    // True once didFinish or didFail has been delivered, or after cancel().
    bool isFinished() const override;

private:
    // Shared between the task, its worker and every queued event. Events
    // check `live` on the main thread just before they reach the observer.
    struct Token {
        std::atomic<bool> live{true};
        std::atomic<bool> finished{false};
    };

    void work(HttpRequestObserver* observer);

    MainQueue& m_queue;
    std::shared_ptr<CurlCookieJar> m_jar;
    std::shared_ptr<Token> m_token;
    std::unique_ptr<CurlTransfer> m_transfer;
    std::thread m_worker;  // started once everything above exists
};

}  // namespace qp
