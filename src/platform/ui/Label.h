#pragma once
// A text label as screens use it: font, colour, alignment, a number of lines
// (0 for any) and the phone's line-break modes, drawn vertically centred in
// its frame over a clear background.

#include <QColor>
#include <QFont>
#include <QString>
#include <QWidget>

#include "platform/Geometry.h"

namespace qp {

enum class LineBreakMode {
    WordWrap = 0,
    CharacterWrap = 1,
    Clip = 2,
    TruncateHead = 3,
    TruncateTail = 4,
    TruncateMiddle = 5,
};

enum class TextAlignment { Left = 0, Center = 1, Right = 2 };

class Label : public QWidget {
public:
    explicit Label(QWidget* parent = nullptr);

    const QString& text() const { return m_text; }
    void setText(const QString& text);
    QFont labelFont() const { return m_font; }
    void setLabelFont(const QFont& font);
    QColor textColor() const { return m_textColor; }
    void setTextColor(const QColor& color);
    TextAlignment textAlignment() const { return m_alignment; }
    void setTextAlignment(TextAlignment alignment);
    LineBreakMode lineBreakMode() const { return m_lineBreakMode; }
    void setLineBreakMode(LineBreakMode mode);
    int numberOfLines() const { return m_numberOfLines; }
    void setNumberOfLines(int lines);

    // The size `text` takes in `font`, laid out within `constraint` the way
    // `mode` breaks lines: wrapping modes wrap at the width, the others keep
    // to the text's own line breaks. Never larger than the constraint.
    static Size measureText(const QString& text, const QFont& font, LineBreakMode mode,
                            Size constraint);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QString m_text;
    QFont m_font;
    QColor m_textColor = Qt::black;
    TextAlignment m_alignment = TextAlignment::Left;
    LineBreakMode m_lineBreakMode = LineBreakMode::TruncateTail;
    int m_numberOfLines = 1;
};

// The system font at a size in points, plain or bold.
QFont systemFontOfSize(double size);
QFont boldSystemFontOfSize(double size);
// The font a label starts with.
QFont defaultLabelFont();

}  // namespace qp
