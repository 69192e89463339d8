#include "editor/composition/MessageRenderer.h"

#include <QGuiApplication>
#include <QPainter>
#include <algorithm>

#include "editor/composition/CompositionConstants.h"
#include "editor/composition/Legibility.h"
#include "editor/composition/TextHalo.h"
#include "imaging/ImageDrawing.h"
#include "platform/Log.h"

namespace qp {
namespace {

int colourPart(std::int32_t value) {
    return std::clamp<std::int32_t>(value, 0, 255);
}

}  // namespace

bool messageDrawingAvailable() {
    return qobject_cast<QGuiApplication*>(QCoreApplication::instance()) != nullptr;
}

MessageCanvas renderMessage(const std::string& message, const TextStyle& style, double fontSize,
                            Size canvas) {
    QImage surface = drawing::makeImageSurface(drawing::surfaceDimension(canvas.width),
                                               drawing::surfaceDimension(canvas.height));
    if (!message.empty() && !messageDrawingAvailable()) {
        logf("composition: no font system in this process; the message is not drawn");
        return {Image(std::move(surface)), {}};
    }
    MessageFit fit = fitMessage(message, style, fontSize, canvas);
    if (fit.fontSize <= 0) return {Image(std::move(surface)), std::move(fit)};

    const Rect box = style.textBox().standardized().intersection({{0, 0}, canvas});
    QTextLayout layout(fit.text, messageFont(style, fit.fontSize));
    layOutMessage(layout, style, box.size.width, fit.wordsBroken);
    const QPointF origin(box.origin.x, box.origin.y);
    const QColor textColour(colourPart(style.fontRed), colourPart(style.fontGreen),
                            colourPart(style.fontBlue));
    const double halo = haloWidthFor(fit.fontSize, style.textHalo);

    const QRectF boxRect(box.origin.x, box.origin.y, box.size.width, box.size.height);
    QPainter painter(&surface);
    painter.setRenderHints(QPainter::Antialiasing | QPainter::TextAntialiasing);
    if (halo > 0) {
        // The glyphs alone, in the box and the room the halo needs around it.
        const double reach = haloReach(halo);
        const QRect area = boxRect.adjusted(-reach, -reach, reach, reach)
                               .toAlignedRect()
                               .intersected(surface.rect());
        QImage glyphs = drawing::makeImageSurface(area.width(), area.height());
        QPainter glyphPainter(&glyphs);
        glyphPainter.setRenderHints(QPainter::Antialiasing | QPainter::TextAntialiasing);
        glyphPainter.setClipRect(boxRect.translated(-area.topLeft()));
        glyphPainter.setPen(textColour);
        layout.draw(&glyphPainter, origin - area.topLeft());
        glyphPainter.end();
        painter.drawImage(area.topLeft(), haloAround(glyphs, halo, haloColourFor(textColour)));
    }
    painter.setClipRect(boxRect);
    painter.setPen(textColour);
    layout.draw(&painter, origin);
    painter.end();
    return {Image(std::move(surface)), std::move(fit)};
}

Image renderMessageCanvas(const std::string& message, const TextStyle& style, double fontSize) {
    return renderMessage(message, style, fontSize).image;
}

}  // namespace qp
