#pragma once
// Keeps library chatter (Qt's warnings, libpng's through them, and our own
// diagnostic log lines) off standard error while a command runs, unless the
// user asked for it with --verbose. The previous state comes back when the
// guard goes.

#include <QtGlobal>

namespace qp {

class LibraryMessages {
public:
    explicit LibraryMessages(bool show);
    ~LibraryMessages();
    LibraryMessages(const LibraryMessages&) = delete;
    LibraryMessages& operator=(const LibraryMessages&) = delete;

private:
    bool m_show;
    bool m_logToStderr = true;
    QtMessageHandler m_previous = nullptr;
};

}  // namespace qp
