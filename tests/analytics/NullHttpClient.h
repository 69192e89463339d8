#pragma once
// An HTTP client for tests that must not reach any network: every request fails.

#include <atomic>

#include "platform/HttpClient.h"

namespace qp {

class NullHttpClient final : public HttpClient {
public:
    Result<HttpResponse> send(const HttpRequest&) override {
        ++m_sends;
        return Error(kHttpErrorDomain, static_cast<int>(HttpErrorCode::Failed));
    }
    std::unique_ptr<HttpTask> start(const HttpRequest&, HttpRequestObserver*) override {
        return nullptr;
    }
    std::vector<HttpCookie> cookies() const override { return {}; }
    void deleteCookie(const HttpCookie&) override {}

    int sends() const { return m_sends; }

private:
    std::atomic<int> m_sends{0};
};

}  // namespace qp
