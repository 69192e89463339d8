// The client's session: validity, the standard parameters of its requests,
// token renewal, logout and the service ending a session.

#include <gtest/gtest.h>

#include "FacebookTestSupport.h"
#include "support/LogCapture.h"

namespace qp {
namespace {

using namespace std::chrono_literals;

std::string text(const FBParams& params, const std::string& key) {
    const std::string* value = textParam(params, key);
    return value ? *value : "<absent>";
}

TEST(FacebookSession, IsValidOnlyWithATokenAndALaterExpiry) {
    FacebookTestBed bed;
    auto facebook = bed.client();
    const Clock::WallTime now = bed.clock.now();
    struct Case {
        std::optional<std::string> token;
        std::optional<Clock::WallTime> expiry;
        bool valid;
    };
    const Case cases[] = {
        {std::nullopt, std::nullopt, false},
        {"T", std::nullopt, false},
        {std::nullopt, now + 1h, false},
        {"T", now, false},
        {"T", now - 1s, false},
        {"T", now + 1s, true},
    };
    for (const Case& c : cases) {
        facebook->setAccessToken(c.token);
        facebook->setExpirationDate(c.expiry);
        EXPECT_EQ(facebook->isSessionValid(), c.valid);
    }
}

TEST(FacebookRequests, CarryTheStandardParametersAndTheTokenOfAValidSession) {
    FacebookTestBed bed;
    auto facebook = bed.client();
    auto anonymous =
        facebook->requestWithGraphPath("me/photos", {{"x", std::string("1")}}, "POST", nullptr);
    EXPECT_EQ(anonymous->url(), "https://graph.test/me/photos");
    EXPECT_EQ(anonymous->httpMethod(), "POST");
    EXPECT_EQ(text(anonymous->params(), "format"), "json");
    EXPECT_EQ(text(anonymous->params(), "sdk"), "ios");
    EXPECT_EQ(text(anonymous->params(), "sdk_version"), "2");
    EXPECT_EQ(text(anonymous->params(), "access_token"), "<absent>");
    EXPECT_EQ(bed.http.last().request.url,
              "https://graph.test/me/photos?format=json&sdk=ios&sdk_version=2&x=1");

    // An expired token is not sent.
    facebook->setAccessToken("OLD");
    facebook->setExpirationDate(bed.clock.now() - 1s);
    auto expired = facebook->requestWithGraphPath("me", nullptr);
    EXPECT_EQ(text(expired->params(), "access_token"), "<absent>");
    EXPECT_EQ(expired->httpMethod(), "GET");

    auto rest = facebook->requestWithParamsAndDelegate(
        {{"method", std::string("photos.get")}, {"y", std::string("2")}}, nullptr);
    ASSERT_TRUE(rest);
    EXPECT_EQ(rest->url(), "https://api.test/method/photos.get");
    EXPECT_EQ(rest->httpMethod(), "GET");
    EXPECT_EQ(text(rest->params(), "method"), "<absent>");
    EXPECT_EQ(facebook->liveRequestCount(), 3u);
}

TEST(FacebookRequests, ARestCallWithoutAMethodIsRefused) {
    FacebookTestBed bed;
    auto facebook = bed.client();
    LogCapture log;
    EXPECT_FALSE(facebook->requestWithParamsAndDelegate({{"y", std::string("2")}}, nullptr));
    EXPECT_TRUE(log.contains("API Method must be specified"));
    EXPECT_TRUE(bed.http.exchanges.empty());
}

TEST(FacebookRequests, FinishedRequestsLeaveTheLiveSet) {
    FacebookTestBed bed;
    auto facebook = bed.client();
    RecordingRequestDelegate delegate;
    facebook->requestWithGraphPath("me", &delegate);
    facebook->requestWithGraphPath("me/friends", &delegate);
    EXPECT_EQ(facebook->liveRequestCount(), 2u);
    bed.http.exchanges[0]->answer("{}");
    bed.http.exchanges[1]->fail(Error(kHttpErrorDomain, 1));
    EXPECT_EQ(facebook->liveRequestCount(), 0u);
    EXPECT_EQ(delegate.events.back(), "fail qp.http 1 state=1");
    EXPECT_TRUE(bed.session.events.empty());
}

TEST(FacebookExtension, TheFirstRequestOfARestoredSessionRenewsTheTokenOnce) {
    FacebookTestBed bed;
    auto facebook = bed.loggedInClient();
    EXPECT_TRUE(facebook->shouldExtendAccessToken());  // last update: long ago
    facebook->requestWithGraphPath("me", nullptr);
    facebook->requestWithGraphPath("me", nullptr);
    ASSERT_EQ(bed.http.exchanges.size(), 3u);
    EXPECT_EQ(bed.http.exchanges[0]->request.url,
              "https://api.test/method/auth.extendSSOAccessToken?access_token=TOKEN&format=json&"
              "sdk=ios&sdk_version=2");
    EXPECT_EQ(bed.http.exchanges[0]->request.method, "GET");
    EXPECT_TRUE(facebook->isExtendingAccessToken());

    bed.http.exchanges[0]->answer(R"({"access_token":"NEW","expires_at":0})");
    EXPECT_FALSE(facebook->isExtendingAccessToken());
    EXPECT_EQ(facebook->accessToken(), "NEW");
    EXPECT_EQ(facebook->expirationDate(), kFBDistantFuture);
    EXPECT_EQ(bed.session.events, std::vector<std::string>{"extended NEW"});
    EXPECT_FALSE(facebook->shouldExtendAccessToken());
    facebook->requestWithGraphPath("me", nullptr);
    EXPECT_EQ(bed.http.exchanges.size(), 4u);
}

TEST(FacebookExtension, WaitsForMoreThan23WholeHours) {
    FacebookTestBed bed;
    auto facebook = bed.client();
    facebook->fbDialogLoginExpirationDate("T", kFBDistantFuture);
    bed.clock.advance(23h + 59min + 59s);
    EXPECT_FALSE(facebook->shouldExtendAccessToken());
    bed.clock.advance(1s);
    EXPECT_TRUE(facebook->shouldExtendAccessToken());
    // Without a valid session there is nothing to renew.
    facebook->setExpirationDate(bed.clock.now());
    EXPECT_FALSE(facebook->shouldExtendAccessToken());
}

TEST(FacebookExtension, AnswersThatLackTheValuesKeepTheOldToken) {
    const char* answers[] = {R"({"access_token":"NEW"})",
                             R"({"expires_at":1700000000})",
                             R"(["access_token","expires_at"])",
                             "true",
                             "\"text\"",
                             R"({"access_token":null,"expires_at":1})"};
    for (const char* answer : answers) {
        FacebookTestBed bed;
        auto facebook = bed.loggedInClient();
        const auto expiry = facebook->expirationDate();
        facebook->extendAccessToken();
        bed.http.last().answer(answer);
        EXPECT_FALSE(facebook->isExtendingAccessToken()) << answer;
        EXPECT_EQ(facebook->accessToken(), "TOKEN") << answer;
        EXPECT_EQ(facebook->expirationDate(), expiry) << answer;
        EXPECT_TRUE(facebook->shouldExtendAccessToken()) << answer;
        EXPECT_TRUE(bed.session.events.empty()) << answer;
    }
    FacebookTestBed bed;
    auto facebook = bed.loggedInClient();
    facebook->extendAccessToken();
    bed.http.last().fail(Error(kHttpErrorDomain, 2));
    EXPECT_FALSE(facebook->isExtendingAccessToken());
    EXPECT_EQ(facebook->accessToken(), "TOKEN");
}

TEST(FacebookExtension, ReadsTheExpiryAsSecondsSince1970) {
    for (const char* answer : {R"({"access_token":"N","expires_at":1700000000})",
                               R"({"access_token":"N","expires_at":"1700000000"})"}) {
        FacebookTestBed bed;
        auto facebook = bed.loggedInClient();
        facebook->extendAccessToken();
        bed.http.last().answer(answer);
        EXPECT_EQ(facebook->expirationDate(), Clock::WallTime(std::chrono::seconds(1700000000)));
    }
    // Past what settings can store: kept at the far end.
    FacebookTestBed bed;
    auto facebook = bed.loggedInClient();
    facebook->extendAccessToken();
    bed.http.last().answer(R"({"access_token":"N","expires_at":99999999999999})");
    EXPECT_EQ(facebook->expirationDate(), kFBDistantFuture);
}

TEST(FacebookLogout, ForgetsTheTokenTheLoginCookiesAndTheRecipients) {
    FacebookTestBed bed;
    bed.http.jar = {{".test", "/", "root", "1"},       {"m.test", "/", "login", "2"},
                    {"m.test", "/other", "deep", "3"}, {"x.m.test", "/", "sub", "4"},
                    {"graph.test", "/", "keep", "5"},  {"notm.test", "/", "keep2", "6"}};
    auto facebook = bed.loggedInClient();
    facebook->frictionlessRequestSettings().updateRecipientCacheWithRecipients(
        std::vector<std::string>{"1"});
    RecordingSessionDelegate other;
    facebook->logout(&other);
    EXPECT_FALSE(facebook->accessToken());
    EXPECT_FALSE(facebook->expirationDate());
    std::vector<std::string> left;
    for (const HttpCookie& cookie : bed.http.jar) left.push_back(cookie.name);
    EXPECT_EQ(left, (std::vector<std::string>{"deep", "sub", "keep", "keep2"}));
    EXPECT_TRUE(facebook->frictionlessRequestSettings().allowedRecipients().empty());
    EXPECT_EQ(bed.session.events, std::vector<std::string>{"logout"});
    EXPECT_EQ(other.events, std::vector<std::string>{"logout"});

    facebook->logout(&bed.session);
    EXPECT_EQ(bed.session.events, (std::vector<std::string>{"logout", "logout"}));
}

TEST(FacebookLogout, AnExpiredSessionAnswerInvalidatesAfterTheRequestsDelegate) {
    FacebookTestBed bed;
    bed.http.jar = {{"m.test", "/", "login", "2"}};
    auto facebook = bed.loggedInClient();
    facebook->fbDialogLoginExpirationDate("TOKEN", bed.clock.now() + 1h);  // no renewal
    bed.session.events.clear();

    std::vector<std::string> order;
    struct Delegate : RecordingRequestDelegate {
        std::vector<std::string>* order;
        FacebookTestBed* bed;
        void requestDidFailWithError(FBRequest& r, const Error& e) override {
            RecordingRequestDelegate::requestDidFailWithError(r, e);
            order->push_back("request failed, session events: " +
                             std::to_string(bed->session.events.size()));
        }
    } delegate;
    delegate.order = &order;
    delegate.bed = &bed;
    auto request = facebook->requestWithGraphPath("me/photos", {}, "POST", &delegate);
    bed.http.last().answer(R"({"error_code":190,"error_msg":"Session has expired"})");
    EXPECT_EQ(order, std::vector<std::string>{"request failed, session events: 0"});
    EXPECT_EQ(bed.session.events, std::vector<std::string>{"invalidated"});
    EXPECT_FALSE(facebook->accessToken());
    EXPECT_TRUE(bed.http.jar.empty());
    // Only the login's recipient reload is left running.
    EXPECT_EQ(facebook->liveRequestCount(), 1u);
    EXPECT_NE(request->state(), FBRequest::kStateLoading);
}

TEST(FacebookLifetime, RequestsOutliveTheClientAndReportToTheirOwnDelegates) {
    FacebookTestBed bed;
    RecordingRequestDelegate delegate;
    auto facebook = bed.loggedInClient();
    facebook->requestWithGraphPath("me", &delegate);  // also starts a renewal
    ASSERT_EQ(bed.http.exchanges.size(), 2u);
    facebook.reset();
    bed.http.exchanges[0]->answer(R"({"access_token":"NEW","expires_at":0})");
    bed.http.exchanges[1]->answer(R"({"error_code":190})");
    EXPECT_EQ(delegate.errors.size(), 1u);
    EXPECT_TRUE(bed.session.events.empty());
}

}  // namespace
}  // namespace qp
