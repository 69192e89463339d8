// The social-network panel end to end: the sheet's own client talks to a
// Graph test server on 127.0.0.1 over the real HTTP client.

#include <gtest/gtest.h>

#include <mutex>

#include "ShareFixture.h"
#include "facebook/FacebookSessionDefaults.h"
#include "facebook/RawHttpServer.h"
#include "platform/curl/CurlHttpClient.h"
#include "platform/ui/ViewAlpha.h"

namespace qp::test {
namespace {

using namespace std::chrono_literals;

// Answers every request with the test's answer and keeps what arrived.
class GraphServer {
public:
    GraphServer()
        : m_server([this](const RawHttpServer::Request& request) {
              std::lock_guard lock(m_mutex);
              m_requests.push_back(request);
              return m_answer;
          }) {}
    void answer(int status, std::string body) {
        std::lock_guard lock(m_mutex);
        m_answer = {status, "text/javascript", std::move(body)};
    }
    std::vector<RawHttpServer::Request> requests() {
        std::lock_guard lock(m_mutex);
        return m_requests;
    }
    std::string url(const std::string& path) const { return m_server.url(path); }

private:
    std::mutex m_mutex;
    RawHttpServer::Response m_answer{200, "text/javascript", R"({"id":"1"})"};
    std::vector<RawHttpServer::Request> m_requests;
    RawHttpServer m_server;  // last: it stops before the fields it uses go
};

struct FacebookShare : ShareFixture {
    FacebookShare() {
        services.documents = paths.documents();
        facebookServices = std::make_unique<FacebookServices>(FacebookServices{
            http,
            urls,
            queue.clock(),
            nullptr,
            true,
            {server.url("/"), server.url("/method/"), server.url("/dialog/"), server.url("/")}});
    }

    // A login from an earlier share, kept in the settings.
    void rememberLogin(Clock::WallTime expiry) {
        Facebook earlier(*facebookServices, "123456789012345", nullptr);
        earlier.setAccessToken("TOKEN");
        earlier.setExpirationDate(expiry);
        ASSERT_TRUE(saveFacebookSession(earlier, defaults));
    }

    SharePopupVC& presentWithFacebook() {
        ShareServices s = ShareFixture::services();
        s.makeFacebook = [this](FBSessionDelegate* delegate) {
            ++clientsMade;
            return std::make_shared<Facebook>(*facebookServices, "123456789012345", delegate);
        };
        s.adoptFacebook = [this](const std::shared_ptr<Facebook>& f) { adopted = f; };
        sheet = std::make_shared<SharePopupVC>("SharePopupVC_iPhone", s);
        sheet->setTheShareImage(squareImage());
        root->presentViewController(sheet, false);
        return *sheet;
    }

    // Runs the panel's fade to its end.
    void fade() { queue.advance(kFacebookPanelFade + 10ms); }

    bool panelShown() const {
        return sheet->postToFacebookView()->isVisible() &&
               viewAlpha(sheet->postToFacebookView()) == 1.0;
    }

    GraphServer server;
    CurlHttpClient http{queue};
    std::unique_ptr<FacebookServices> facebookServices;
    ShareServices services;
    std::shared_ptr<Facebook> adopted;
    int clientsMade = 0;
};

TEST(ShareFacebook, ARememberedLoginPostsThePictureAndRecordsAfterTheAlertIsAnswered) {
    FacebookShare f;
    f.rememberLogin(f.queue.clock().now() + 24h);
    SharePopupVC& sheet = f.presentWithFacebook();
    sheet.actionShareFacebookButton(nullptr);
    EXPECT_TRUE(f.log.contains("-- actionShareFacebookButton -- already logged in to Facebook"));
    EXPECT_TRUE(f.urls.opened.empty());  // no login asked for
    ASSERT_NE(sheet.facebook(), nullptr);
    EXPECT_EQ(f.adopted.get(), sheet.facebook());
    f.fade();
    EXPECT_TRUE(f.panelShown());

    sheet.actionOkToPostOnFB(nullptr);
    EXPECT_EQ(sheet.currentAPICall(), kAPIGraphUserPhotosPost);
    ASSERT_TRUE(f.queue.runUntil([&] {
        QCoreApplication::processEvents();
        return !f.alerts.empty();
    }));
    f.settle();
    f.fade();

    // The client may renew the token on the side; the upload is one POST.
    std::vector<RawHttpServer::Request> uploads;
    for (const RawHttpServer::Request& r : f.server.requests()) {
        if (r.target.rfind("/me/photos", 0) == 0) uploads.push_back(r);
    }
    ASSERT_EQ(uploads.size(), 1u);
    EXPECT_EQ(uploads[0].method, "POST");
    EXPECT_NE(uploads[0].target.find("access_token=TOKEN"), std::string::npos);
    EXPECT_NE(uploads[0].body.find("filename=\"picture\""), std::string::npos);
    EXPECT_NE(uploads[0].body.find("\x89PNG"), std::string::npos);
    EXPECT_EQ(uploads[0].body.find("name=\"message\""), std::string::npos);

    ASSERT_EQ(f.alerts.size(), 1u);
    EXPECT_EQ(f.alerts[0].title, "Facebook says");
    EXPECT_EQ(f.alerts[0].message, "image uploaded successfully.");
    EXPECT_TRUE(f.alerts[0].eventsBefore.empty());
    EXPECT_EQ(f.analytics.eventNames(), std::vector<std::string>{kFacebookPostedEvent});
    EXPECT_TRUE(sheet.postToFacebookView()->isHidden());

    // Again from the same sheet: a fresh client, the code still the upload's.
    sheet.actionShareFacebookButton(nullptr);
    f.fade();
    sheet.actionOkToPostOnFB(nullptr);
    ASSERT_TRUE(f.queue.runUntil([&] { return f.alerts.size() == 2; }));
    f.settle();
    EXPECT_EQ(f.clientsMade, 2);
    EXPECT_EQ(f.alerts[1].message, "image uploaded successfully.");
    EXPECT_EQ(f.analytics.eventNames(),
              (std::vector<std::string>{kFacebookPostedEvent, kFacebookPostedEvent}));
}

TEST(ShareFacebook, AFailedUploadAlertsClosesThePanelAndRecordsNothing) {
    FacebookShare f;
    f.rememberLogin(f.queue.clock().now() + 24h);
    f.server.answer(500, R"({"error":{"type":"OAuthException","message":"expired"}})");
    SharePopupVC& sheet = f.presentWithFacebook();
    sheet.actionShareFacebookButton(nullptr);
    f.fade();
    sheet.actionOkToPostOnFB(nullptr);
    ASSERT_TRUE(f.queue.runUntil([&] {
        QCoreApplication::processEvents();
        return !f.alerts.empty();
    }));
    f.settle();
    f.fade();
    EXPECT_EQ(f.alerts[0].title, "Facebook says");
    EXPECT_EQ(f.alerts[0].message, "something went wrong. The image was not posted");
    EXPECT_TRUE(f.analytics.events.empty());
    EXPECT_TRUE(sheet.postToFacebookView()->isHidden());
    EXPECT_EQ(sheet.currentAPICall(), kAPIGraphUserPhotosPost);
}

TEST(ShareFacebook, AnExpiredLoginAsksToLogInAgainAndTheLoginIsRemembered) {
    FacebookShare f;
    f.rememberLogin(f.queue.clock().now() - 1h);
    SharePopupVC& sheet = f.presentWithFacebook();
    sheet.actionShareFacebookButton(nullptr);
    EXPECT_FALSE(f.log.contains("-- actionShareFacebookButton -- already logged in to Facebook"));
    EXPECT_FALSE(f.urls.opened.empty());  // the login left for the browser or the app
    f.fade();
    EXPECT_TRUE(f.panelShown());  // the panel shows whatever the login does

    // The login comes back: the new token is written to the settings.
    sheet.facebook()->setAccessToken("NEWTOKEN");
    sheet.facebook()->setExpirationDate(f.queue.clock().now() + 2h);
    sheet.fbDidLogin();
    Facebook restored(*f.facebookServices, "123456789012345", nullptr);
    restoreFacebookSession(f.defaults, restored);
    EXPECT_EQ(restored.accessToken(), std::optional<std::string>("NEWTOKEN"));
}

TEST(ShareFacebook, CancelFadesThePanelOutAndKeepsTheClient) {
    FacebookShare f;
    SharePopupVC& sheet = f.presentWithFacebook();
    sheet.actionShareFacebookButton(nullptr);
    f.fade();
    Facebook* client = sheet.facebook();
    sheet.actionCancelPostOnFB(nullptr);
    EXPECT_TRUE(sheet.postToFacebookView()->isVisible());  // still fading
    f.fade();
    EXPECT_TRUE(sheet.postToFacebookView()->isHidden());
    EXPECT_EQ(sheet.facebook(), client);
    EXPECT_EQ(sheet.currentAPICall(), 0);
}

}  // namespace
}  // namespace qp::test
