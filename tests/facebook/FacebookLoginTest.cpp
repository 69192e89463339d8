// Logging in: the three routes out of the app, the redirect that brings the
// token back, and the results the session delegate hears.

#include <gtest/gtest.h>

#include "FacebookTestSupport.h"

namespace qp {
namespace {

using namespace std::chrono_literals;

const std::string kOwnBase = std::string("fb") + kTestAppId + "://authorize";
const std::string kLoginQuery = std::string("client_id=") + kTestAppId +
                                "&display=touch&redirect_uri=fbconnect%3A%2F%2Fsuccess"
                                "&scope=publish_stream%2Cphotos&sdk=ios&type=user_agent";

std::string text(const FBParams& params, const std::string& key) {
    const std::string* value = textParam(params, key);
    return value ? *value : "<absent>";
}

TEST(FacebookLogin, TriesTheAppThenTheBrowserThenTheInAppDialog) {
    struct Case {
        std::set<std::string> openable;
        bool multitasking;
        std::vector<std::string> opened;
        bool dialog;
        const char* dialogRedirect;
    };
    const std::string browserURL =
        std::string("https://m.test/dialog/oauth?client_id=") + kTestAppId +
        "&display=touch&redirect_uri=fb" + kTestAppId +
        "%3A%2F%2Fauthorize&scope=publish_stream%2Cphotos&sdk=ios&type=user_agent";
    const Case cases[] = {
        {{"fbauth", "https"}, true, {"fbauth://authorize?" + kLoginQuery}, false, ""},
        {{"https"}, true, {"fbauth://authorize?" + kLoginQuery, browserURL}, false, ""},
        {{}, true, {"fbauth://authorize?" + kLoginQuery, browserURL}, true, kOwnBase.c_str()},
        {{"fbauth", "https"}, false, {}, true, "fbconnect://success"},
    };
    for (const Case& c : cases) {
        FacebookTestBed bed;
        bed.opener.openableSchemes = c.openable;
        auto facebook = bed.client(std::nullopt, c.multitasking);
        facebook->authorize({"publish_stream", "photos"});
        EXPECT_EQ(bed.opener.opened, c.opened);
        ASSERT_EQ(bed.dialogs.made.size(), c.dialog ? 1u : 0u);
        if (!c.dialog) continue;
        const auto& dialog = bed.dialogs.made.front();
        EXPECT_TRUE(dialog.login);
        EXPECT_TRUE(dialog.shown);
        EXPECT_EQ(dialog.url, "https://m.test/dialog/oauth");
        EXPECT_EQ(text(dialog.params, "redirect_uri"), c.dialogRedirect);
        EXPECT_EQ(text(dialog.params, "scope"), "publish_stream,photos");
        EXPECT_EQ(dialog.loginDelegate, facebook.get());
    }
}

TEST(FacebookLogin, ASchemeSuffixChangesTheAppSchemeAndTheOwnRedirect) {
    FacebookTestBed bed;
    auto facebook = bed.client("lite");
    EXPECT_EQ(facebook->getOwnBaseUrl(), std::string("fb") + kTestAppId + "lite://authorize");
    facebook->authorizeWithFBAppAuthSafariAuth(true, false);
    ASSERT_EQ(bed.opener.opened.size(), 1u);
    EXPECT_EQ(bed.opener.opened[0].rfind("fbauth2://authorize?", 0), 0u);
    EXPECT_NE(bed.opener.opened[0].find("&local_client_id=lite&"), std::string::npos);
    EXPECT_EQ(bed.opener.opened[0].find("scope="), std::string::npos);  // no permissions set

    FacebookTestBed plain;
    EXPECT_EQ(plain.client("")->getOwnBaseUrl(), kOwnBase);
}

TEST(FacebookLogin, WithoutADialogFactoryTheLoginFailsPlainly) {
    FacebookTestBed bed;
    FacebookServices services = bed.services(false);
    services.dialogs = nullptr;
    Facebook facebook(services, kTestAppId, &bed.session);
    facebook.authorize({});
    EXPECT_EQ(bed.session.events, std::vector<std::string>{"not login: failed"});
}

TEST(FacebookRedirect, TakesTheTokenAndItsLifetime) {
    struct Case {
        std::string url;
        std::string token;
        std::optional<std::chrono::seconds> lifetime;  // none: never expires
    };
    const Case cases[] = {
        {kOwnBase + "#access_token=T1&expires_in=3600", "T1", 3600s},
        {kOwnBase + "?access_token=T2&expires_in=60", "T2", 60s},
        {kOwnBase + "?ignored=1#access_token=T3", "T3", std::nullopt},
        {kOwnBase + "#expires_in=0&access_token=T4", "T4", std::nullopt},
        {kOwnBase + "#access_token=a%2Fb%C3%A9&expires_in=x", "a/b\xC3\xA9", std::nullopt},
        {kOwnBase + "#junk&=&access_token=T5=extra&expires_in=-5", "T5", -5s},
    };
    for (const Case& c : cases) {
        FacebookTestBed bed;
        auto facebook = bed.client();
        EXPECT_TRUE(facebook->handleOpenURL(c.url)) << c.url;
        EXPECT_EQ(facebook->accessToken(), c.token) << c.url;
        const Clock::WallTime expected =
            c.lifetime ? bed.clock.now() + *c.lifetime : kFBDistantFuture;
        EXPECT_EQ(facebook->expirationDate(), expected) << c.url;
        EXPECT_EQ(bed.session.events, std::vector<std::string>{"login"}) << c.url;
        // A login reloads the frictionless recipients, without a renewal.
        ASSERT_EQ(bed.http.exchanges.size(), 1u);
        EXPECT_EQ(bed.http.last().request.url.rfind(
                      "https://graph.test/me/apprequestformerrecipients?", 0),
                  0u);
    }
}

TEST(FacebookRedirect, ReportsRefusalsAndRetriesWhatTheServiceAsks) {
    struct Case {
        std::string fragment;
        std::vector<std::string> events;
        std::size_t opened;
        std::size_t dialogs;
    };
    const Case cases[] = {
        {"", {"not login: cancelled"}, 0, 0},
        {"error=access_denied", {"not login: cancelled"}, 0, 0},
        {"error=access_denied&error_code=200", {"not login: failed"}, 0, 0},
        {"error_code=1", {"not login: failed"}, 0, 0},
        {"error=server_error", {"not login: failed"}, 0, 0},
        {"error=service_disabled_use_browser", {}, 1, 0},
        {"error=service_disabled", {}, 0, 1},
    };
    for (const Case& c : cases) {
        FacebookTestBed bed;
        bed.opener.openableSchemes = {"https"};
        auto facebook = bed.client();
        EXPECT_TRUE(facebook->handleOpenURL(kOwnBase + "#" + c.fragment)) << c.fragment;
        EXPECT_EQ(bed.session.events, c.events) << c.fragment;
        EXPECT_EQ(bed.opener.opened.size(), c.opened) << c.fragment;
        if (c.opened) {
            EXPECT_EQ(bed.opener.opened[0].rfind("https://m.test/dialog/oauth?", 0), 0u);
        }
        EXPECT_EQ(bed.dialogs.made.size(), c.dialogs) << c.fragment;
        EXPECT_FALSE(facebook->accessToken());
    }
}

TEST(FacebookRedirect, DeclinesURLsThatAreNotItsOwn) {
    FacebookTestBed bed;
    auto facebook = bed.client("lite");
    const std::string id = kTestAppId;
    for (const std::string& url :
         {"fb" + id + "://authorize#access_token=T", "fb" + id + "other://authorize#access_token=T",
          "FB" + id + "lite://authorize#access_token=T",
          std::string("https://m.test/#access_token=T"), std::string()}) {
        EXPECT_FALSE(facebook->handleOpenURL(url)) << url;
    }
    EXPECT_FALSE(facebook->accessToken());
    EXPECT_TRUE(bed.session.events.empty());
    EXPECT_TRUE(facebook->handleOpenURL("fb" + id + "lite://authorize#access_token=T"));
}

TEST(FacebookRedirect, InAppLoginWithoutALifetimeLeavesTheSessionInvalid) {
    FacebookTestBed bed;
    auto facebook = bed.client();
    facebook->fbDialogLoginExpirationDate("T", std::nullopt);
    EXPECT_EQ(facebook->accessToken(), "T");
    EXPECT_FALSE(facebook->isSessionValid());
    EXPECT_EQ(bed.session.events, std::vector<std::string>{"login"});
}

TEST(FacebookRedirect, ParsesPairsAndSkipsPiecesWithoutAValue) {
    EXPECT_EQ(Facebook::parseURLParams("a=1&b&&c=%41%20&d=x=y&e=%ZZ&=z"),
              (std::map<std::string, std::string>{
                  {"a", "1"}, {"c", "A "}, {"d", "x"}, {"e", "%ZZ"}, {"", "z"}}));
    EXPECT_TRUE(Facebook::parseURLParams("").empty());
}

}  // namespace
}  // namespace qp
