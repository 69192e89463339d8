#pragma once
// Photos made for tests, whose halves tell where they landed.

#include <QImage>
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

}  // namespace qp::test
