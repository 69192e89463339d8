#include <gtest/gtest.h>

#include <QApplication>
#include <QImage>
#include <QLabel>
#include <QPushButton>

#include <fstream>

#include "platform/ui/AppStyle.h"
#include "platform/ui/Button.h"
#include "platform/ui/IconButton.h"
#include "platform/ui/LayoutLoader.h"
#include "support/TempFolder.h"

using namespace qp;

namespace {

void writeText(const std::filesystem::path& path, const std::string& text) {
    std::filesystem::create_directories(path.parent_path());
    std::ofstream(path) << text;
}

// A layout with a button and a label that each name a picture.
std::string layoutNaming(const std::string& buttonIcon, const std::string& labelPicture) {
    return R"(<?xml version="1.0" encoding="UTF-8"?>
<ui version="4.0">
 <class>Look</class>
 <widget class="QWidget" name="Look">
  <widget class="IconButton" name="shareButton">
   <property name="text"><string>Share</string></property>
   <property name="iconFile" stdset="0"><string>)" +
           buttonIcon + R"(</string></property>
  </widget>
  <widget class="QLabel" name="markLabel">
   <property name="iconFile" stdset="0"><string>)" +
           labelPicture + R"(</string></property>
  </widget>
 </widget>
</ui>)";
}

// Resources with a layouts folder and an icons folder holding one picture.
struct LookResources {
    TempFolder folder;
    LayoutLoader loader;
    LookResources() {
        std::filesystem::create_directories(folder.path() / "icons");
        QImage dot(8, 8, QImage::Format_ARGB32);
        dot.fill(Qt::red);
        dot.save(QString::fromStdString((folder.path() / "icons" / "dot.png").string()));
        loader.setLayoutsFolder(folder.path() / "layouts");
    }
    Result<QWidget*> load(const std::string& name, const std::string& text) {
        writeText(folder.path() / "layouts" / (name + ".ui"), text);
        return loader.loadLayout(name);
    }
};

}  // namespace

TEST(Look, LayoutPicturesComeFromTheIconsFolderAndTheRootNamesItsVariant) {
    LookResources resources;
    Result<QWidget*> loaded = resources.load("Look_iPad", layoutNaming("dot.png", "dot.png"));
    ASSERT_TRUE(loaded.ok()) << loaded.error().description();
    std::unique_ptr<QWidget> root(*loaded);
    EXPECT_EQ(root->property(kVariantProperty).toString(), "iPad");
    auto* button = root->findChild<IconButton*>("shareButton");
    ASSERT_NE(button, nullptr);
    EXPECT_FALSE(button->icon().isNull());
    auto* label = root->findChild<QLabel*>("markLabel");
    ASSERT_NE(label, nullptr);
    EXPECT_FALSE(label->pixmap().isNull());
    EXPECT_TRUE(label->hasScaledContents());
}

TEST(Look, AMissingPictureFailsTheLayoutNamingFileAndWidget) {
    LookResources resources;
    // Not a picture at all: present but unreadable.
    writeText(resources.folder.path() / "icons" / "broken.png", "not a png");
    for (const char* missing : {"gone.png", "broken.png"}) {
        SCOPED_TRACE(missing);
        Result<QWidget*> loaded = resources.load("Look_iPhone", layoutNaming("dot.png", missing));
        ASSERT_FALSE(loaded.ok());
        EXPECT_EQ(loaded.error().code(), kLayoutIconMissing);
        const std::string reason = loaded.error().description();
        EXPECT_NE(reason.find(missing), std::string::npos) << reason;
        EXPECT_NE(reason.find("markLabel"), std::string::npos) << reason;
    }
}

TEST(Look, IconButtonStacksIconOverTitleAndShrinksATallIcon) {
    struct Case {
        const char* what;
        QRect contents;
        QSize icon;
        int titleHeight;
        QRect iconAt;
        QRect titleAt;
    };
    const Case cases[] = {
        // 24 + 3 + 15 = 42 high, centred in 50: 4 above.
        {"fits", {0, 0, 60, 50}, {24, 24}, 15, {18, 4, 24, 24}, {0, 31, 60, 15}},
        // 40 + 3 + 15 does not fit in 38: the icon keeps its shape at 20.
        {"shrinks", {10, 6, 40, 38}, {40, 40}, 15, {20, 6, 20, 20}, {10, 29, 40, 15}},
        // No title: the icon alone, centred.
        {"no title", {0, 0, 40, 40}, {20, 20}, 0, {10, 10, 20, 20}, {0, 30, 40, 0}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const IconButton::Placement placed =
            IconButton::place(c.contents, c.icon, c.titleHeight, 3);
        EXPECT_EQ(placed.icon, c.iconAt);
        EXPECT_EQ(placed.title, c.titleAt);
        EXPECT_TRUE(c.contents.contains(placed.icon));
    }
}

TEST(Look, IconButtonDrawsItsIconAboveItsTitle) {
    QImage red(16, 16, QImage::Format_ARGB32);
    red.fill(Qt::red);
    IconButton button;
    button.setIcon(QIcon(QPixmap::fromImage(red)));
    button.setIconSize({16, 16});
    button.setText("Mail");
    button.resize(80, 60);
    const QImage drawn = button.grab().toImage();
    const int column = drawn.width() / 2;
    int firstRed = -1;
    for (int y = 0; y < drawn.height() && firstRed < 0; ++y) {
        if (drawn.pixelColor(column, y) == QColor(Qt::red)) firstRed = y;
    }
    ASSERT_GE(firstRed, 0) << "the icon is not drawn in the middle";
    EXPECT_LT(firstRed, drawn.height() / 2) << "the icon sits in the upper half, over the title";
}

TEST(Look, SelectedButtonsTakeTheSelectedColourAtOnce) {
    // The style sheet reads the property when a widget is polished, so the
    // button must be polished again when its state changes.
    qApp->setStyleSheet(
        "QPushButton { color: #faf4e4; } "
        "QPushButton[selected=\"true\"] { color: #e0aa42; }");
    Button button;
    button.setText("Paper");
    button.ensurePolished();
    EXPECT_EQ(button.palette().color(QPalette::ButtonText), QColor("#faf4e4"));
    button.setSelectedState(true);
    EXPECT_EQ(button.palette().color(QPalette::ButtonText), QColor("#e0aa42"));
    button.setSelectedState(false);
    EXPECT_EQ(button.palette().color(QPalette::ButtonText), QColor("#faf4e4"));
    qApp->setStyleSheet(QString());
}

TEST(Look, TheStyleSheetComesFromTheResourcesAndAMissingOneIsReported) {
    auto* app = qobject_cast<QApplication*>(QCoreApplication::instance());
    ASSERT_NE(app, nullptr);
    const QPalette before = QApplication::palette();
    TempFolder resources;

    Result<void> missing = applyAppStyle(*app, resources.path());
    ASSERT_FALSE(missing.ok());
    EXPECT_EQ(missing.error().code(), kStyleSheetMissing);
    EXPECT_NE(missing.error().description().find(kAppStyleSheet), std::string::npos);
    // The palette applies all the same: windows and text fields stay readable.
    EXPECT_EQ(QApplication::palette().color(QPalette::Window),
              appPalette().color(QPalette::Window));

    writeText(resources.path() / kAppStyleSheet, "QLabel { color: #e0aa42; }");
    ASSERT_TRUE(applyAppStyle(*app, resources.path()).ok());
    EXPECT_EQ(app->styleSheet(), "QLabel { color: #e0aa42; }");

    app->setStyleSheet(QString());
    QApplication::setPalette(before);
}

TEST(Look, ThePaletteKeepsTextReadableOnItsGrounds) {
    // Text on every ground it is drawn on differs clearly in lightness.
    const QPalette palette = appPalette();
    const std::pair<QPalette::ColorRole, QPalette::ColorRole> pairs[] = {
        {QPalette::WindowText, QPalette::Window},
        {QPalette::Text, QPalette::Base},
        {QPalette::ButtonText, QPalette::Button},
        {QPalette::HighlightedText, QPalette::Highlight},
        {QPalette::ToolTipText, QPalette::ToolTipBase},
    };
    for (const auto& [text, ground] : pairs) {
        SCOPED_TRACE(int(text));
        EXPECT_GT(palette.color(text).lightness() - palette.color(ground).lightness(), 110);
    }
}

TEST(Look, ATitleTooLongForItsButtonEndsInAnEllipsis) {
    const auto drawn = [](QPushButton& button, const QString& title) {
        button.setText(title);
        button.resize(70, 30);
        return button.grab().toImage();
    };
    // A title that fits is drawn as any push button draws it.
    Button fits;
    QPushButton plainFits;
    EXPECT_EQ(drawn(fits, "Paper"), drawn(plainFits, "Paper"));
    // One that does not is elided, not cut at both sides as a push button
    // cuts it; what shows then is its start and an ellipsis.
    Button tooLong;
    QPushButton plainTooLong;
    const QImage elided = drawn(tooLong, "Theme of the day");
    EXPECT_NE(elided, drawn(plainTooLong, "Theme of the day"));
    QPushButton plainElided;
    bool matchesAnElision = false;
    for (int width = 20; width <= 70 && !matchesAnElision; ++width) {
        const QString shortened =
            plainElided.fontMetrics().elidedText("Theme of the day", Qt::ElideRight, width);
        matchesAnElision = drawn(plainElided, shortened) == elided;
    }
    EXPECT_TRUE(matchesAnElision);
}
