#include <gtest/gtest.h>

#include <optional>
#include <thread>

#include "platform/curl/CurlHttpClient.h"
#include "support/LocalHttpServer.h"
#include "support/ManualMainQueue.h"

using namespace qp;
using namespace std::chrono_literals;

namespace {

constexpr std::size_t kBigBody = 100000;

class CurlHttpClientSend : public ::testing::Test {
protected:
    void SetUp() override {
        auto& routes = m_server.routes();
        routes.Get("/status/418", [](const httplib::Request&, httplib::Response& res) {
            res.status = 418;
            res.set_header("X-Thing", "one");
            res.set_content("teapot", "text/plain; charset=utf-8");
        });
        auto echo = [](const httplib::Request& req, httplib::Response& res) {
            res.set_header("X-Method", req.method);
            res.set_header("X-Content-Type", req.get_header_value("Content-Type"));
            res.set_header("X-Custom", req.get_header_value("X-Custom"));
            res.set_header("X-Custom-Count",
                           std::to_string(req.get_header_value_count("X-Custom")));
            res.set_header("X-Agent", req.get_header_value("User-Agent"));
            res.set_content(req.body, "application/octet-stream");
        };
        routes.Get("/echo", echo);
        routes.Post("/echo", echo);
        routes.Delete("/echo", echo);
        routes.Patch("/echo", echo);
        routes.Get("/big", [](const httplib::Request&, httplib::Response& res) {
            res.set_content(std::string(kBigBody, 'b'), "application/octet-stream");
        });
        routes.Get("/old", [](const httplib::Request&, httplib::Response& res) {
            res.set_redirect("/status/418", 302);
            res.set_content("moved", "text/plain");
        });
        routes.Get("/to-file", [](const httplib::Request&, httplib::Response& res) {
            res.set_redirect("file:///etc/hostname", 302);
        });
        routes.Get("/slow", [this](const httplib::Request&, httplib::Response& res) {
            m_server.signal();
            m_server.holdUntilReleased(10s);
            res.set_content("late", "text/plain");
        });
        routes.Get("/trickle", [](const httplib::Request&, httplib::Response& res) {
            res.set_chunked_content_provider("application/octet-stream",
                                             [](size_t offset, httplib::DataSink& sink) {
                                                 if (offset >= 8) {
                                                     sink.done();
                                                     return true;
                                                 }
                                                 std::this_thread::sleep_for(60ms);
                                                 sink.write("x", 1);
                                                 return true;
                                             });
        });
        ASSERT_TRUE(m_server.start());
    }

    Result<HttpResponse> send(HttpRequest request) { return m_client.send(request); }

    LocalHttpServer m_server;
    ManualMainQueue m_queue;
    CurlHttpClient m_client{m_queue};
};

HttpRequest get(const std::string& url) {
    HttpRequest request;
    request.url = url;
    return request;
}

}  // namespace

TEST_F(CurlHttpClientSend, NonSuccessStatusIsAResponseWithHeadersAndBody) {
    auto response = send(get(m_server.url("/status/418")));
    ASSERT_TRUE(response.ok()) << response.error().toString();
    EXPECT_EQ(response->statusCode, 418);
    EXPECT_EQ(response->header("x-thing"), "one");
    EXPECT_EQ(response->mimeType(), "text/plain");
    EXPECT_EQ(response->body, "teapot");
    EXPECT_EQ(response->url, m_server.url("/status/418"));
}

TEST_F(CurlHttpClientSend, MethodsCarryTheirBodyAndHeaders) {
    struct Case {
        std::string method;
        std::string body;
        std::string sentBody;
    };
    const std::string binary("a\0b\r\n\xff", 6);
    const std::vector<Case> cases = {
        {"POST", binary, binary}, {"POST", "", ""},       {"PATCH", "{\"a\":1}", "{\"a\":1}"},
        {"DELETE", "", ""},       {"GET", "ignored", ""},
    };
    for (const Case& c : cases) {
        HttpRequest request = get(m_server.url("/echo"));
        request.method = c.method;
        request.body = c.body;
        request.setHeader("Content-Type", "application/octet-stream");
        auto response = send(request);
        ASSERT_TRUE(response.ok()) << c.method << ": " << response.error().toString();
        EXPECT_EQ(response->statusCode, 200) << c.method;
        EXPECT_EQ(response->header("X-Method"), c.method);
        EXPECT_EQ(response->body, c.sentBody) << c.method;
        if (c.method == "POST") {
            EXPECT_EQ(response->header("X-Content-Type"), "application/octet-stream");
        }
    }
}

TEST_F(CurlHttpClientSend, SendsOneValuePerHeaderAndADefaultUserAgent) {
    HttpRequest request = get(m_server.url("/echo"));
    request.headers = {{"X-Custom", "first"}, {"x-custom", "second"}};
    auto response = send(request);
    ASSERT_TRUE(response.ok());
    EXPECT_EQ(response->header("X-Custom"), "second");
    EXPECT_EQ(response->header("X-Custom-Count"), "1");
    EXPECT_EQ(response->header("X-Agent"), "Quillpost");

    request.setHeader("User-Agent", "FacebookConnect");
    response = send(request);
    ASSERT_TRUE(response.ok());
    EXPECT_EQ(response->header("X-Agent"), "FacebookConnect");
}

TEST_F(CurlHttpClientSend, FollowsRedirectsAndReportsTheFinalAnswerOnly) {
    auto response = send(get(m_server.url("/old")));
    ASSERT_TRUE(response.ok());
    EXPECT_EQ(response->statusCode, 418);
    EXPECT_EQ(response->url, m_server.url("/status/418"));
    EXPECT_EQ(response->body, "teapot");
    EXPECT_EQ(response->header("Location"), std::nullopt);
}

TEST_F(CurlHttpClientSend, TimesOutWhenTheServerStaysSilent) {
    HttpRequest request = get(m_server.url("/slow"));
    request.timeout = 200ms;
    const auto started = std::chrono::steady_clock::now();
    auto response = send(request);
    ASSERT_FALSE(response.ok());
    EXPECT_EQ(response.error().domain(), kHttpErrorDomain);
    EXPECT_EQ(response.error().code(), static_cast<int>(HttpErrorCode::TimedOut));
    EXPECT_LT(std::chrono::steady_clock::now() - started, 5s);
}

TEST_F(CurlHttpClientSend, TimeOutCountsSilenceNotTheWholeTransfer) {
    // Eight bytes, one every 60 ms: longer than the time-out in total, but
    // the line never stays quiet for that long.
    HttpRequest request = get(m_server.url("/trickle"));
    request.timeout = 300ms;
    auto response = send(request);
    ASSERT_TRUE(response.ok()) << response.error().toString();
    EXPECT_EQ(response->body, "xxxxxxxx");
}

TEST_F(CurlHttpClientSend, ACancellationStopsTheSendOnItsWayAndEveryLaterOne) {
    HttpRequest request = get(m_server.url("/slow"));
    request.timeout = 10s;
    request.cancellation = std::make_shared<HttpCancellation>();
    std::optional<Result<HttpResponse>> stopped;
    std::thread sender([&] { stopped.emplace(send(request)); });
    ASSERT_TRUE(m_server.waitForSignals(1, 5s));
    const auto cancelled = std::chrono::steady_clock::now();
    request.cancellation->cancel();
    sender.join();
    EXPECT_LT(std::chrono::steady_clock::now() - cancelled, 2s) << "the server holds for 10 s";
    ASSERT_FALSE(stopped->ok());
    EXPECT_EQ(stopped->error().code(), static_cast<int>(HttpErrorCode::Cancelled));

    // Once cancelled, a send never reaches the server.
    request.url = m_server.url("/status/418");
    auto later = send(request);
    ASSERT_FALSE(later.ok());
    EXPECT_EQ(later.error().code(), static_cast<int>(HttpErrorCode::Cancelled));
    m_server.release();
}

TEST_F(CurlHttpClientSend, RefusedConnectionFails) {
    auto response = send(get("http://127.0.0.1:" + std::to_string(closedLoopbackPort()) + "/"));
    ASSERT_FALSE(response.ok());
    EXPECT_EQ(response.error().code(), static_cast<int>(HttpErrorCode::Failed));
    ASSERT_NE(response.error().underlying(), nullptr);
    EXPECT_EQ(response.error().underlying()->code(), 7);  // could not connect
}

TEST_F(CurlHttpClientSend, RejectsWhatIsNotAnHttpRequest) {
    const struct {
        std::string url;
        HttpErrorCode code;
    } cases[] = {
        {"ftp://127.0.0.1/file", HttpErrorCode::UnsupportedURL},
        {"file:///etc/hostname", HttpErrorCode::UnsupportedURL},
        {"FILE:///etc/hostname", HttpErrorCode::UnsupportedURL},
        {"mailto:someone@example.com", HttpErrorCode::UnsupportedURL},
        {"127.0.0.1/no-scheme", HttpErrorCode::Failed},
        {"", HttpErrorCode::Failed},
        {"http://", HttpErrorCode::Failed},
        {"http://127.0.0.1/a b", HttpErrorCode::Failed},
        {m_server.url("/to-file"), HttpErrorCode::UnsupportedURL},
    };
    for (const auto& c : cases) {
        auto response = send(get(c.url));
        ASSERT_FALSE(response.ok()) << c.url;
        EXPECT_EQ(response.error().code(), static_cast<int>(c.code)) << c.url;
    }
}

TEST_F(CurlHttpClientSend, RefusesHeadersAndMethodsThatWouldSplitTheRequest) {
    HttpRequest badValue = get(m_server.url("/echo"));
    badValue.setHeader("X-Custom", "ok\r\nX-Injected: 1");
    HttpRequest badName = get(m_server.url("/echo"));
    badName.setHeader("X-Custom: 1\r\nX-Injected", "1");
    HttpRequest badMethod = get(m_server.url("/echo"));
    badMethod.method = "GET /other HTTP/1.1\r\n";
    HttpRequest noMethod = get(m_server.url("/echo"));
    noMethod.method = "";
    for (const HttpRequest& request : {badValue, badName, badMethod, noMethod}) {
        auto response = send(request);
        ASSERT_FALSE(response.ok());
        EXPECT_EQ(response.error().code(), static_cast<int>(HttpErrorCode::Failed));
    }
}

// A body past the request's limit ends the transfer with TooLarge instead of
// filling the memory; one exactly at the limit arrives whole.
TEST_F(CurlHttpClientSend, ABodyPastTheLimitIsRefused) {
    HttpRequest atLimit = get(m_server.url("/big"));
    atLimit.maxResponseBytes = kBigBody;
    auto whole = send(atLimit);
    ASSERT_TRUE(whole) << whole.error().description();
    EXPECT_EQ(whole->body.size(), kBigBody);

    HttpRequest over = atLimit;
    over.maxResponseBytes = kBigBody - 1;
    auto refused = send(over);
    ASSERT_FALSE(refused);
    EXPECT_EQ(refused.error().domain(), kHttpErrorDomain);
    EXPECT_EQ(refused.error().code(), static_cast<int>(HttpErrorCode::TooLarge));
    EXPECT_EQ(kDefaultMaxResponseBytes, std::size_t(64) << 20);
}
