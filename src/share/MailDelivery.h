#pragma once
// How the share sheet's mail leaves the program: a port, so that the sheet's
// steps can be tested with a double and the desktop's two ways can be chosen
// by configuration.

#include "platform/ui/MailComposeViewController.h"

namespace qp {

class MailDelivery {
public:
    virtual ~MailDelivery() = default;
    // Whether mail can leave at all (the mail action does nothing otherwise).
    virtual bool canSendMail() const = 0;
    // Whether the composer must hold a recipient before Send is enabled.
    virtual bool needsRecipient() const = 0;
    // Delivers the composer's message; `done` runs on the main thread.
    virtual void deliver(const MailComposeViewController& mail,
                         MailComposeViewController::Done done) = 0;
};

// The desktop's mail client through xdg-email (or the ComposeSender that
// replaces it): the message is handed over for the user to send, so a
// hand-over is reported as saved, not sent.
class DesktopMailClientDelivery final : public MailDelivery {
public:
    bool canSendMail() const override;
    bool needsRecipient() const override { return false; }
    void deliver(const MailComposeViewController& mail,
                 MailComposeViewController::Done done) override;
};

}  // namespace qp
