#include <gtest/gtest.h>

#include <QApplication>
#include <QLabel>

#include "editor/ui/EditorFixture.h"
#include "editor/ui/PreviewSquareView.h"
#include "platform/ui/Button.h"
#include "platform/ui/Slider.h"
#include "platform/ui/TextView.h"
#include "support/WidgetInput.h"

using namespace qp;
using qp::test::EditorFixture;
using qp::test::tap;

namespace {

Button* themeButton(QuillpostVC& editor, int category, int index) {
    return qp::test::buttonWithTag(editor.themeStrip()->contentView(),
                                   themeButtonTag(category, index));
}

Button* categoryButton(QuillpostVC& editor, int category) {
    return qp::test::buttonWithTag(editor.categoryStrip()->contentView(),
                                   categoryButtonTag(category));
}

TextView* textView(QuillpostVC& editor) {
    return dynamic_cast<TextView*>(editor.outlet("editableTextView"));
}

// Keys typed into the message box one by one, as a person types.
void type(QuillpostVC& editor, const QString& keys) {
    TextView* text = textView(editor);
    if (editor.textIsPlaceholdertext()) editor.textViewShouldBeginEditing(*text);
    for (QChar key : keys) text->insertPlainText(QString(key));
}

// An editor with a user photo placed (which starts the history afresh).
struct PhotoEditor : EditorFixture {
    explicit PhotoEditor(const std::string& device = "iphone")
        : EditorFixture(device), editor(load()) {
        chosenPhoto = writePhoto("photo.png", 900, 600);  // red left, blue right
        editor.loadPhoto(nullptr);
    }
    const Layer& photo() { return editor.composition().previewSquare().photoLayer(); }
    QuillpostVC& editor;
};

}  // namespace

// A whole gesture, however many steps it reports, is undone at once; undo
// puts back the very transform, position and scale, and redo the gesture.
TEST(EditorUndo, AWholeGestureIsOneStep) {
    PhotoEditor f;
    ASSERT_TRUE(f.editor.composition().placement().previewPhotoIsRealPhoto());
    EXPECT_FALSE(f.editor.canUndo());
    const Rect placed = f.photo().frame();
    const EditorSnapshot before = f.editor.snapshot();

    f.editor.touchesBegan();
    f.editor.pinchDetected(1.5);
    f.editor.pinchDetected(1.2);
    f.editor.rotationDetected(0.3);
    f.editor.panDetected({10, -4});
    f.editor.panDetected({5, 5});
    f.editor.gestureEnded();
    f.editor.gestureEnded();  // a second recognizer ending the same gesture
    const EditorSnapshot after = f.editor.snapshot();
    ASSERT_NE(after.placement, before.placement);
    EXPECT_NE(f.photo().frame(), placed);

    f.editor.actionUndoButton(nullptr);
    EXPECT_EQ(f.photo().frame(), placed);
    EXPECT_EQ(f.editor.composition().placement().totalScaleChange(),
              before.placement.totalScaleChange);
    EXPECT_FALSE(f.editor.canUndo());
    f.editor.actionRedoButton(nullptr);
    EXPECT_EQ(f.editor.snapshot(), after);
    EXPECT_FALSE(f.editor.canRedo());
}

// A touch that moves only the pivot is no step.
TEST(EditorUndo, ATouchWithoutAGestureIsNoStep) {
    PhotoEditor f;
    const double fit = f.editor.composition().placement().totalScaleChange();
    f.editor.touchesBegan();
    f.editor.pinchDetected(1.5);
    f.editor.gestureEnded();
    f.editor.panDetected({40, 0});  // off centre: the next pivot moves
    f.editor.gestureEnded();
    f.editor.touchesBegan();
    f.editor.gestureEnded();
    f.editor.actionUndoButton(nullptr);
    f.editor.actionUndoButton(nullptr);
    EXPECT_FALSE(f.editor.canUndo());
    EXPECT_DOUBLE_EQ(f.editor.composition().placement().totalScaleChange(), fit);
}

// The mirror is undone by mirroring back: the pixels, not the placement.
TEST(EditorUndo, MirrorIsUndoneAndRedone) {
    PhotoEditor f;
    f.editor.touchesBegan();
    f.editor.rotationDetected(0.2);
    f.editor.gestureEnded();
    const AffineTransform turned = f.photo().transform();
    f.editor.actionFlipPhotoImage(nullptr);
    ASSERT_EQ(f.photo().image()->bitmap().pixelColor(0, 10), QColor(Qt::blue));

    f.editor.actionUndoButton(nullptr);
    EXPECT_EQ(f.photo().image()->bitmap().pixelColor(0, 10), QColor(Qt::red));
    EXPECT_EQ(f.photo().transform(), turned);
    f.editor.actionRedoButton(nullptr);
    EXPECT_EQ(f.photo().image()->bitmap().pixelColor(0, 10), QColor(Qt::blue));
    // Undoing the rotation under a mirrored photo keeps the mirror.
    f.editor.actionUndoButton(nullptr);
    f.editor.actionUndoButton(nullptr);
    EXPECT_EQ(f.photo().transform().isIdentity(), false);  // the fit's scale
    EXPECT_EQ(f.photo().image()->bitmap().pixelColor(0, 10), QColor(Qt::red));
    f.editor.actionRedoButton(nullptr);
    f.editor.actionRedoButton(nullptr);
    EXPECT_EQ(f.photo().image()->bitmap().pixelColor(0, 10), QColor(Qt::blue));
    EXPECT_EQ(f.photo().transform(), turned);
}

// Theme steps: a theme button and a category button (which applies its
// first theme) are one step each; undo puts back the theme, its category's
// strip and highlight, and the font size chosen under it.
TEST(EditorUndo, ThemeChangesAreUndoneWithTheirCategory) {
    PhotoEditor f;
    QuillpostVC& editor = f.editor;
    ThemeCatalogue& catalogue = editor.catalogue();
    tap(themeButton(editor, 0, 2));
    editor.handleFontSizeSlider(30.6f);
    editor.touchUpSlider();
    const EditorSnapshot sized = editor.snapshot();
    ASSERT_EQ(sized.fontSize, 31);
    const std::string themeName = editor.theThemeImageName();
    tap(categoryButton(editor, 2));
    ASSERT_EQ(catalogue.currentCategoryIdx(), categoryButtonTag(2));
    ASSERT_NE(editor.theThemeImageName(), themeName);

    editor.actionUndoButton(nullptr);
    EXPECT_EQ(catalogue.currentCategoryIdx(), categoryButtonTag(0));
    EXPECT_EQ(catalogue.categoryIdx(), categoryButtonTag(0));
    EXPECT_EQ(catalogue.themeIdx(), themeButtonTag(0, 2));
    EXPECT_EQ(editor.theThemeImageName(), themeName);
    EXPECT_EQ(editor.currentFontSize(), 31);
    EXPECT_EQ(dynamic_cast<Slider*>(editor.outlet("fontSizeSlider"))->value(), 31);
    EXPECT_TRUE(editor.highlightView()->isVisible() || !editor.view()->isVisible());
    EXPECT_EQ(editor.snapshot(), sized);

    editor.actionUndoButton(nullptr);  // the font size
    editor.actionUndoButton(nullptr);  // the theme
    EXPECT_EQ(catalogue.themeIdx(), themeButtonTag(0, 0));
    EXPECT_FALSE(editor.canUndo());

    editor.actionRedoButton(nullptr);
    editor.actionRedoButton(nullptr);
    editor.actionRedoButton(nullptr);
    EXPECT_EQ(catalogue.currentCategoryIdx(), categoryButtonTag(2));
    EXPECT_EQ(catalogue.themeIdx(), themeButtonTag(2, 0));
    // The theme steps left the photo's placement as it was.
    EXPECT_TRUE(editor.composition().placement().previewPhotoIsRealPhoto());
}

// Typing in a row is one step; clearing is another; undo and redo put the
// text back in the box, the counter and the composition.
TEST(EditorUndo, MessageEditsAreUndone) {
    EditorFixture f;
    QuillpostVC& editor = f.load();
    TextView* text = textView(editor);
    type(editor, "Hello");
    editor.textViewDidEndEditing(*text);
    type(editor, " you");
    editor.actionClearText(nullptr);
    ASSERT_EQ(editor.composition().message(), "");

    editor.actionUndoButton(nullptr);
    EXPECT_EQ(text->text(), "Hello you");
    EXPECT_EQ(editor.composition().message(), "Hello you");
    EXPECT_EQ(dynamic_cast<QLabel*>(editor.outlet("editableTextLengthLabel"))->text(), "9 / 120");
    editor.actionUndoButton(nullptr);
    EXPECT_EQ(text->text(), "Hello");
    editor.actionUndoButton(nullptr);
    EXPECT_EQ(editor.composition().message(), "");
    EXPECT_FALSE(editor.canUndo());
    // Putting text back is not typing: no step was added on the way.
    editor.actionRedoButton(nullptr);
    editor.actionRedoButton(nullptr);
    EXPECT_EQ(text->text(), "Hello you");
    EXPECT_TRUE(editor.canRedo());
    EXPECT_FALSE(editor.textIsPlaceholdertext());
}

// Steps on one photo cannot be undone on another; the history holds at
// least 50 steps; the buttons follow what can be undone and redone.
TEST(EditorUndo, ANewPhotoClearsTheHistoryAndTheButtonsFollow) {
    PhotoEditor f;
    QWidget* undo = f.editor.outlet("undoButton");
    QWidget* redo = f.editor.outlet("redoButton");
    EXPECT_FALSE(undo->isEnabled());
    EXPECT_FALSE(redo->isEnabled());
    for (int i = 0; i < 60; ++i) {
        f.editor.panDetected({1, 0});
        f.editor.gestureEnded();
    }
    EXPECT_TRUE(undo->isEnabled());
    const Point moved = f.photo().center();
    int undone = 0;
    while (f.editor.canUndo()) {
        f.editor.actionUndoButton(nullptr);
        ++undone;
    }
    EXPECT_GE(undone, 50);
    EXPECT_DOUBLE_EQ(f.photo().center().x, moved.x - undone);
    EXPECT_FALSE(undo->isEnabled());
    EXPECT_TRUE(redo->isEnabled());

    f.chosenPhoto = f.writePhoto("other.png", 700, 700);
    f.editor.loadPhoto(nullptr);
    EXPECT_FALSE(f.editor.canUndo());
    EXPECT_FALSE(f.editor.canRedo());
    EXPECT_FALSE(redo->isEnabled());
}

// The buttons are wired from every layout.
TEST(EditorUndo, TheLayoutsButtonsUndoAndRedo) {
    for (const char* profile : {"iphone", "iphone-4in", "ipad"}) {
        PhotoEditor f(profile);
        f.editor.panDetected({12, 0});
        f.editor.gestureEnded();
        const Point moved = f.photo().center();
        tap(f.editor.outlet("undoButton"));
        EXPECT_DOUBLE_EQ(f.photo().center().x, moved.x - 12);
        tap(f.editor.outlet("redoButton"));
        EXPECT_DOUBLE_EQ(f.photo().center().x, moved.x);
    }
}
