#pragma once
// A mail composer screen: recipients, subject, a body (HTML or plain) and
// attachments, shown for a last look with Send and Cancel. Sending hands the
// mail to the ComposeSender; the delegate learns the result and dismisses.

#include <QByteArray>
#include <QString>

#include <functional>
#include <optional>
#include <vector>

#include "platform/Error.h"
#include "platform/ui/ComposeSender.h"
#include "platform/ui/ViewController.h"

namespace qp {

class MailComposeViewController;

enum class MailComposeResult { Cancelled = 0, Saved = 1, Sent = 2, Failed = 3 };

inline constexpr const char* kMailErrorDomain = "qp.mail";
enum MailErrorCode { kMailErrorHandOffFailed = 1 };

class MailComposeViewControllerDelegate {
public:
    virtual ~MailComposeViewControllerDelegate() = default;
    virtual void mailComposeControllerDidFinishWithResultError(
        MailComposeViewController& /*controller*/, MailComposeResult /*result*/,
        const std::optional<Error>& /*error*/) {}
};

class MailComposeViewController : public ViewController {
public:
    MailComposeViewController();

    static bool canSendMail() { return ComposeSender::isAvailable(); }

    MailComposeViewControllerDelegate* mailComposeDelegate() const { return m_delegate; }
    void setMailComposeDelegate(MailComposeViewControllerDelegate* delegate) {
        m_delegate = delegate;
    }
    void setToRecipients(std::vector<QString> recipients) {
        m_message.recipients = std::move(recipients);
    }
    void setSubject(const QString& subject) { m_message.subject = subject; }
    void setMessageBodyIsHTML(const QString& body, bool isHTML);
    void addAttachmentDataMimeTypeFileName(const QByteArray& data, const QString& mimeType,
                                           const QString& fileName);

    // How Send delivers the message; `done` may be called later, on the main
    // thread. Without one, Send hands the message to the ComposeSender and
    // reports Sent, or Failed when it could not be handed over.
    using Done = std::function<void(MailComposeResult, std::optional<Error>)>;
    using Delivery = std::function<void(const MailComposeViewController&, Done)>;
    void setDelivery(Delivery delivery) { m_delivery = std::move(delivery); }
    // Whether Send stays disabled while the To field is empty.
    void setRecipientRequired(bool required) { m_recipientRequired = required; }
    bool canSendNow() const;
    // What the To field holds: addresses separated by commas.
    void setRecipientsText(const QString& text);

    const ComposedMessage& message() const { return m_message; }
    const QString& messageBody() const { return m_body; }
    bool isBodyHTML() const { return m_bodyIsHTML; }

    // What the Send and Cancel buttons do.
    void send();
    void cancel();

protected:
    QWidget* makeView() override;

private:
    void finish(MailComposeResult result, std::optional<Error> error);
    void updateSendButton();

    MailComposeViewControllerDelegate* m_delegate = nullptr;
    ComposedMessage m_message;
    QString m_body;
    bool m_bodyIsHTML = false;
    bool m_finished = false;
    bool m_sending = false;
    bool m_recipientRequired = false;
    Delivery m_delivery;
};

// Builds the composer form both composers show.
QWidget* makeComposerForm(const std::vector<std::pair<QString, QString>>& fields,
                          const QString& body, bool bodyIsHTML, const std::function<void()>& onSend,
                          const std::function<void()>& onCancel);

}  // namespace qp
