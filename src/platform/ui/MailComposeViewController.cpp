#include "platform/ui/MailComposeViewController.h"

#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QTextBrowser>
#include <QTextDocumentFragment>
#include <QVBoxLayout>

namespace qp {

QWidget* makeComposerForm(const std::vector<std::pair<QString, QString>>& fields,
                          const QString& body, bool bodyIsHTML, const std::function<void()>& onSend,
                          const std::function<void()>& onCancel) {
    auto* view = new QWidget;
    view->setAutoFillBackground(true);
    auto* column = new QVBoxLayout(view);
    auto* buttons = new QHBoxLayout;
    auto* cancel = new QPushButton(QObject::tr("Cancel"), view);
    cancel->setObjectName("cancelButton");
    auto* send = new QPushButton(QObject::tr("Send"), view);
    send->setObjectName("sendButton");
    buttons->addWidget(cancel);
    buttons->addStretch();
    buttons->addWidget(send);
    column->addLayout(buttons);
    auto* form = new QFormLayout;
    for (const auto& [name, value] : fields)
        form->addRow(name, new QLabel(value.toHtmlEscaped(), view));
    column->addLayout(form);
    auto* text = new QTextBrowser(view);
    text->setObjectName("bodyView");
    text->setOpenLinks(false);
    if (bodyIsHTML) {
        text->setHtml(body);
    } else {
        text->setPlainText(body);
    }
    column->addWidget(text, 1);
    // Queued: finishing usually dismisses the composer, which deletes this
    // form, so the buttons' own click handling must be over by then.
    QObject::connect(
        send, &QPushButton::clicked, view, [onSend] { onSend(); }, Qt::QueuedConnection);
    QObject::connect(
        cancel, &QPushButton::clicked, view, [onCancel] { onCancel(); }, Qt::QueuedConnection);
    return view;
}

MailComposeViewController::MailComposeViewController() : ViewController("") {}

void MailComposeViewController::setMessageBodyIsHTML(const QString& body, bool isHTML) {
    m_body = body;
    m_bodyIsHTML = isHTML;
    m_message.body = isHTML ? QTextDocumentFragment::fromHtml(body).toPlainText() : body;
}

void MailComposeViewController::addAttachmentDataMimeTypeFileName(const QByteArray& data,
                                                                  const QString& mimeType,
                                                                  const QString& fileName) {
    m_message.attachments.push_back({data, mimeType, fileName});
}

QWidget* MailComposeViewController::makeView() {
    QString to;
    for (const QString& r : m_message.recipients) to += (to.isEmpty() ? "" : ", ") + r;
    QString attached;
    for (const ComposeAttachment& a : m_message.attachments)
        attached += (attached.isEmpty() ? "" : ", ") + a.fileName;
    return makeComposerForm(
        {{QObject::tr("To:"), to},
         {QObject::tr("Subject:"), m_message.subject},
         {QObject::tr("Attached:"), attached}},
        m_body, m_bodyIsHTML, [this] { send(); }, [this] { cancel(); });
}

void MailComposeViewController::send() {
    if (m_finished) return;
    const bool handedOver = ComposeSender::current()(m_message);
    finish(handedOver ? MailComposeResult::Sent : MailComposeResult::Failed);
}

void MailComposeViewController::cancel() {
    if (m_finished) return;
    finish(MailComposeResult::Cancelled);
}

void MailComposeViewController::finish(MailComposeResult result) {
    m_finished = true;
    std::optional<Error> error;
    if (result == MailComposeResult::Failed) {
        error =
            Error(kMailErrorDomain, kMailErrorHandOffFailed,
                  {{kLocalizedDescriptionKey, "The mail could not be handed to a mail program"}});
    }
    if (m_delegate) {
        m_delegate->mailComposeControllerDidFinishWithResultError(*this, result, error);
    } else {
        dismissViewControllerAnimated(true);
    }
}

}  // namespace qp
