#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QPointer>
#include <QPushButton>

#include <memory>
#include <vector>

#include "platform/ui/MailComposeViewController.h"
#include "platform/ui/MessageComposeViewController.h"
#include "platform/ui/Window.h"

using namespace qp;

namespace {

// Replaces the sender for one test and records what it is handed.
class FakeSender {
public:
    explicit FakeSender(bool accept) {
        ComposeSender::replace([this, accept](const ComposedMessage& m) {
            sent.push_back(m);
            return accept;
        });
    }
    ~FakeSender() { ComposeSender::replace({}); }
    std::vector<ComposedMessage> sent;
};

struct MailResults : MailComposeViewControllerDelegate {
    std::vector<MailComposeResult> results;
    bool hadError = false;
    void mailComposeControllerDidFinishWithResultError(MailComposeViewController& controller,
                                                       MailComposeResult result,
                                                       const std::optional<Error>& error) override {
        results.push_back(result);
        hadError = error.has_value();
        controller.dismissViewControllerAnimated(true);
    }
};

}  // namespace

TEST(MailComposer, SendHandsOverPlainTextBodyAndAttachmentsAndReportsOnce) {
    FakeSender sender(true);
    EXPECT_TRUE(MailComposeViewController::canSendMail());
    Window window(defaultDeviceProfile());
    auto root = std::make_shared<ViewController>("");
    window.setRootViewController(root);
    window.makeKeyAndVisible();

    auto mail = std::make_shared<MailComposeViewController>();
    MailResults delegate;
    mail->setMailComposeDelegate(&delegate);
    mail->setSubject("I made this");
    mail->setMessageBodyIsHTML("This is some simple sample<br>text in html format.<br>", true);
    mail->addAttachmentDataMimeTypeFileName(QByteArray("\x89PNG", 4), "image/png",
                                            "myQuillpost.png");
    root->presentViewController(mail, false);

    // The Send button of the form. Only the presenter keeps the composer, so
    // the dismissal deletes the form: that must wait until the click is over.
    QPointer<QPushButton> send = mail->view()->findChild<QPushButton*>("sendButton");
    ASSERT_NE(send, nullptr);
    std::weak_ptr<MailComposeViewController> composer = mail;
    mail.reset();
    send->click();
    send->click();  // a finished composer sends nothing more
    QCoreApplication::processEvents();
    EXPECT_TRUE(composer.expired());
    EXPECT_TRUE(send.isNull());
    ASSERT_EQ(sender.sent.size(), 1u);
    EXPECT_EQ(sender.sent[0].subject, "I made this");
    EXPECT_EQ(sender.sent[0].body, "This is some simple sample\ntext in html format.\n");
    ASSERT_EQ(sender.sent[0].attachments.size(), 1u);
    EXPECT_EQ(sender.sent[0].attachments[0].fileName, "myQuillpost.png");
    EXPECT_EQ(delegate.results, std::vector<MailComposeResult>{MailComposeResult::Sent});
    EXPECT_EQ(root->presentedViewController(), nullptr);
}

TEST(MailComposer, AFailedHandOverIsReportedAsFailedWithAnError) {
    FakeSender sender(false);
    MailComposeViewController mail;
    MailResults delegate;
    mail.setMailComposeDelegate(&delegate);
    mail.send();
    EXPECT_EQ(delegate.results, std::vector<MailComposeResult>{MailComposeResult::Failed});
    EXPECT_TRUE(delegate.hadError);
}

TEST(MessageComposer, CancelSendsNothing) {
    FakeSender sender(true);
    struct Results : MessageComposeViewControllerDelegate {
        std::vector<MessageComposeResult> results;
        void messageComposeViewControllerDidFinishWithResult(MessageComposeViewController&,
                                                             MessageComposeResult result) override {
            results.push_back(result);
        }
    } delegate;
    MessageComposeViewController message;
    message.setMessageComposeDelegate(&delegate);
    message.setBody("Post full size photos");
    message.cancel();
    message.send();
    EXPECT_TRUE(sender.sent.empty());
    EXPECT_EQ(delegate.results, std::vector<MessageComposeResult>{MessageComposeResult::Cancelled});
}
