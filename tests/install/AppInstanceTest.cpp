// The running app's side of a later start: URLs reach the application
// object's open-URL operation, the log names them with their secrets
// redacted, and a plain later start raises the window.

#include <gtest/gtest.h>

#include <QEventLoop>
#include <QLocalSocket>
#include <QTimer>

#include <memory>
#include <string>
#include <vector>

#include "app/AppDelegate.h"
#include "app/AppInstance.h"
#include "platform/ApplicationLifecycle.h"
#include "platform/ui/Window.h"
#include "support/LogCapture.h"
#include "support/TestAppServices.h"

using namespace qp;

namespace {

const std::string kToken = "SECRETT0KEN";
const std::string kRedirect =
    "fb000000000000000://authorize/#access_token=" + kToken + "&expires_in=60";
const std::string kLogged =
    "Opened fb000000000000000://authorize/#access_token=<redacted>&expires_in=60 in the app: ";

struct LoginDouble : OpenURLHandler {
    std::vector<std::string> urls;
    std::function<void()> onURL;
    bool handleOpenURL(const std::string& url) override {
        urls.push_back(url);
        if (onURL) onURL();
        return true;
    }
};

class AppInstanceTest : public testing::Test, public test::TestAppServices {
protected:
    AppInstanceTest() : TestAppServices("iphone-4in") {
        app = std::make_unique<AppDelegate>(context(), "ABCDEFGHIJ0123456789",
                                            [] { return std::string("iPhone5,1"); });
        ApplicationLifecycle lifecycle(*app, &notifications);
        EXPECT_TRUE(app->applicationDidFinishLaunchingWithOptions());
        app->setFacebook(login);
    }
    bool anyLineHolds(const LogCapture& log, const std::string& text) const {
        for (const std::string& line : log.lines())
            if (line.find(text) != std::string::npos) return true;
        return false;
    }
    // Runs the event loop until `loop` is quit, or fails after five seconds.
    bool runLoop() {
        bool timedOut = false;
        QTimer::singleShot(5000, &loop, [&] {
            timedOut = true;
            loop.quit();
        });
        loop.exec();
        return !timedOut;
    }

    std::shared_ptr<LoginDouble> login = std::make_shared<LoginDouble>();
    std::unique_ptr<AppDelegate> app;
    QEventLoop loop;
};

}  // namespace

TEST_F(AppInstanceTest, URLsReachTheLoginAndTheLogHoldsNoToken) {
    LogCapture log;
    openIncomingURL(*app, kRedirect);
    EXPECT_EQ(login->urls, std::vector<std::string>{kRedirect});
    EXPECT_TRUE(log.contains(kLogged + "the login took it"));

    app->setFacebook(nullptr);
    openIncomingURL(*app, kRedirect);
    EXPECT_TRUE(log.contains(kLogged + "declined, no login was waiting for it"));
    EXPECT_FALSE(anyLineHolds(log, kToken));
}

TEST_F(AppInstanceTest, LaterStartsOpenTheirURLAndRaiseTheWindow) {
    LogCapture log;
    InstanceChannel channel(InstanceChannel::socketPath(home.path(), paths.home()));
    ASSERT_TRUE(channel.claim("").ok());
    login->onURL = [this] { loop.quit(); };
    // The URL this start came with goes in first, once the loop runs.
    serveLaterStarts(&channel, *app, kRedirect);
    EXPECT_TRUE(anyLineHolds(
        log, "Later starts on this home reach this app at " + channel.socketPath().string()));
    ASSERT_TRUE(runLoop());
    EXPECT_EQ(login->urls, std::vector<std::string>{kRedirect});

    app->window()->hide();
    QLocalSocket later;
    later.connectToServer(QString::fromStdString(channel.socketPath().string()));
    ASSERT_TRUE(later.waitForConnected(5000));
    later.write("raise\n");
    QObject::connect(&later, &QLocalSocket::disconnected,
                     [this] { QTimer::singleShot(0, &loop, [this] { loop.quit(); }); });
    ASSERT_TRUE(runLoop());
    EXPECT_TRUE(app->window()->isVisible());
    EXPECT_TRUE(log.contains("Another start on this home raised its window"));
    EXPECT_FALSE(anyLineHolds(log, kToken));
}
