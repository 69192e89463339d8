#include "editor/ui/PhotoPickerVC.h"

#include <QImage>
#include <QPixmap>
#include <QPushButton>

#include <algorithm>
#include <memory>

#include "imaging/PhotoIO.h"
#include "platform/ui/Button.h"
#include "platform/ui/ScrollView.h"
#include "platform/ui/ViewFrame.h"

namespace qp {

namespace {

constexpr double kGap = 6;
constexpr double kCancelHeight = 36;
constexpr const char* kCancelTitle = "Cancel";

bool isPicture(const std::filesystem::path& path) {
    std::string ext = path.extension().string();
    std::transform(ext.begin(), ext.end(), ext.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    for (const char* known : {".jpg", ".jpeg", ".png", ".bmp", ".gif", ".heic", ".heif", ".hif"}) {
        if (ext == known) return true;
    }
    return false;
}

// Decoded shrunk where the format allows it, so a large photo costs little,
// and read as the editor reads photos: by content, within the file limits.
QImage makeThumbnail(const std::filesystem::path& path) {
    Result<Image> thumbnail = readPhotoThumbnail(path.string(), kPickerThumbnailSide);
    if (!thumbnail) return {};
    std::optional<Image> upright = thumbnail->fixOrientation();
    return upright ? upright->bitmap() : QImage();
}

}  // namespace

std::vector<std::filesystem::path> photosNewestFirst(const std::filesystem::path& folder) {
    struct Entry {
        std::filesystem::path path;
        std::filesystem::file_time_type time;
    };
    std::vector<Entry> entries;
    std::error_code error;
    for (const auto& entry : std::filesystem::directory_iterator(folder, error)) {
        if (!entry.is_regular_file(error) || !isPicture(entry.path())) continue;
        entries.push_back({entry.path(), entry.last_write_time(error)});
    }
    std::sort(entries.begin(), entries.end(), [](const Entry& a, const Entry& b) {
        if (a.time != b.time) return a.time > b.time;
        return a.path.filename() < b.path.filename();
    });
    std::vector<std::filesystem::path> photos;
    for (auto& e : entries) photos.push_back(std::move(e.path));
    return photos;
}

PhotoPickerVC::PhotoPickerVC(std::filesystem::path folder, MainQueue* queue)
    : ViewController({}), m_folder(std::move(folder)), m_queue(queue) {
    m_photos = photosNewestFirst(m_folder);
}

PhotoPickerVC::~PhotoPickerVC() {
    stopThumbnails();
}

void PhotoPickerVC::stopThumbnails() {
    m_stop = true;
    if (m_worker.joinable()) m_worker.join();
}

Button* PhotoPickerVC::photoButton(std::size_t index) const {
    return index < m_buttons.size() ? m_buttons[index] : nullptr;
}

QWidget* PhotoPickerVC::makeView() {
    auto* root = new QWidget;
    root->resize(320, 480);
    // Opaque, as every screen is: the editor underneath must not show through.
    root->setAutoFillBackground(true);
    auto* cancel = new QPushButton(QString::fromUtf8(kCancelTitle), root);
    cancel->setObjectName("cancelButton");
    cancel->setGeometry(int(kGap), int(kGap), 90, int(kCancelHeight));
    QObject::connect(cancel, &QPushButton::clicked, [this] { this->cancel(); });

    auto* grid = new ScrollView(root);
    grid->setObjectName("photoGrid");
    grid->setGeometry(0, int(kCancelHeight + 2 * kGap), 320, 480 - int(kCancelHeight + 2 * kGap));
    grid->setShowsVerticalScrollIndicator(true);
    const int columns = 3;
    const double cell = kPickerThumbnailSide + kGap;
    for (std::size_t i = 0; i < m_photos.size(); ++i) {
        auto* button = new Button(grid->contentView());
        const double x = kGap + double(i % columns) * cell;
        const double y = kGap + double(i / columns) * cell;
        setViewFrame(button, {x, y, kPickerThumbnailSide, kPickerThumbnailSide});
        button->setTag(static_cast<int>(i) + 1);
        button->addTargetForControlEvents([this, i](Button*) { pickPhoto(i); },
                                          kControlEventTouchUpInside);
        m_buttons.push_back(button);
    }
    const double rows = double((m_photos.size() + columns - 1) / columns);
    grid->setContentSize({320, kGap + rows * cell});

    auto show = [this](std::size_t i, const QImage& image) {
        if (i < m_buttons.size() && !image.isNull())
            m_buttons[i]->setImageForState(QPixmap::fromImage(image), ControlState::Normal);
    };
    if (!m_queue) {
        for (std::size_t i = 0; i < m_photos.size(); ++i) show(i, makeThumbnail(m_photos[i]));
        return root;
    }
    std::weak_ptr<ViewController> weak = weak_from_this();
    m_worker = std::thread([this, weak, show, photos = m_photos, queue = m_queue] {
        for (std::size_t i = 0; i < photos.size() && !m_stop; ++i) {
            QImage thumbnail = makeThumbnail(photos[i]);
            queue->post([weak, show, i, thumbnail] {
                if (weak.lock()) show(i, thumbnail);
            });
        }
    });
    return root;
}

void PhotoPickerVC::pickPhoto(std::size_t index) {
    if (index >= m_photos.size() || !m_delegate) return;
    m_delegate->imagePickerControllerDidFinishPicking(*this, m_photos[index]);
}

void PhotoPickerVC::cancel() {
    if (m_delegate) m_delegate->imagePickerControllerDidCancel(*this);
}

std::map<std::string, ViewController::Action> PhotoPickerVC::actions() {
    return {{"cancel", [this](QObject*) { cancel(); }}};
}

}  // namespace qp
