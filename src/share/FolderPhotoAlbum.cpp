#include "share/FolderPhotoAlbum.h"

#include <QDateTime>
#include <QStandardPaths>

#include <cerrno>
#include <cstring>

#include <fcntl.h>
#include <unistd.h>

#include "imaging/PhotoIO.h"

namespace qp {

namespace fs = std::filesystem;

namespace {

constexpr int kMaxNameAttempts = 10000;

Error albumError(int code, const std::string& what) {
    return Error(kAlbumErrorDomain, code, {{kLocalizedDescriptionKey, what}});
}

std::string systemReason(int error) {
    return std::strerror(error);
}

std::string candidateName(std::string_view stem, int attempt) {
    std::string name(stem);
    if (attempt > 1) name += " " + std::to_string(attempt);
    return name + ".png";
}

// Removes the temporary file whatever happens after it was made.
struct TemporaryFile {
    std::string path;
    int fd = -1;
    ~TemporaryFile() {
        if (fd >= 0) ::close(fd);
        if (!path.empty()) ::unlink(path.c_str());
    }
};

bool writeAll(int fd, const QByteArray& bytes) {
    const char* at = bytes.constData();
    qsizetype left = bytes.size();
    while (left > 0) {
        const ssize_t written = ::write(fd, at, static_cast<size_t>(left));
        if (written < 0) {
            if (errno == EINTR) continue;
            return false;
        }
        at += written;
        left -= written;
    }
    return true;
}

std::string fileStem() {
    return "Quillpost " +
           QDateTime::currentDateTime().toString("yyyy-MM-dd 'at' HH.mm.ss").toStdString();
}

}  // namespace

fs::path albumFolderFor(const std::string& configured) {
    if (!configured.empty()) return fs::path(configured);
    const QString pictures = QStandardPaths::writableLocation(QStandardPaths::PicturesLocation);
    if (!pictures.isEmpty()) return fs::path(pictures.toStdString());
    const char* home = std::getenv("HOME");
    return fs::path(home ? home : ".") / "Pictures";
}

Result<fs::path> writeNewAlbumFile(const fs::path& folder, std::string_view stem,
                                   const QByteArray& bytes) {
    std::error_code ec;
    fs::create_directories(folder, ec);
    if (ec) {
        return albumError(kAlbumErrorFolder,
                          "The album folder " + folder.string() + " cannot be made: " +
                              ec.message() + ". Set album_folder to a folder you can write to.");
    }
    TemporaryFile temporary;
    std::string pattern = (folder / ".quillpost-save-XXXXXX").string();
    temporary.fd = ::mkstemp(pattern.data());
    if (temporary.fd < 0) {
        return albumError(kAlbumErrorFolder,
                          "Cannot write in the album folder " + folder.string() + ": " +
                              systemReason(errno) +
                              ". Set album_folder to a folder you can write to.");
    }
    temporary.path = pattern;
    if (!writeAll(temporary.fd, bytes) || ::fsync(temporary.fd) != 0) {
        return albumError(kAlbumErrorWrite, "Writing the image into " + folder.string() +
                                                " failed: " + systemReason(errno) +
                                                ". Free some space or choose another folder.");
    }
    ::close(temporary.fd);
    temporary.fd = -1;
    // A hard link appears whole and fails when the name is taken, so a
    // picture already in the folder is never replaced.
    for (int attempt = 1; attempt <= kMaxNameAttempts; ++attempt) {
        const fs::path target = folder / candidateName(stem, attempt);
        if (::link(temporary.path.c_str(), target.c_str()) == 0) {
            if (const int dir = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY); dir >= 0) {
                ::fsync(dir);
                ::close(dir);
            }
            return target;
        }
        if (errno != EEXIST) {
            return albumError(kAlbumErrorWrite, "Cannot name the image in " + folder.string() +
                                                    ": " + systemReason(errno));
        }
    }
    return albumError(kAlbumErrorNoName,
                      "Every name for the image is taken in " + folder.string() + ".");
}

FolderPhotoAlbum::FolderPhotoAlbum(fs::path folder, MainQueue& mainQueue)
    : m_folder(std::move(folder)), m_mainQueue(mainQueue) {}

FolderPhotoAlbum::~FolderPhotoAlbum() {
    waitForSaves();
}

void FolderPhotoAlbum::waitForSaves() {
    std::vector<std::thread> workers;
    {
        std::lock_guard lock(m_mutex);
        workers.swap(m_workers);
    }
    for (std::thread& worker : workers) worker.join();
}

void FolderPhotoAlbum::saveImage(const Image& image, Completion completion) {
    std::thread worker([this, image, completion = std::move(completion)] {
        Outcome outcome;
        Result<QByteArray> png =
            image.isNull()
                ? Result<QByteArray>(albumError(kAlbumErrorNoImage, "There is no image to save."))
                : pngRepresentation(image);
        if (!png.ok()) {
            outcome.error = png.error();
        } else if (Result<fs::path> written = writeNewAlbumFile(m_folder, fileStem(), *png);
                   written.ok()) {
            outcome.file = *written;
        } else {
            outcome.error = written.error();
        }
        m_mainQueue.post([completion, outcome] {
            if (completion) completion(outcome);
        });
    });
    std::lock_guard lock(m_mutex);
    m_workers.push_back(std::move(worker));
}

}  // namespace qp
