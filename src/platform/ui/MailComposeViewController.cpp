#include "platform/ui/MailComposeViewController.h"

#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
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
    QWidget* view = makeComposerForm(
        {{QObject::tr("Subject:"), m_message.subject}, {QObject::tr("Attached:"), attached}},
        m_body, m_bodyIsHTML, [this] { send(); }, [this] { cancel(); });
    // The To field is the user's to fill in.
    auto* toField = new QLineEdit(to, view);
    toField->setObjectName("toField");
    toField->setPlaceholderText(QObject::tr("name@example.com"));
    if (auto* form = view->findChild<QFormLayout*>())
        form->insertRow(0, QObject::tr("To:"), toField);
    QObject::connect(toField, &QLineEdit::textChanged, view,
                     [this](const QString& text) { setRecipientsText(text); });
    QMetaObject::invokeMethod(
        view, [this] { updateSendButton(); }, Qt::QueuedConnection);
    return view;
}

void MailComposeViewController::setRecipientsText(const QString& text) {
    m_message.recipients.clear();
    for (const QString& piece : text.split(',', Qt::SkipEmptyParts)) {
        const QString address = piece.trimmed();
        if (!address.isEmpty()) m_message.recipients.push_back(address);
    }
    updateSendButton();
}

bool MailComposeViewController::canSendNow() const {
    return !m_finished && !m_sending && (!m_recipientRequired || !m_message.recipients.empty());
}

void MailComposeViewController::updateSendButton() {
    if (!isViewLoaded()) return;
    if (auto* sendButton = view()->findChild<QPushButton*>("sendButton"))
        sendButton->setEnabled(canSendNow());
}

void MailComposeViewController::send() {
    if (!canSendNow()) return;
    if (!m_delivery) {
        const bool handedOver = ComposeSender::current()(m_message);
        std::optional<Error> error;
        if (!handedOver) {
            error = Error(
                kMailErrorDomain, kMailErrorHandOffFailed,
                {{kLocalizedDescriptionKey, "The mail could not be handed to a mail program"}});
        }
        finish(handedOver ? MailComposeResult::Sent : MailComposeResult::Failed, error);
        return;
    }
    m_sending = true;
    updateSendButton();
    // A composer owned by a presenter may be gone by the time a slow delivery
    // ends; one made on the stack has no owner to watch.
    std::weak_ptr<ViewController> self = weak_from_this();
    const bool owned = !self.expired();
    m_delivery(*this, [this, self, owned](MailComposeResult result, std::optional<Error> error) {
        const std::shared_ptr<ViewController> alive = self.lock();
        if ((owned && !alive) || m_finished) return;
        m_sending = false;
        finish(result, std::move(error));
    });
}

void MailComposeViewController::cancel() {
    // A message on its way cannot be called back.
    if (m_finished || m_sending) return;
    finish(MailComposeResult::Cancelled, std::nullopt);
}

void MailComposeViewController::finish(MailComposeResult result, std::optional<Error> error) {
    m_finished = true;
    if (m_delegate) {
        m_delegate->mailComposeControllerDidFinishWithResultError(*this, result, error);
    } else {
        dismissViewControllerAnimated(true);
    }
}

}  // namespace qp
