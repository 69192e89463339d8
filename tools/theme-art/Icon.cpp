// The application icon: a landscape photo laid whole in a decorated square,
// with the bands it leaves above and below, on a rounded tile. One list of
// filled paths draws both the PNG sizes and the scalable SVG, so they never
// drift apart.

#include <QPainterPath>
#include <cmath>

#include "Art.h"

namespace art {

namespace {

// The icon is designed on a 256-unit square.
constexpr double kIconUnits = 256;

struct IconShape {
    QPainterPath path;
    QColor fill;
};

QPainterPath roundedRect(double x, double y, double w, double h, double radius) {
    QPainterPath path;
    path.addRoundedRect(QRectF(x, y, w, h), radius, radius);
    return path;
}

QPainterPath rect(double x, double y, double w, double h) {
    QPainterPath path;
    path.addRect(QRectF(x, y, w, h));
    return path;
}

QPainterPath circle(double cx, double cy, double r) {
    QPainterPath path;
    path.addEllipse(QPointF(cx, cy), r, r);
    return path;
}

QPainterPath polygon(std::initializer_list<QPointF> points) {
    QPainterPath path;
    path.addPolygon(QPolygonF(QList<QPointF>(points)));
    path.closeSubpath();
    return path;
}

std::vector<IconShape> iconShapes() {
    // The tile, the cream square, the photo (3:2, whole, so bands show above
    // and below), its sky, sun and hills, and gold corner ornaments in the
    // square's free corners.
    const double square = 176, left = 40, top = 40;
    const double photoHeight = square * 2 / 3;
    const double photoTop = top + (square - photoHeight) / 2;
    const double photoBottom = photoTop + photoHeight;
    std::vector<IconShape> shapes = {
        {roundedRect(8, 8, 240, 240, 44), QColor(58, 42, 110)},
        {roundedRect(left, top, square, square, 10), QColor(250, 244, 228)},
        {rect(left, photoTop, square, photoHeight), QColor(120, 190, 230)},
        {circle(168, photoTop + 30, 15), QColor(255, 209, 102)},
        {polygon({{left, photoBottom},
                  {left, photoBottom - 40},
                  {96, photoBottom - 86},
                  {150, photoBottom - 30},
                  {150, photoBottom}}),
         QColor(52, 120, 92)},
        {polygon({{112, photoBottom},
                  {168, photoBottom - 64},
                  {left + square, photoBottom - 28},
                  {left + square, photoBottom}}),
         QColor(34, 92, 72)},
    };
    // A corner ornament is a small triangle in each corner of the square.
    const double size = 22, right = left + square, bottom = top + square;
    const QColor gold(214, 160, 60);
    shapes.push_back(
        {polygon({{left + 6, top + 6}, {left + 6 + size, top + 6}, {left + 6, top + 6 + size}}),
         gold});
    shapes.push_back(
        {polygon({{right - 6, top + 6}, {right - 6 - size, top + 6}, {right - 6, top + 6 + size}}),
         gold});
    shapes.push_back({polygon({{left + 6, bottom - 6},
                               {left + 6 + size, bottom - 6},
                               {left + 6, bottom - 6 - size}}),
                      gold});
    shapes.push_back({polygon({{right - 6, bottom - 6},
                               {right - 6 - size, bottom - 6},
                               {right - 6, bottom - 6 - size}}),
                      gold});
    return shapes;
}

QString number(double value) {
    return QString::number(std::round(value * 100) / 100, 'g', 8);
}

// SVG path data for a painter path: its moves, lines and cubic curves.
QString svgPathData(const QPainterPath& path) {
    QString data;
    for (int i = 0; i < path.elementCount(); ++i) {
        const QPainterPath::Element e = path.elementAt(i);
        if (e.type == QPainterPath::MoveToElement) {
            if (i > 0) data += "Z";
            data += "M" + number(e.x) + " " + number(e.y);
        } else if (e.type == QPainterPath::LineToElement) {
            data += "L" + number(e.x) + " " + number(e.y);
        } else if (e.type == QPainterPath::CurveToElement) {
            const QPainterPath::Element c2 = path.elementAt(i + 1);
            const QPainterPath::Element end = path.elementAt(i + 2);
            data += "C" + number(e.x) + " " + number(e.y) + " " + number(c2.x) + " " +
                    number(c2.y) + " " + number(end.x) + " " + number(end.y);
            i += 2;
        }
    }
    return data + "Z";
}

}  // namespace

QImage drawIcon(int side) {
    QImage image(side, side, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    p.scale(side / kIconUnits, side / kIconUnits);
    p.setPen(Qt::NoPen);
    for (const IconShape& shape : iconShapes()) p.fillPath(shape.path, shape.fill);
    p.end();
    return image;
}

std::string iconSvg() {
    QString svg = QString(
                      "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
                      "<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"%1\" height=\"%1\" "
                      "viewBox=\"0 0 %1 %1\">\n")
                      .arg(number(kIconUnits));
    for (const IconShape& shape : iconShapes()) {
        svg +=
            "  <path fill=\"" + shape.fill.name() + "\" d=\"" + svgPathData(shape.path) + "\"/>\n";
    }
    svg += "</svg>\n";
    return svg.toStdString();
}

}  // namespace art
