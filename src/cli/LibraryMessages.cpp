#include "cli/LibraryMessages.h"

#include "platform/Log.h"

namespace qp {
namespace {
void dropMessage(QtMsgType, const QMessageLogContext&, const QString&) {}
}  // namespace

LibraryMessages::LibraryMessages(bool show) : m_show(show) {
    if (m_show) return;
    m_logToStderr = Log::stderrEnabled();
    Log::setStderrEnabled(false);
    m_previous = qInstallMessageHandler(dropMessage);
}

LibraryMessages::~LibraryMessages() {
    if (m_show) return;
    qInstallMessageHandler(m_previous);
    Log::setStderrEnabled(m_logToStderr);
}

}  // namespace qp
