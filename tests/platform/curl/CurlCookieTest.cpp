#include <gtest/gtest.h>

#include <algorithm>

#include "platform/curl/CurlHttpClient.h"
#include "support/LocalHttpServer.h"
#include "support/ManualMainQueue.h"

using namespace qp;

namespace {

class CurlCookies : public ::testing::Test {
protected:
    void SetUp() override {
        auto& routes = m_server.routes();
        routes.Get("/login", [](const httplib::Request&, httplib::Response& res) {
            res.set_header("Set-Cookie", "session=abc; Path=/");
            res.set_content("in", "text/plain");
        });
        routes.Get("/prefs", [](const httplib::Request&, httplib::Response& res) {
            res.set_header("Set-Cookie", "theme=dark; Path=/");
            res.set_content("ok", "text/plain");
        });
        routes.Get("/whoami", [](const httplib::Request& req, httplib::Response& res) {
            res.set_content(req.get_header_value("Cookie"), "text/plain");
        });
        ASSERT_TRUE(m_server.start());
    }

    std::string fetch(CurlHttpClient& client, const std::string& path, bool useCookies = true) {
        HttpRequest request;
        request.url = m_server.url(path);
        request.useCookies = useCookies;
        auto response = client.send(request);
        EXPECT_TRUE(response.ok());
        return response.ok() ? response->body : std::string("<failed>");
    }

    LocalHttpServer m_server;
    ManualMainQueue m_queue;
    CurlHttpClient m_client{m_queue};
};

}  // namespace

TEST_F(CurlCookies, CookieSetByOneResponseIsSentWithTheNext) {
    EXPECT_EQ(fetch(m_client, "/whoami"), "");
    fetch(m_client, "/login");
    EXPECT_EQ(fetch(m_client, "/whoami"), "session=abc");
    EXPECT_EQ(fetch(m_client, "/whoami", false), "");

    const auto cookies = m_client.cookies();
    ASSERT_EQ(cookies.size(), 1u);
    EXPECT_EQ(cookies[0].domain, "127.0.0.1");
    EXPECT_EQ(cookies[0].path, "/");
    EXPECT_EQ(cookies[0].name, "session");
    EXPECT_EQ(cookies[0].value, "abc");

    CurlHttpClient other(m_queue);
    EXPECT_EQ(fetch(other, "/whoami"), "");
    EXPECT_TRUE(other.cookies().empty());
}

TEST_F(CurlCookies, AsynchronousRequestsShareTheStore) {
    struct Done : HttpRequestObserver {
        void didFinish() override { ended = true; }
        void didFail(const Error&) override { ended = true; }
        bool ended = false;
    } done;
    HttpRequest login;
    login.url = m_server.url("/login");
    auto task = m_client.start(login, &done);
    ASSERT_TRUE(m_queue.runUntil([&] { return done.ended; }));
    EXPECT_EQ(fetch(m_client, "/whoami"), "session=abc");
}

TEST_F(CurlCookies, DeletingOneCookieKeepsTheOthers) {
    fetch(m_client, "/login");
    fetch(m_client, "/prefs");
    ASSERT_EQ(m_client.cookies().size(), 2u);

    HttpCookie unknown{"127.0.0.1", "/", "nope", "", false};
    m_client.deleteCookie(unknown);
    EXPECT_EQ(m_client.cookies().size(), 2u);

    const auto cookies = m_client.cookies();
    const auto session = std::find_if(cookies.begin(), cookies.end(),
                                      [](const HttpCookie& c) { return c.name == "session"; });
    ASSERT_NE(session, cookies.end());
    m_client.deleteCookie(*session);
    ASSERT_EQ(m_client.cookies().size(), 1u);
    EXPECT_EQ(m_client.cookies()[0].name, "theme");
    EXPECT_EQ(fetch(m_client, "/whoami"), "theme=dark");
}
