// The more-apps screen on the real WebEngine backend: the page comes from a
// server on 127.0.0.1 as the configured host, and the screen ends its load
// with the spinner stopped, the title's mark gone and no offline alert.
// Built without sanitizers only: Chromium's allocator and threads do not
// run under them.

#include <gtest/gtest.h>

#include <QElapsedTimer>
#include <QEventLoop>
#include <QTimer>

#include <atomic>
#include <functional>

#include "ScreensTestBed.h"
#include "appkit/Configuration.h"
#include "platform/ui/ActivityIndicatorView.h"
#include "platform/ui/AlertView.h"
#include "platform/ui/WebEngineProfile.h"
#include "platform/ui/Window.h"
#include "screens/NetworkActivityMark.h"
#include "support/LocalHttpServer.h"

using namespace qp;

namespace {

// Chromium takes its switches before the QApplication exists, and the test
// main makes that before any test runs.
const bool kEngineReady = [] {
    prepareWebEngine();
    return true;
}();

// Turns the event loop until `done` or ten seconds, whichever comes first.
bool waitFor(const std::function<bool()>& done) {
    QElapsedTimer elapsed;
    elapsed.start();
    while (!done() && elapsed.elapsed() < 10000) {
        QEventLoop loop;
        QTimer::singleShot(10, &loop, &QEventLoop::quit);
        loop.exec();
    }
    return done();
}

class MoreScreenWebEngineTest : public testing::Test, public test::ScreensTestBed {
protected:
    WebEngineProfile profile{{}, &urls};
};

}  // namespace

TEST_F(MoreScreenWebEngineTest, LoadsThePageFromALoopbackServer) {
    ASSERT_TRUE(kEngineReady);
    std::atomic<int> requests{0};
    LocalHttpServer server;
    server.routes().Get("/Promo_kelvane_iphone_general.html", [&](const httplib::Request&,
                                                                  httplib::Response& response) {
        ++requests;
        response.set_content("<html><body><p id='apps'>other apps</p></body></html>", "text/html");
    });
    ASSERT_TRUE(server.start());
    config.set(config::kMoreAppsHost, server.url(""));

    AppContext c = context();
    c.makeWebView = profile.webViewFactory();
    app = std::make_unique<AppDelegate>(c, "ABCDEFGHIJ0123456789");
    app->applicationDidFinishLaunchingWithOptions();
    const int alertsBefore = AlertView::shownCount();

    app->viewController()->viewMorePage(nullptr);
    MoreViewController& more = *app->moreViewController();
    ASSERT_NE(more.moreAppsWebView(), nullptr);
    if (!waitFor([&] { return !more.isLoadingMoreAppsWebPage(); }) && requests == 0) {
        GTEST_SKIP() << "the web engine does not start on this machine";
    }
    EXPECT_FALSE(more.isLoadingMoreAppsWebPage());
    EXPECT_EQ(requests, 1);
    EXPECT_EQ(AlertView::shownCount(), alertsBefore);
    EXPECT_FALSE(hasNetworkActivityMark(app->window()));
    EXPECT_FALSE(dynamic_cast<ActivityIndicatorView*>(more.outlet("webActivityIndicatorView"))
                     ->isAnimating());

    std::optional<std::string> text;
    more.moreAppsWebView()->stringByEvaluatingJavaScriptFromString(
        "document.getElementById('apps').textContent",
        [&](std::optional<std::string> result) { text = std::move(result); });
    ASSERT_TRUE(waitFor([&] { return text.has_value(); }));
    EXPECT_EQ(*text, "other apps");
}
