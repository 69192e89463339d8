#include "platform/ui/ComposeSender.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>

#include "platform/Log.h"

namespace qp {

namespace {

constexpr const char* kMailTool = "xdg-email";

bool sendWithDesktopMailClient(const ComposedMessage& message) {
    const QString tool = QStandardPaths::findExecutable(kMailTool);
    if (tool.isEmpty()) return false;
    QStringList arguments;
    if (!message.subject.isEmpty()) arguments << "--subject" << message.subject;
    if (!message.body.isEmpty()) arguments << "--body" << message.body;
    if (!message.attachments.empty()) {
        // The mail client reads the files after we return: they stay in a
        // folder of their own under the temporary folder.
        QTemporaryDir folder(QDir::tempPath() + "/quillpost-mail-XXXXXX");
        folder.setAutoRemove(false);
        if (!folder.isValid()) return false;
        for (const ComposeAttachment& attachment : message.attachments) {
            const QString name =
                attachment.fileName.isEmpty() ? QStringLiteral("attachment") : attachment.fileName;
            // Only the last part of the name: never a path out of the folder.
            QFile file(folder.filePath(QFileInfo(name).fileName()));
            if (!file.open(QIODevice::WriteOnly) ||
                file.write(attachment.data) != attachment.data.size()) {
                return false;
            }
            arguments << "--attach" << file.fileName();
        }
    }
    for (const QString& recipient : message.recipients) arguments << recipient;
    const bool started = QProcess::startDetached(tool, arguments);
    if (!started) logf("Cannot start {}", kMailTool);
    return started;
}

ComposeSender::Send& replacement() {
    static ComposeSender::Send send;
    return send;
}

}  // namespace

const ComposeSender::Send& ComposeSender::current() {
    static const Send desktop = sendWithDesktopMailClient;
    return replacement() ? replacement() : desktop;
}

void ComposeSender::replace(Send send) {
    replacement() = std::move(send);
}

bool ComposeSender::isAvailable() {
    return static_cast<bool>(replacement()) || !QStandardPaths::findExecutable(kMailTool).isEmpty();
}

}  // namespace qp
