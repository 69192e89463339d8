#pragma once
// The HTTP client on libcurl. send() blocks on the calling thread; start()
// runs each request on a worker thread of its own and reports through the
// main queue. All requests of one client share its cookies.

#include <memory>

#include "platform/HttpClient.h"
#include "platform/MainQueue.h"

namespace qp {

class CurlCookieJar;

class CurlHttpClient final : public HttpClient {
public:
    // `queue` delivers the events of start(); it must outlive every task.
    explicit CurlHttpClient(MainQueue& queue);
    ~CurlHttpClient() override;

    Result<HttpResponse> send(const HttpRequest& request) override;
    std::unique_ptr<HttpTask> start(const HttpRequest& request,
                                    HttpRequestObserver* observer) override;

    std::vector<HttpCookie> cookies() const override;
    void deleteCookie(const HttpCookie& cookie) override;

private:
    MainQueue& m_queue;
    // Shared with running tasks so a task may outlive the client safely.
    std::shared_ptr<CurlCookieJar> m_jar;
};

}  // namespace qp
