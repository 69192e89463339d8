#include "share/TweetComposeViewController.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPixmap>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "appkit/AppHelpers.h"

namespace qp {

namespace {
constexpr int kPreviewSide = 120;
}

TweetComposeViewController::TweetComposeViewController(TweetPublisher& publisher)
    : ViewController(""), m_publisher(publisher) {}

bool TweetComposeViewController::setInitialText(const QString& text) {
    m_text = text;
    return true;
}

bool TweetComposeViewController::addImage(const Image& image) {
    m_image = image;
    return true;
}

QWidget* TweetComposeViewController::makeView() {
    auto* view = new QWidget;
    view->setAutoFillBackground(true);
    auto* column = new QVBoxLayout(view);
    auto* buttons = new QHBoxLayout;
    auto* cancelButton = new QPushButton(QObject::tr("Cancel"), view);
    cancelButton->setObjectName("cancelButton");
    auto* sendButton = new QPushButton(QObject::tr("Send"), view);
    sendButton->setObjectName("sendButton");
    buttons->addWidget(cancelButton);
    buttons->addStretch();
    buttons->addWidget(sendButton);
    column->addLayout(buttons);
    auto* text = new QPlainTextEdit(m_text, view);
    text->setObjectName("tweetText");
    column->addWidget(text, 1);
    auto* preview = new QLabel(view);
    preview->setObjectName("tweetImage");
    if (m_image && !m_image->isNull()) {
        preview->setPixmap(
            QPixmap::fromImage(m_image->bitmap())
                .scaled(kPreviewSide, kPreviewSide, Qt::KeepAspectRatio, Qt::SmoothTransformation));
    }
    column->addWidget(preview, 0, Qt::AlignLeft);
    QObject::connect(text, &QPlainTextEdit::textChanged, view,
                     [this, text] { m_text = text->toPlainText(); });
    // Queued: finishing usually dismisses the sheet, which deletes this view.
    QObject::connect(
        sendButton, &QPushButton::clicked, view, [this] { send(); }, Qt::QueuedConnection);
    QObject::connect(
        cancelButton, &QPushButton::clicked, view, [this] { cancel(); }, Qt::QueuedConnection);
    return view;
}

void TweetComposeViewController::send() {
    if (m_finished || m_busy) return;
    m_busy = true;
    std::weak_ptr<ViewController> self = weak_from_this();
    const bool owned = !self.expired();
    m_publisher.publish(m_text.toStdString(), m_image.value_or(Image()),
                        [this, self, owned](const std::string& note) {
                            const std::shared_ptr<ViewController> alive = self.lock();
                            if (!note.empty()) ShowAlert(std::nullopt, note);
                            if (owned && !alive) return;
                            m_busy = false;
                            finish(TweetComposeResult::Done);
                        });
}

void TweetComposeViewController::cancel() {
    if (m_finished || m_busy) return;
    finish(TweetComposeResult::Cancelled);
}

void TweetComposeViewController::finish(TweetComposeResult result) {
    m_finished = true;
    if (m_completion) {
        m_completion(result);
    } else {
        dismissViewControllerAnimated(true);
    }
}

}  // namespace qp
