#include "editor/composition/MessageRenderer.h"

#include <QFont>
#include <QGuiApplication>
#include <QPainter>
#include <QTextOption>
#include <algorithm>
#include <cmath>

#include "editor/composition/CompositionConstants.h"
#include "imaging/ImageDrawing.h"
#include "platform/Log.h"

namespace qp {
namespace {

// A size beyond the canvas draws nothing useful and costs glyph memory.
constexpr double kLargestFontSize = kResultSide;

int colourPart(std::int32_t value) {
    return std::clamp<std::int32_t>(value, 0, 255);
}

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

}  // namespace

bool messageDrawingAvailable() {
    return qobject_cast<QGuiApplication*>(QCoreApplication::instance()) != nullptr;
}

Image renderMessageCanvas(const std::string& message, const TextStyle& style, double fontSize) {
    QImage canvas = drawing::makeImageSurface(kResultSide, kResultSide);
    const Rect canvasRect{0, 0, double(kResultSide), double(kResultSide)};
    const Rect box = style.textBox().standardized().intersection(canvasRect);
    const double size = std::min(fontSize, kLargestFontSize);
    if (message.empty() || !(size >= 1) || box.isEmpty()) return Image(std::move(canvas));
    if (!messageDrawingAvailable()) {
        logf("composition: no font system in this process; the message is not drawn");
        return Image(std::move(canvas));
    }

    QFont font(QString::fromStdString(style.fontName));
    font.setPixelSize(int(std::lround(size)));
    QTextOption option(horizontalAlignment(style.fontAlignment) | Qt::AlignTop);
    option.setWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);

    QPainter painter(&canvas);
    painter.setRenderHint(QPainter::TextAntialiasing);
    const QRectF qbox(box.origin.x, box.origin.y, box.size.width, box.size.height);
    painter.setClipRect(qbox);
    painter.setFont(font);
    painter.setPen(
        QColor(colourPart(style.fontRed), colourPart(style.fontGreen), colourPart(style.fontBlue)));
    painter.drawText(qbox, QString::fromStdString(message), option);
    painter.end();
    return Image(std::move(canvas));
}

}  // namespace qp
