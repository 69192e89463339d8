#pragma once
// Where the app keeps its files: the app home with Documents/, Library/ and
// Library/Caches/, the resources folder, the photo library and album folders.

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

#include "platform/Result.h"

namespace qp {

class Paths {
public:
    // `home` is created with its standard subfolders when missing.
    Paths(std::filesystem::path home, std::filesystem::path resources);

    const std::filesystem::path& home() const { return m_home; }
    std::filesystem::path documents() const { return m_home / "Documents"; }
    std::filesystem::path library() const { return m_home / "Library"; }
    std::filesystem::path caches() const { return m_home / "Library" / "Caches"; }
    std::filesystem::path preferences() const { return m_home / "Library" / "Preferences"; }
    const std::filesystem::path& resources() const { return m_resources; }

    // A file shipped with the app: `name` + "." + `type` under resources/, or
    // under resources/<subfolder>/ when given; nullopt when it is not there.
    std::optional<std::filesystem::path> pathForResource(const std::string& name,
                                                         const std::string& type,
                                                         const std::string& subfolder = {}) const;

    // Creates home, Documents, Library, Library/Caches and Library/Preferences.
    Result<void> createStandardFolders() const;

    // The default app home: $QUILLPOST_HOME, else $XDG_DATA_HOME/quillpost,
    // else ~/.local/share/quillpost.
    static std::filesystem::path defaultHome();

    // The resources folder, first of: $QUILLPOST_RESOURCES, the installed
    // share/quillpost of the prefix the executable sits in (bin/ or
    // libexec/quillpost/), the source tree's resources/ recorded at build time.
    static std::filesystem::path locateResources(const std::filesystem::path& executableDir);
    // Where an installed executable in `executableDir` keeps its resources:
    // <prefix>/share/quillpost for <prefix>/bin and <prefix>/libexec/quillpost.
    static std::filesystem::path installedResources(const std::filesystem::path& executableDir);
    // Says where locateResources looked and how to point it elsewhere, for
    // messages about resources that are not there.
    static std::string resourcesSearchHint(const std::filesystem::path& executableDir);
    // The folder of the running executable (the working folder if unknown).
    static std::filesystem::path executableFolder();

private:
    std::filesystem::path m_home;
    std::filesystem::path m_resources;
};

inline constexpr const char* kFileErrorDomain = "qp.file";
enum FileErrorCode {
    kFileErrorCreateFailed = 1,   // a folder or the temporary file could not be made
    kFileErrorWriteFailed = 2,    // writing or flushing failed (a full disk, say)
    kFileErrorReplaceFailed = 3,  // the finished file could not take the name
    kFileErrorOpenFailed = 4,
    kFileErrorReadFailed = 5,
    kFileErrorSetAsideFailed = 6,
};

// Whether a new file's bytes reach the disk before it takes its name. A
// file made afresh for every use and kept for none (the share's hand-off
// file) need not wait for the disk, which on a busy one takes milliseconds
// to tens of them; a crash may then leave it empty, never half-written.
enum class FileFlush { BeforeRename, None };

// Writes `bytes` to `path` atomically: a temporary file in the same folder,
// flushed to disk (unless told otherwise), then renamed over the target, so
// readers see the old file or the new, never half. The folder must exist.
Result<void> writeFileAtomically(const std::filesystem::path& path, std::string_view bytes,
                                 FileFlush flush = FileFlush::BeforeRename);

// Reads a whole file.
Result<std::string> readFile(const std::filesystem::path& path);

// Moves a damaged file aside as "<name>.corrupt-<n>" so it is kept for a look
// but no longer read; answers the new path.
Result<std::filesystem::path> setAsideCorruptFile(const std::filesystem::path& path);

}  // namespace qp
