#pragma once
// The open-in hand-off of a file to another program: a menu of the programs
// that take the file's document type; the chosen one gets a copy of the file
// with its annotation. A port, so the share sheet can be tested with a double.

#include <filesystem>
#include <map>
#include <memory>
#include <string>

class QWidget;

namespace qp {

class DocumentInteractionController;

class DocumentInteractionControllerDelegate {
public:
    virtual ~DocumentInteractionControllerDelegate() = default;
    virtual void documentInteractionControllerWillBeginSendingToApplication(
        DocumentInteractionController& /*controller*/, const std::string& /*application*/) {}
    virtual void documentInteractionControllerDidEndSendingToApplication(
        DocumentInteractionController& /*controller*/, const std::string& /*application*/) {}
    virtual void documentInteractionControllerDidDismissOpenInMenu(
        DocumentInteractionController& /*controller*/) {}
};

using DocumentAnnotation = std::map<std::string, std::string>;

class DocumentInteractionController {
public:
    explicit DocumentInteractionController(std::filesystem::path file) : m_file(std::move(file)) {}
    virtual ~DocumentInteractionController() = default;
    DocumentInteractionController(const DocumentInteractionController&) = delete;
    DocumentInteractionController& operator=(const DocumentInteractionController&) = delete;

    const std::filesystem::path& file() const { return m_file; }
    DocumentInteractionControllerDelegate* delegate() const { return m_delegate; }
    void setDelegate(DocumentInteractionControllerDelegate* delegate) { m_delegate = delegate; }
    const std::string& uti() const { return m_uti; }
    void setUTI(std::string uti) { m_uti = std::move(uti); }
    const DocumentAnnotation& annotation() const { return m_annotation; }
    void setAnnotation(DocumentAnnotation annotation) { m_annotation = std::move(annotation); }

    // Shows the menu over `view`; false when no program takes the type (the
    // menu then does not open).
    virtual bool presentOpenInMenuFromRectInView(QWidget* view, bool animated) = 0;

private:
    std::filesystem::path m_file;
    DocumentInteractionControllerDelegate* m_delegate = nullptr;  // not owned
    std::string m_uti;
    DocumentAnnotation m_annotation;
};

// Makes the controllers (interactionControllerWithURL:).
class DocumentInteractionService {
public:
    virtual ~DocumentInteractionService() = default;
    virtual std::unique_ptr<DocumentInteractionController> interactionControllerWithURL(
        const std::filesystem::path& file) = 0;
};

}  // namespace qp
