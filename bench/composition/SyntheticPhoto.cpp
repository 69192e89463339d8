#include "SyntheticPhoto.h"

#include <QLinearGradient>
#include <QPainter>
#include <QRadialGradient>
#include <algorithm>
#include <cmath>
#include <cstdint>
#include <random>

#include "imaging/Image.h"
#include "imaging/PhotoIO.h"

namespace qp::bench {
namespace {

QByteArray exifBlock(int orientation) {
    const unsigned char tiff[] = {
        'M',  'M',  0, 0x2A, 0, 0, 0, 8, 0, 1,
        0x01, 0x12, 0, 3,    0, 0, 0, 1, 0, static_cast<unsigned char>(orientation),
        0,    0,    0, 0,    0, 0};
    QByteArray body("Exif\0\0", 6);
    body.append(reinterpret_cast<const char*>(tiff), sizeof(tiff));
    const int length = int(body.size()) + 2;
    QByteArray segment;
    segment.append(char(0xFF))
        .append(char(0xE1))
        .append(char(length >> 8))
        .append(char(length & 0xFF));
    return segment + body;
}

// Smooth noise in -1..1: random values on a unit lattice, blended with a
// smoothstep; the same for the same inputs.
double latticeValue(int x, int y, int seed) {
    std::uint32_t h = std::uint32_t(x) * 374761393u + std::uint32_t(y) * 668265263u +
                      std::uint32_t(seed) * 2246822519u;
    h = (h ^ (h >> 13)) * 1274126177u;
    return double(h ^ (h >> 16)) / 4294967295.0 * 2 - 1;
}

double valueNoise(double x, double y, int seed) {
    const int xi = int(std::floor(x)), yi = int(std::floor(y));
    const double fx = x - xi, fy = y - yi;
    const double sx = fx * fx * (3 - 2 * fx), sy = fy * fy * (3 - 2 * fy);
    const double top = latticeValue(xi, yi, seed) * (1 - sx) + latticeValue(xi + 1, yi, seed) * sx;
    const double bottom =
        latticeValue(xi, yi + 1, seed) * (1 - sx) + latticeValue(xi + 1, yi + 1, seed) * sx;
    return top * (1 - sy) + bottom * sy;
}

}  // namespace

QImage syntheticPhoto(int width, int height) {
    QImage image(width, height, QImage::Format_RGB32);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    QLinearGradient sky(0, 0, 0, height * 0.6);
    sky.setColorAt(0, QColor(40, 90, 170));
    sky.setColorAt(1, QColor(250, 190, 140));
    painter.fillRect(image.rect(), sky);
    QRadialGradient sun(width * 0.7, height * 0.35, height * 0.12);
    sun.setColorAt(0, QColor(255, 250, 220));
    sun.setColorAt(1, QColor(255, 200, 120, 0));
    painter.setBrush(sun);
    painter.setPen(Qt::NoPen);
    painter.drawEllipse(QPointF(width * 0.7, height * 0.35), height * 0.12, height * 0.12);
    const QColor hills[] = {QColor(70, 110, 80), QColor(45, 85, 60), QColor(30, 60, 40)};
    for (int layer = 0; layer < 3; ++layer) {
        QPainterPath path;
        path.moveTo(0, height);
        for (int x = 0; x <= width; x += std::max(1, width / 200)) {
            const double y =
                height * (0.55 + 0.12 * layer) +
                height * 0.06 * std::sin(x * (0.004 + 0.002 * layer) * 1000 / width + layer);
            path.lineTo(x, y);
        }
        path.lineTo(width, height);
        painter.fillPath(path, hills[layer]);
    }
    painter.end();
    // Grass-like texture in the foreground: smooth noise over several
    // octaves, each finer one weaker, as detail in real photos falls off.
    const int top = int(height * 0.6);
    for (int y = top; y < height; ++y) {
        auto* row = reinterpret_cast<QRgb*>(image.scanLine(y));
        for (int x = 0; x < width; ++x) {
            double n = 0;
            for (int octave = 0; octave < 5; ++octave) {
                const double f = 0.004 * (1 << octave) * 4000.0 / width;
                n += 24.0 / (1 << octave) * valueNoise(x * f, y * f, octave);
            }
            const int d = int(n);
            const QRgb p = row[x];
            row[x] = qRgb(std::clamp(qRed(p) + d, 0, 255), std::clamp(qGreen(p) + d, 0, 255),
                          std::clamp(qBlue(p) + d / 2, 0, 255));
        }
    }
    return image;
}

QImage noisyPhoto(int width, int height) {
    QImage image = syntheticPhoto(width, height);
    std::mt19937 random(20261209);
    std::normal_distribution<double> sensor(0.0, 7.0);
    for (int y = 0; y < height; ++y) {
        auto* row = reinterpret_cast<QRgb*>(image.scanLine(y));
        for (int x = 0; x < width; ++x) {
            // Texture at the finest scales, strongest where a downscale
            // must average it away without leaving beats behind.
            const double texture = 18 * valueNoise(x * 0.9, y * 0.9, 11) +
                                   10 * valueNoise(x * 0.45, y * 0.45, 12) +
                                   8 * std::sin(x * 1.7 + 0.3 * y) * std::sin(y * 1.3);
            const QRgb p = row[x];
            const auto channel = [&](int value) {
                return std::clamp(int(std::lround(value + texture + sensor(random))), 0, 255);
            };
            row[x] = qRgb(channel(qRed(p)), channel(qGreen(p)), channel(qBlue(p)));
        }
    }
    return image;
}

QByteArray syntheticPhotoJpeg(int width, int height, int exifOrientation, double quality,
                              PhotoContent content) {
    const QImage upright =
        content == PhotoContent::Noisy ? noisyPhoto(width, height) : syntheticPhoto(width, height);
    // Store the pixels turned the other way, so the tag turns them back.
    ImageOrientation inverse = orientationFromExif(exifOrientation).value_or(ImageOrientation::Up);
    if (inverse == ImageOrientation::Left) {
        inverse = ImageOrientation::Right;
    } else if (inverse == ImageOrientation::Right) {
        inverse = ImageOrientation::Left;
    }
    const Image stored = *Image(upright, inverse).fixOrientation();
    const QByteArray jpeg = *jpegRepresentation(stored, quality);
    if (exifOrientation == 1) return jpeg;
    return jpeg.left(2) + exifBlock(exifOrientation) + jpeg.mid(2);
}

}  // namespace qp::bench
