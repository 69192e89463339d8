#include "platform/ui/AppStyle.h"

#include <QApplication>
#include <QFile>
#include <QStyleFactory>

namespace qp {

namespace {

constexpr const char* kBaseStyle = "Fusion";

// The app's colours, taken from its mark: a deep indigo ground, cream for
// text and icons, gold for what is selected. resources/style/quillpost.qss
// names the same colours.
constexpr QRgb kInk = 0x17152a;       // screens
constexpr QRgb kPanel = 0x221f3a;     // bars, panels and text fields
constexpr QRgb kRaised = 0x2e2a4c;    // controls
constexpr QRgb kCream = 0xfaf4e4;     // text and icons
constexpr QRgb kMuted = 0xb3acd0;     // secondary text
constexpr QRgb kDisabled = 0x6f6a8a;  // text of what cannot be used now
constexpr QRgb kIndigo = 0x5a43b8;    // the main action, text selection
constexpr QRgb kGold = 0xe0aa42;      // links

}  // namespace

QPalette appPalette() {
    QPalette palette;
    const auto set = [&palette](QPalette::ColorRole role, QRgb colour) {
        palette.setColor(role, QColor(colour));
    };
    set(QPalette::Window, kInk);
    set(QPalette::WindowText, kCream);
    set(QPalette::Base, kPanel);
    set(QPalette::AlternateBase, kRaised);
    set(QPalette::Text, kCream);
    set(QPalette::Button, kRaised);
    set(QPalette::ButtonText, kCream);
    set(QPalette::BrightText, kCream);
    set(QPalette::Highlight, kIndigo);
    set(QPalette::HighlightedText, kCream);
    set(QPalette::PlaceholderText, kMuted);
    set(QPalette::ToolTipBase, kPanel);
    set(QPalette::ToolTipText, kCream);
    set(QPalette::Link, kGold);
    set(QPalette::LinkVisited, kGold);
    for (QPalette::ColorRole role : {QPalette::WindowText, QPalette::Text, QPalette::ButtonText}) {
        palette.setColor(QPalette::Disabled, role, QColor(kDisabled));
    }
    return palette;
}

Result<void> applyAppStyle(QApplication& application, const std::filesystem::path& resources) {
    if (QStyle* base = QStyleFactory::create(kBaseStyle)) application.setStyle(base);
    QApplication::setPalette(appPalette());
    const std::filesystem::path path = resources / kAppStyleSheet;
    QFile file(QString::fromStdString(path.string()));
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text)) {
        return Error(kStyleErrorDomain, kStyleSheetMissing,
                     {{kLocalizedDescriptionKey, "The style sheet " + path.string() +
                                                     " cannot be read; the app keeps the plain "
                                                     "look. Check the resources folder."}});
    }
    application.setStyleSheet(QString::fromUtf8(file.readAll()));
    return {};
}

}  // namespace qp
