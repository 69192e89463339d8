// The desktop ends of the photo-app hand-off and of the tweet: the programs
// registered in a throwaway XDG data folder, the copy and its caption handed
// to a fake handler, the scheme test through xdg-mime, and the tweet's web
// intent with the image kept in the album folder.

#include <gtest/gtest.h>

#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>

#include <cstdlib>
#include <fstream>
#include <optional>

#include <sys/stat.h>

#include "ShareFixture.h"
#include "platform/qt/DesktopUrlOpener.h"
#include "share/DesktopTweetPublisher.h"
#include "share/FolderPhotoAlbum.h"
#include "share/XdgDocumentInteraction.h"

namespace qp::test {
namespace {

namespace fs = std::filesystem;

// Sets environment variables for the life of the object.
class ScopedVariables {
public:
    explicit ScopedVariables(const std::map<std::string, std::string>& values) {
        for (const auto& [name, value] : values) {
            const char* old = std::getenv(name.c_str());
            m_old.emplace(name, old ? std::optional<std::string>(old) : std::nullopt);
            ::setenv(name.c_str(), value.c_str(), 1);
        }
    }
    ~ScopedVariables() {
        for (const auto& [name, value] : m_old) {
            if (value) {
                ::setenv(name.c_str(), value->c_str(), 1);
            } else {
                ::unsetenv(name.c_str());
            }
        }
    }

private:
    std::map<std::string, std::optional<std::string>> m_old;
};

void writeDesktopFile(const fs::path& file, const std::string& body) {
    fs::create_directories(file.parent_path());
    std::ofstream(file) << "[Desktop Entry]\nType=Application\n" << body;
}

std::string contentsOf(const fs::path& file) {
    std::ifstream in(file, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

TEST(ShareHandOff, ProgramsAreFoundByMimeTypeEarlierFoldersWinHiddenOnesAreLeftOut) {
    TempFolder data;
    const fs::path home = data.path() / "home", system = data.path() / "system";
    writeDesktopFile(home / "photoapp.desktop",
                     "Name=Photo App\nExec=photoapp %f\nMimeType=image/png;"
                     "image/x-instagram-exclusivegram;\n");
    writeDesktopFile(
        system / "photoapp.desktop",
        "Name=Old Photo App\nExec=old %f\nMimeType=image/x-instagram-exclusivegram;\n");
    writeDesktopFile(
        system / "vendor/album.desktop",
        "Name=Album\nExec=album --open %U\nMimeType=image/x-instagram-exclusivegram\n");
    writeDesktopFile(
        system / "gone.desktop",
        "Name=Gone\nHidden=true\nExec=gone\nMimeType=image/x-instagram-exclusivegram;\n");
    writeDesktopFile(system / "viewer.desktop", "Name=Viewer\nExec=viewer\nMimeType=image/png;\n");

    const std::string type = mimeTypeForUTI("com.instagram.exclusivegram");
    EXPECT_EQ(type, "image/x-instagram-exclusivegram");
    const auto found = applicationsForMimeType(type, {home, system});
    ASSERT_EQ(found.size(), 2u);
    EXPECT_EQ(found[0].name, "Album");
    EXPECT_EQ(found[0].id, "vendor-album.desktop");
    EXPECT_EQ(found[1].name, "Photo App");
    EXPECT_EQ(found[1].exec, "photoapp %f");
    EXPECT_EQ(mimeTypeForUTI("org.unknown"), "application/octet-stream");
}

TEST(ShareHandOff, FieldCodesBecomeTheFileAndQuotedWordsStayWhole) {
    const fs::path file = "/tmp/a b/savedImage.igo";
    const std::pair<std::string, std::vector<std::string>> cases[] = {
        {"photoapp %f", {"photoapp", file.string()}},
        {"\"/opt/Photo App/run\" --caption-file %u %i",
         {"/opt/Photo App/run", "--caption-file", file.string()}},
        {"tool --open=%f 100%%", {"tool", "--open=" + file.string(), "100%"}},
        {"viewer", {"viewer"}},
    };
    for (const auto& [exec, command] : cases) {
        EXPECT_EQ(commandForFile({"x.desktop", "X", exec}, file), command) << exec;
    }
}

struct HandOffRecorder : DocumentInteractionControllerDelegate {
    void documentInteractionControllerWillBeginSendingToApplication(
        DocumentInteractionController&, const std::string& application) override {
        steps.push_back("will " + application);
    }
    void documentInteractionControllerDidEndSendingToApplication(
        DocumentInteractionController&, const std::string& application) override {
        steps.push_back("did " + application);
    }
    void documentInteractionControllerDidDismissOpenInMenu(
        DocumentInteractionController&) override {
        steps.push_back("dismissed");
    }
    std::vector<std::string> steps;
};

TEST(ShareHandOff, TheChosenProgramGetsACopyWithItsCaptionBesideIt) {
    TempFolder folder;
    const fs::path received = folder.path() / "received";
    fs::create_directories(received);
    // The fake photo app copies what it is given, and the caption file beside it.
    const fs::path handler = folder.path() / "photoapp.sh";
    std::ofstream(handler) << "#!/bin/sh\ncp \"$1\" \"$1.annotation.json\" " << received << "/\n";
    ::chmod(handler.c_str(), 0700);
    writeDesktopFile(folder.path() / "data/applications/photoapp.desktop",
                     "Name=Photo App\nExec=" + handler.string() +
                         " %f\nMimeType=image/x-instagram-exclusivegram;\n");
    ScopedVariables xdg({{"XDG_DATA_HOME", (folder.path() / "data").string()},
                         {"XDG_DATA_DIRS", (folder.path() / "none").string()}});
    const fs::path file = folder.path() / "Documents/savedImage.igo";
    fs::create_directories(file.parent_path());
    std::ofstream(file) << "jpeg bytes";

    std::vector<std::string> offered;
    XdgDocumentInteractionService service(
        folder.path() / "OpenIn",
        [&](const std::vector<DesktopApplication>& apps, QWidget*,
            std::function<void(std::optional<std::size_t>)> chosen) {
            for (const DesktopApplication& app : apps) offered.push_back(app.name);
            chosen(0);
        },
        [](const std::vector<std::string>& command) {
            QStringList arguments;
            for (std::size_t i = 1; i < command.size(); ++i)
                arguments << QString::fromStdString(command[i]);
            return QProcess::execute(QString::fromStdString(command[0]), arguments) == 0;
        });
    auto controller = service.interactionControllerWithURL(file);
    HandOffRecorder recorder;
    controller->setDelegate(&recorder);
    controller->setUTI("com.instagram.exclusivegram");
    controller->setAnnotation({{"InstagramCaption", "(Made with #Vantora)"}});
    ASSERT_TRUE(controller->presentOpenInMenuFromRectInView(nullptr, true));

    EXPECT_EQ(offered, std::vector<std::string>{"Photo App"});
    EXPECT_EQ(recorder.steps, (std::vector<std::string>{"will photoapp.desktop",
                                                        "did photoapp.desktop", "dismissed"}));
    EXPECT_EQ(contentsOf(received / "savedImage.igo"), "jpeg bytes");
    const QJsonObject caption =
        QJsonDocument::fromJson(
            QByteArray::fromStdString(contentsOf(received / "savedImage.igo.annotation.json")))
            .object();
    EXPECT_EQ(caption["InstagramCaption"].toString(), "(Made with #Vantora)");
    // The original stays where the editor wrote it.
    EXPECT_EQ(contentsOf(file), "jpeg bytes");
}

TEST(ShareHandOff, NoProgramForTheTypeOpensNoMenuAndAClosedMenuOnlyDismisses) {
    TempFolder folder;
    ScopedVariables xdg({{"XDG_DATA_HOME", (folder.path() / "data").string()},
                         {"XDG_DATA_DIRS", (folder.path() / "none").string()}});
    int menus = 0;
    XdgDocumentInteractionService service(
        folder.path() / "OpenIn",
        [&](const std::vector<DesktopApplication>&, QWidget*,
            std::function<void(std::optional<std::size_t>)> chosen) {
            ++menus;
            chosen(std::nullopt);
        },
        [](const std::vector<std::string>&) { return true; });
    auto controller = service.interactionControllerWithURL(folder.path() / "savedImage.igo");
    HandOffRecorder recorder;
    controller->setDelegate(&recorder);
    controller->setUTI("com.instagram.exclusivegram");
    EXPECT_FALSE(controller->presentOpenInMenuFromRectInView(nullptr, true));
    EXPECT_EQ(menus, 0);

    writeDesktopFile(folder.path() / "data/applications/photoapp.desktop",
                     "Name=Photo App\nExec=true %f\nMimeType=image/x-instagram-exclusivegram;\n");
    EXPECT_TRUE(controller->presentOpenInMenuFromRectInView(nullptr, true));
    EXPECT_EQ(recorder.steps, std::vector<std::string>{"dismissed"});
}

TEST(ShareHandOff, ThePhotoAppCountsAsInstalledOnlyWithAHandlerForItsScheme) {
    TempFolder folder;
    ScopedVariables xdg({{"XDG_DATA_HOME", (folder.path() / "data").string()},
                         {"XDG_CONFIG_HOME", (folder.path() / "config").string()},
                         {"XDG_DATA_DIRS", (folder.path() / "none").string()}});
    DesktopUrlOpener opener;
    EXPECT_FALSE(opener.canOpenURL(kInstagramAppURL));
    writeDesktopFile(folder.path() / "data/applications/photoapp.desktop",
                     "Name=Photo App\nExec=true %u\nMimeType=x-scheme-handler/instagram;\n");
    fs::create_directories(folder.path() / "config");
    std::ofstream(folder.path() / "config/mimeapps.list")
        << "[Default Applications]\nx-scheme-handler/instagram=photoapp.desktop\n";
    EXPECT_TRUE(opener.canOpenURL(kInstagramAppURL));
}

TEST(ShareTweet, TheIntentCarriesTheTextAndTheImageIsKeptInTheAlbumFolder) {
    TempFolder folder;
    ManualMainQueue queue;
    RecordingUrlOpener opener;
    opener.openableSchemes = {"https"};
    FolderPhotoAlbum album(folder.path() / "Pictures", queue);
    DesktopTweetPublisher tweets(opener, album);
    std::optional<std::string> note;
    tweets.publish("#Vantora now & then", squareImage(), [&](const std::string& n) { note = n; });
    ASSERT_TRUE(queue.runUntil([&] { return note.has_value(); }));
    EXPECT_EQ(opener.opened,
              std::vector<std::string>{
                  "https://twitter.com/intent/tweet?text=%23Vantora%20now%20%26%20then"});
    std::vector<fs::path> saved;
    for (const auto& entry : fs::directory_iterator(folder.path() / "Pictures"))
        saved.push_back(entry.path());
    ASSERT_EQ(saved.size(), 1u);
    EXPECT_NE(note->find(saved[0].string()), std::string::npos);
    EXPECT_NE(note->find("browser"), std::string::npos);
}

TEST(ShareTweet, AnUnsavableImageIsSaidButTheIntentStillOpens) {
    TempFolder folder;
    std::ofstream(folder.path() / "file") << "x";
    ManualMainQueue queue;
    RecordingUrlOpener opener;
    opener.openableSchemes = {"https"};
    FolderPhotoAlbum album(folder.path() / "file" / "Pictures", queue);
    DesktopTweetPublisher tweets(opener, album);
    std::optional<std::string> note;
    tweets.publish("#Vantora", squareImage(), [&](const std::string& n) { note = n; });
    ASSERT_TRUE(queue.runUntil([&] { return note.has_value(); }));
    EXPECT_EQ(opener.opened.size(), 1u);
    EXPECT_NE(note->find("could not be saved"), std::string::npos);
}

}  // namespace
}  // namespace qp::test
