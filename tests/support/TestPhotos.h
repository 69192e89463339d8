#pragma once
// Photos made for tests, whose halves tell where they landed.

#include <QImage>
#include <QPainter>
#include <QString>

#include <filesystem>

namespace qp::test {

// A `width` × `height` picture at `path`: left half red, right half blue.
// The file's extension picks the format.
inline bool writeRedBluePhoto(const std::filesystem::path& path, int width, int height) {
    QImage image(width, height, QImage::Format_RGB32);
    image.fill(Qt::red);
    for (int y = 0; y < height; ++y)
        for (int x = width / 2; x < width; ++x) image.setPixel(x, y, qRgb(0, 0, 255));
    return image.save(QString::fromStdString(path.string()));
}

// An upright picture with four coloured quarters: red top left, green top
// right, blue bottom left, yellow bottom right, so every turn and mirror shows.
inline QImage quarters(int width, int height) {
    QImage upright(width, height, QImage::Format_RGB32);
    QPainter painter(&upright);
    painter.fillRect(0, 0, width / 2, height / 2, Qt::red);
    painter.fillRect(width / 2, 0, width - width / 2, height / 2, Qt::green);
    painter.fillRect(0, height / 2, width / 2, height - height / 2, Qt::blue);
    painter.fillRect(width / 2, height / 2, width - width / 2, height - height / 2, Qt::yellow);
    return upright;
}

}  // namespace qp::test
