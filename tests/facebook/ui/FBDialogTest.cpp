// The web dialog on a scripted web view: how it comes on screen, what each
// navigation of its page does, how it fails and how it goes.
#include <gtest/gtest.h>

#include <QWidget>

#include "FBDialogTestBed.h"
#include "facebook/FBFrictionlessRequestSettings.h"
#include "facebook/FBRequest.h"
#include "facebook/FacebookTestSupport.h"
#include "facebook/ui/FBDialogLayout.h"
#include "platform/ui/ActivityIndicatorView.h"
#include "platform/ui/Button.h"
#include "platform/ui/ModalLayer.h"
#include "platform/ui/ViewAlpha.h"
#include "support/WidgetInput.h"

namespace qp {
namespace {

using namespace std::chrono_literals;

constexpr const char* kBase = "https://m.test/dialog/feed";

struct FBDialogTest : ::testing::Test {
    FBDialogTestBed bed;
    RecordingDialogDelegate delegate;
    FBFrictionlessRequestSettings settings;

    std::unique_ptr<FBWebDialog> dialog(bool invisible = false) {
        return std::make_unique<FBWebDialog>(bed.environment(), kBase,
                                             FBParams{{"app_id", std::string("1")}}, invisible,
                                             &settings, &delegate);
    }
};

TEST_F(FBDialogTest, AVisibleDialogLoadsItsPageAndComesOnScreenWithABounce) {
    auto d = dialog();
    d->show();
    EXPECT_EQ(bed.page().loads, std::vector<std::string>{"https://m.test/dialog/feed?app_id=1"});
    EXPECT_EQ(d->loadingURL(), "https://m.test/dialog/feed?app_id=1");
    ASSERT_TRUE(d->isOnWindow());
    EXPECT_EQ(d->backgroundView()->parentWidget(), bed.window.get());
    EXPECT_EQ(d->backgroundView()->geometry(), bed.window->rect());
    EXPECT_TRUE(d->spinner()->isAnimating());
    EXPECT_EQ(d->spinner()->style(), ActivityIndicatorViewStyle::Gray);
    EXPECT_EQ(d->closeButton()->geometry(), QRect(2, 2, 29, 29));

    // 0.001 → 1.1 over 0.2 s, → 0.9 and back to 1 over 0.15 s each.
    EXPECT_NEAR(d->presentationScale(), kFBDialogScaleStart, 1e-9);
    bed.queue.advance(200ms);
    EXPECT_NEAR(d->presentationScale(), 1.1, 0.02);
    bed.queue.advance(150ms);
    EXPECT_NEAR(d->presentationScale(), 0.9, 0.02);
    bed.queue.advance(200ms);
    EXPECT_DOUBLE_EQ(d->presentationScale(), 1.0);
    EXPECT_EQ(d->panel()->geometry(), QRect(10, 30, 300, 440));

    bed.page().finish();
    EXPECT_FALSE(d->spinner()->isAnimating());
    EXPECT_EQ(bed.page().scripts,
              std::vector<std::string>{"document.body.removeAttribute('orientation');"});
}

TEST_F(FBDialogTest, OnATabletTheDialogTakesSixtyPercentOfTheAppFrameCentred) {
    EXPECT_EQ(fbDialogFrame({768, 1024}, true), Rect(164, 231, 440, 582));
    EXPECT_EQ(fbDialogFrame({320, 480}, false), Rect(10, 30, 300, 440));
    EXPECT_EQ(fbDialogWebViewFrame({300, 440}), Rect(11, 11, 278, 418));
    EXPECT_EQ(fbDialogScaledFrame(Rect(10, 30, 300, 440), 0.5), Rect(85, 140, 150, 220));
}

TEST_F(FBDialogTest, AnInvisibleDialogComesOnScreenAFifthOfATenthOfASecondAfterItsPageLoads) {
    auto d = dialog(true);
    d->show();
    EXPECT_FALSE(d->isOnWindow());
    EXPECT_FALSE(d->spinner()->isAnimating());
    bed.page().finish();
    EXPECT_TRUE(d->hasPendingPresentation());
    bed.queue.advance(49ms);
    EXPECT_FALSE(d->isOnWindow());
    bed.queue.advance(1ms);
    EXPECT_TRUE(d->isOnWindow());

    // Later pages do not present it again.
    bed.queue.advance(1s);
    bed.page().finish();
    EXPECT_FALSE(d->hasPendingPresentation());
    EXPECT_DOUBLE_EQ(d->presentationScale(), 1.0);
}

TEST_F(FBDialogTest, ClosingCancelsAPendingPresentation) {
    auto d = dialog(true);
    d->show();
    bed.page().finish();
    ASSERT_TRUE(d->hasPendingPresentation());
    d->cancel();
    EXPECT_FALSE(d->hasPendingPresentation());
    bed.queue.advance(1s);
    EXPECT_FALSE(d->isOnWindow());
    EXPECT_EQ(delegate.events, (std::vector<std::string>{"not complete ", "did not complete"}));
}

TEST_F(FBDialogTest, AnInvisibleDialogThatRedirectsBeforeLoadingIsNeverSeen) {
    auto d = dialog(true);
    d->show();
    EXPECT_FALSE(bed.page().navigate("fbconnect://success?post_id=5"));
    bed.queue.advance(1s);
    EXPECT_FALSE(d->isOnWindow());
    EXPECT_TRUE(d->isClosed());
    EXPECT_EQ(delegate.events,
              (std::vector<std::string>{"complete fbconnect://success?post_id=5", "did complete"}));
}

TEST_F(FBDialogTest, EachNavigationOfThePageIsDecidedAsTheRedirectSchemeAndTapsSay) {
    struct Case {
        const char* name;
        std::string url;
        WebViewNavigationType type;
        bool delegateOpensExternally;
        bool loads;
        std::vector<std::string> events;
        std::vector<std::string> opened;
    };
    const std::string page = "https://m.test/dialog/feed?app_id=1";
    const std::vector<Case> cases{
        {"own page tapped", page, WebViewNavigationType::LinkClicked, true, true, {}, {}},
        {"form posted",
         "https://m.test/login",
         WebViewNavigationType::FormSubmitted,
         true,
         true,
         {},
         {}},
        {"script moved on",
         "https://m.test/next",
         WebViewNavigationType::Other,
         true,
         true,
         {},
         {}},
        {"link tapped",
         "https://help.test/",
         WebViewNavigationType::LinkClicked,
         true,
         false,
         {"external? https://help.test/"},
         {"https://help.test/"}},
        {"link tapped, delegate says no",
         "https://help.test/",
         WebViewNavigationType::LinkClicked,
         false,
         false,
         {"external? https://help.test/"},
         {}},
        {"success",
         "fbconnect://success?post_id=7",
         WebViewNavigationType::Other,
         true,
         false,
         {"complete fbconnect://success?post_id=7", "did complete"},
         {}},
        {"cancel",
         "fbconnect://cancel",
         WebViewNavigationType::LinkClicked,
         true,
         false,
         {"not complete fbconnect://cancel", "did not complete"},
         {}},
        {"cancel with error",
         "fbconnect://cancel?error_code=190&error_msg=Expired%20token",
         WebViewNavigationType::Other,
         true,
         false,
         {"fail facebookErrDomain 190"},
         {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        FBDialogTestBed local;
        RecordingDialogDelegate watcher;
        watcher.opensExternally = c.delegateOpensExternally;
        FBWebDialog d(local.environment(), kBase, {{"app_id", std::string("1")}}, false, nullptr,
                      &watcher);
        d.show();
        EXPECT_EQ(local.page().navigate(c.url, c.type), c.loads);
        EXPECT_EQ(watcher.events, c.events);
        EXPECT_EQ(local.opener.opened, c.opened);
    }
}

TEST_F(FBDialogTest, ACancelWithAnErrorCodeFailsWithTheCodeAndMessage) {
    auto d = dialog();
    d->show();
    bed.page().navigate("fbconnect://cancel?error_code=4201&error_msg=User%20canceled");
    ASSERT_EQ(delegate.errors.size(), 1u);
    EXPECT_EQ(delegate.errors[0], Error(kFBErrorDomain, 4201, {{"error_msg", "User canceled"}}));
    // Without a message the detail is left out rather than made up.
    FBDialogTestBed other;
    RecordingDialogDelegate watcher;
    FBWebDialog bare(other.environment(), kBase, {}, false, nullptr, &watcher);
    bare.show();
    other.page().navigate("fbconnect://cancel?error_code=12abc");
    ASSERT_EQ(watcher.errors.size(), 1u);
    EXPECT_EQ(watcher.errors[0], Error(kFBErrorDomain, 12, {}));
}

TEST_F(FBDialogTest, TheTwoHarmlessLoadErrorsAreIgnoredAndAnyOtherFailsTheDialog) {
    auto d = dialog();
    d->show();
    bed.page().fail(Error(kNSURLErrorDomain, kNSURLErrorCancelled));
    bed.page().fail(Error(kWebKitErrorDomain, kWebKitErrorFrameLoadInterrupted));
    EXPECT_TRUE(delegate.events.empty());
    EXPECT_FALSE(d->isClosed());

    bed.page().fail(Error(kWebKitErrorDomain, -999));
    EXPECT_EQ(delegate.events, std::vector<std::string>{"fail WebKitErrorDomain -999"});
    EXPECT_TRUE(d->isClosed());
    // A closed dialog hears nothing more from its page.
    EXPECT_EQ(bed.page().delegate(), nullptr);
    EXPECT_GE(bed.page().stops, 1);
}

TEST_F(FBDialogTest, ClosingFadesOutOverThreeTenthsOfASecondThenLeavesTheWindow) {
    auto d = dialog();
    d->show();
    bed.queue.advance(1s);
    d->cancel();
    EXPECT_TRUE(d->loadingURL().empty());
    EXPECT_TRUE(d->isOnWindow());
    bed.queue.advance(150ms);
    EXPECT_GT(viewAlpha(d->panel()), 0.0);
    EXPECT_LT(viewAlpha(d->panel()), 1.0);
    bed.queue.advance(150ms);
    EXPECT_FALSE(d->isOnWindow());
    FBDialogTestBed::flushDeletes();
    EXPECT_EQ(d->backgroundView(), nullptr);
    EXPECT_TRUE(bed.window->findChildren<QWidget*>().isEmpty());

    // It closes once: the close button again tells nobody.
    d->cancel();
    EXPECT_EQ(delegate.events, (std::vector<std::string>{"not complete ", "did not complete"}));
}

// The close button and the window's Escape (the layer's cancel) end the
// dialog alike; once it has gone, Escape belongs to the screens again.
TEST_F(FBDialogTest, TheCloseButtonAndEscapeCancel) {
    for (const bool byEscape : {false, true}) {
        SCOPED_TRACE(byEscape ? "Escape" : "close button");
        delegate.events.clear();
        auto d = dialog();
        d->show();
        const ModalLayerBehaviour* layer = topModalLayer(bed.window.get());
        ASSERT_NE(layer, nullptr);
        ASSERT_TRUE(layer->cancel);
        if (byEscape)
            layer->cancel();
        else
            test::tap(d->closeButton());
        EXPECT_EQ(delegate.events, (std::vector<std::string>{"not complete ", "did not complete"}));
        bed.queue.advance(1s);
        FBDialogTestBed::flushDeletes();
        EXPECT_EQ(topModalLayer(bed.window.get()), nullptr);
    }
}

TEST_F(FBDialogTest, ASuccessCarriesFrictionlessRecipientsOnlyWhileTheyAreEnabled) {
    FacebookTestBed client;
    auto facebook = client.loggedInClient();
    FBFrictionlessRequestSettings& cache = facebook->frictionlessRequestSettings();
    cache.updateRecipientCacheWithRecipients(std::vector<std::string>{"old"});
    const std::string success =
        "fbconnect://success?request=9&frictionless_recipients=%5B1%2C%222%22%2Cnull%5D";

    FBWebDialog disabled(bed.environment(), kBase, {}, false, &cache, &delegate);
    disabled.show();
    bed.page().navigate(success);
    EXPECT_EQ(cache.allowedRecipients(), std::vector<std::string>{"old"});

    facebook->enableFrictionlessRequests();
    client.http.last().answer(R"({"data":[{"recipient_id":"cached"}]})");
    ASSERT_TRUE(cache.enabled());
    const std::vector<std::pair<std::string, std::vector<std::string>>> cases{
        {success, {"1", "2"}},
        {"fbconnect://success?frictionless_recipients=%7B%7D", {}},
        {"fbconnect://success?post_id=1", {"kept"}},
    };
    for (const auto& [url, recipients] : cases) {
        cache.updateRecipientCacheWithRecipients(std::vector<std::string>{"kept"});
        FBWebDialog enabled(bed.environment(), kBase, {}, false, &cache, &delegate);
        enabled.show();
        bed.page().navigate(url);
        EXPECT_EQ(cache.allowedRecipients(), recipients) << url;
    }
}

TEST_F(FBDialogTest, ADelegateThatDropsTheDialogWhileBeingToldEndsItSafely) {
    struct Dropping : RecordingDialogDelegate {
        std::unique_ptr<FBWebDialog>* owner = nullptr;
        void dialogCompleteWithUrl(const std::string& url) override {
            RecordingDialogDelegate::dialogCompleteWithUrl(url);
            owner->reset();
        }
    } dropping;
    auto d = std::make_unique<FBWebDialog>(bed.environment(), kBase, FBParams{}, false, nullptr,
                                           &dropping);
    dropping.owner = &d;
    d->show();
    ScriptedWebView& page = bed.page();
    std::shared_ptr<bool> pageAlive = page.alive;
    EXPECT_FALSE(page.navigate("fbconnect://success"));
    EXPECT_EQ(d, nullptr);
    EXPECT_FALSE(*pageAlive);
    EXPECT_EQ(dropping.events, std::vector<std::string>{"complete fbconnect://success"});
    FBDialogTestBed::flushDeletes();
    EXPECT_TRUE(bed.window->findChildren<QWidget*>().isEmpty());
}

}  // namespace
}  // namespace qp
