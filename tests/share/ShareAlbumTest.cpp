// The desktop's album folder: new names, whole files, nothing replaced, and
// the completion back on the main thread.

#include <gtest/gtest.h>

#include <QImage>

#include <fstream>
#include <set>
#include <sstream>

#include "share/FolderPhotoAlbum.h"
#include "support/ManualMainQueue.h"
#include "support/TempFolder.h"

namespace qp::test {
namespace {

namespace fs = std::filesystem;

std::string contentsOf(const fs::path& file) {
    std::ifstream in(file, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

std::set<std::string> namesIn(const fs::path& folder) {
    std::set<std::string> names;
    for (const auto& entry : fs::directory_iterator(folder))
        names.insert(entry.path().filename().string());
    return names;
}

TEST(AlbumFolder, ATakenNameGetsTheNextNumberAndTheOldFileStaysAsItWas) {
    TempFolder folder;
    std::ofstream(folder.path() / "shot.png") << "old picture";
    std::ofstream(folder.path() / "shot 2.png") << "older picture";
    Result<fs::path> written = writeNewAlbumFile(folder.path(), "shot", QByteArray("new"));
    ASSERT_TRUE(written.ok()) << written.error().description();
    EXPECT_EQ(*written, folder.path() / "shot 3.png");
    EXPECT_EQ(contentsOf(*written), "new");
    EXPECT_EQ(contentsOf(folder.path() / "shot.png"), "old picture");
    EXPECT_EQ(contentsOf(folder.path() / "shot 2.png"), "older picture");
    // No temporary file is left behind.
    EXPECT_EQ(namesIn(folder.path()),
              (std::set<std::string>{"shot.png", "shot 2.png", "shot 3.png"}));
}

TEST(AlbumFolder, AFolderThatCannotBeMadeIsAnErrorNamingIt) {
    TempFolder home;
    std::ofstream(home.path() / "file") << "not a folder";
    const fs::path folder = home.path() / "file" / "Pictures";
    Result<fs::path> written = writeNewAlbumFile(folder, "shot", QByteArray("new"));
    ASSERT_FALSE(written.ok());
    EXPECT_EQ(written.error().code(), kAlbumErrorFolder);
    EXPECT_NE(written.error().description().find(folder.string()), std::string::npos);
    EXPECT_NE(written.error().description().find("album_folder"), std::string::npos);
}

TEST(AlbumFolder, SavesAreNewPngFilesReportedOnTheMainThread) {
    TempFolder folder;
    ManualMainQueue queue;
    FolderPhotoAlbum album(folder.path() / "Pictures", queue);
    QImage bitmap(612, 612, QImage::Format_RGB32);
    bitmap.fill(Qt::blue);
    std::vector<PhotoAlbum::Outcome> outcomes;
    bool onMain = true;
    for (int i = 0; i < 2; ++i) {
        album.saveImage(Image(bitmap), [&](const PhotoAlbum::Outcome& outcome) {
            onMain = onMain && queue.isMainThread();
            outcomes.push_back(outcome);
        });
    }
    ASSERT_TRUE(queue.runUntil([&] { return outcomes.size() == 2; }));
    EXPECT_TRUE(onMain);
    ASSERT_TRUE(outcomes[0].file && outcomes[1].file);
    EXPECT_NE(*outcomes[0].file, *outcomes[1].file);
    for (const PhotoAlbum::Outcome& outcome : outcomes) {
        QImage read(QString::fromStdString(outcome.file->string()), "PNG");
        EXPECT_EQ(read.size(), QSize(612, 612));
        EXPECT_EQ(read.pixelColor(0, 0), QColor(Qt::blue));
    }
}

TEST(AlbumFolder, AnEmptyImageOrAnUnusableFolderEndsInAnError) {
    TempFolder home;
    std::ofstream(home.path() / "file") << "x";
    ManualMainQueue queue;
    QImage bitmap(4, 4, QImage::Format_RGB32);
    bitmap.fill(Qt::green);
    const std::pair<fs::path, Image> cases[] = {
        {home.path() / "ok", Image()},
        {home.path() / "file" / "sub", Image(bitmap)},
    };
    for (const auto& [folder, image] : cases) {
        FolderPhotoAlbum album(folder, queue);
        std::optional<PhotoAlbum::Outcome> outcome;
        album.saveImage(image, [&](const PhotoAlbum::Outcome& o) { outcome = o; });
        ASSERT_TRUE(queue.runUntil([&] { return outcome.has_value(); }));
        EXPECT_FALSE(outcome->file);
        EXPECT_TRUE(outcome->error);
    }
}

TEST(AlbumFolder, TheConfiguredFolderWinsOverPictures) {
    EXPECT_EQ(albumFolderFor("/srv/photos"), fs::path("/srv/photos"));
    EXPECT_FALSE(albumFolderFor("").empty());
}

}  // namespace
}  // namespace qp::test
