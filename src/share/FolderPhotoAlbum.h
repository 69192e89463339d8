#pragma once
// The desktop's photo album: a folder (the configured one, else the user's
// Pictures folder). Each save writes a PNG on a worker thread under a new
// name, atomically, and never replaces a file already there.

#include <QByteArray>

#include <filesystem>
#include <mutex>
#include <string_view>
#include <thread>
#include <vector>

#include "platform/MainQueue.h"
#include "platform/Result.h"
#include "share/PhotoAlbum.h"

namespace qp {

inline constexpr const char* kAlbumErrorDomain = "qp.album";
enum AlbumErrorCode {
    kAlbumErrorNoImage = 1,
    kAlbumErrorFolder = 2,  // cannot be made or written to
    kAlbumErrorWrite = 3,   // writing failed (a full disk, say)
    kAlbumErrorNoName = 4,  // every candidate name is taken
};

// The album folder: `configured` when not empty, else the desktop's Pictures
// folder, else ~/Pictures.
std::filesystem::path albumFolderFor(const std::string& configured);

// Writes `bytes` into `folder` as "<stem>.png", "<stem> 2.png", ... under the
// first name not taken. The file appears whole or not at all; an existing
// file is never touched. Answers the new file's path.
Result<std::filesystem::path> writeNewAlbumFile(const std::filesystem::path& folder,
                                                std::string_view stem, const QByteArray& bytes);

class FolderPhotoAlbum final : public PhotoAlbum {
public:
    FolderPhotoAlbum(std::filesystem::path folder, MainQueue& mainQueue);
    // Waits for saves still writing; their completions are still posted.
    ~FolderPhotoAlbum() override;
    FolderPhotoAlbum(const FolderPhotoAlbum&) = delete;
    FolderPhotoAlbum& operator=(const FolderPhotoAlbum&) = delete;

    void saveImage(const Image& image, Completion completion) override;
    std::filesystem::path folder() const override { return m_folder; }

    // Waits until every save started so far has written (tests).
    void waitForSaves();

private:
    std::filesystem::path m_folder;
    MainQueue& m_mainQueue;
    std::mutex m_mutex;
    std::vector<std::thread> m_workers;
};

}  // namespace qp
