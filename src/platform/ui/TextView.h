#pragma once
// A multi-line text view with the phone's delegate: it asks before editing
// begins and before each change (range and replacement, counted in UTF-16
// units), and reports each change the user makes and the end of editing.
// Changes made through setText() are not reported, as on the phone.

#include <QColor>
#include <QFont>
#include <QPlainTextEdit>

namespace qp {

class TextView;

struct TextRange {
    int location = 0;
    int length = 0;
    friend bool operator==(const TextRange&, const TextRange&) = default;
};

class TextViewDelegate {
public:
    virtual ~TextViewDelegate() = default;
    virtual bool textViewShouldBeginEditing(TextView& /*textView*/) { return true; }
    virtual bool textViewShouldChangeTextInRangeReplacementText(TextView& /*textView*/,
                                                                TextRange /*range*/,
                                                                const QString& /*text*/) {
        return true;
    }
    virtual void textViewDidChange(TextView& /*textView*/) {}
    virtual void textViewDidEndEditing(TextView& /*textView*/) {}
};

enum class ReturnKeyType { Default = 0, Go = 1, Done = 9 };

class TextView : public QPlainTextEdit {
public:
    explicit TextView(QWidget* parent = nullptr);

    TextViewDelegate* delegate() const { return m_delegate; }
    void setDelegate(TextViewDelegate* delegate) { m_delegate = delegate; }

    QString text() const { return toPlainText(); }
    void setText(const QString& text);
    QColor textColor() const { return m_textColor; }
    void setTextColor(const QColor& color);
    QFont textFont() const { return font(); }
    void setTextFont(const QFont& font) { setFont(font); }
    ReturnKeyType returnKeyType() const { return m_returnKeyType; }
    void setReturnKeyType(ReturnKeyType type) { m_returnKeyType = type; }
    bool isEditable() const { return !isReadOnly(); }
    void setEditable(bool editable) { setReadOnly(!editable); }

    bool isFirstResponder() const { return m_editing; }
    // Starts editing when the delegate agrees; answers whether it did.
    bool becomeFirstResponder();
    bool resignFirstResponder();

    // Applies an edit as typing would: asks the delegate, then changes the
    // text and reports it. Answers whether the edit was made.
    bool replaceRangeWithText(TextRange range, const QString& text);

protected:
    // Undo and redo keys belong to the screen, whose history holds the
    // text's edits along with the rest; the box keeps no history of its own.
    bool event(QEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void insertFromMimeData(const QMimeData* source) override;
    void inputMethodEvent(QInputMethodEvent* event) override;

private:
    TextRange selectedRange() const;
    bool askToChange(TextRange range, const QString& text);

    TextViewDelegate* m_delegate = nullptr;
    QColor m_textColor = Qt::black;
    ReturnKeyType m_returnKeyType = ReturnKeyType::Default;
    bool m_editing = false;
    bool m_programmatic = false;
};

}  // namespace qp
