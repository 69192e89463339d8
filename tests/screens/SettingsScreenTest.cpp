// The settings screen from the start screen: the review page, the feedback
// mail and its events, the more-apps page and the usage-reports switch.

#include <gtest/gtest.h>

#include <QCheckBox>
#include <QCoreApplication>

#include "ScreensTestBed.h"
#include "appkit/Configuration.h"
#include "appkit/UsageReportsSwitch.h"
#include "platform/ui/AlertView.h"
#include "support/LogCapture.h"

using namespace qp;

namespace {

class SettingsScreenTest : public testing::Test, public test::ScreensTestBed {
protected:
    void SetUp() override { launch(); }

    // Alerts shown from now on, by message.
    std::vector<std::string> alertMessages() {
        QCoreApplication::processEvents();  // headless alerts are answered on the next turn
        return messages;
    }
    void recordAlerts() {
        AlertView::setHeadlessAnswerer([this](const AlertView& alert) {
            messages.push_back(alert.message());
            return 0;
        });
    }
    std::vector<std::string> messages;
};

// A switch that refuses to keep the choice when told to.
class SwitchDouble : public UsageReportsSwitch {
public:
    bool isOn() const override { return on; }
    Result<void> setOn(bool value) override {
        on = value;
        ++changes;
        if (failKeeping) return Error("test", 1, {{kLocalizedDescriptionKey, "disk full"}});
        return {};
    }
    bool on = true;
    bool failKeeping = false;
    int changes = 0;
};

}  // namespace

TEST_F(SettingsScreenTest, EveryLayoutOffersTheFourActionsAndTheSwitch) {
    for (const char* device : {"iphone", "iphone-4in", "ipad"}) {
        SCOPED_TRACE(device);
        test::ScreensTestBed bed(device);
        bed.launch();
        SettingsViewController& settings = bed.openSettings();
        for (const char* name : {"backButton", "leaveReviewButton", "sendFeedbackButton",
                                 "moreAppsButton", "usageReportsSwitch"})
            EXPECT_NE(settings.outlet(name), nullptr) << name;
    }
}

TEST_F(SettingsScreenTest, ReviewOpensTheStorePageBuiltFromTheConfiguration) {
    config.set(config::kStoreHost, "store.example.com");
    config.set(config::kStoreId, "555000111");
    SettingsViewController& settings = openSettings();
    settings.actionLeaveReviewButton(nullptr);
    EXPECT_EQ(analytics.eventNames(), std::vector<std::string>{kEventTappedLeaveReview});
    EXPECT_EQ(urls.opened,
              std::vector<std::string>{
                  "http://store.example.com/WebObjects/MZStore.woa/wa/"
                  "viewContentsUserReviews?id=555000111&pageNumber=0&sortOrdering=1&type=Purple+"
                  "Software&mt=8"});
}

TEST_F(SettingsScreenTest, ReviewWithoutAStoreSaysWhatToConfigure) {
    recordAlerts();
    SettingsViewController& settings = openSettings();
    settings.actionLeaveReviewButton(nullptr);
    EXPECT_TRUE(urls.opened.empty());
    EXPECT_EQ(analytics.eventNames(), std::vector<std::string>{kEventTappedLeaveReview});
    EXPECT_EQ(alertMessages(), std::vector<std::string>{kNoStorePageMessage});
}

TEST_F(SettingsScreenTest, FeedbackMailCarriesTheRecipientSubjectAndHtmlBody) {
    config.set(config::kFeedbackMail, "feedback@quillpost.example");
    SettingsViewController& settings = openSettings();
    settings.actionSendFeedbackButton(nullptr);
    auto* composer = dynamic_cast<MailComposeViewController*>(settings.presentedViewController());
    ASSERT_NE(composer, nullptr);
    EXPECT_EQ(composer->message().recipients,
              std::vector<QString>{QString("feedback@quillpost.example")});
    EXPECT_EQ(composer->message().subject, QString("I made this with Kelvane's #Vantora app"));
    EXPECT_EQ(composer->messageBody(),
              QString("This is some simple sample<br>text in html format.<br>"));
    EXPECT_TRUE(composer->isBodyHTML());
    EXPECT_TRUE(composer->message().attachments.empty());
    EXPECT_EQ(analytics.eventNames(), std::vector<std::string>{kEventTappedSendFeedback});
}

// Only a sent or a failed mail is recorded; every result closes the composer.
TEST_F(SettingsScreenTest, FeedbackResultsRecordOnlySentAndFailed) {
    struct Case {
        MailComposeResult result;
        bool cancel;
        std::vector<std::string> events;
    };
    const Case cases[] = {
        {MailComposeResult::Cancelled, true, {}},
        {MailComposeResult::Saved, false, {}},
        {MailComposeResult::Sent, false, {kEventFeedbackSent}},
        {MailComposeResult::Failed, false, {kEventFeedbackFailed}},
    };
    SettingsViewController& settings = openSettings();
    for (const Case& c : cases) {
        SCOPED_TRACE(static_cast<int>(c.result));
        analytics.events.clear();
        mail.result = c.result;
        settings.actionSendFeedbackButton(nullptr);
        auto* composer =
            dynamic_cast<MailComposeViewController*>(settings.presentedViewController());
        ASSERT_NE(composer, nullptr);
        analytics.events.clear();
        if (c.cancel) {
            composer->cancel();
        } else {
            composer->send();
        }
        EXPECT_EQ(analytics.eventNames(), c.events);
        EXPECT_EQ(settings.presentedViewController(), nullptr);
        QCoreApplication::processEvents();
    }
}

TEST_F(SettingsScreenTest, AFailedFeedbackMailTellsTheUserWhy) {
    recordAlerts();
    mail.result = MailComposeResult::Failed;
    mail.error = Error("qp.mail", 2, {{kLocalizedDescriptionKey, "The SMTP server said no"}});
    SettingsViewController& settings = openSettings();
    settings.actionSendFeedbackButton(nullptr);
    dynamic_cast<MailComposeViewController&>(*settings.presentedViewController()).send();
    EXPECT_EQ(alertMessages(), std::vector<std::string>{"The SMTP server said no"});
}

TEST_F(SettingsScreenTest, FeedbackWithoutMailShowsNothing) {
    mail.canSend = false;
    SettingsViewController& settings = openSettings();
    settings.actionSendFeedbackButton(nullptr);
    EXPECT_EQ(settings.presentedViewController(), nullptr);
    EXPECT_EQ(analytics.eventNames(), std::vector<std::string>{kEventTappedSendFeedback});
}

TEST_F(SettingsScreenTest, MoreShowsTheAppsCurrentMoreScreen) {
    SettingsViewController& settings = openSettings();
    settings.viewMorePage(nullptr);
    EXPECT_EQ(analytics.eventNames(), std::vector<std::string>{kEventTappedMore});
    EXPECT_EQ(settings.presentedViewController(), app->moreViewController().get());

    // After a stay in the background the new instance is the one shown.
    app->applicationDidEnterBackground();
    EXPECT_EQ(settings.presentedViewController(), nullptr);
    app->applicationWillEnterForeground();
    settings.viewMorePage(nullptr);
    EXPECT_EQ(settings.presentedViewController(), app->moreViewController().get());
}

TEST_F(SettingsScreenTest, BackClosesTheScreenAndOnlyPortraitIsAllowed) {
    SettingsViewController& settings = openSettings();
    EXPECT_TRUE(settings.shouldAutorotateToInterfaceOrientation(InterfaceOrientation::Portrait));
    EXPECT_TRUE(
        settings.shouldAutorotateToInterfaceOrientation(InterfaceOrientation::PortraitUpsideDown));
    EXPECT_FALSE(
        settings.shouldAutorotateToInterfaceOrientation(InterfaceOrientation::LandscapeLeft));
    EXPECT_FALSE(
        settings.shouldAutorotateToInterfaceOrientation(InterfaceOrientation::LandscapeRight));
    settings.actionBackButton(nullptr);
    EXPECT_EQ(app->viewController()->presentedViewController(), nullptr);
}

TEST_F(SettingsScreenTest, TheSwitchShowsAndChangesTheUsageReports) {
    SwitchDouble usage;
    usage.on = false;
    AppContext c = app->context();
    c.usageReports = &usage;
    auto settings = std::make_shared<SettingsViewController>("SettingsViewController_iPhone40", c);
    auto* toggle =
        qobject_cast<QCheckBox*>(settings->view()->findChild<QCheckBox*>("usageReportsSwitch"));
    ASSERT_NE(toggle, nullptr);
    EXPECT_FALSE(toggle->isHidden());
    EXPECT_FALSE(toggle->isChecked());

    toggle->click();  // through the layout's action
    EXPECT_TRUE(usage.on);
    EXPECT_TRUE(toggle->isChecked());

    recordAlerts();
    usage.failKeeping = true;
    toggle->click();
    EXPECT_FALSE(usage.on);
    EXPECT_FALSE(toggle->isChecked());
    ASSERT_EQ(alertMessages().size(), 1u);
    EXPECT_EQ(messages[0], "disk full\nUsage reports are off until Quillpost quits.");
}

TEST_F(SettingsScreenTest, WithoutASwitchTheScreenHidesIt) {
    SettingsViewController& settings = openSettings();
    ASSERT_NE(settings.outlet("usageReportsSwitch"), nullptr);
    EXPECT_TRUE(settings.outlet("usageReportsSwitch")->isHidden());
}
