// The WebEngine backend for real, on pages from a server on 127.0.0.1: a page
// loads and a script runs in it, and the login dialog completes against a
// page that redirects the way the service does, leaving a cookie that logout
// clears. Built for the plain debug build only: Chromium's own allocator
// and threads do not run under the sanitizers.
#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QEventLoop>
#include <QTimer>
#include <QWidget>

#include <chrono>
#include <filesystem>
#include <functional>
#include <mutex>

#include "facebook/Facebook.h"
#include "facebook/FacebookTestSupport.h"
#include "facebook/ui/FBWebDialogFactory.h"
#include "platform/ui/WebEngineErrors.h"
#include "platform/ui/WebEngineProfile.h"
#include "platform/ui/WebEngineWebView.h"
#include "support/LocalHttpServer.h"
#include "support/RecordingUrlOpener.h"

namespace qp {
namespace {

using namespace std::chrono_literals;

// The engine reads its start-up settings before the QApplication exists.
const bool kEnginePrepared = (prepareWebEngine(), true);

// Runs the event loop until `done` holds or `limit` has passed.
bool runUntil(const std::function<bool()>& done, std::chrono::milliseconds limit = 30s) {
    const auto deadline = std::chrono::steady_clock::now() + limit;
    QEventLoop loop;
    QTimer poll;
    QObject::connect(&poll, &QTimer::timeout, &loop, [&] {
        if (done() || std::chrono::steady_clock::now() > deadline) loop.quit();
    });
    poll.start(5);
    if (!done()) loop.exec();
    return done();
}

class RecordingPage : public WebViewDelegate {
public:
    bool webViewShouldStartLoadWithRequest(WebView&, const std::string& url,
                                           WebViewNavigationType) override {
        events.push_back("should " + url);
        return true;
    }
    void webViewDidFinishLoad(WebView&) override { events.push_back("finish"); }
    void webViewDidFailLoadWithError(WebView&, const Error& error) override {
        events.push_back("fail " + error.domain() + " " + std::to_string(error.code()));
    }
    bool ended() const {
        return !events.empty() && (events.back() == "finish" || events.back().starts_with("fail"));
    }
    std::vector<std::string> events;
};

struct WebViewEngineTest : ::testing::Test {
    RecordingUrlOpener opener;
    WebEngineProfile profile{{}, &opener};

    void SetUp() override {
        ASSERT_TRUE(kEnginePrepared);
        // A page made of text needs nothing but the engine itself.
        auto probe = profile.makeWebView();
        RecordingPage page;
        probe->setDelegate(&page);
        probe->loadHTMLString("<p>probe</p>", "http://127.0.0.1/");
        if (!runUntil([&] { return page.ended(); })) {
            GTEST_SKIP() << "the web engine could not start here (no page loaded within 30 s): "
                            "the real web view cannot be tested on this machine";
        }
        probe->setDelegate(nullptr);
    }
};

TEST_F(WebViewEngineTest, WebViewLoadsALoopbackPageAndEvaluatesAScriptInIt) {
    LocalHttpServer server;
    server.routes().Get("/page", [](const httplib::Request&, httplib::Response& response) {
        response.set_content(
            "<html><head><title>hello</title></head><body><p id='x'>there</p></body></html>",
            "text/html");
    });
    ASSERT_TRUE(server.start());

    auto view = profile.makeWebView();
    RecordingPage page;
    view->setDelegate(&page);
    view->loadURL(server.url("/page"));
    ASSERT_TRUE(runUntil([&] { return page.ended(); }));
    EXPECT_EQ(page.events, (std::vector<std::string>{"should " + server.url("/page"), "finish"}));
    EXPECT_FALSE(view->isLoading());

    std::optional<std::string> result;
    bool answered = false;
    view->stringByEvaluatingJavaScriptFromString(
        "document.title + ':' + document.getElementById('x').textContent",
        [&](std::optional<std::string> value) {
            result = std::move(value);
            answered = true;
        });
    ASSERT_TRUE(runUntil([&] { return answered; }));
    EXPECT_EQ(result, "hello:there");

    // A server that is not there fails with the engine's own code.
    page.events.clear();
    server.stop();
    view->loadURL(server.url("/gone"));
    ASSERT_TRUE(runUntil([&] { return page.ended(); }));
    EXPECT_EQ(page.events.back(), "fail WebViewErrorDomain -102");
}

TEST_F(WebViewEngineTest, FBDialogLoginCompletesAgainstALocalPageThatRedirectsLikeTheService) {
    LocalHttpServer server;
    std::mutex mutex;
    std::vector<std::string> cookiesSeen;
    server.routes().Get("/dialog/oauth", [](const httplib::Request&, httplib::Response& response) {
        response.set_content(
            "<html><body><form method='post' action='/login'>"
            "<input name='email' value='me'></form>"
            "<script>document.forms[0].submit()</script></body></html>",
            "text/html");
    });
    server.routes().Post("/login", [](const httplib::Request&, httplib::Response& response) {
        response.set_header("Set-Cookie", "c_user=42; Path=/");
        response.set_redirect("fbconnect://success#access_token=TOKEN%2B1&expires_in=3600");
    });
    server.routes().Get("/echo", [&](const httplib::Request& request, httplib::Response& response) {
        std::lock_guard lock(mutex);
        cookiesSeen.push_back(request.get_header_value("Cookie"));
        response.set_content("<p>echo</p>", "text/html");
    });
    ASSERT_TRUE(server.start());

    QWidget window;
    window.resize(320, 480);
    window.show();
    SystemClock clock;
    FBDialogEnvironment environment;
    environment.keyWindow = [&] { return &window; };
    environment.makeWebView = profile.webViewFactory();
    environment.clock = &clock;
    environment.closeButtonImage = std::filesystem::path(QP_SOURCE_RESOURCES) / kFBCloseButtonImage;
    FBWebDialogFactory factory(environment, &profile);

    FacebookTestBed client;
    FacebookServices services = client.services(false);
    services.dialogs = &factory;
    services.endpoints.dialogURL = server.url("/dialog/");
    services.endpoints.loginSite = server.url("/");
    Facebook facebook(services, kTestAppId, &client.session);

    facebook.authorize({});
    EXPECT_EQ(window.findChildren<QWidget*>("FBDialog").size(), 1);
    ASSERT_TRUE(runUntil([&] { return !client.session.events.empty(); }));
    EXPECT_EQ(client.session.events, std::vector<std::string>{"login"});
    EXPECT_EQ(facebook.accessToken(), "TOKEN+1");
    EXPECT_TRUE(facebook.isSessionValid());
    EXPECT_TRUE(client.opener.opened.empty());
    ASSERT_TRUE(runUntil([&] { return !profile.cookies().empty(); }));
    EXPECT_EQ(profile.cookies()[0].name, "c_user");

    facebook.logout();
    EXPECT_TRUE(profile.cookies().empty());
    auto view = profile.makeWebView();
    RecordingPage page;
    view->setDelegate(&page);
    view->loadURL(server.url("/echo"));
    ASSERT_TRUE(runUntil([&] { return page.ended(); }));
    std::lock_guard lock(mutex);
    EXPECT_EQ(cookiesSeen, std::vector<std::string>{""});
}

TEST(WebViewEngineErrors, MapsTheEnginesFailuresOntoTheTwoKnownOnesOrItsOwnDomain) {
    const Error cancelled = webViewLoadError(WebEngineErrorKind::Internal, -3, false, "u", "x");
    EXPECT_EQ(cancelled.domain(), kNSURLErrorDomain);
    EXPECT_EQ(cancelled.code(), -999);
    const Error refused = webViewLoadError(WebEngineErrorKind::Internal, -3, true, "u", "x");
    EXPECT_EQ(refused.domain(), kWebKitErrorDomain);
    EXPECT_EQ(refused.code(), 102);
    const Error dns = webViewLoadError(WebEngineErrorKind::Dns, -105, false, "http://x/", "");
    EXPECT_EQ(dns.domain(), kWebViewErrorDomain);
    EXPECT_EQ(dns.code(), -105);
    EXPECT_EQ(dns.detail(kWebViewErrorKindKey), "dns");
    EXPECT_EQ(dns.detail(kWebViewFailingURLKey), "http://x/");
    EXPECT_FALSE(dns.description().empty());
}

}  // namespace
}  // namespace qp
