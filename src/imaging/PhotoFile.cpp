#include "imaging/PhotoFile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include <fmt/format.h>

#include "imaging/PhotoFormat.h"

namespace qp {
namespace {

Error fileError(ImagingErrorCode code, std::string text) {
    return Error(kImagingErrorDomain, code, {{kLocalizedDescriptionKey, std::move(text)}});
}

class FileDescriptor {
public:
    explicit FileDescriptor(int fd) : m_fd(fd) {}
    ~FileDescriptor() {
        if (m_fd >= 0) ::close(m_fd);
    }
    FileDescriptor(const FileDescriptor&) = delete;
    FileDescriptor& operator=(const FileDescriptor&) = delete;
    int get() const { return m_fd; }

private:
    int m_fd;
};

// Reads up to `want` bytes at the end of `buffer`; answers how many came.
Result<std::size_t> readInto(int fd, QByteArray& buffer, std::size_t want) {
    const qsizetype start = buffer.size();
    buffer.resize(start + qsizetype(want));
    std::size_t got = 0;
    while (got < want) {
        const ssize_t n = ::read(fd, buffer.data() + start + qsizetype(got), want - got);
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) {
            buffer.resize(start + qsizetype(got));
            return fileError(kImagingErrorUnreadable,
                             fmt::format("cannot read it: {}", std::strerror(errno)));
        }
        if (n == 0) break;  // the file shrank meanwhile
        got += std::size_t(n);
    }
    buffer.resize(start + qsizetype(got));
    return got;
}

std::string megabytes(std::int64_t bytes) {
    return fmt::format("{:.0f} MB", double(bytes) / (1024.0 * 1024.0));
}

}  // namespace

Result<QByteArray> readPhotoFile(const std::string& path, const PhotoFileLimits& limits) {
    // Non-blocking, so opening a FIFO with no writer does not wait forever.
    FileDescriptor fd(::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NOCTTY | O_NONBLOCK));
    if (fd.get() < 0) {
        return fileError(kImagingErrorUnreadable,
                         fmt::format("cannot open it: {}", std::strerror(errno)));
    }
    struct stat info {};
    if (::fstat(fd.get(), &info) != 0) {
        return fileError(kImagingErrorUnreadable,
                         fmt::format("cannot read it: {}", std::strerror(errno)));
    }
    if (S_ISDIR(info.st_mode))
        return fileError(kImagingErrorNotAFile, "it is a folder, not a photo");
    if (!S_ISREG(info.st_mode)) {
        return fileError(
            kImagingErrorNotAFile,
            "it is not a regular file (a device, a pipe or a socket); only photo files are read");
    }
    if (info.st_size == 0) return fileError(kImagingErrorUnreadable, "the file is empty");
    if (info.st_size > limits.maxBytes) {
        return fileError(kImagingErrorFileTooLarge,
                         fmt::format("the file is {}, more than the {} limit for a photo",
                                     megabytes(info.st_size), megabytes(limits.maxBytes)));
    }

    const auto total = std::size_t(info.st_size);
    QByteArray bytes;
    bytes.reserve(qsizetype(total));
    Result<std::size_t> head = readInto(fd.get(), bytes, std::min(total, kPhotoHeaderBytes));
    if (!head) return head.error();
    const auto* data = reinterpret_cast<const std::uint8_t*>(bytes.constData());
    const PhotoFormat format = sniffPhotoFormat(data, std::size_t(bytes.size()));
    if (format == PhotoFormat::Unknown) {
        return fileError(kImagingErrorUnsupportedFormat,
                         fmt::format("it is not a {} picture", kReadablePhotoFormats));
    }
    if (const auto size = headerPixelSize(data, std::size_t(bytes.size()), format)) {
        if (size->width * size->height > limits.maxPixels) {
            return fileError(kImagingErrorTooLarge,
                             fmt::format("the picture is {} × {} pixels, more than the limit of {} "
                                         "megapixels",
                                         size->width, size->height, limits.maxPixels / 1'000'000));
        }
    }
    if (std::size_t(bytes.size()) == std::min(total, kPhotoHeaderBytes) &&
        total > kPhotoHeaderBytes) {
        Result<std::size_t> body = readInto(fd.get(), bytes, total - kPhotoHeaderBytes);
        if (!body) return body.error();
    }
    return bytes;
}

}  // namespace qp
