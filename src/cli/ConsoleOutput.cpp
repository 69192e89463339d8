#include "cli/ConsoleOutput.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

namespace qp {

void writeDiagnostic(std::FILE* stream, std::string_view text) {
    if (stream == nullptr) return;
    std::fwrite(text.data(), 1, text.size(), stream);
    std::fflush(stream);
    std::clearerr(stream);
}

bool ReliableOutput::write(std::string_view bytes) {
    if (m_failed) return false;
    errno = 0;
    const bool written = std::fwrite(bytes.data(), 1, bytes.size(), m_stream) == bytes.size();
    if (written && std::fflush(m_stream) == 0) return true;
    m_failed = true;
    m_failure = errno != 0 ? std::strerror(errno) : "the write failed";
    return false;
}

void reserveStandardStreams() {
    for (int fd = STDIN_FILENO; fd <= STDERR_FILENO; ++fd) {
        if (::fcntl(fd, F_GETFD) != -1 || errno != EBADF) continue;
        const int flags = fd == STDERR_FILENO ? O_WRONLY : O_RDONLY;
        const int opened = ::open("/dev/null", flags);
        if (opened >= 0 && opened != fd) {
            ::dup2(opened, fd);
            ::close(opened);
        }
    }
}

}  // namespace qp
