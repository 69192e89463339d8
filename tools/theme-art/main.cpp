// theme-art: draws the bundled theme art and what goes with it.
//   theme-art RESOURCES            theme art, interface images, demo photo and
//                                  category files into that folder
//   theme-art --samples DIR        the contact sheet's sample photos
//   theme-art --themes             one CATEGORY/INDEX per bundled theme
//   theme-art --sheet OUT RESULTS  the contact sheet from composed results
//   theme-art --interface-icons DIR  the screens' icon set, the app's mark
//                                  and the start screen's sample composition
//   theme-art --icon DIR NAME      the app icon as an icon-theme tree: DIR/
//                                  scalable/apps/NAME.svg and NxN/apps/NAME.png

#include <QBuffer>
#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QTransform>
#include <cstdio>
#include <map>
#include <set>
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

bool writeSamples(const QString& folder) {
    QDir().mkpath(folder);
    bool ok = true;
    for (const art::SamplePhoto& sample : art::samplePhotos()) {
        ok &= writeBytes(folder + "/" + QString::fromStdString(sample.file),
                         encode(sample.image, "JPG", kJpegQuality));
    }
    return ok;
}

void printThemes() {
    const std::vector<art::CategoryArt> all = art::catalogue();
    for (std::size_t n = 0; n < all.size(); ++n) {
        for (std::size_t i = 0; i < all[n].themes.size(); ++i) std::printf("%zu/%zu\n", n, i);
    }
}

int writeSheet(const QString& out, const std::string& results) {
    std::string missing;
    const QImage sheet = art::drawContactSheet(art::catalogue(), results, missing);
    if (sheet.isNull()) {
        std::fprintf(stderr, "theme-art: no result %s; compose every theme first\n",
                     missing.c_str());
        return 1;
    }
    if (!writeBytes(out, encode(sheet, "PNG"))) {
        std::fprintf(stderr, "theme-art: could not write %s\n", out.toLocal8Bit().constData());
        return 1;
    }
    return 0;
}

// Files in `folder` that this run did not write are left over from themes
// that are gone: remove them so the folder holds exactly the catalogue.
void removeStale(const QString& folder, const std::set<QString>& written) {
    for (const QString& name : QDir(folder).entryList({"*.jpg", "*.png"}, QDir::Files)) {
        if (written.count(name) == 0 && QFile::remove(folder + name)) {
            std::printf("theme-art: removed %s\n", name.toLocal8Bit().constData());
        }
    }
}

// The sample feed: its art, then its property lists.
bool writeFeedSample(const QString& folder) {
    QDir root(folder);
    bool ok = root.mkpath("art") && root.mkpath("feed2") && root.mkpath("themes");
    const QString art = root.filePath("art") + "/";
    std::set<QString> written;
    const auto write = [&](const QString& name, const QByteArray& bytes) {
        written.insert(name);
        ok &= writeBytes(art + name, bytes);
    };
    const art::BottomArt bottomArt = art::feedSampleBottom();
    const QImage bottom = art::drawBottom(bottomArt);
    write(QString::fromStdString(bottomArt.file), encode(bottom, "PNG"));
    std::vector<art::ThemeArt> looks = art::feedSampleLooks();
    looks.push_back(art::feedSampleSpecialLook());
    for (const art::ThemeArt& look : looks) {
        const QImage background = art::drawTheme(look.paint, art::kArtSide);
        const QString id = QString::fromStdString(look.id);
        write(id + ".jpg", encode(background, "JPG", kJpegQuality));
        write("thumb_" + id + ".jpg",
              encode(art::drawThumb(background, bottom), "JPG", kJpegQuality));
    }
    removeStale(art, written);
    ok &= writeBytes(root.filePath("feed2/COTD latest revision.plist"),
                     QByteArray::fromStdString(art::feedRevisionPlist()));
    ok &= writeBytes(root.filePath("themes/month.plist"),
                     QByteArray::fromStdString(art::feedMonthPlist()));
    ok &= writeBytes(root.filePath("themes/special-days.plist"),
                     QByteArray::fromStdString(art::feedSpecialDayPlist()));
    return ok;
}

int writeResources(const QDir& root) {
    root.mkpath("categories");
    root.mkpath("images");
    const QString images = root.filePath("images") + "/";
    const QString categories = root.filePath("categories") + "/";
    bool ok = true;
    std::set<QString> written;
    const auto write = [&](const QString& name, const QByteArray& bytes) {
        written.insert(name);
        ok &= writeBytes(images + name, bytes);
    };

    std::map<std::string, QImage> bottoms;
    for (const art::BottomArt& bottom : art::bottomImages()) {
        const QImage image = art::drawBottom(bottom);
        bottoms[bottom.file] = image;
        write(QString::fromStdString(bottom.file), encode(image, "PNG"));
    }

    const QImage cotd = art::drawCOTD(art::kArtSide);
    write("COTD.jpg", encode(cotd, "JPG", kJpegQuality));
    write("thumb_COTD.jpg", encode(art::drawThumb(cotd, QImage()), "JPG", kJpegQuality));

    const std::vector<art::CategoryArt> all = art::catalogue();
    for (std::size_t n = 0; n < all.size(); ++n) {
        const art::CategoryArt& category = all[n];
        const bool isCOTD = category.marker == "COTD";
        if (!isCOTD) {
            for (const art::ThemeArt& theme : category.themes) {
                const QImage background = art::drawTheme(theme.paint, art::kArtSide);
                const QString id = QString::fromStdString(theme.id);
                write(id + ".jpg", encode(background, "JPG", kJpegQuality));
                write(
                    "thumb_" + id + ".jpg",
                    encode(art::drawThumb(background, bottoms[theme.bottom]), "JPG", kJpegQuality));
            }
        }
        const QString file = QString::asprintf("category_%02d.plist", int(n));
        ok &= writeBytes(categories + file,
                         QByteArray::fromStdString(art::categoryPlist(category, isCOTD)));
    }

    ok &= writeFeedSample(root.filePath("feed-sample"));

    for (const auto& [name, image] : art::interfaceImages()) {
        write(QString::fromStdString(name), encode(image, "PNG"));
    }

    const QImage stored = art::drawSamplePhoto().transformed(QTransform().rotate(-90));
    QByteArray photo = encode(stored, "JPG", kJpegQuality);
    photo.insert(2, exifOrientationSegment(kSamplePhotoOrientation));
    write(kSamplePhotoName, photo);

    if (!ok) {
        std::fprintf(stderr, "theme-art: some files could not be written\n");
        return 1;
    }
    removeStale(images, written);
    return 0;
}

// The raster sizes of the icon; the desktop looks for them in the icon theme.
constexpr int kIconSizes[] = {48, 128, 256};

bool writeIcons(const QString& folder, const QString& name) {
    QDir root(folder);
    bool ok = root.mkpath("scalable/apps");
    ok &= writeBytes(root.filePath("scalable/apps/" + name + ".svg"),
                     QByteArray::fromStdString(art::iconSvg()));
    for (int side : kIconSizes) {
        const QString sub = QString("%1x%1/apps").arg(side);
        ok &= root.mkpath(sub);
        ok &= writeBytes(root.filePath(sub + "/" + name + ".png"),
                         encode(art::drawIcon(side), "PNG"));
    }
    if (!ok)
        std::fprintf(stderr, "theme-art: could not write the icon under %s\n", qPrintable(folder));
    return ok;
}

// The start screen's pictures: the app's mark and a sample composition,
// drawn for their largest size (a tablet at two-fold scale).
constexpr int kMarkSide = 192;
constexpr int kSampleCompositionSide = 640;
constexpr const char* kSampleCompositionTheme = "frame_airmail";

// The interface's icon set and the start screen's pictures into `folder`;
// files that are no longer drawn are removed.
bool writeInterfaceIcons(const QString& folder) {
    bool ok = QDir().mkpath(folder);
    const QString dir = folder + "/";
    std::set<QString> written;
    const auto write = [&](const QString& name, const QByteArray& bytes) {
        written.insert(name);
        ok &= writeBytes(dir + name, bytes);
    };
    for (const auto& [name, image] : art::interfaceIcons()) {
        write(QString::fromStdString(name), encode(image, "PNG"));
    }
    write("mark.png", encode(art::drawIcon(kMarkSide), "PNG"));
    for (const art::CategoryArt& category : art::catalogue()) {
        for (const art::ThemeArt& theme : category.themes) {
            if (theme.id != kSampleCompositionTheme) continue;
            const QImage sample = art::drawSampleComposition(
                theme.paint, art::samplePhotos().front().image, kSampleCompositionSide);
            write("sample-composition.jpg", encode(sample, "JPG", kJpegQuality));
        }
    }
    ok &= written.count("sample-composition.jpg") == 1;
    if (!ok) std::fprintf(stderr, "theme-art: some icons could not be written\n");
    removeStale(dir, written);
    return ok;
}

constexpr const char* kUsage =
    "usage: theme-art RESOURCES | --samples DIR | --themes | --sheet OUT.png RESULTS |\n"
    "       --interface-icons DIR |\n"
    "       --icon DIR NAME\n";

}  // namespace

int main(int argc, char** argv) {
    // Drawing needs no screen.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    const QStringList args = app.arguments().mid(1);
    if (args.size() == 1 && args[0] == "--themes") {
        printThemes();
        return 0;
    }
    if (args.size() == 2 && args[0] == "--samples") return writeSamples(args[1]) ? 0 : 1;
    if (args.size() == 2 && args[0] == "--interface-icons")
        return writeInterfaceIcons(args[1]) ? 0 : 1;
    if (args.size() == 3 && args[0] == "--icon") return writeIcons(args[1], args[2]) ? 0 : 1;
    if (args.size() == 3 && args[0] == "--sheet") return writeSheet(args[1], args[2].toStdString());
    if (args.size() == 1 && !args[0].startsWith("--")) return writeResources(QDir(args[0]));
    std::fprintf(stderr, "%s", kUsage);
    return 2;
}
