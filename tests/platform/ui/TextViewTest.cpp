#include <gtest/gtest.h>

#include <QApplication>
#include <QKeyEvent>
#include <QMimeData>

#include <string>
#include <vector>

#include "platform/ui/TextView.h"

using namespace qp;

namespace {

struct Recorder : TextViewDelegate {
    bool mayBegin = true;
    QString refuse;  // replacement text to turn down
    std::vector<std::string> calls;
    bool textViewShouldBeginEditing(TextView&) override {
        calls.push_back("shouldBegin");
        return mayBegin;
    }
    bool textViewShouldChangeTextInRangeReplacementText(TextView&, TextRange range,
                                                        const QString& text) override {
        calls.push_back("shouldChange " + std::to_string(range.location) + "+" +
                        std::to_string(range.length) + " '" + text.toStdString() + "'");
        return refuse.isEmpty() || text != refuse;
    }
    void textViewDidChange(TextView& view) override {
        calls.push_back("didChange " + view.text().toStdString());
    }
    void textViewDidEndEditing(TextView&) override { calls.push_back("didEnd"); }
};

void type(TextView& view, int key, const QString& text = {}) {
    QKeyEvent event(QEvent::KeyPress, key, Qt::NoModifier, text);
    QApplication::sendEvent(&view, &event);
}

}  // namespace

TEST(TextView, AsksBeforeEditingAndBeforeEachChange) {
    TextView view;
    Recorder delegate;
    view.setDelegate(&delegate);
    view.setText("ab");
    EXPECT_TRUE(delegate.calls.empty());  // set in code: not reported

    delegate.mayBegin = false;
    EXPECT_FALSE(view.becomeFirstResponder());
    delegate.mayBegin = true;
    EXPECT_TRUE(view.becomeFirstResponder());
    view.moveCursor(QTextCursor::End);
    delegate.calls.clear();

    type(view, Qt::Key_C, "c");
    type(view, Qt::Key_Backspace);
    delegate.refuse = "x";
    type(view, Qt::Key_X, "x");
    EXPECT_EQ(view.text(), "ab");
    EXPECT_EQ(delegate.calls, (std::vector<std::string>{"shouldChange 2+0 'c'", "didChange abc",
                                                        "shouldChange 2+1 ''", "didChange ab",
                                                        "shouldChange 2+0 'x'"}));
    delegate.calls.clear();
    EXPECT_TRUE(view.resignFirstResponder());
    EXPECT_EQ(delegate.calls, std::vector<std::string>{"didEnd"});
}

TEST(TextView, RangesCountUtf16UnitsAndKeepSurrogatePairsWhole) {
    TextView view;
    Recorder delegate;
    view.setDelegate(&delegate);
    view.setText(QString::fromUtf8("a\xF0\x9F\x98\x80"));  // "a" and one emoji: 3 units
    view.moveCursor(QTextCursor::End);
    type(view, Qt::Key_Backspace);
    EXPECT_EQ(delegate.calls.front(), "shouldChange 1+2 ''");
    EXPECT_EQ(view.text(), "a");

    // Pasting asks too.
    delegate.calls.clear();
    QMimeData data;
    data.setText("zz");
    view.insertPlainText("");  // cursor at the end
    EXPECT_TRUE(view.replaceRangeWithText({0, 1}, "q"));
    EXPECT_EQ(view.text(), "q");
    EXPECT_FALSE(view.replaceRangeWithText({0, 5}, "q"));  // outside the text
}
