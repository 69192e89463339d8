// The more-apps screen on a scripted web view: what it shows, when it loads,
// the spinner and the title's busy mark, and when the offline alert appears.

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QLabel>

#include "ScreensTestBed.h"
#include "appkit/Configuration.h"
#include "platform/ui/ActivityIndicatorView.h"
#include "platform/ui/AlertView.h"
#include "platform/ui/Window.h"
#include "screens/MoreAppsPage.h"
#include "screens/NetworkActivityMark.h"

using namespace qp;

namespace {

const Error kOffline(kWebViewErrorDomain, -106, {{kLocalizedDescriptionKey, "offline"}});

class MoreScreenTest : public testing::Test, public test::ScreensTestBed {
protected:
    void SetUp() override {
        config.set(config::kMoreAppsHost, "files.example.com");
        launch();
    }

    // The more-apps screen, shown from the start screen.
    MoreViewController& openMore() {
        app->viewController()->viewMorePage(nullptr);
        return *app->moreViewController();
    }
    void closeMore() { app->moreViewController()->actionBackButton(nullptr); }

    ActivityIndicatorView& spinner(MoreViewController& more) {
        return *dynamic_cast<ActivityIndicatorView*>(more.outlet("webActivityIndicatorView"));
    }
    bool titleMarked() const { return hasNetworkActivityMark(app->window()); }
};

}  // namespace

TEST_F(MoreScreenTest, ShowsTitleVersionAndLoadsThePageFromTheConfiguredHost) {
    MoreViewController& more = openMore();
    EXPECT_EQ(more.title(), "More");
    EXPECT_EQ(more.outlet<QLabel>("titleLabel")->text(), QString("More"));
    EXPECT_EQ(more.outlet<QLabel>("appVersionLabel")->text(), QString("v " QP_APP_VERSION));
    EXPECT_EQ(infoDictionaryValue("CFBundleShortVersionString"), QP_APP_VERSION);
    EXPECT_EQ(infoDictionaryValue("CFBundleVersion"), "");
    EXPECT_EQ(page().loads, std::vector<std::string>{
                                "http://files.example.com/Promo_kelvane_iphone_general.html"});
    EXPECT_TRUE(more.isLoadingMoreAppsWebPage());
    // The page lives in its place in the layout.
    EXPECT_TRUE(more.outlet("moreAppsWebView")->isAncestorOf(page().widget()));
}

TEST_F(MoreScreenTest, SpinnerAndTitleMarkFollowTheLoad) {
    MoreViewController& more = openMore();
    const QString title = app->window()->windowTitle();
    page().start();
    EXPECT_TRUE(spinner(more).isAnimating());
    EXPECT_TRUE(titleMarked());
    EXPECT_EQ(app->window()->windowTitle(), title + QString::fromUtf8(kNetworkActivityMark));
    page().finish();
    EXPECT_FALSE(spinner(more).isAnimating());
    EXPECT_FALSE(titleMarked());
    EXPECT_EQ(app->window()->windowTitle(), title);
    EXPECT_FALSE(more.isLoadingMoreAppsWebPage());

    page().start();
    page().fail(kOffline);
    EXPECT_FALSE(spinner(more).isAnimating());
    EXPECT_FALSE(titleMarked());
}

TEST_F(MoreScreenTest, FailuresBeforeTheFirstFinishAlertEachTimeAndNoneAfter) {
    MoreViewController& more = openMore();
    const int before = AlertView::shownCount();
    page().start();
    page().fail(kOffline);
    ASSERT_NE(more.offlineMsgAlert(), nullptr);
    AlertView* first = more.offlineMsgAlert();
    EXPECT_EQ(first->title(), "");
    EXPECT_EQ(first->message(), "The Internet connection appears to be offline");
    EXPECT_EQ(first->buttonTitles(), std::vector<std::string>{"Okay"});
    EXPECT_EQ(first->delegate(), &more);
    page().start();
    page().fail(kOffline);
    EXPECT_EQ(AlertView::shownCount(), before + 2);
    EXPECT_NE(more.offlineMsgAlert(), first);
    EXPECT_TRUE(more.isLoadingMoreAppsWebPage());

    page().start();
    page().finish();
    page().start();
    page().fail(kOffline);
    EXPECT_EQ(AlertView::shownCount(), before + 2);
    QCoreApplication::processEvents();
}

TEST_F(MoreScreenTest, ALoadThePageItselfCancelledIsNoOfflineAlert) {
    MoreViewController& more = openMore();
    const int before = AlertView::shownCount();
    page().fail(Error(kNSURLErrorDomain, kNSURLErrorCancelled));
    page().fail(Error(kWebKitErrorDomain, kWebKitErrorFrameLoadInterrupted));
    EXPECT_EQ(AlertView::shownCount(), before);
    EXPECT_TRUE(more.isLoadingMoreAppsWebPage());
}

TEST_F(MoreScreenTest, ASecondOpeningLoadsNothingAndScrollsToTheTop) {
    openMore();
    page().start();
    page().finish();
    closeMore();
    MoreViewController& again = openMore();
    EXPECT_EQ(webViews.size(), 1u);
    EXPECT_EQ(page().loads.size(), 1u);
    EXPECT_EQ(page().scripts, (std::vector<std::string>{kScrollToTopScript, kScrollToTopScript}));
    EXPECT_EQ(again.moreAppsWebView(), webViews.front());
}

TEST_F(MoreScreenTest, AfterAStayInTheBackgroundANewScreenLoadsAgain) {
    openMore();
    page().start();  // still loading when the app leaves
    EXPECT_TRUE(titleMarked());
    app->applicationDidEnterBackground();
    EXPECT_EQ(app->viewController()->presentedViewController(), nullptr);
    EXPECT_FALSE(titleMarked());  // the mark went with the screen
    app->applicationWillEnterForeground();
    openMore();
    ASSERT_EQ(webViews.size(), 2u);
    EXPECT_EQ(page().loads.size(), 1u);
}

TEST_F(MoreScreenTest, WithoutAHostALocalPageAboutTheAppIsShown) {
    config.set(config::kMoreAppsHost, "");
    app->applicationDidEnterBackground();
    app->applicationWillEnterForeground();
    openMore();
    ASSERT_EQ(page().loads.size(), 1u);
    EXPECT_EQ(page().loads[0],
              std::string("html:") + kLocalPageBaseURL + ":" + localMoreAppsPage(QP_APP_VERSION));
}

TEST_F(MoreScreenTest, BothLayoutsProvideTheOutletsAndOnlyPortraitIsAllowed) {
    for (const char* device : {"iphone", "ipad"}) {
        SCOPED_TRACE(device);
        test::ScreensTestBed bed(device);
        bed.launch();
        MoreViewController& more = *bed.app->moreViewController();
        ASSERT_TRUE(more.loadViewIfNeeded().ok());
        EXPECT_NE(dynamic_cast<ActivityIndicatorView*>(more.outlet("webActivityIndicatorView")),
                  nullptr);
        EXPECT_TRUE(more.shouldAutorotateToInterfaceOrientation(InterfaceOrientation::Portrait));
        EXPECT_TRUE(
            more.shouldAutorotateToInterfaceOrientation(InterfaceOrientation::PortraitUpsideDown));
        EXPECT_FALSE(
            more.shouldAutorotateToInterfaceOrientation(InterfaceOrientation::LandscapeLeft));
    }
}
