#include "share/XdgDocumentInteraction.h"

#include <QAction>
#include <QCoreApplication>
#include <QJsonDocument>
#include <QJsonObject>
#include <QMenu>
#include <QPointer>
#include <QProcess>
#include <QTemporaryDir>
#include <QWidget>

#include <algorithm>
#include <cstdlib>
#include <fstream>
#include <map>
#include <memory>
#include <set>
#include <sstream>

#include "platform/Log.h"
#include "platform/Paths.h"

namespace qp {

namespace fs = std::filesystem;

namespace {

constexpr const char* kHandOffErrorDomain = "qp.handoff";

std::vector<std::string> split(const std::string& text, char separator) {
    std::vector<std::string> pieces;
    std::string piece;
    std::istringstream in(text);
    while (std::getline(in, piece, separator)) {
        if (!piece.empty()) pieces.push_back(piece);
    }
    return pieces;
}

// The [Desktop Entry] group's keys (no locale variants).
std::map<std::string, std::string> readDesktopEntry(const fs::path& file) {
    std::map<std::string, std::string> keys;
    std::ifstream in(file);
    std::string line;
    bool inEntry = false;
    while (std::getline(in, line)) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        if (line.empty() || line[0] == '#') continue;
        if (line[0] == '[') {
            inEntry = line == "[Desktop Entry]";
            continue;
        }
        if (!inEntry) continue;
        const std::size_t equals = line.find('=');
        if (equals == std::string::npos) continue;
        std::string key = line.substr(0, equals);
        while (!key.empty() && key.back() == ' ') key.pop_back();
        std::size_t start = equals + 1;
        while (start < line.size() && line[start] == ' ') ++start;
        keys.emplace(key, line.substr(start));
    }
    return keys;
}

// Splits an Exec line into words, honouring double quotes and backslashes.
std::vector<std::string> execWords(const std::string& exec) {
    std::vector<std::string> words;
    std::string word;
    bool quoted = false;
    bool inWord = false;
    for (std::size_t i = 0; i < exec.size(); ++i) {
        const char c = exec[i];
        if (quoted && c == '\\' && i + 1 < exec.size()) {
            word += exec[++i];
        } else if (c == '"') {
            quoted = !quoted;
            inWord = true;
        } else if (c == ' ' && !quoted) {
            if (inWord) words.push_back(word);
            word.clear();
            inWord = false;
        } else {
            word += c;
            inWord = true;
        }
    }
    if (inWord) words.push_back(word);
    return words;
}

// Keeps the controller's callbacks from reaching it once it is gone.
class XdgDocumentInteractionController final : public DocumentInteractionController {
public:
    XdgDocumentInteractionController(fs::path file, fs::path handOffFolder,
                                     XdgDocumentInteractionService::Chooser chooser,
                                     XdgDocumentInteractionService::Launcher launcher)
        : DocumentInteractionController(std::move(file)),
          m_handOffFolder(std::move(handOffFolder)),
          m_chooser(std::move(chooser)),
          m_launcher(std::move(launcher)) {}

    bool presentOpenInMenuFromRectInView(QWidget* view, bool) override {
        m_applications = applicationsForMimeType(mimeTypeForUTI(uti()), applicationFolders());
        if (m_applications.empty()) {
            logf("No application takes {} files", mimeTypeForUTI(uti()));
            return false;
        }
        std::weak_ptr<bool> alive = m_alive;
        m_chooser(m_applications, view, [this, alive](std::optional<std::size_t> index) {
            if (alive.expired()) return;
            if (index && *index < m_applications.size()) sendTo(m_applications[*index]);
            if (!alive.expired() && delegate())
                delegate()->documentInteractionControllerDidDismissOpenInMenu(*this);
        });
        return true;
    }

private:
    void sendTo(const DesktopApplication& application) {
        if (delegate())
            delegate()->documentInteractionControllerWillBeginSendingToApplication(*this,
                                                                                   application.id);
        Result<fs::path> copy = prepareHandOff(file(), annotation(), m_handOffFolder);
        if (!copy.ok()) {
            logf("Open in {}: {}", application.name, copy.error().description());
            return;
        }
        if (!m_launcher(commandForFile(application, *copy))) {
            logf("Open in {}: the program could not be started", application.name);
            return;
        }
        if (delegate())
            delegate()->documentInteractionControllerDidEndSendingToApplication(*this,
                                                                                application.id);
    }

    fs::path m_handOffFolder;
    XdgDocumentInteractionService::Chooser m_chooser;
    XdgDocumentInteractionService::Launcher m_launcher;
    std::vector<DesktopApplication> m_applications;
    std::shared_ptr<bool> m_alive = std::make_shared<bool>(true);
};

}  // namespace

std::string mimeTypeForUTI(const std::string& uti) {
    static const std::map<std::string, std::string> types = {
        {"com.instagram.exclusivegram", "image/x-instagram-exclusivegram"},
        {"com.instagram.photo", "image/jpeg"},
        {"public.jpeg", "image/jpeg"},
        {"public.png", "image/png"},
    };
    auto it = types.find(uti);
    return it == types.end() ? "application/octet-stream" : it->second;
}

std::vector<fs::path> applicationFolders() {
    std::vector<fs::path> folders;
    const char* dataHome = std::getenv("XDG_DATA_HOME");
    const char* home = std::getenv("HOME");
    if (dataHome && *dataHome) {
        folders.push_back(fs::path(dataHome) / "applications");
    } else if (home) {
        folders.push_back(fs::path(home) / ".local/share/applications");
    }
    const char* dataDirs = std::getenv("XDG_DATA_DIRS");
    const std::string dirs = dataDirs && *dataDirs ? dataDirs : "/usr/local/share:/usr/share";
    for (const std::string& dir : split(dirs, ':'))
        folders.push_back(fs::path(dir) / "applications");
    return folders;
}

std::vector<DesktopApplication> applicationsForMimeType(const std::string& mimeType,
                                                        const std::vector<fs::path>& folders) {
    std::vector<DesktopApplication> found;
    std::set<std::string> seen;
    for (const fs::path& folder : folders) {
        std::error_code ec;
        for (fs::recursive_directory_iterator it(folder, ec), end; !ec && it != end;
             it.increment(ec)) {
            if (!it->is_regular_file(ec) || it->path().extension() != ".desktop") continue;
            std::string id = fs::relative(it->path(), folder, ec).string();
            std::replace(id.begin(), id.end(), '/', '-');
            if (!seen.insert(id).second) continue;
            const auto keys = readDesktopEntry(it->path());
            auto value = [&keys](const char* key) {
                auto found = keys.find(key);
                return found == keys.end() ? std::string() : found->second;
            };
            if (value("Hidden") == "true" || value("Exec").empty()) continue;
            const std::vector<std::string> types = split(value("MimeType"), ';');
            if (std::find(types.begin(), types.end(), mimeType) == types.end()) continue;
            found.push_back({id, value("Name").empty() ? id : value("Name"), value("Exec")});
        }
    }
    std::sort(
        found.begin(), found.end(),
        [](const DesktopApplication& a, const DesktopApplication& b) { return a.name < b.name; });
    return found;
}

std::vector<std::string> commandForFile(const DesktopApplication& application,
                                        const fs::path& file) {
    std::vector<std::string> command;
    for (const std::string& word : execWords(application.exec)) {
        if (word == "%f" || word == "%F" || word == "%u" || word == "%U") {
            command.push_back(file.string());
            continue;
        }
        std::string out;
        bool dropped = false;
        for (std::size_t i = 0; i < word.size(); ++i) {
            if (word[i] == '%' && i + 1 < word.size()) {
                const char code = word[++i];
                if (code == '%') {
                    out += '%';
                } else if (code == 'f' || code == 'F' || code == 'u' || code == 'U') {
                    out += file.string();
                } else {
                    dropped = true;
                }
            } else {
                out += word[i];
            }
        }
        if (!out.empty() || !dropped) command.push_back(out);
    }
    return command;
}

Result<fs::path> prepareHandOff(const fs::path& file, const DocumentAnnotation& annotation,
                                const fs::path& handOffFolder) {
    auto failure = [](const std::string& what) {
        return Error(kHandOffErrorDomain, 1, {{kLocalizedDescriptionKey, what}});
    };
    std::error_code ec;
    fs::create_directories(handOffFolder, ec);
    QTemporaryDir folder(QString::fromStdString((handOffFolder / "open-in-XXXXXX").string()));
    folder.setAutoRemove(false);
    if (!folder.isValid()) {
        return failure("Cannot make a hand-off folder in " + handOffFolder.string());
    }
    const fs::path copy = fs::path(folder.path().toStdString()) / file.filename();
    if (!fs::copy_file(file, copy, ec)) {
        return failure("Cannot copy " + file.string() + ": " + ec.message());
    }
    QJsonObject object;
    for (const auto& [key, value] : annotation)
        object.insert(QString::fromStdString(key), QString::fromStdString(value));
    const QByteArray json = QJsonDocument(object).toJson(QJsonDocument::Compact);
    fs::path sidecar = copy;
    sidecar += ".annotation.json";
    if (Result<void> written = writeFileAtomically(sidecar, json.toStdString()); !written.ok())
        return written.error();
    return copy;
}

XdgDocumentInteractionService::XdgDocumentInteractionService(fs::path handOffFolder,
                                                             Chooser chooser, Launcher launcher)
    : m_handOffFolder(std::move(handOffFolder)),
      m_chooser(chooser ? std::move(chooser) : Chooser(popupMenu)),
      m_launcher(launcher ? std::move(launcher) : Launcher(startDetached)) {}

std::unique_ptr<DocumentInteractionController>
XdgDocumentInteractionService::interactionControllerWithURL(const fs::path& file) {
    return std::make_unique<XdgDocumentInteractionController>(file, m_handOffFolder, m_chooser,
                                                              m_launcher);
}

void XdgDocumentInteractionService::popupMenu(
    const std::vector<DesktopApplication>& applications, QWidget* view,
    std::function<void(std::optional<std::size_t>)> chosen) {
    auto* menu = new QMenu(view);
    menu->setAttribute(Qt::WA_DeleteOnClose);
    auto picked = std::make_shared<std::optional<std::size_t>>();
    for (std::size_t i = 0; i < applications.size(); ++i) {
        QAction* action = menu->addAction(QString::fromStdString(applications[i].name));
        QObject::connect(action, &QAction::triggered, menu, [picked, i] { *picked = i; });
    }
    // The menu hides before its action triggers: report once the loop turns.
    QObject::connect(menu, &QMenu::aboutToHide, menu, [picked, chosen] {
        QMetaObject::invokeMethod(
            QCoreApplication::instance(), [picked, chosen] { chosen(*picked); },
            Qt::QueuedConnection);
    });
    menu->popup(view ? view->mapToGlobal(QPoint(0, 0)) : QPoint(0, 0));
}

bool XdgDocumentInteractionService::startDetached(const std::vector<std::string>& command) {
    if (command.empty()) return false;
    QStringList arguments;
    for (std::size_t i = 1; i < command.size(); ++i)
        arguments << QString::fromStdString(command[i]);
    return QProcess::startDetached(QString::fromStdString(command[0]), arguments);
}

}  // namespace qp
