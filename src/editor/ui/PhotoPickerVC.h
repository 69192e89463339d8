#pragma once
// The photo picker: the photo library folder's pictures as thumbnails,
// newest first, with a cancel button. Thumbnails are made on a worker
// thread and handed to the main queue as they come in.

#include <atomic>
#include <filesystem>
#include <thread>
#include <vector>

#include "platform/MainQueue.h"
#include "platform/ui/ViewController.h"

namespace qp {

class Button;
class PhotoPickerVC;

inline constexpr int kPickerThumbnailSide = 96;

class PhotoPickerDelegate {
public:
    virtual ~PhotoPickerDelegate() = default;
    virtual void imagePickerControllerDidFinishPicking(PhotoPickerVC& picker,
                                                       const std::filesystem::path& photo) = 0;
    virtual void imagePickerControllerDidCancel(PhotoPickerVC& picker) = 0;
};

// The pictures in `folder` (not its subfolders), newest first; names break
// ties so the order is stable.
std::vector<std::filesystem::path> photosNewestFirst(const std::filesystem::path& folder);

class PhotoPickerVC : public ViewController {
public:
    // `queue` carries thumbnails back to the main thread; without one they
    // are made at once.
    PhotoPickerVC(std::filesystem::path folder, MainQueue* queue);
    ~PhotoPickerVC() override;

    PhotoPickerDelegate* delegate() const { return m_delegate; }
    void setDelegate(PhotoPickerDelegate* delegate) { m_delegate = delegate; }

    const std::vector<std::filesystem::path>& photos() const { return m_photos; }
    // The thumbnail button of photo `index`, once the view is loaded.
    Button* photoButton(std::size_t index) const;
    void pickPhoto(std::size_t index);
    void cancel();
    // Stops the thumbnail worker and waits for it.
    void stopThumbnails();
    // Asks the worker to stop after the thumbnail in hand, without waiting.
    void requestStopThumbnails() { m_stop = true; }

protected:
    QWidget* makeView() override;
    std::map<std::string, Action> actions() override;

private:
    std::filesystem::path m_folder;
    MainQueue* m_queue;
    PhotoPickerDelegate* m_delegate = nullptr;
    std::vector<std::filesystem::path> m_photos;
    std::vector<Button*> m_buttons;
    std::atomic<bool> m_stop{false};
    std::thread m_worker;
};

}  // namespace qp
