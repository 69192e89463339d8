// Photo files from outside: the format is decided by content, only the
// formats we promise are read, files are checked before they are read, and
// every decode path turns all eight EXIF orientations upright.

#include <gtest/gtest.h>
#include <turbojpeg.h>

#include <sys/stat.h>

#include <QBuffer>
#include <QFile>
#include <QImageIOHandler>
#include <QImageReader>
#include <QImageWriter>
#include <QPainter>
#include <chrono>
#include <vector>

#include "ImageTestSupport.h"
#include "imaging/ImageOrientation.h"
#include "imaging/PhotoFile.h"
#include "imaging/PhotoFormat.h"
#include "imaging/PhotoIO.h"
#include "imaging/ResultMarker.h"
#include "support/ExifBuilder.h"
#include "support/TempFolder.h"
#include "support/TestPhotos.h"

namespace qp {
namespace {

namespace fs = std::filesystem;

QByteArray encoded(const QImage& image, const char* format) {
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    QImageWriter(&buffer, format).write(image);
    return bytes;
}

void writeFile(const fs::path& path, const QByteArray& bytes) {
    QFile file(QString::fromStdString(path.string()));
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(bytes);
}

using test::quarters;
using test::storedFor;

QByteArray cmykJpeg(const QImage& stored) {
    std::vector<unsigned char> cmyk;
    for (int y = 0; y < stored.height(); ++y) {
        for (int x = 0; x < stored.width(); ++x) {
            const QRgb p = stored.pixel(x, y);
            for (int ink : {255 - qRed(p), 255 - qGreen(p), 255 - qBlue(p), 0})
                cmyk.push_back(static_cast<unsigned char>(ink));
        }
    }
    tjhandle handle = tjInitCompress();
    unsigned char* buffer = nullptr;
    unsigned long size = 0;
    const int failed = tjCompress2(handle, cmyk.data(), stored.width(), stored.width() * 4,
                                   stored.height(), TJPF_CMYK, &buffer, &size, TJSAMP_444, 95, 0);
    QByteArray jpeg =
        failed ? QByteArray() : QByteArray(reinterpret_cast<const char*>(buffer), qsizetype(size));
    tjFree(buffer);
    tjDestroy(handle);
    return jpeg;
}

// The four quarter colours of an upright decode, as a layout signature that
// survives colour shifts (a CMYK round trip may invert or tint them).
std::vector<QRgb> cornerSignature(const Image& decoded) {
    const QImage upright = decoded.fixOrientation()->bitmap();
    const int w = upright.width(), h = upright.height();
    return {upright.pixel(w / 4, h / 4), upright.pixel(3 * w / 4, h / 4),
            upright.pixel(w / 4, 3 * h / 4), upright.pixel(3 * w / 4, 3 * h / 4)};
}

bool sameLayout(const std::vector<QRgb>& a, const std::vector<QRgb>& b) {
    for (std::size_t i = 0; i < a.size(); ++i) {
        if (std::abs(qRed(a[i]) - qRed(b[i])) > 40 || std::abs(qGreen(a[i]) - qGreen(b[i])) > 40 ||
            std::abs(qBlue(a[i]) - qBlue(b[i])) > 40)
            return false;
    }
    return true;
}

TEST(PhotoOrientation, AllEightComeOutUprightOnEveryDecodePath) {
    const QImage upright = quarters(48, 32);
    const struct {
        const char* path;
        std::function<QByteArray(const QImage&, int)> make;
    } paths[] = {
        {"TurboJPEG",
         [](const QImage& stored, int exif) {
             return test::jpegWithExif(*jpegRepresentation(Image(stored), 1.0), exif);
         }},
        {"Qt JPEG (CMYK)",
         [](const QImage& stored, int exif) {
             return test::jpegWithExif(cmykJpeg(stored), exif, false);
         }},
        {"PNG eXIf", [](const QImage& stored,
                        int exif) { return test::pngWithExif(encoded(stored, "png"), exif); }},
    };
    for (const auto& path : paths) {
        const Result<Image> reference = decodePhoto(path.make(upright, 1));
        ASSERT_TRUE(reference.ok()) << path.path;
        const std::vector<QRgb> expected = cornerSignature(*reference);
        for (int exif = 1; exif <= 8; ++exif) {
            const Result<Image> decoded = decodePhoto(path.make(storedFor(upright, exif), exif));
            ASSERT_TRUE(decoded.ok()) << path.path << " " << exif;
            EXPECT_EQ(decoded->orientation(), *orientationFromExif(exif))
                << path.path << " " << exif;
            EXPECT_TRUE(sameLayout(cornerSignature(*decoded), expected))
                << path.path << " " << exif;
        }
    }
}

TEST(PhotoOrientation, QtTransformationsMapToTheirExifOrientations) {
    using H = QImageIOHandler;
    const std::pair<H::Transformations, int> table[] = {
        {H::TransformationNone, 1},
        {H::TransformationMirror, 2},
        {H::TransformationRotate180, 3},
        {H::TransformationFlip, 4},
        {H::TransformationFlipAndRotate90, 5},
        {H::TransformationRotate90, 6},
        {H::TransformationMirrorAndRotate90, 7},
        {H::TransformationRotate270, 8},
    };
    for (const auto& [transformation, exif] : table)
        EXPECT_EQ(exifFromTransformation(int(transformation)), exif) << exif;
}

TEST(PhotoFormat, DecidedByContentNeverByName) {
    const QImage small = quarters(8, 6);
    // Qt writes no GIF: the smallest one, a single white pixel, by hand.
    const QByteArray gif = QByteArray::fromHex(
        "4749463839610100010080000"
        "0ffffff0000002c00000000010001000002024401003b");
    const struct {
        QByteArray bytes;
        PhotoFormat format;
        int width = 8;
        int height = 6;
    } cases[] = {
        {*jpegRepresentation(Image(small), 0.9), PhotoFormat::Jpeg},
        {encoded(small, "png"), PhotoFormat::Png},
        {gif, PhotoFormat::Gif, 1, 1},
        {encoded(small, "bmp"), PhotoFormat::Bmp},
        {"<?xml version='1.0'?><svg xmlns='http://www.w3.org/2000/svg'/>", PhotoFormat::Unknown},
        {"BM but no header", PhotoFormat::Unknown},
        {"", PhotoFormat::Unknown},
    };
    for (const auto& c : cases) {
        const auto* data = reinterpret_cast<const std::uint8_t*>(c.bytes.constData());
        const std::size_t size = std::size_t(c.bytes.size());
        EXPECT_EQ(sniffPhotoFormat(data, size), c.format) << c.bytes.left(8).toHex().toStdString();
        if (c.format == PhotoFormat::Unknown) {
            EXPECT_FALSE(decodePhoto(c.bytes).ok());
            continue;
        }
        const auto header = headerPixelSize(data, size, c.format);
        ASSERT_TRUE(header) << photoFormatName(c.format);
        EXPECT_EQ(header->width, c.width);
        EXPECT_EQ(header->height, c.height);
        const Result<Image> decoded = decodePhoto(c.bytes);
        ASSERT_TRUE(decoded.ok()) << photoFormatName(c.format);
        EXPECT_EQ(decoded->width(), c.width);
    }
}

TEST(PhotoFile, OnlyRegularFilesWithinTheLimitsAreRead) {
    TempFolder folder;
    const fs::path fifo = folder.path() / "fifo.png";
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    const fs::path sparse = folder.path() / "sparse.jpg";
    writeFile(sparse, "\xFF\xD8\xFF");
    fs::resize_file(sparse, 6ULL << 30);
    const fs::path svg = folder.path() / "named.jpg";
    writeFile(svg, "<svg xmlns='http://www.w3.org/2000/svg'><image href='secret.jpg'/></svg>");
    // A PNG header that claims 20000 × 20000 pixels, refused before the rest is read.
    QByteArray bomb = encoded(quarters(4, 4), "png");
    for (int at : {16, 20}) bomb.replace(at, 4, QByteArray("\x00\x00\x4E\x20", 4));
    const fs::path big = folder.path() / "bomb.png";
    writeFile(big, bomb);

    const std::pair<fs::path, int> refused[] = {
        {folder.path(), kImagingErrorNotAFile},
        {"/dev/zero", kImagingErrorNotAFile},
        {fifo, kImagingErrorNotAFile},
        {sparse, kImagingErrorFileTooLarge},
        {svg, kImagingErrorUnsupportedFormat},
        {big, kImagingErrorTooLarge},
        {folder.path() / "missing.jpg", kImagingErrorUnreadable},
    };
    const auto started = std::chrono::steady_clock::now();
    for (const auto& [path, code] : refused) {
        const Result<QByteArray> bytes = readPhotoFile(path.string());
        ASSERT_FALSE(bytes.ok()) << path;
        EXPECT_EQ(bytes.error().code(), code) << path << " " << bytes.error().description();
        EXPECT_FALSE(readPhoto(path.string()).ok()) << path;
    }
    EXPECT_LT(std::chrono::steady_clock::now() - started, std::chrono::seconds(5));

    const fs::path photo = folder.path() / "photo.gif";
    writeFile(photo, encoded(quarters(8, 8), "png"));  // a PNG under another name
    EXPECT_TRUE(readPhoto(photo.string()).ok());
    EXPECT_FALSE(readPhotoFile(photo.string(), {.maxBytes = 10}).ok());
    const Result<Image> thumbnail = readPhotoThumbnail(photo.string(), 4);
    ASSERT_TRUE(thumbnail.ok());
    EXPECT_EQ(thumbnail->width(), 4);
    EXPECT_FALSE(readPhotoThumbnail(svg.string(), 4).ok());
}

TEST(PhotoInput, JpegMissingOnlyItsEndMarkerIsReadWithAWarning) {
    const QByteArray whole = *jpegRepresentation(Image(quarters(64, 48)), 0.9);
    ASSERT_TRUE(whole.endsWith("\xFF\xD9"));
    std::vector<std::string> warnings;
    DecodeOptions options;
    options.warnings = &warnings;
    const Result<Image> decoded = decodePhoto(whole.left(whole.size() - 2), options);
    ASSERT_TRUE(decoded.ok()) << decoded.error().description();
    EXPECT_EQ(decoded->width(), 64);
    ASSERT_EQ(warnings.size(), 1u);
    EXPECT_NE(warnings[0].find("end marker"), std::string::npos);

    // Cut inside the picture data, it is still refused.
    warnings.clear();
    EXPECT_FALSE(decodePhoto(whole.left(whole.size() * 2 / 3), options).ok());
    EXPECT_TRUE(warnings.empty());
}

TEST(PhotoInput, QtMayAllocateWhatThePixelLimitAllowsAtSixteenBitsPerChannel) {
    QImage deep(4, 4, QImage::Format_RGBA64);
    deep.fill(Qt::red);
    ASSERT_TRUE(decodePhoto(encoded(deep, "png")).ok());
    const std::int64_t allowed = std::int64_t(QImageReader::allocationLimit()) * 1024 * 1024;
    EXPECT_GE(allowed, kMaxDecodedPixels * 8);
}

TEST(ResultMarker, MarkedFilesAreToldFromPhotosAndStillDecode) {
    const QImage picture = quarters(16, 16);
    for (const QByteArray& plain :
         {*jpegRepresentation(Image(picture), 1.0), *pngRepresentation(Image(picture))}) {
        EXPECT_FALSE(carriesResultMarker(plain));
        const QByteArray marked = withResultMarker(plain);
        EXPECT_TRUE(carriesResultMarker(marked));
        const Result<Image> decoded = decodePhoto(marked);
        ASSERT_TRUE(decoded.ok()) << decoded.error().description();
        EXPECT_EQ(decoded->bitmap().pixel(2, 2), decoded->bitmap().pixel(3, 3));
        // Qt's own reader accepts the PNG chunk too (its checksum is right).
        QImage viaQt;
        EXPECT_TRUE(viaQt.loadFromData(marked));
    }
    EXPECT_FALSE(carriesResultMarker(QByteArray("Made with Quillpost")));
}

}  // namespace
}  // namespace qp
