#pragma once
// How a composer's finished message leaves the program on a desktop: by
// default the desktop's mail client is opened through xdg-email with the
// recipients, subject, plain-text body and attachments. Tests and other
// front ends replace the sender.

#include <QByteArray>
#include <QString>

#include <functional>
#include <vector>

namespace qp {

struct ComposeAttachment {
    QByteArray data;
    QString mimeType;
    QString fileName;
};

struct ComposedMessage {
    std::vector<QString> recipients;
    QString subject;
    QString body;  // plain text
    std::vector<ComposeAttachment> attachments;
};

class ComposeSender {
public:
    // Answers whether the message was handed over.
    using Send = std::function<bool(const ComposedMessage&)>;

    // The sender in use; the desktop one unless replaced.
    static const Send& current();
    // An empty function puts the desktop sender back.
    static void replace(Send send);
    // True when messages can leave: a replacement is set or xdg-email exists.
    static bool isAvailable();
};

}  // namespace qp
