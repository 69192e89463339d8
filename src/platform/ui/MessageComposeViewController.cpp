#include "platform/ui/MessageComposeViewController.h"

#include <QObject>

#include "platform/ui/MailComposeViewController.h"

namespace qp {

MessageComposeViewController::MessageComposeViewController() : ViewController("") {}

QWidget* MessageComposeViewController::makeView() {
    QString to;
    for (const QString& r : m_message.recipients) to += (to.isEmpty() ? "" : ", ") + r;
    return makeComposerForm(
        {{QObject::tr("To:"), to}}, m_message.body, false, [this] { send(); },
        [this] { cancel(); });
}

void MessageComposeViewController::send() {
    if (m_finished) return;
    finish(ComposeSender::current()(m_message) ? MessageComposeResult::Sent
                                               : MessageComposeResult::Failed);
}

void MessageComposeViewController::cancel() {
    if (m_finished) return;
    finish(MessageComposeResult::Cancelled);
}

void MessageComposeViewController::finish(MessageComposeResult result) {
    m_finished = true;
    if (m_delegate) {
        m_delegate->messageComposeViewControllerDidFinishWithResult(*this, result);
    } else {
        dismissViewControllerAnimated(true);
    }
}

}  // namespace qp
