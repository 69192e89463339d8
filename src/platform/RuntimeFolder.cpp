#include "platform/RuntimeFolder.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <string>

namespace qp {
namespace {

std::filesystem::path temporaryFolder() {
    const char* tmp = std::getenv("TMPDIR");
    return tmp != nullptr && *tmp == '/' ? std::filesystem::path(tmp) : "/tmp";
}

}  // namespace

bool isPrivateFolder(const std::filesystem::path& folder) {
    struct stat info {};
    if (::lstat(folder.c_str(), &info) != 0) return false;
    return S_ISDIR(info.st_mode) && info.st_uid == ::getuid() && (info.st_mode & 0777) == 0700;
}

std::optional<std::filesystem::path> providePrivateRuntimeFolder() {
    if (const char* existing = std::getenv("XDG_RUNTIME_DIR"); existing != nullptr && *existing) {
        return std::filesystem::path(existing);
    }
    const std::filesystem::path base = temporaryFolder();
    const std::filesystem::path named = base / ("quillpost-runtime-" + std::to_string(::getuid()));
    // mkdir never follows a link planted under the name; an existing entry is
    // used only when it passes the checks.
    if (::mkdir(named.c_str(), 0700) == 0 || (errno == EEXIST && isPrivateFolder(named))) {
        if (isPrivateFolder(named)) {
            ::setenv("XDG_RUNTIME_DIR", named.c_str(), 1);
            return named;
        }
    }
    std::string pattern = (named.string() + "-XXXXXX");
    if (::mkdtemp(pattern.data()) == nullptr) return std::nullopt;
    ::setenv("XDG_RUNTIME_DIR", pattern.c_str(), 1);
    return std::filesystem::path(pattern);
}

}  // namespace qp
