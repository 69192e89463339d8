// theme-art <resources folder>: draws the bundled theme art, the interface
// images, the demo photo and the category files into the given folder.

#include <QBuffer>
#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QTransform>
#include <cstdio>
#include <map>
#include <string>

#include "Art.h"

namespace {

constexpr int kJpegQuality = 88;
// The demo photo carries EXIF orientation 6: stored turned a quarter left,
// to be shown turned a quarter right.
constexpr int kSamplePhotoOrientation = 6;
constexpr const char* kSamplePhotoName = "sample_photo.jpg";

bool writeBytes(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate)) return false;
    return file.write(bytes) == bytes.size();
}

QByteArray encode(const QImage& image, const char* format, int quality = -1) {
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, format, quality);
    return bytes;
}

// An APP1 segment holding a big-endian TIFF block with one orientation entry.
QByteArray exifOrientationSegment(int orientation) {
    const unsigned char tiff[] = {
        'M',  'M',
        0x00, 0x2a,
        0x00, 0x00,
        0x00, 0x08,  // header, first IFD at 8
        0x00, 0x01,  // one entry
        0x01, 0x12,
        0x00, 0x03,
        0x00, 0x00,
        0x00, 0x01,  // orientation, SHORT, count 1
        0x00, static_cast<unsigned char>(orientation),
        0x00, 0x00,
        0x00, 0x00,
        0x00, 0x00,  // no next IFD
    };
    QByteArray body("Exif\0\0", 6);
    body.append(reinterpret_cast<const char*>(tiff), sizeof tiff);
    const int length = body.size() + 2;
    QByteArray segment;
    segment.append(char(0xFF));
    segment.append(char(0xE1));
    segment.append(char(length >> 8));
    segment.append(char(length & 0xFF));
    segment.append(body);
    return segment;
}

}  // namespace

int main(int argc, char** argv) {
    QGuiApplication app(argc, argv);
    if (argc != 2) {
        std::fprintf(stderr, "usage: theme-art <resources folder>\n");
        return 2;
    }
    const QDir root(QString::fromLocal8Bit(argv[1]));
    root.mkpath("categories");
    root.mkpath("images");
    const QString images = root.filePath("images") + "/";
    const QString categories = root.filePath("categories") + "/";
    bool ok = true;

    std::map<std::string, QImage> bottoms;
    for (const art::BottomArt& bottom : art::bottomImages()) {
        const QImage image = art::drawBottom(bottom);
        bottoms[bottom.file] = image;
        ok &= writeBytes(images + QString::fromStdString(bottom.file), encode(image, "PNG"));
    }

    const QImage cotd = art::drawCOTD(art::kArtSide);
    ok &= writeBytes(images + "COTD.jpg", encode(cotd, "JPG", kJpegQuality));
    ok &= writeBytes(images + "thumb_COTD.jpg",
                     encode(art::drawThumb(cotd, QImage()), "JPG", kJpegQuality));

    const std::vector<art::CategoryArt> all = art::catalogue();
    for (std::size_t n = 0; n < all.size(); ++n) {
        const art::CategoryArt& category = all[n];
        const bool isCOTD = category.marker == "COTD";
        if (!isCOTD) {
            for (const art::ThemeArt& theme : category.themes) {
                const QImage background = art::drawTheme(theme.paint, art::kArtSide);
                const QString id = QString::fromStdString(theme.id);
                ok &= writeBytes(images + id + ".jpg", encode(background, "JPG", kJpegQuality));
                ok &= writeBytes(
                    images + "thumb_" + id + ".jpg",
                    encode(art::drawThumb(background, bottoms[theme.bottom]), "JPG", kJpegQuality));
            }
        }
        const QString file = QString::asprintf("category_%02d.plist", int(n));
        ok &= writeBytes(categories + file,
                         QByteArray::fromStdString(art::categoryPlist(category, isCOTD)));
    }

    for (const auto& [name, image] : art::interfaceImages()) {
        ok &= writeBytes(images + QString::fromStdString(name), encode(image, "PNG"));
    }

    const QImage stored = art::drawSamplePhoto().transformed(QTransform().rotate(-90));
    QByteArray photo = encode(stored, "JPG", kJpegQuality);
    photo.insert(2, exifOrientationSegment(kSamplePhotoOrientation));
    ok &= writeBytes(images + kSamplePhotoName, photo);

    if (!ok) {
        std::fprintf(stderr, "theme-art: some files could not be written\n");
        return 1;
    }
    return 0;
}
