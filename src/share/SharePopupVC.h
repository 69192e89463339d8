#pragma once
// The share sheet: shows the finished square the editor hands it and takes
// the user back to the editor.

#include <optional>
#include <string>

#include "imaging/Image.h"
#include "platform/ui/ViewController.h"

class QLabel;

namespace qp {

inline constexpr const char* kShareImageViewName = "shareImageView";

class SharePopupVC : public ViewController {
public:
    explicit SharePopupVC(std::string layoutName);

    // The square result; set by the editor before the sheet comes on screen.
    const std::optional<Image>& theShareImage() const { return m_shareImage; }
    void setTheShareImage(Image image);

    void viewDidLoad() override;
    bool shouldAutorotateToInterfaceOrientation(InterfaceOrientation orientation) const override;

    void actionBackFromShareButton(QObject* sender);

protected:
    std::vector<std::string> requiredOutlets() const override;
    std::map<std::string, Action> actions() override;

private:
    void showShareImage();

    std::optional<Image> m_shareImage;
    QLabel* m_imageView = nullptr;
};

}  // namespace qp
