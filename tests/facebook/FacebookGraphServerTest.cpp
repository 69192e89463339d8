// End to end against a Graph test server on 127.0.0.1: a photo upload over
// the real HTTP client, taken apart by the server with a parser of its own
// (the body has no closing delimiter, which general parsers expect), and the
// answers the service gives.

#include <gtest/gtest.h>

#include <QImage>

#include <mutex>

#include "RawHttpServer.h"
#include "RecordingFBDelegates.h"
#include "facebook/Facebook.h"
#include "platform/curl/CurlHttpClient.h"
#include "support/LocalHttpServer.h"
#include "support/ManualClock.h"
#include "support/ManualMainQueue.h"
#include "support/RecordingUrlOpener.h"

namespace qp {
namespace {

using namespace std::chrono_literals;

const std::string kBoundary = "3i2ndDfv2rTHiSisAbouNdArYfORhtTPEefj3q2f";

struct Part {
    std::string headers;
    std::string content;
};

// The body as the client builds it: "--B\r\n", then parts each ended by
// "\r\n--B\r\n", nothing after the last. None when it is not so.
std::optional<std::vector<Part>> parseBody(const std::string& body) {
    const std::string opening = "--" + kBoundary + "\r\n";
    const std::string end = "\r\n--" + kBoundary + "\r\n";
    if (body.rfind(opening, 0) != 0) return std::nullopt;
    std::vector<Part> parts;
    std::size_t at = opening.size();
    while (at < body.size()) {
        const std::size_t close = body.find(end, at);
        if (close == std::string::npos) return std::nullopt;
        const std::string raw = body.substr(at, close - at);
        const std::size_t blank = raw.find("\r\n\r\n");
        if (blank == std::string::npos) return std::nullopt;
        parts.push_back({raw.substr(0, blank + 2), raw.substr(blank + 4)});
        at = close + end.size();
    }
    return parts;
}

// "%41+b" → "A+b": the query's own decoding, apart from the client's.
std::string queryDecoded(const std::string& text) {
    std::string out;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '%' && i + 2 < text.size()) {
            out += static_cast<char>(std::stoi(text.substr(i + 1, 2), nullptr, 16));
            i += 2;
        } else {
            out += text[i];
        }
    }
    return out;
}

std::multimap<std::string, std::string> queryOf(const std::string& target) {
    std::multimap<std::string, std::string> pairs;
    const std::size_t question = target.find('?');
    if (question == std::string::npos) return pairs;
    std::size_t at = question + 1;
    while (at <= target.size()) {
        std::size_t end = target.find('&', at);
        if (end == std::string::npos) end = target.size();
        const std::string pair = target.substr(at, end - at);
        const std::size_t equals = pair.find('=');
        if (equals != std::string::npos) {
            pairs.emplace(pair.substr(0, equals), queryDecoded(pair.substr(equals + 1)));
        }
        at = end + 1;
    }
    return pairs;
}

// Answers uploads to "/me/photos" as the test says and recipient lookups
// with an empty list, and keeps the last upload.
class GraphServer {
public:
    GraphServer()
        : m_server([this](const RawHttpServer::Request& request) {
              std::lock_guard lock(m_mutex);
              if (request.method == "POST" && request.target.rfind("/me/photos?", 0) == 0) {
                  m_upload = request;
                  return m_answer;
              }
              return RawHttpServer::Response{200, "text/javascript", R"({"data":[]})"};
          }) {
        EXPECT_TRUE(m_server.running());
    }

    void answer(std::string body, int status = 200, std::string type = "text/javascript") {
        std::lock_guard lock(m_mutex);
        m_answer = {status, std::move(type), std::move(body)};
    }
    RawHttpServer::Request upload() {
        std::lock_guard lock(m_mutex);
        return m_upload;
    }
    std::string url(const std::string& path) const { return m_server.url(path); }

private:
    std::mutex m_mutex;
    RawHttpServer::Response m_answer{200, "text/javascript", "{}"};
    RawHttpServer::Request m_upload;
    RawHttpServer m_server;  // last: it stops before the fields it uses go
};

struct EndToEnd {
    GraphServer server;
    ManualClock clock;
    ManualMainQueue queue{clock};
    CurlHttpClient http{queue};
    RecordingUrlOpener opener;
    RecordingSessionDelegate session;

    std::unique_ptr<Facebook> loggedIn() {
        FacebookServices services{
            http,
            opener,
            clock,
            nullptr,
            true,
            {server.url("/"), server.url("/method/"), server.url("/dialog/"), server.url("/")}};
        auto facebook = std::make_unique<Facebook>(services, "123456789012345", &session);
        facebook->fbDialogLoginExpirationDate("TOKEN", clock.now() + 1h);
        return facebook;
    }
    bool settle(Facebook& facebook) {
        return queue.runUntil([&] { return facebook.liveRequestCount() == 0; });
    }
};

Image testImage() {
    QImage bitmap(3, 2, QImage::Format_RGB32);
    bitmap.fill(qRgb(10, 200, 30));
    bitmap.setPixel(2, 1, qRgb(250, 0, 5));
    return Image(bitmap);
}

TEST(GraphEndToEnd, APhotoUploadArrivesWithEveryParameter) {
    EndToEnd e2e;
    e2e.server.answer(R"({"id":"1","post_id":"2"})");
    auto facebook = e2e.loggedIn();
    RecordingRequestDelegate delegate;
    facebook->requestWithGraphPath(
        "me/photos", {{"picture", testImage()}, {"message", std::string("Hi & bye \xC3\xA9")}},
        "POST", &delegate);
    ASSERT_TRUE(e2e.settle(*facebook));

    ASSERT_EQ(delegate.events.back(), "load {\"id\":\"1\",\"post_id\":\"2\"} state=1");
    RawHttpServer::Request upload = e2e.server.upload();
    EXPECT_EQ(upload.method, "POST");
    EXPECT_EQ(upload.headers["user-agent"], "FacebookConnect");
    EXPECT_EQ(upload.headers["content-type"], "multipart/form-data; boundary=" + kBoundary);
    const std::multimap<std::string, std::string> expectedText{{"access_token", "TOKEN"},
                                                               {"format", "json"},
                                                               {"message", "Hi & bye \xC3\xA9"},
                                                               {"sdk", "ios"},
                                                               {"sdk_version", "2"}};
    EXPECT_EQ(queryOf(upload.target), expectedText);

    const auto parts = parseBody(upload.body);
    ASSERT_TRUE(parts) << upload.body.substr(0, 400);
    ASSERT_EQ(parts->size(), 6u);
    std::multimap<std::string, std::string> bodyText;
    for (std::size_t i = 0; i < 5; ++i) {
        const std::string& headers = (*parts)[i].headers;
        const std::string prefix = "Content-Disposition: form-data; name=\"";
        ASSERT_EQ(headers.rfind(prefix, 0), 0u) << headers;
        bodyText.emplace(headers.substr(prefix.size(), headers.size() - prefix.size() - 3),
                         (*parts)[i].content);
    }
    EXPECT_EQ(bodyText, expectedText);
    const Part& file = parts->back();
    EXPECT_EQ(
        file.headers,
        "Content-Disposition: form-data; filename=\"picture\"\r\nContent-Type: image/png\r\n");
    const QImage received = QImage::fromData(reinterpret_cast<const uchar*>(file.content.data()),
                                             static_cast<int>(file.content.size()), "PNG");
    ASSERT_FALSE(received.isNull());
    EXPECT_EQ(received.size(), QSize(3, 2));
    EXPECT_EQ(received.pixel(2, 1), qRgb(250, 0, 5));
    EXPECT_EQ(received.pixel(0, 0), qRgb(10, 200, 30));
}

TEST(GraphEndToEnd, TheServicesAnswersReachTheDelegate) {
    struct Case {
        std::string body;
        int status;
        const char* type;
        const char* lastEvent;
        bool invalidated;
    };
    const Case cases[] = {
        {R"({"id":"9"})", 200, "text/javascript", "load {\"id\":\"9\"} state=1", false},
        {R"({"error":{"message":"(#324) Requires upload file","type":"OAuthException","code":324}})",
         400, "text/javascript", "fail facebookErrDomain 10000 state=1", false},
        {R"({"error_code":190,"error_msg":"Error validating access token"})", 200,
         "text/javascript", "fail facebookErrDomain 190 state=1", true},
        {"true", 200, "text/plain", "load {\"result\":\"true\"} state=1", false},
        {"false", 200, "text/plain", "fail facebookErrDomain 10000 state=1", false},
        {"<!DOCTYPE html><html><body>Service Unavailable</body></html>", 503, "text/html",
         "load \"<!DOCTYPE html><html><body>Service Unavailable</body></html>\" state=1", false},
    };
    for (const Case& c : cases) {
        EndToEnd e2e;
        e2e.server.answer(c.body, c.status, c.type);
        auto facebook = e2e.loggedIn();
        RecordingRequestDelegate delegate;
        facebook->requestWithGraphPath("me/photos", {{"picture", testImage()}}, "POST", &delegate);
        ASSERT_TRUE(e2e.settle(*facebook)) << c.body;
        EXPECT_EQ(delegate.events.back(), c.lastEvent) << c.body;
        EXPECT_EQ(delegate.errors.size() + delegate.results.size(), 1u) << c.body;
        EXPECT_EQ(facebook->isSessionValid(), !c.invalidated) << c.body;
        const bool told = !e2e.session.events.empty() && e2e.session.events.back() == "invalidated";
        EXPECT_EQ(told, c.invalidated) << c.body;
    }
}

// A server that holds back its answer, and one whose answer never ends.
struct SlowServer {
    SlowServer() {
        server.routes().Get("/stall", [this](const httplib::Request&, httplib::Response& r) {
            server.holdUntilReleased(10s);
            r.set_content("true", "text/plain");
        });
        server.routes().Get("/huge", [](const httplib::Request&, httplib::Response& response) {
            response.set_chunked_content_provider(
                "text/plain",
                [sent = std::size_t{0}](std::size_t, httplib::DataSink& sink) mutable {
                    static const std::string chunk(1 << 20, 'x');
                    if (sent >= (65u << 20)) {
                        sink.done();
                        return true;
                    }
                    sent += chunk.size();
                    return sink.write(chunk.data(), chunk.size());
                });
        });
        EXPECT_TRUE(server.start());
    }
    LocalHttpServer server;
};

TEST(GraphEndToEnd, AStalledServerFailsTheRequestOnceAtTheTimeOut) {
    SlowServer slow;
    EndToEnd e2e;
    RecordingRequestDelegate delegate;
    auto request = FBRequest::getRequestWithParamsHttpMethodDelegateRequestURL(
        {}, "GET", &delegate, slow.server.url("/stall"), e2e.http);
    request->setTimeout(300ms);
    request->connect();
    ASSERT_TRUE(e2e.queue.runUntil([&] { return request->state() == FBRequest::kStateFinished; }));
    ASSERT_EQ(delegate.errors.size(), 1u);
    EXPECT_EQ(delegate.errors[0].domain(), kHttpErrorDomain);
    EXPECT_EQ(delegate.errors[0].code(), static_cast<int>(HttpErrorCode::TimedOut));
    e2e.queue.runPending();
    EXPECT_EQ(delegate.errors.size(), 1u);
    EXPECT_TRUE(delegate.results.empty());
}

TEST(GraphEndToEnd, AnAnswerOverTheCapFailsWithTooLarge) {
    SlowServer slow;
    EndToEnd e2e;
    RecordingRequestDelegate delegate;
    auto request = FBRequest::getRequestWithParamsHttpMethodDelegateRequestURL(
        {}, "GET", &delegate, slow.server.url("/huge"), e2e.http);
    request->connect();
    ASSERT_TRUE(
        e2e.queue.runUntil([&] { return request->state() == FBRequest::kStateFinished; }, 60s));
    ASSERT_EQ(delegate.errors.size(), 1u);
    EXPECT_EQ(delegate.errors[0].code(), static_cast<int>(HttpErrorCode::TooLarge));
    EXPECT_TRUE(delegate.results.empty());
    EXPECT_TRUE(request->responseText().empty());
}

}  // namespace
}  // namespace qp
