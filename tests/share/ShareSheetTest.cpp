// The share sheet's destinations with doubles for the desktop's services, in
// the order of their steps: what each hands over, what it records and says.

#include <gtest/gtest.h>

#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include <fstream>

#include "ShareFixture.h"
#include "platform/ui/ViewAlpha.h"
#include "share/TweetComposeViewController.h"

namespace qp::test {
namespace {

using Outcome = PhotoAlbum::Outcome;

TEST(ShareSheet, EveryLayoutHasTheActionsAndTheFacebookPanelStartsHidden) {
    for (const char* layout :
         {"SharePopupVC_iPhone", "SharePopupVC_iPhone40", "SharePopupVC_iPad"}) {
        SCOPED_TRACE(layout);
        ShareFixture f;
        auto sheet = std::make_shared<SharePopupVC>(layout, f.services());
        ASSERT_TRUE(sheet->loadViewIfNeeded().ok());
        ASSERT_NE(sheet->postToFacebookView(), nullptr);
        EXPECT_TRUE(sheet->postToFacebookView()->isHidden());
        for (const char* button : {"instagramButton", "facebookButton", "twitterButton",
                                   "emailButton", "saveButton", "backButton"}) {
            EXPECT_NE(sheet->outlet<QPushButton>(button), nullptr) << button;
        }
    }
}

TEST(ShareAlbum, SaveShowsTheOverlayThenReportsSuccessOrFailureWithItsEvent) {
    struct Case {
        const char* name;
        Outcome outcome;
        std::string title, message, event;
    };
    const Case cases[] = {
        {"saved",
         {std::filesystem::path("/album/a.png"), std::nullopt},
         kSaveSuccessTitle,
         kSaveSuccessMessage,
         kSaveSucceededEvent},
        {"failed",
         {std::nullopt, Error("qp.album", 3, {{kLocalizedDescriptionKey, "disk full"}})},
         kSaveErrorTitle,
         kSaveErrorMessage,
         kSaveFailedEvent},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ShareFixture f;
        SharePopupVC& sheet = f.present();
        sheet.actionShareSaveButton(nullptr);
        ASSERT_EQ(f.album.saved.size(), 1u);
        EXPECT_TRUE(f.album.saved[0].isSameImage(*sheet.theShareImage()));
        EXPECT_TRUE(f.analytics.events.empty());  // nothing before the save ends
        f.album.finish(c.outcome);
        f.settle();
        ASSERT_EQ(f.alerts.size(), 1u);
        EXPECT_EQ(f.alerts[0].title, c.title);
        EXPECT_EQ(f.alerts[0].message, c.message);
        EXPECT_EQ(f.analytics.eventNames(), std::vector<std::string>{c.event});
    }
    // The reason of a failure reaches the log.
    ShareFixture f;
    f.present().actionShareSaveButton(nullptr);
    f.album.finish({std::nullopt, Error("qp.album", 3, {{kLocalizedDescriptionKey, "disk full"}})});
    EXPECT_TRUE(f.log.contains("disk full"));
}

TEST(ShareAlbum, ASaveEndingAfterTheSheetWentTouchesNothing) {
    ShareFixture f;
    f.present().actionShareSaveButton(nullptr);
    f.root->dismissViewControllerAnimated(false);
    f.settle();
    std::weak_ptr<SharePopupVC> gone = f.sheet;
    f.sheet.reset();
    ASSERT_TRUE(gone.expired());
    f.album.finish({std::filesystem::path("/album/a.png"), std::nullopt});
    f.settle();
    EXPECT_TRUE(f.alerts.empty());
    EXPECT_TRUE(f.analytics.events.empty());
}

TEST(ShareSheet, PhotoAppMissingShowsTheAlertAndHandsNothingOver) {
    ShareFixture f;
    f.present().actionShareInstagramButton(nullptr);
    f.settle();
    ASSERT_EQ(f.alerts.size(), 1u);
    EXPECT_EQ(f.alerts[0].title, "");
    EXPECT_EQ(f.alerts[0].message, kInstagramMissingMessage);
    EXPECT_TRUE(f.openIn.files.empty());
}

TEST(ShareSheet, PhotoAppHandOffCarriesTypeAndCaptionAndRecordsOnlyAFinishedSend) {
    for (bool picked : {true, false}) {
        SCOPED_TRACE(picked ? "picked" : "menu closed");
        ShareFixture f;
        f.urls.openableSchemes = {"instagram"};
        std::ofstream(f.paths.documents() / "savedImage.igo") << "jpeg";
        if (picked) f.openIn.chosen = "photoapp.desktop";
        SharePopupVC& sheet = f.present();
        sheet.actionShareInstagramButton(nullptr);
        ASSERT_EQ(f.openIn.files,
                  std::vector<std::filesystem::path>{f.paths.documents() / "savedImage.igo"});
        ASSERT_NE(sheet.documentInteractionController(), nullptr);
        EXPECT_EQ(sheet.documentInteractionController()->uti(), "com.instagram.exclusivegram");
        EXPECT_EQ(sheet.documentInteractionController()->annotation(),
                  (DocumentAnnotation{{"InstagramCaption", "(Made with #Vantora)"}}));
        EXPECT_EQ(f.analytics.eventNames(), picked ? std::vector<std::string>{kInstagramPostedEvent}
                                                   : std::vector<std::string>{});
        EXPECT_TRUE(
            f.log.contains("-[SharePopupVC documentInteractionControllerDidDismissOpenInMenu:]"));
        EXPECT_EQ(
            f.log.contains(
                "-[SharePopupVC documentInteractionController:willBeginSendingToApplication:]"),
            picked);
    }
}

TEST(ShareSheet, AMissingHandOffFileIsSaidAndNoMenuOpens) {
    ShareFixture f;
    f.urls.openableSchemes = {"instagram"};
    f.present().actionShareInstagramButton(nullptr);
    f.settle();
    ASSERT_EQ(f.alerts.size(), 1u);
    EXPECT_NE(f.alerts[0].message.find("savedImage.igo"), std::string::npos);
    EXPECT_EQ(f.openIn.presented, 0);
}

TEST(ShareSheet, DeleteSavedImageRemovesTheHandOffFileAndIgnoresItsAbsence) {
    ShareFixture f;
    SharePopupVC& sheet = f.present();
    std::ofstream(sheet.handOffFile()) << "jpeg";
    sheet.deleteSavedImage();
    EXPECT_FALSE(std::filesystem::exists(sheet.handOffFile()));
    sheet.deleteSavedImage();
}

TEST(ShareTweet, DoneRecordsTheEventCancelDoesNotAndBothCloseTheSheet) {
    for (TweetComposeResult result : {TweetComposeResult::Done, TweetComposeResult::Cancelled}) {
        const bool done = result == TweetComposeResult::Done;
        SCOPED_TRACE(done ? "done" : "cancelled");
        ShareFixture f;
        f.tweets.note = "Your tweet is open in the browser.";
        SharePopupVC& sheet = f.present();
        sheet.actionShareTwitterButton(nullptr);
        auto* tweet = dynamic_cast<TweetComposeViewController*>(sheet.presentedViewController());
        ASSERT_NE(tweet, nullptr);
        EXPECT_EQ(tweet->text(), "#Vantora");
        ASSERT_TRUE(tweet->image().has_value());
        EXPECT_TRUE(tweet->image()->isSameImage(*sheet.theShareImage()));
        if (done) {
            tweet->send();
        } else {
            tweet->cancel();
        }
        f.settle();
        EXPECT_EQ(sheet.presentedViewController(), nullptr);
        EXPECT_TRUE(f.log.contains(done ? "Tweet done." : "Tweet cancelled."));
        EXPECT_EQ(f.analytics.eventNames(), done ? std::vector<std::string>{kTwitterTweetedEvent}
                                                 : std::vector<std::string>{});
        EXPECT_EQ(f.tweets.texts.size(), done ? 1u : 0u);
        EXPECT_EQ(f.alertMessages(),
                  done ? std::vector<std::string>{f.tweets.note} : std::vector<std::string>{});
    }
}

TEST(ShareMail, NoMailProgramMeansTheActionDoesNothing) {
    ShareFixture f;
    f.mail.available = false;
    SharePopupVC& sheet = f.present();
    sheet.actionShareEmailButton(nullptr);
    EXPECT_EQ(sheet.presentedViewController(), nullptr);
    EXPECT_TRUE(f.alerts.empty());
}

TEST(ShareMail, TheComposerCarriesSubjectBodyAndThePngAttachmentWithoutRecipients) {
    ShareFixture f;
    SharePopupVC& sheet = f.present();
    sheet.actionShareEmailButton(nullptr);
    auto* mail = dynamic_cast<MailComposeViewController*>(sheet.presentedViewController());
    ASSERT_NE(mail, nullptr);
    EXPECT_EQ(mail->message().subject, "I made this with Kelvane's #Vantora app");
    EXPECT_TRUE(mail->message().recipients.empty());
    EXPECT_TRUE(mail->isBodyHTML());
    EXPECT_TRUE(mail->messageBody().contains("<html", Qt::CaseInsensitive));
    ASSERT_EQ(mail->message().attachments.size(), 1u);
    const ComposeAttachment& attachment = mail->message().attachments[0];
    EXPECT_EQ(attachment.fileName, "myQuillpost.png");
    EXPECT_EQ(attachment.mimeType, "image/png");
    QImage decoded;
    ASSERT_TRUE(decoded.loadFromData(attachment.data, "PNG"));
    EXPECT_EQ(decoded.size(), QSize(612, 612));
    EXPECT_EQ(decoded.pixelColor(10, 10), QColor(Qt::red));
}

TEST(ShareMail, AMissingBodyResourceGivesAnEmptyBody) {
    ShareFixture f;
    ShareServices services = f.services();
    services.resources = f.home.path() / "no-resources";
    auto sheet = std::make_shared<SharePopupVC>("SharePopupVC_iPhone", services);
    f.root->presentViewController(sheet, false);
    sheet->actionShareEmailButton(nullptr);
    auto* mail = dynamic_cast<MailComposeViewController*>(sheet->presentedViewController());
    ASSERT_NE(mail, nullptr);
    EXPECT_TRUE(mail->messageBody().isEmpty());
}

TEST(ShareMail, OnlySentAndFailedAreRecordedAndEveryResultClosesTheComposer) {
    const std::pair<MailComposeResult, std::vector<std::string>> cases[] = {
        {MailComposeResult::Cancelled, {}},
        {MailComposeResult::Saved, {}},
        {MailComposeResult::Sent, {kEmailSentEvent}},
        {MailComposeResult::Failed, {kEmailFailedEvent}},
    };
    for (const auto& [result, events] : cases) {
        SCOPED_TRACE(static_cast<int>(result));
        ShareFixture f;
        SharePopupVC& sheet = f.present();
        sheet.actionShareEmailButton(nullptr);
        auto* mail = dynamic_cast<MailComposeViewController*>(sheet.presentedViewController());
        ASSERT_NE(mail, nullptr);
        if (result == MailComposeResult::Cancelled) {
            mail->cancel();
        } else {
            mail->send();
            ASSERT_EQ(f.mail.pending.size(), 1u);
            f.mail.pending[0](result, result == MailComposeResult::Failed
                                          ? std::optional<Error>(Error("qp.mail", 11))
                                          : std::nullopt);
        }
        f.settle();
        EXPECT_EQ(f.analytics.eventNames(), events);
        EXPECT_EQ(sheet.presentedViewController(), nullptr);
    }
}

TEST(ShareMail, DirectSendingWaitsForARecipientInTheToField) {
    ShareFixture f;
    f.mail.direct = true;
    SharePopupVC& sheet = f.present();
    sheet.actionShareEmailButton(nullptr);
    auto* mail = dynamic_cast<MailComposeViewController*>(sheet.presentedViewController());
    ASSERT_NE(mail, nullptr);
    f.settle();
    auto* send = mail->view()->findChild<QPushButton*>("sendButton");
    auto* to = mail->view()->findChild<QLineEdit*>("toField");
    ASSERT_NE(send, nullptr);
    ASSERT_NE(to, nullptr);
    EXPECT_FALSE(send->isEnabled());
    mail->send();
    EXPECT_TRUE(f.mail.delivered.empty());
    to->setText(" ana@example.org , bo@example.org");
    EXPECT_TRUE(send->isEnabled());
    mail->send();
    ASSERT_EQ(f.mail.delivered.size(), 1u);
    EXPECT_EQ(f.mail.delivered[0].recipients,
              (std::vector<QString>{"ana@example.org", "bo@example.org"}));
    // A message on its way is neither sent twice nor cancelled.
    EXPECT_FALSE(send->isEnabled());
    mail->send();
    mail->cancel();
    EXPECT_EQ(f.mail.delivered.size(), 1u);
    EXPECT_EQ(sheet.presentedViewController(), mail);
}

}  // namespace
}  // namespace qp::test
