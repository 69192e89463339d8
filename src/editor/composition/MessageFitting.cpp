#include "editor/composition/MessageFitting.h"

#include <QTextBoundaryFinder>
#include <QTextOption>
#include <algorithm>
#include <cmath>
#include <vector>

#include "editor/composition/CompositionConstants.h"
#include "editor/composition/MessageRenderer.h"

namespace qp {
namespace {

// Rounding in the layout's arithmetic must not make a fitting text fail.
constexpr double kFitTolerance = 0.5;

Qt::Alignment horizontalAlignment(TextAlignment alignment) {
    switch (alignment) {
        case TextAlignment::Center:
            return Qt::AlignHCenter;
        case TextAlignment::Right:
            return Qt::AlignRight;
        case TextAlignment::Left:
            break;
    }
    return Qt::AlignLeft;
}

// Line breaks as the layout engine takes them; white space at the end
// would only take room.
QString messageText(const std::string& message) {
    QString text = QString::fromStdString(message);
    text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    text.replace(QChar('\r'), QChar::LineSeparator);
    text.replace(QChar('\n'), QChar::LineSeparator);
    qsizetype end = text.size();
    while (end > 0 && text.at(end - 1).isSpace()) --end;
    text.truncate(end);
    return text;
}

Rect boxOnCanvas(const TextStyle& style, Size canvas) {
    return style.textBox().standardized().intersection({{0, 0}, canvas});
}

class Fitter {
public:
    Fitter(const TextStyle& style, Size box) : m_style(style), m_box(box) {}

    bool fits(const QString& text, int size, bool breakWords) const {
        QTextLayout layout(text, messageFont(m_style, size));
        bool fitsWidth = false;
        const double height = layOutMessage(layout, m_style, m_box.width, breakWords, &fitsWidth);
        return fitsWidth && height <= m_box.height + kFitTolerance;
    }

    // The largest size from `smallest` to `largest` at which `text` fits,
    // or 0 when it fits at none.
    int largestFittingSize(const QString& text, int smallest, int largest, bool breakWords) const {
        if (fits(text, largest, breakWords)) return largest;
        if (!fits(text, smallest, breakWords)) return 0;
        int fitting = smallest, failing = largest;  // a larger text never takes less room
        while (failing - fitting > 1) {
            const int middle = fitting + (failing - fitting) / 2;
            (fits(text, middle, breakWords) ? fitting : failing) = middle;
        }
        return fitting;
    }

    // The longest beginning of `text`, cut between characters, that fits at
    // `size` with an ellipsis after it; empty when not even the ellipsis does.
    QString cutToFit(const QString& text, int size) const {
        std::vector<qsizetype> cuts;
        QTextBoundaryFinder graphemes(QTextBoundaryFinder::Grapheme, text);
        for (qsizetype at = graphemes.toNextBoundary(); at > 0 && at < text.size();
             at = graphemes.toNextBoundary()) {
            cuts.push_back(at);
        }
        const auto withEllipsis = [&](std::size_t count) {
            QString kept = count == 0 ? QString() : text.left(cuts[count - 1]);
            qsizetype end = kept.size();
            while (end > 0 && kept.at(end - 1).isSpace()) --end;
            kept.truncate(end);
            return kept + QChar(kEllipsis);
        };
        if (!fits(withEllipsis(0), size, true)) return {};
        std::size_t fitting = 0, failing = cuts.size() + 1;
        while (failing - fitting > 1) {
            const std::size_t middle = fitting + (failing - fitting) / 2;
            (fits(withEllipsis(middle), size, true) ? fitting : failing) = middle;
        }
        return withEllipsis(fitting);
    }

private:
    const TextStyle& m_style;
    Size m_box;
};

}  // namespace

QFont messageFont(const TextStyle& style, int pixelSize) {
    QFont font(QString::fromStdString(style.fontName));
    font.setPixelSize(std::max(1, pixelSize));
    return font;
}

double layOutMessage(QTextLayout& layout, const TextStyle& style, double width, bool breakWords,
                     bool* fitsWidth) {
    QTextOption option(horizontalAlignment(style.fontAlignment) | Qt::AlignTop);
    option.setWrapMode(breakWords ? QTextOption::WrapAtWordBoundaryOrAnywhere
                                  : QTextOption::WordWrap);
    layout.setTextOption(option);
    layout.setCacheEnabled(true);
    double height = 0;
    bool allFit = true;
    layout.beginLayout();
    for (QTextLine line = layout.createLine(); line.isValid(); line = layout.createLine()) {
        line.setLineWidth(width);
        line.setPosition(QPointF(0, height));
        height += line.height();
        if (line.naturalTextWidth() > width + kFitTolerance) allFit = false;
    }
    layout.endLayout();
    if (fitsWidth) *fitsWidth = allFit;
    return height;
}

MessageFit fitMessage(const std::string& message, const TextStyle& style, double fontSize,
                      Size canvas) {
    MessageFit fit;
    fit.text = messageText(message);
    const Rect box = boxOnCanvas(style, canvas);
    // A size beyond the canvas draws nothing useful and costs glyph memory.
    const double requested = std::min(fontSize, canvas.width);
    if (fit.text.isEmpty() || !(requested >= 1) || box.isEmpty() || !messageDrawingAvailable()) {
        return fit;
    }
    const int largest = int(std::lround(requested));
    const int themeSmallest = int(std::lround(std::max(0.0F, style.fontMinSize)));
    const int smallest =
        std::clamp(themeSmallest >= 1 ? themeSmallest : kSmallestMessageSize, 1, largest);

    const Fitter fitter(style, box.size);
    for (bool breakWords : {false, true}) {
        if (int size = fitter.largestFittingSize(fit.text, smallest, largest, breakWords)) {
            fit.fontSize = size;
            fit.wordsBroken = breakWords;
            return fit;
        }
    }
    fit.text = fitter.cutToFit(fit.text, smallest);
    fit.fontSize = fit.text.isEmpty() ? 0 : smallest;
    fit.wordsBroken = true;
    fit.cut = true;
    return fit;
}

}  // namespace qp
