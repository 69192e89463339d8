#pragma once
// An editor screen loaded headless for one device profile, with recording
// doubles for analytics and settings, a manual main queue and a photo
// library folder of the test's own.

#include <filesystem>
#include <memory>
#include <string>

#include "editor/ui/QuillpostVC.h"
#include "platform/AppState.h"
#include "platform/DeviceProfile.h"
#include "share/SharePopupVC.h"
#include "support/TestAppServices.h"
#include "support/TestPhotos.h"

namespace qp::test {

inline std::string layoutFor(const DeviceProfile& device) {
    if (device.isPad()) return "QuillpostVC_iPad";
    return device.screenSize.height > 480 ? "QuillpostVC_iPhone40" : "QuillpostVC_iPhone";
}

struct EditorFixture : TestAppServices {
    explicit EditorFixture(const std::string& deviceName = "iphone",
                           std::filesystem::path resources = QP_RESOURCES)
        : TestAppServices(deviceName, std::move(resources)), context(TestAppServices::context()) {
        context.state = &state;
        context.makeShareSheet = [](const std::string& layout, const Image& image) {
            auto sheet = std::make_shared<SharePopupVC>(layout);
            sheet->setTheShareImage(image);
            return std::shared_ptr<ViewController>(sheet);
        };
        editor = std::make_shared<QuillpostVC>(layoutFor(device), context);
        editor->setPhotoChooser(
            [this](QWidget*,
                   const std::filesystem::path& folder) -> std::optional<std::filesystem::path> {
                ++pickerOpened;
                pickerFolder = folder;
                if (chosenPhoto.empty()) return std::nullopt;
                return chosenPhoto;
            });
    }

    // A photo of `width` × `height` in the library, left half red, right half blue.
    std::filesystem::path writePhoto(const std::string& name, int width, int height) {
        const std::filesystem::path path = library() / name;
        writeRedBluePhoto(path, width, height);
        return path;
    }

    QuillpostVC& load() {
        editor->view();
        return *editor;
    }

    AppState state;
    AppContext context;
    std::shared_ptr<QuillpostVC> editor;
    std::filesystem::path chosenPhoto;
    std::filesystem::path pickerFolder;
    int pickerOpened = 0;
};

}  // namespace qp::test
