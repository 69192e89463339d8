#include "platform/curl/CurlHttpClient.h"

#include "platform/curl/CurlCookieJar.h"
#include "platform/curl/CurlHttpTask.h"
#include "platform/curl/CurlTransfer.h"

namespace qp {

namespace {

// Collects a whole answer for send().
class CollectingSink final : public CurlTransferSink {
public:
    void responseReceived(const HttpResponse& headersOnly) override { m_response = headersOnly; }
    void dataReceived(const char* bytes, std::size_t size) override {
        m_response.body.append(bytes, size);
    }
    HttpResponse take() { return std::move(m_response); }

private:
    HttpResponse m_response;
};

}  // namespace

CurlHttpClient::CurlHttpClient(MainQueue& queue)
    : m_queue(queue), m_jar(std::make_shared<CurlCookieJar>()) {}

CurlHttpClient::~CurlHttpClient() = default;

Result<HttpResponse> CurlHttpClient::send(const HttpRequest& request) {
    CurlTransfer transfer(request, m_jar->share());
    CollectingSink sink;
    const std::shared_ptr<HttpCancellation>& cancellation = request.cancellation;
    if (cancellation) cancellation->attach([&transfer] { transfer.cancel(); });
    Result<void> outcome = transfer.run(sink);
    if (cancellation) cancellation->detach();
    if (!outcome) return outcome.error();
    return sink.take();
}

std::unique_ptr<HttpTask> CurlHttpClient::start(const HttpRequest& request,
                                                HttpRequestObserver* observer) {
    return std::make_unique<CurlHttpTask>(m_queue, request, m_jar, observer);
}

std::vector<HttpCookie> CurlHttpClient::cookies() const {
    return m_jar->cookies();
}

void CurlHttpClient::deleteCookie(const HttpCookie& cookie) {
    m_jar->deleteCookie(cookie);
}

}  // namespace qp
