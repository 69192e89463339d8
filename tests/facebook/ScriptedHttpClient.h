#pragma once
// An HttpClient for the social-network client's tests: start() records the
// request and hands the test a handle through which it plays the server's
// events; cookies live in a plain list.

#include <memory>
#include <string>
#include <vector>

#include "platform/HttpClient.h"

namespace qp {

class ScriptedHttpClient final : public HttpClient {
public:
    struct Exchange {
        HttpRequest request;
        HttpRequestObserver* observer = nullptr;
        bool cancelled = false;
        bool finished = false;

        // The server's events; nothing reaches a cancelled exchange.
        void respond(int status = 200) {
            HttpResponse response;
            response.statusCode = status;
            response.url = request.url;
            if (live()) observer->didReceiveResponse(response);
        }
        void send(const std::string& chunk) {
            if (live()) observer->didReceiveData(chunk);
        }
        void finish() {
            if (!live()) return;
            finished = true;
            observer->didFinish();
        }
        void fail(const Error& error) {
            if (!live()) return;
            finished = true;
            observer->didFail(error);
        }
        // Headers, one body chunk, the end.
        void answer(const std::string& body) {
            respond();
            send(body);
            finish();
        }
        bool live() const { return !cancelled && !finished && observer; }
    };

    // A request still waiting for its answer when the test ends fails as
    // cancelled, so that it lets go of itself; its delegate must be gone
    // from it or still alive.
    ~ScriptedHttpClient() override {
        for (const auto& exchange : exchanges) {
            exchange->fail(Error(kHttpErrorDomain, static_cast<int>(HttpErrorCode::Cancelled)));
        }
    }

    Result<HttpResponse> send(const HttpRequest&) override {
        return Error(kHttpErrorDomain, static_cast<int>(HttpErrorCode::Failed));
    }

    std::unique_ptr<HttpTask> start(const HttpRequest& request,
                                    HttpRequestObserver* observer) override {
        auto exchange = std::make_shared<Exchange>();
        exchange->request = request;
        exchange->observer = observer;
        exchanges.push_back(exchange);
        return std::make_unique<Task>(exchange);
    }

    std::vector<HttpCookie> cookies() const override { return jar; }
    void deleteCookie(const HttpCookie& cookie) override {
        std::erase_if(jar, [&](const HttpCookie& c) {
            return c.domain == cookie.domain && c.path == cookie.path && c.name == cookie.name;
        });
    }

    Exchange& last() { return *exchanges.back(); }

    std::vector<std::shared_ptr<Exchange>> exchanges;
    std::vector<HttpCookie> jar;

private:
    class Task final : public HttpTask {
    public:
        explicit Task(std::shared_ptr<Exchange> exchange) : m_exchange(std::move(exchange)) {}
        ~Task() override { cancel(); }
        void cancel() override {
            if (!m_exchange->finished) m_exchange->cancelled = true;
        }
        bool isFinished() const override { return m_exchange->finished || m_exchange->cancelled; }

    private:
        std::shared_ptr<Exchange> m_exchange;
    };
};

}  // namespace qp
