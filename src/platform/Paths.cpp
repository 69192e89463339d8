#include "platform/Paths.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <sstream>
#include <system_error>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace qp {

namespace fs = std::filesystem;

namespace {

Error fileError(FileErrorCode code, const std::string& what, const fs::path& path) {
    return Error(kFileErrorDomain, code, {{kLocalizedDescriptionKey, what + ": " + path.string()}});
}

std::string environment(const char* name) {
    const char* value = std::getenv(name);
    return value ? std::string(value) : std::string();
}

}  // namespace

Paths::Paths(fs::path home, fs::path resources)
    : m_home(std::move(home)), m_resources(std::move(resources)) {}

std::optional<fs::path> Paths::pathForResource(const std::string& name, const std::string& type,
                                               const std::string& subfolder) const {
    // Names come from data files: refuse anything that would leave the folder.
    if (name.empty() || name.find('/') != std::string::npos || name == "." || name == "..") {
        return std::nullopt;
    }
    fs::path path = subfolder.empty() ? m_resources : m_resources / subfolder;
    path /= type.empty() ? name : name + "." + type;
    std::error_code ec;
    if (!fs::is_regular_file(path, ec)) return std::nullopt;
    return path;
}

Result<void> Paths::createStandardFolders() const {
    for (const fs::path& dir : {m_home, documents(), library(), caches(), preferences()}) {
        std::error_code ec;
        fs::create_directories(dir, ec);
        if (ec)
            return fileError(kFileErrorCreateFailed, "Cannot create folder (" + ec.message() + ")",
                             dir);
    }
    return {};
}

fs::path Paths::defaultHome() {
    if (std::string home = environment("QUILLPOST_HOME"); !home.empty()) return home;
    if (std::string data = environment("XDG_DATA_HOME"); !data.empty()) {
        return fs::path(data) / "quillpost";
    }
    std::string user = environment("HOME");
    if (user.empty()) user = "/tmp";
    return fs::path(user) / ".local" / "share" / "quillpost";
}

fs::path Paths::installedResources(const fs::path& executableDir) {
    // The full program lives one level deeper, in libexec/quillpost/.
    const fs::path dir = executableDir.lexically_normal();
    const fs::path parent = (dir.has_filename() ? dir : dir.parent_path()).parent_path();
    const bool inLibexec = parent.filename() == "libexec";
    return (inLibexec ? parent.parent_path() : executableDir / "..") / "share" / "quillpost";
}

fs::path Paths::locateResources(const fs::path& executableDir) {
    if (std::string env = environment("QUILLPOST_RESOURCES"); !env.empty()) return env;
    std::error_code ec;
    const fs::path installed = installedResources(executableDir);
    if (!executableDir.empty() && fs::is_directory(installed, ec)) {
        return fs::weakly_canonical(installed, ec);
    }
#ifdef QP_SOURCE_RESOURCES
    return QP_SOURCE_RESOURCES;
#else
    return installed;
#endif
}

std::string Paths::resourcesSearchHint(const fs::path& executableDir) {
    std::string places;
    if (std::string env = environment("QUILLPOST_RESOURCES"); !env.empty()) {
        places = env + " (from $QUILLPOST_RESOURCES)";
    } else {
        places = installedResources(executableDir).lexically_normal().string();
#ifdef QP_SOURCE_RESOURCES
        places += ", then " + std::string(QP_SOURCE_RESOURCES);
#endif
    }
    return "Resources were looked for in " + places +
           ".\nSet QUILLPOST_RESOURCES to the folder that holds categories/, images/ and "
           "layouts/.";
}

fs::path Paths::executableFolder() {
    std::error_code ec;
    const fs::path exe = fs::read_symlink("/proc/self/exe", ec);
    if (!ec) return exe.parent_path();
    return fs::current_path(ec);
}

Result<void> writeFileAtomically(const fs::path& path, std::string_view bytes, FileFlush flush) {
    const fs::path dir = path.has_parent_path() ? path.parent_path() : fs::path(".");
    std::string pattern = (dir / ("." + path.filename().string() + ".XXXXXX")).string();
    const int fd = ::mkstemp(pattern.data());
    if (fd < 0)
        return fileError(kFileErrorCreateFailed,
                         std::string("Cannot create file (") + std::strerror(errno) + ")", path);

    const char* cursor = bytes.data();
    std::size_t left = bytes.size();
    while (left > 0) {
        const ssize_t n = ::write(fd, cursor, left);
        if (n < 0) {
            if (errno == EINTR) continue;
            const int saved = errno;
            ::close(fd);
            ::unlink(pattern.c_str());
            return fileError(kFileErrorWriteFailed,
                             std::string("Cannot write file (") + std::strerror(saved) + ")", path);
        }
        cursor += n;
        left -= static_cast<std::size_t>(n);
    }
    // mkstemp makes the file private; kept files are ordinary user files.
    ::fchmod(fd, 0644);
    if ((flush == FileFlush::BeforeRename && ::fsync(fd) != 0) || ::close(fd) != 0) {
        const int saved = errno;
        ::unlink(pattern.c_str());
        return fileError(kFileErrorWriteFailed,
                         std::string("Cannot flush file (") + std::strerror(saved) + ")", path);
    }
    if (std::rename(pattern.c_str(), path.c_str()) != 0) {
        const int saved = errno;
        ::unlink(pattern.c_str());
        return fileError(kFileErrorReplaceFailed,
                         std::string("Cannot replace file (") + std::strerror(saved) + ")", path);
    }
    return {};
}

Result<std::string> readFile(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) return fileError(kFileErrorOpenFailed, "Cannot open file", path);
    std::ostringstream bytes;
    bytes << in.rdbuf();
    if (in.bad()) return fileError(kFileErrorReadFailed, "Cannot read file", path);
    return bytes.str();
}

Result<fs::path> setAsideCorruptFile(const fs::path& path) {
    for (int n = 1; n < 1000; ++n) {
        fs::path target = path;
        target += ".corrupt-" + std::to_string(n);
        std::error_code ec;
        if (fs::exists(target, ec)) continue;
        fs::rename(path, target, ec);
        if (ec)
            return fileError(kFileErrorSetAsideFailed,
                             "Cannot set aside damaged file (" + ec.message() + ")", path);
        return target;
    }
    return fileError(kFileErrorSetAsideFailed, "Too many damaged copies beside file", path);
}

}  // namespace qp
