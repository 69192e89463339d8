#include "share/MailDelivery.h"

namespace qp {

bool DesktopMailClientDelivery::canSendMail() const {
    return ComposeSender::isAvailable();
}

void DesktopMailClientDelivery::deliver(const MailComposeViewController& mail,
                                        MailComposeViewController::Done done) {
    if (ComposeSender::current()(mail.message())) {
        done(MailComposeResult::Saved, std::nullopt);
        return;
    }
    done(MailComposeResult::Failed,
         Error(kMailErrorDomain, kMailErrorHandOffFailed,
               {{kLocalizedDescriptionKey,
                 "The mail could not be handed to the desktop's mail program; is xdg-email "
                 "installed and a mail program set up?"}}));
}

}  // namespace qp
