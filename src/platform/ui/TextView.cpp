#include "platform/ui/TextView.h"

#include <QFocusEvent>
#include <QKeyEvent>
#include <QMimeData>
#include <QPalette>
#include <QPointer>
#include <QTextCursor>

namespace qp {

TextView::TextView(QWidget* parent) : QPlainTextEdit(parent) {
    setFrameShape(QFrame::NoFrame);
    setUndoRedoEnabled(false);
    connect(this, &QPlainTextEdit::textChanged, this, [this] {
        if (!m_programmatic && m_delegate) m_delegate->textViewDidChange(*this);
    });
}

bool TextView::event(QEvent* event) {
    if (event->type() == QEvent::ShortcutOverride) {
        auto* key = static_cast<QKeyEvent*>(event);
        if (key->matches(QKeySequence::Undo) || key->matches(QKeySequence::Redo)) {
            event->ignore();  // left to the window's shortcuts
            return true;
        }
    }
    return QPlainTextEdit::event(event);
}

void TextView::setText(const QString& text) {
    m_programmatic = true;
    setPlainText(text);
    m_programmatic = false;
}

void TextView::setTextColor(const QColor& color) {
    m_textColor = color;
    QPalette p = palette();
    p.setColor(QPalette::Text, color);
    setPalette(p);
}

bool TextView::becomeFirstResponder() {
    if (m_editing) return true;
    if (m_delegate && !m_delegate->textViewShouldBeginEditing(*this)) return false;
    m_editing = true;
    setFocus(Qt::OtherFocusReason);
    return true;
}

bool TextView::resignFirstResponder() {
    if (!m_editing) return true;
    m_editing = false;
    clearFocus();
    if (m_delegate) m_delegate->textViewDidEndEditing(*this);
    return true;
}

void TextView::focusInEvent(QFocusEvent* event) {
    if (!m_editing) {
        if (m_delegate && !m_delegate->textViewShouldBeginEditing(*this)) {
            clearFocus();
            return;
        }
        m_editing = true;
    }
    QPlainTextEdit::focusInEvent(event);
}

void TextView::focusOutEvent(QFocusEvent* event) {
    QPlainTextEdit::focusOutEvent(event);
    // A window losing focus for a moment is not the end of editing.
    if (event->reason() == Qt::ActiveWindowFocusReason || event->reason() == Qt::PopupFocusReason)
        return;
    if (m_editing) {
        m_editing = false;
        if (m_delegate) m_delegate->textViewDidEndEditing(*this);
    }
}

TextRange TextView::selectedRange() const {
    const QTextCursor cursor = textCursor();
    return {cursor.selectionStart(), cursor.selectionEnd() - cursor.selectionStart()};
}

bool TextView::askToChange(TextRange range, const QString& text) {
    return !m_delegate ||
           m_delegate->textViewShouldChangeTextInRangeReplacementText(*this, range, text);
}

bool TextView::replaceRangeWithText(TextRange range, const QString& text) {
    const int size = toPlainText().size();
    if (range.location < 0 || range.length < 0 || range.location + range.length > size)
        return false;
    if (!askToChange(range, text)) return false;
    QTextCursor cursor(document());
    cursor.setPosition(range.location);
    cursor.setPosition(range.location + range.length, QTextCursor::KeepAnchor);
    cursor.insertText(text);
    setTextCursor(cursor);
    return true;
}

void TextView::keyPressEvent(QKeyEvent* event) {
    if (isReadOnly()) {
        QPlainTextEdit::keyPressEvent(event);
        return;
    }
    TextRange range = selectedRange();
    QString replacement;
    const QString typed = event->text();
    if (event->key() == Qt::Key_Backspace) {
        if (range.length == 0) {
            if (range.location == 0) return;
            // A surrogate pair goes as one character.
            const QString all = toPlainText();
            const int step = (range.location >= 2 && all.at(range.location - 1).isLowSurrogate() &&
                              all.at(range.location - 2).isHighSurrogate())
                                 ? 2
                                 : 1;
            range = {range.location - step, step};
        }
    } else if (event->key() == Qt::Key_Delete) {
        if (range.length == 0) {
            const QString all = toPlainText();
            if (range.location >= all.size()) return;
            const int step =
                (range.location + 1 < all.size() && all.at(range.location).isHighSurrogate()) ? 2
                                                                                              : 1;
            range = {range.location, step};
        }
    } else if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
        replacement = QStringLiteral("\n");
    } else if (!typed.isEmpty() && typed.at(0).isPrint()) {
        replacement = typed;
    } else {
        // Navigation, shortcuts and the like change no text by themselves.
        QPlainTextEdit::keyPressEvent(event);
        return;
    }
    event->accept();
    replaceRangeWithText(range, replacement);
}

void TextView::insertFromMimeData(const QMimeData* source) {
    if (!source || !source->hasText()) return;
    replaceRangeWithText(selectedRange(), source->text());
}

void TextView::inputMethodEvent(QInputMethodEvent* event) {
    if (!event->commitString().isEmpty() && !askToChange(selectedRange(), event->commitString())) {
        event->accept();
        return;
    }
    QPlainTextEdit::inputMethodEvent(event);
}

}  // namespace qp
