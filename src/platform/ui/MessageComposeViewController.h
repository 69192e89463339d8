#pragma once
// A text-message composer screen. A desktop has no text messages: the
// message goes out through the ComposeSender (the mail client), so it can
// be sent wherever mail can.

#include <QString>

#include <vector>

#include "platform/ui/ComposeSender.h"
#include "platform/ui/ViewController.h"

namespace qp {

class MessageComposeViewController;

enum class MessageComposeResult { Cancelled = 0, Sent = 1, Failed = 2 };

class MessageComposeViewControllerDelegate {
public:
    virtual ~MessageComposeViewControllerDelegate() = default;
    virtual void messageComposeViewControllerDidFinishWithResult(
        MessageComposeViewController& /*controller*/, MessageComposeResult /*result*/) {}
};

class MessageComposeViewController : public ViewController {
public:
    MessageComposeViewController();

    static bool canSendText() { return ComposeSender::isAvailable(); }

    MessageComposeViewControllerDelegate* messageComposeDelegate() const { return m_delegate; }
    void setMessageComposeDelegate(MessageComposeViewControllerDelegate* delegate) {
        m_delegate = delegate;
    }
    const QString& body() const { return m_message.body; }
    void setBody(const QString& body) { m_message.body = body; }
    void setRecipients(std::vector<QString> recipients) {
        m_message.recipients = std::move(recipients);
    }

    void send();
    void cancel();

protected:
    QWidget* makeView() override;

private:
    void finish(MessageComposeResult result);

    MessageComposeViewControllerDelegate* m_delegate = nullptr;
    ComposedMessage m_message;
    bool m_finished = false;
};

}  // namespace qp
