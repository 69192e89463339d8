#include "platform/ui/Label.h"

#include <QFontMetricsF>
#include <QPainter>
#include <QTextLayout>

#include <algorithm>
#include <cmath>
#include <vector>

namespace qp {

namespace {

constexpr double kDefaultLabelFontSize = 17;

bool wraps(LineBreakMode mode) {
    return mode == LineBreakMode::WordWrap || mode == LineBreakMode::CharacterWrap;
}

Qt::TextElideMode elideModeFor(LineBreakMode mode) {
    switch (mode) {
        case LineBreakMode::TruncateHead:
            return Qt::ElideLeft;
        case LineBreakMode::TruncateMiddle:
            return Qt::ElideMiddle;
        case LineBreakMode::TruncateTail:
            return Qt::ElideRight;
        default:
            return Qt::ElideNone;
    }
}

struct LaidLine {
    QString text;
    double width = 0;
};

// Breaks `text` into the lines it shows within `width`, at most `maxLines`
// of them (0: any number); the last shown line is elided when text is cut.
std::vector<LaidLine> layoutLines(const QString& text, const QFont& font, LineBreakMode mode,
                                  double width, int maxLines) {
    std::vector<LaidLine> lines;
    const QFontMetricsF metrics(font);
    const QStringList paragraphs = text.split(QLatin1Char('\n'));
    bool cut = false;
    for (const QString& paragraph : paragraphs) {
        if (maxLines > 0 && static_cast<int>(lines.size()) >= maxLines) {
            cut = true;
            break;
        }
        if (!wraps(mode) || paragraph.isEmpty()) {
            lines.push_back({paragraph, metrics.horizontalAdvance(paragraph)});
            continue;
        }
        QTextLayout layout(paragraph, font);
        QTextOption option;
        option.setWrapMode(mode == LineBreakMode::WordWrap
                               ? QTextOption::WrapAtWordBoundaryOrAnywhere
                               : QTextOption::WrapAnywhere);
        layout.setTextOption(option);
        layout.beginLayout();
        for (QTextLine line = layout.createLine(); line.isValid(); line = layout.createLine()) {
            line.setLineWidth(width);
            if (maxLines > 0 && static_cast<int>(lines.size()) >= maxLines) {
                cut = true;
                break;
            }
            lines.push_back({paragraph.mid(line.textStart(), line.textLength()).trimmed(),
                             line.naturalTextWidth()});
        }
        layout.endLayout();
        if (cut) break;
    }
    const Qt::TextElideMode elide = elideModeFor(mode);
    for (std::size_t i = 0; i < lines.size(); ++i) {
        LaidLine& line = lines[i];
        const bool last = i + 1 == lines.size();
        if (elide == Qt::ElideNone) continue;
        if (line.width > width || (last && cut)) {
            QString shown = cut && last ? line.text + QStringLiteral("…") : line.text;
            line.text = metrics.elidedText(shown, elide, width);
            line.width = metrics.horizontalAdvance(line.text);
        }
    }
    return lines;
}

}  // namespace

QFont systemFontOfSize(double size) {
    QFont font;
    font.setPixelSize(std::max(1, static_cast<int>(size + 0.5)));
    font.setBold(false);
    return font;
}

QFont boldSystemFontOfSize(double size) {
    QFont font = systemFontOfSize(size);
    font.setBold(true);
    return font;
}

QFont defaultLabelFont() {
    return systemFontOfSize(kDefaultLabelFontSize);
}

Label::Label(QWidget* parent) : QWidget(parent), m_font(defaultLabelFont()) {
    setAttribute(Qt::WA_TranslucentBackground);
    setAutoFillBackground(false);
}

void Label::setText(const QString& text) {
    if (text == m_text) return;
    m_text = text;
    update();
}

void Label::setLabelFont(const QFont& font) {
    m_font = font;
    update();
}

void Label::setTextColor(const QColor& color) {
    m_textColor = color;
    update();
}

void Label::setTextAlignment(TextAlignment alignment) {
    m_alignment = alignment;
    update();
}

void Label::setLineBreakMode(LineBreakMode mode) {
    m_lineBreakMode = mode;
    update();
}

void Label::setNumberOfLines(int lines) {
    m_numberOfLines = std::max(0, lines);
    update();
}

Size Label::measureText(const QString& text, const QFont& font, LineBreakMode mode,
                        Size constraint) {
    if (text.isEmpty()) return {0, 0};
    const QFontMetricsF metrics(font);
    const std::vector<LaidLine> lines = layoutLines(text, font, mode, constraint.width, 0);
    double width = 0;
    for (const LaidLine& line : lines) width = std::max(width, line.width);
    const double height = metrics.lineSpacing() * static_cast<double>(lines.size());
    return {std::min(std::ceil(width), constraint.width),
            std::min(std::ceil(height), constraint.height)};
}

void Label::paintEvent(QPaintEvent*) {
    if (m_text.isEmpty()) return;
    const std::vector<LaidLine> lines =
        layoutLines(m_text, m_font, m_lineBreakMode, width(), m_numberOfLines);
    const QFontMetricsF metrics(m_font);
    const double lineHeight = metrics.lineSpacing();
    const double total = lineHeight * static_cast<double>(lines.size());
    QPainter painter(this);
    painter.setRenderHint(QPainter::TextAntialiasing);
    painter.setFont(m_font);
    painter.setPen(m_textColor);
    painter.setClipRect(rect());
    double y = (height() - total) / 2;
    for (const LaidLine& line : lines) {
        double x = 0;
        if (m_alignment == TextAlignment::Center) x = (width() - line.width) / 2;
        if (m_alignment == TextAlignment::Right) x = width() - line.width;
        painter.drawText(QPointF(x, y + metrics.ascent()), line.text);
        y += lineHeight;
    }
}

}  // namespace qp
