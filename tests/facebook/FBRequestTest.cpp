// One request's life through an HttpClient double: what it sends, how it
// collects and dispatches the answer, its states, and how it stops.

#include <gtest/gtest.h>

#include "RecordingFBDelegates.h"
#include "ScriptedHttpClient.h"
#include "facebook/FBRequest.h"
#include "support/LogCapture.h"

namespace qp {
namespace {

std::shared_ptr<FBRequest> makeRequest(ScriptedHttpClient& http, FBRequestDelegate* delegate,
                                       const std::string& method = "GET",
                                       FBParams params = {{"a", std::string("1")}}) {
    return FBRequest::getRequestWithParamsHttpMethodDelegateRequestURL(
        std::move(params), method, delegate, "https://graph.test/me", http);
}

TEST(FBRequestConnect, SendsWhatTheMethodCallsFor) {
    for (const std::string method : {"GET", "POST", "DELETE"}) {
        ScriptedHttpClient http;
        RecordingRequestDelegate delegate;
        auto request = makeRequest(http, &delegate, method);
        EXPECT_EQ(request->state(), FBRequest::kStateNotStarted);
        request->connect();

        ASSERT_EQ(http.exchanges.size(), 1u);
        const HttpRequest& sent = http.last().request;
        EXPECT_EQ(sent.url, "https://graph.test/me?a=1") << method;
        EXPECT_EQ(sent.method, method);
        EXPECT_EQ(sent.header("User-Agent"), "FacebookConnect");
        EXPECT_EQ(sent.timeout, std::chrono::seconds(180));
        if (method == "POST") {
            EXPECT_EQ(sent.header("Content-Type"),
                      "multipart/form-data; boundary=3i2ndDfv2rTHiSisAbouNdArYfORhtTPEefj3q2f");
            EXPECT_EQ(sent.body, request->generatePostBody());
        } else {
            EXPECT_FALSE(sent.header("Content-Type")) << method;
            EXPECT_TRUE(sent.body.empty()) << method;
        }
        // Told before anything was sent, while the request was still new.
        EXPECT_EQ(delegate.events, std::vector<std::string>{"loading state=0"});
        EXPECT_EQ(request->state(), FBRequest::kStateLoading);
        EXPECT_TRUE(request->loading());
        EXPECT_FALSE(request->sessionDidExpire());
    }
}

TEST(FBRequestConnect, LogsTheURLWithoutTheToken) {
    ScriptedHttpClient http;
    LogCapture log;
    auto request = makeRequest(http, nullptr, "GET", {{"access_token", std::string("SECRET")}});
    request->connect();
    EXPECT_EQ(http.last().request.url, "https://graph.test/me?access_token=SECRET");
    EXPECT_TRUE(log.mentions("access_token=<redacted>"));
    EXPECT_FALSE(log.mentions("SECRET"));
}

TEST(FBRequestAnswer, ANewHeaderBlockDiscardsTheBodyBeforeIt) {
    ScriptedHttpClient http;
    RecordingRequestDelegate delegate;
    auto request = makeRequest(http, &delegate);
    request->connect();
    http.last().respond(302);
    http.last().send("<html>moved</html>");
    http.last().respond(200);
    http.last().send("{\"id\":");
    http.last().send("\"7\"}");
    http.last().finish();
    EXPECT_EQ(delegate.events,
              (std::vector<std::string>{"loading state=0", "response 302", "response 200",
                                        "raw {\"id\":\"7\"}", "load {\"id\":\"7\"} state=1"}));
    EXPECT_EQ(request->state(), FBRequest::kStateFinished);
    EXPECT_FALSE(request->loading());
    EXPECT_TRUE(request->responseText().empty());
}

TEST(FBRequestAnswer, DispatchesTheDecodedAnswer) {
    struct Case {
        const char* body;
        const char* lastEvent;
        bool sessionDidExpire;
    };
    const Case cases[] = {
        {"true", "load {\"result\":\"true\"} state=1", false},
        {"false", "fail facebookErrDomain 10000 state=1", false},
        {R"({"error_code":190,"error_msg":"expired"})", "fail facebookErrDomain 190 state=1", true},
        {R"({"error":{"code":190}})", "fail facebookErrDomain 10000 state=1", false},
        {"12", "load \"12\" state=1", false},
        {"<html>oops</html>", "load \"<html>oops</html>\" state=1", false},
        {"\xFF\xFE", "load none state=1", false},
    };
    for (const Case& c : cases) {
        ScriptedHttpClient http;
        RecordingRequestDelegate delegate;
        auto request = makeRequest(http, &delegate);
        request->connect();
        http.last().answer(c.body);
        ASSERT_EQ(delegate.events.size(), 4u) << c.body;
        EXPECT_EQ(delegate.events.back(), c.lastEvent) << c.body;
        EXPECT_EQ(request->sessionDidExpire(), c.sessionDidExpire) << c.body;
        EXPECT_EQ(request->error().has_value(), delegate.errors.size() == 1) << c.body;
    }
}

TEST(FBRequestAnswer, ARawOnlyDelegateGetsTheBytesAndNothingElse) {
    ScriptedHttpClient http;
    RecordingRequestDelegate delegate;
    delegate.takesResults = false;
    auto request = makeRequest(http, &delegate);
    request->connect();
    http.last().answer(R"({"error_code":190})");
    EXPECT_EQ(delegate.events.back(), "raw {\"error_code\":190}");
    EXPECT_TRUE(delegate.errors.empty());
    EXPECT_TRUE(delegate.results.empty());
    // The decoded error is kept, but nothing failed, so nothing expired.
    ASSERT_TRUE(request->error());
    EXPECT_EQ(request->error()->code(), 190);
    EXPECT_FALSE(request->sessionDidExpire());
}

TEST(FBRequestAnswer, TransportFailuresReachTheDelegateOnceAndUnchanged) {
    for (const HttpErrorCode code : {HttpErrorCode::TimedOut, HttpErrorCode::TooLarge}) {
        ScriptedHttpClient http;
        RecordingRequestDelegate delegate;
        auto request = makeRequest(http, &delegate);
        request->connect();
        http.last().respond();
        http.last().send("partial");
        const Error failure(kHttpErrorDomain, static_cast<int>(code),
                            {{kLocalizedDescriptionKey, "transport"}});
        http.last().fail(failure);
        http.last().fail(failure);  // the double drops it; the request must not need that
        ASSERT_EQ(delegate.errors.size(), 1u);
        EXPECT_EQ(delegate.errors.front(), failure);
        EXPECT_EQ(request->state(), FBRequest::kStateFinished);
        EXPECT_FALSE(request->error());
    }
}

TEST(FBRequestState, ObserversHearAfterTheDelegate) {
    ScriptedHttpClient http;
    RecordingRequestDelegate delegate;
    auto request = makeRequest(http, &delegate);
    std::vector<std::string> heard;
    request->addStateObserver("ctx", [&](FBRequest& changed, const std::string& context) {
        heard.push_back(context + " " + std::to_string(changed.state()) + " after " +
                        std::to_string(delegate.events.size()) + " events");
    });
    request->connect();
    http.last().answer("true");
    EXPECT_EQ(heard, (std::vector<std::string>{"ctx 1 after 1 events", "ctx 2 after 4 events"}));

    request->removeStateObserver("ctx");
    request->cancel();  // finished already: nothing happens
    EXPECT_EQ(heard.size(), 2u);
}

TEST(FBRequestLifetime, CancelledRequestsTellTheDelegateNothingMore) {
    ScriptedHttpClient http;
    RecordingRequestDelegate delegate;
    auto request = makeRequest(http, &delegate);
    request->connect();
    http.last().respond();
    request->cancel();
    EXPECT_TRUE(http.last().cancelled);
    EXPECT_EQ(request->state(), FBRequest::kStateFinished);
    http.last().answer("true");
    EXPECT_EQ(delegate.events, (std::vector<std::string>{"loading state=0", "response 200"}));
}

TEST(FBRequestLifetime, ALoadingRequestHoldsItselfUntilTheAnswer) {
    ScriptedHttpClient http;
    RecordingRequestDelegate delegate;
    std::weak_ptr<FBRequest> watch;
    {
        auto request = makeRequest(http, &delegate);
        watch = request;
        request->connect();
    }
    ASSERT_FALSE(watch.expired());
    http.last().answer("true");
    EXPECT_EQ(delegate.events.back(), "load {\"result\":\"true\"} state=1");
    EXPECT_TRUE(watch.expired());
}

TEST(FBRequestLifetime, DestroyingAnUnsharedRequestCancelsIt) {
    ScriptedHttpClient http;
    RecordingRequestDelegate delegate;
    {
        FBRequest request({}, "GET", &delegate, "https://graph.test/me", http);
        request.connect();
    }
    EXPECT_TRUE(http.last().cancelled);
    http.last().answer("true");
    EXPECT_EQ(delegate.events.size(), 1u);
}

}  // namespace
}  // namespace qp
