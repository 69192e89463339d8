#pragma once
// The open-in menu on a Linux desktop. The document type (a UTI) is mapped to
// a MIME type and the desktop's applications registered for it are read from
// the .desktop files under $XDG_DATA_HOME and $XDG_DATA_DIRS. The chosen one
// is started on a copy of the file, in a folder of its own under the
// hand-off folder; the annotation travels beside it as
// "<file name>.annotation.json", a JSON object of strings.

#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "platform/Result.h"
#include "share/DocumentInteraction.h"

namespace qp {

struct DesktopApplication {
    std::string id;    // the desktop file's id, e.g. "photoapp.desktop"
    std::string name;  // what the menu shows
    std::string exec;  // the Exec line with its field codes
};

// "com.instagram.exclusivegram" → "image/x-instagram-exclusivegram"; the
// public image types to their MIME types; anything else
// "application/octet-stream".
std::string mimeTypeForUTI(const std::string& uti);

// The folders holding applications: $XDG_DATA_HOME (or ~/.local/share) then
// each of $XDG_DATA_DIRS (or /usr/local/share:/usr/share), each + "/applications".
std::vector<std::filesystem::path> applicationFolders();

// The applications under `folders` whose MimeType lists `mimeType`, sorted by
// name; a desktop file id found in an earlier folder hides later ones, and
// hidden entries are left out.
std::vector<DesktopApplication> applicationsForMimeType(
    const std::string& mimeType, const std::vector<std::filesystem::path>& folders);

// The program and arguments of `application` opening `file`: %f %F %u %U
// become the file, %% a percent sign, other field codes are dropped.
std::vector<std::string> commandForFile(const DesktopApplication& application,
                                        const std::filesystem::path& file);

// Copies `file` into a new folder under `handOffFolder` and writes the
// annotation beside it; answers the copy's path.
Result<std::filesystem::path> prepareHandOff(const std::filesystem::path& file,
                                             const DocumentAnnotation& annotation,
                                             const std::filesystem::path& handOffFolder);

class XdgDocumentInteractionService final : public DocumentInteractionService {
public:
    // Shows the applications and reports the chosen index, or none when the
    // menu closed without a choice. The default is a popup menu over `view`.
    using Chooser =
        std::function<void(const std::vector<DesktopApplication>& applications, QWidget* view,
                           std::function<void(std::optional<std::size_t>)> chosen)>;
    // Starts a command; false when it could not be started. The default
    // starts it detached.
    using Launcher = std::function<bool(const std::vector<std::string>& command)>;

    explicit XdgDocumentInteractionService(std::filesystem::path handOffFolder,
                                           Chooser chooser = {}, Launcher launcher = {});

    std::unique_ptr<DocumentInteractionController> interactionControllerWithURL(
        const std::filesystem::path& file) override;

    static void popupMenu(const std::vector<DesktopApplication>& applications, QWidget* view,
                          std::function<void(std::optional<std::size_t>)> chosen);
    static bool startDetached(const std::vector<std::string>& command);

private:
    std::filesystem::path m_handOffFolder;
    Chooser m_chooser;
    Launcher m_launcher;
};

}  // namespace qp
