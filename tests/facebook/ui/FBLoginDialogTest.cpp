// The login dialog on a scripted web view, alone and as the client's
// injected dialog: the token and its lifetime from the success URL, cancels,
// failures, and logout clearing the web view's cookies.
#include <gtest/gtest.h>

#include "FBDialogTestBed.h"
#include "facebook/FBDates.h"
#include "facebook/FacebookTestSupport.h"
#include "facebook/ui/FBLoginDialog.h"
#include "facebook/ui/FBWebDialogFactory.h"

namespace qp {
namespace {

using namespace std::chrono_literals;

class RecordingLoginDelegate : public FBLoginDialogDelegate {
public:
    void fbDialogLoginExpirationDate(const std::string& token,
                                     std::optional<Clock::WallTime> expiry) override {
        events.push_back("login " + token);
        expiries.push_back(expiry);
    }
    void fbDialogNotLogin(bool cancelled) override {
        events.push_back(cancelled ? "not login: cancelled" : "not login: failed");
    }
    std::vector<std::string> events;
    std::vector<std::optional<Clock::WallTime>> expiries;
};

class RecordingCookieStore : public WebCookieStore {
public:
    void deleteCookiesForSite(const std::string& siteURL) override { sites.push_back(siteURL); }
    std::vector<std::string> sites;
};

struct FBLoginDialogTest : ::testing::Test {
    FBDialogTestBed bed;
    RecordingLoginDelegate login;

    std::unique_ptr<FBLoginDialog> shown() {
        auto d =
            std::make_unique<FBLoginDialog>(bed.environment(), "https://m.test/dialog/oauth",
                                            FBParams{{"type", std::string("user_agent")}}, login);
        d->show();
        return d;
    }
};

TEST_F(FBLoginDialogTest, ReadsTheTokenAndItsLifetimeFromTheSuccessURL) {
    const Clock::WallTime now = bed.queue.clock().now();
    struct Case {
        std::string url;
        std::vector<std::string> events;
        std::optional<Clock::WallTime> expiry;
    };
    const std::vector<Case> cases{
        {"fbconnect://success#access_token=T%2B1&expires_in=3600", {"login T+1"}, now + 3600s},
        {"fbconnect://success#expires_in=0&access_token=T", {"login T"}, kFBDistantFuture},
        {"fbconnect://success#access_token=T", {"login T"}, std::nullopt},
        {"fbconnect://success#expires_in=abc&access_token=T", {"login T"}, kFBDistantFuture},
        // No token, or an empty one, is a cancel.
        {"fbconnect://success#expires_in=60", {"not login: cancelled"}, std::nullopt},
        {"fbconnect://success#access_token=&expires_in=60", {"not login: cancelled"}, std::nullopt},
        {"fbconnect://success#xaccess_token=T", {"not login: cancelled"}, std::nullopt},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.url);
        login = {};
        auto d = shown();
        EXPECT_FALSE(bed.page().navigate(c.url));
        EXPECT_EQ(login.events, c.events);
        if (!login.expiries.empty()) {
            EXPECT_EQ(login.expiries[0], c.expiry);
        }
        EXPECT_TRUE(d->isClosed());
    }
}

TEST_F(FBLoginDialogTest, CancelAndTheCloseButtonReportACancelledLogin) {
    auto d = shown();
    bed.page().navigate("fbconnect://cancel");
    EXPECT_EQ(login.events, std::vector<std::string>{"not login: cancelled"});

    login = {};
    auto closed = shown();
    closed->cancel();
    EXPECT_EQ(login.events, std::vector<std::string>{"not login: cancelled"});
}

TEST_F(FBLoginDialogTest, ALoadFailureClosesTheDialogAndReportsAFailedLogin) {
    auto d = shown();
    bed.page().fail(Error(kNSURLErrorDomain, kNSURLErrorCancelled));
    bed.page().fail(Error(kWebKitErrorDomain, kWebKitErrorFrameLoadInterrupted));
    EXPECT_TRUE(login.events.empty());
    bed.page().fail(Error(kWebViewErrorDomain, -105));
    EXPECT_EQ(login.events, std::vector<std::string>{"not login: failed"});
    EXPECT_TRUE(d->isClosed());
}

// The client with the real factory: the login that cannot leave the app
// opens the dialog in the window and ends in a session.
struct FBLoginThroughClientTest : ::testing::Test {
    FBDialogTestBed bed;
    FacebookTestBed client;
    RecordingCookieStore cookies;
    FBWebDialogFactory factory{bed.environment(), &cookies};

    std::unique_ptr<Facebook> facebook() {
        FacebookServices services = client.services(false);
        services.dialogs = &factory;
        return std::make_unique<Facebook>(services, kTestAppId, &client.session);
    }
};

TEST_F(FBLoginThroughClientTest, TheInAppLoginEndsInAValidSession) {
    auto fb = facebook();
    fb->authorize({"publish_stream"});
    ASSERT_EQ(bed.views.size(), 1u);
    EXPECT_EQ(bed.page().loads[0],
              "https://m.test/dialog/oauth?client_id=123456789012345&display=touch&"
              "redirect_uri=fbconnect%3A%2F%2Fsuccess&scope=publish_stream&sdk=ios&"
              "type=user_agent");
    EXPECT_EQ(bed.window->findChildren<QWidget*>("FBDialog").size(), 1);

    bed.page().finish();
    bed.page().navigate("fbconnect://success#access_token=ABC&expires_in=7200");
    EXPECT_EQ(client.session.events, std::vector<std::string>{"login"});
    EXPECT_EQ(fb->accessToken(), "ABC");
    EXPECT_TRUE(fb->isSessionValid());
    bed.queue.advance(1s);
    FBDialogTestBed::flushDeletes();
    EXPECT_TRUE(bed.window->findChildren<QWidget*>().isEmpty());
}

TEST_F(FBLoginThroughClientTest, ALoginWithoutALifetimeLeavesTheSessionInvalid) {
    auto fb = facebook();
    fb->authorize({});
    bed.page().navigate("fbconnect://success#access_token=ABC");
    EXPECT_EQ(fb->accessToken(), "ABC");
    EXPECT_FALSE(fb->isSessionValid());
}

TEST_F(FBLoginThroughClientTest, ASecondLoginWhileTheFirstIsBeingToldDropsTheFirstSafely) {
    struct Again : FBSessionDelegate {
        Facebook* fb = nullptr;
        int logins = 0;
        void fbDidLogin() override {
            if (++logins == 1) fb->authorize({});
        }
    } again;
    auto fb = facebook();
    again.fb = fb.get();
    fb->setSessionDelegate(&again);
    fb->authorize({});
    ScriptedWebView& first = bed.page();
    std::shared_ptr<bool> firstAlive = first.alive;
    first.navigate("fbconnect://success#access_token=A&expires_in=0");
    EXPECT_FALSE(*firstAlive);
    EXPECT_EQ(bed.views.size(), 2u);
    bed.page().navigate("fbconnect://success#access_token=B&expires_in=0");
    EXPECT_EQ(again.logins, 2);
    EXPECT_EQ(fb->accessToken(), "B");
}

TEST_F(FBLoginThroughClientTest, LogoutAlsoClearsTheWebViewsCookiesForTheLoginSite) {
    auto fb = facebook();
    fb->logout();
    EXPECT_EQ(cookies.sites, std::vector<std::string>{"https://m.test/"});
}

}  // namespace
}  // namespace qp
