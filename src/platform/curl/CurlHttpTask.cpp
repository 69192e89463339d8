#include "platform/curl/CurlHttpTask.h"

#include <system_error>

#include "platform/curl/CurlCookieJar.h"

namespace qp {

namespace {

// Posts each event of the transfer to the main queue, guarded by the token.
template <typename Token>
class PostingSink final : public CurlTransferSink {
public:
    PostingSink(MainQueue& queue, std::shared_ptr<Token> token, HttpRequestObserver* observer)
        : m_queue(queue), m_token(std::move(token)), m_observer(observer) {}

    void responseReceived(const HttpResponse& headersOnly) override {
        deliver([headersOnly](HttpRequestObserver& o) { o.didReceiveResponse(headersOnly); });
    }

    void dataReceived(const char* bytes, std::size_t size) override {
        deliver([chunk = std::string(bytes, size)](HttpRequestObserver& o) {
            o.didReceiveData(chunk);
        });
    }

    void finish(const Result<void>& outcome) {
        auto token = m_token;
        auto* observer = m_observer;
        if (!token->live) return;
        m_queue.post([token, observer, outcome] {
            if (!token->live) return;
            token->finished = true;
            if (!observer) return;
            if (outcome) {
                observer->didFinish();
            } else {
                observer->didFail(outcome.error());
            }
        });
    }

private:
    template <typename Event>
    void deliver(Event event) {
        if (!m_token->live || !m_observer) return;
        m_queue.post([token = m_token, observer = m_observer, event = std::move(event)] {
            if (token->live && !token->finished) event(*observer);
        });
    }

    MainQueue& m_queue;
    std::shared_ptr<Token> m_token;
    HttpRequestObserver* m_observer;
};

}  // namespace

CurlHttpTask::CurlHttpTask(MainQueue& queue, HttpRequest request,
                           std::shared_ptr<CurlCookieJar> jar, HttpRequestObserver* observer)
    : m_queue(queue),
      m_jar(std::move(jar)),
      m_token(std::make_shared<Token>()),
      m_transfer(
          std::make_unique<CurlTransfer>(std::move(request), m_jar ? m_jar->share() : nullptr)) {
    try {
        m_worker = std::thread([this, observer] { work(observer); });
    } catch (const std::system_error& failure) {
        // Out of threads: the request fails like any other, on the main queue.
        PostingSink<Token> sink(m_queue, m_token, observer);
        sink.finish(Error(kHttpErrorDomain, static_cast<int>(HttpErrorCode::Failed),
                          {{kLocalizedDescriptionKey, failure.what()}}));
    }
}

CurlHttpTask::~CurlHttpTask() {
    cancel();
    if (m_worker.joinable()) m_worker.join();
}

void CurlHttpTask::cancel() {
    if (m_token->live.exchange(false)) m_token->finished = true;
    m_transfer->cancel();
}

bool CurlHttpTask::isFinished() const {
    return m_token->finished;
}

void CurlHttpTask::work(HttpRequestObserver* observer) {
    PostingSink<Token> sink(m_queue, m_token, observer);
    const Result<void> outcome = m_transfer->run(sink);
    sink.finish(outcome);
}

}  // namespace qp
