#include <gtest/gtest.h>
#include <turbojpeg.h>

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QImageWriter>
#include <vector>

#include "ImageTestSupport.h"
#include "imaging/ExifReader.h"
#include "imaging/PhotoIO.h"
#include "platform/Paths.h"
#include "support/ExifBuilder.h"
#include "support/TempFolder.h"

namespace qp {
namespace {

QByteArray smallJpeg(int w = 16, int h = 8) {
    auto jpeg = jpegRepresentation(Image(test::codedBitmap(w, h)), 1.0);
    EXPECT_TRUE(jpeg.ok());
    return jpeg.ok() ? *jpeg : QByteArray();
}

QByteArray withExif(const QByteArray& jpeg, int orientation, bool bigEndian = false) {
    return test::jpegWithExif(jpeg, orientation, bigEndian);
}

std::optional<int> exifOf(const QByteArray& bytes) {
    return readExifOrientation(reinterpret_cast<const std::uint8_t*>(bytes.constData()),
                               std::size_t(bytes.size()));
}

TEST(PhotoInput, ExifOrientationFromFilesBecomesTheTagUnapplied) {
    const struct {
        int exif;
        ImageOrientation tag;
    } cases[] = {{1, ImageOrientation::Up},
                 {2, ImageOrientation::UpMirrored},
                 {3, ImageOrientation::Down},
                 {4, ImageOrientation::DownMirrored},
                 {5, ImageOrientation::LeftMirrored},
                 {6, ImageOrientation::Right},
                 {7, ImageOrientation::RightMirrored},
                 {8, ImageOrientation::Left}};
    const TempFolder dir;
    const QByteArray plain = smallJpeg();
    for (const auto& c : cases) {
        for (bool bigEndian : {false, true}) {
            const std::string path =
                (dir.path() / ("photo" + std::to_string(c.exif) + ".jpg")).string();
            ASSERT_TRUE(
                writeFileAtomically(path, bytesOf(withExif(plain, c.exif, bigEndian))).ok());
            const auto photo = readPhoto(path);
            ASSERT_TRUE(photo.ok()) << photo.error().toString();
            EXPECT_EQ(photo->orientation(), c.tag) << c.exif;
            EXPECT_EQ(photo->width(), 16);  // stored pixels, not turned
            EXPECT_EQ(photo->height(), 8);
        }
    }
    const auto untagged = decodePhoto(plain);
    ASSERT_TRUE(untagged.ok());
    EXPECT_EQ(untagged->orientation(), ImageOrientation::Up);
    EXPECT_EQ(untagged->pixelFormat(), PixelFormat::Rgbx);
}

TEST(ExifReader, MalformedBlocksGiveNothingAndNeverReadPastTheEnd) {
    const QByteArray good = withExif(smallJpeg(), 6);
    ASSERT_EQ(exifOf(good), 6);
    EXPECT_EQ(exifOf(withExif(smallJpeg(), 9)), std::nullopt);  // out of range
    // Every cut of the file inside the EXIF block: no answer, no overread
    // (the sanitizer build checks the latter).
    for (int cut = 0; cut < 50; ++cut) {
        const QByteArray head = good.left(cut);
        std::vector<std::uint8_t> exact(head.begin(), head.end());
        EXPECT_EQ(readExifOrientation(exact.data(), exact.size()), std::nullopt) << cut;
    }
    QByteArray badOffset = good;
    badOffset[2 + 2 + 2 + 6 + 4] = char(0x7f);  // IFD offset far past the block
    EXPECT_EQ(exifOf(badOffset), std::nullopt);
    EXPECT_EQ(exifOf(QByteArray("not a jpeg")), std::nullopt);
}

TEST(PhotoInput, ShrinkOnLoadRoundsUp) {
    const QByteArray jpeg = smallJpeg(20, 9);
    for (const auto& [shrink, w, h] :
         {std::tuple{1, 20, 9}, std::tuple{2, 10, 5}, std::tuple{4, 5, 3}, std::tuple{8, 3, 2},
          std::tuple{3, 10, 5}}) {
        const auto photo = decodePhoto(jpeg, {.shrink = shrink});
        ASSERT_TRUE(photo.ok());
        EXPECT_EQ(photo->width(), w) << shrink;
        EXPECT_EQ(photo->height(), h) << shrink;
    }
}

TEST(PhotoInput, CorruptTruncatedAndEmptyFilesAreErrors) {
    const QByteArray jpeg = smallJpeg(64, 64);
    QByteArray corrupt = jpeg;
    for (qsizetype i = corrupt.size() / 2; i < corrupt.size() - 2; ++i) corrupt[i] = char(0xFF);
    QByteArray garbage = jpeg.left(4) + QByteArray(200, '\x5a');
    const QByteArray inputs[] = {jpeg.left(jpeg.size() / 2),
                                 jpeg.left(40),
                                 corrupt,
                                 garbage,
                                 QByteArray("\x89PNG\r\n\x1a\n broken", 16),
                                 QByteArray()};
    for (const auto& bytes : inputs) {
        const auto photo = decodePhoto(bytes);
        ASSERT_FALSE(photo.ok()) << bytes.size();
        EXPECT_EQ(photo.error().domain(), kImagingErrorDomain);
        EXPECT_EQ(photo.error().code(), kImagingErrorUnreadable);
        EXPECT_FALSE(photo.error().description().empty());
    }
    EXPECT_FALSE(readPhoto("/nonexistent/photo.jpg").ok());
}

TEST(PhotoInput, CmykJpegIsReadThroughTheFallbackReader) {
    std::vector<unsigned char> cmyk(8 * 8 * 4, 0);  // no ink: white
    tjhandle handle = tjInitCompress();
    unsigned char* buffer = nullptr;
    unsigned long size = 0;
    ASSERT_EQ(
        tjCompress2(handle, cmyk.data(), 8, 32, 8, TJPF_CMYK, &buffer, &size, TJSAMP_444, 95, 0),
        0);
    const QByteArray jpeg(reinterpret_cast<const char*>(buffer), qsizetype(size));
    tjFree(buffer);
    tjDestroy(handle);
    const auto photo = decodePhoto(jpeg);
    ASSERT_TRUE(photo.ok()) << photo.error().toString();
    EXPECT_EQ(photo->width(), 8);
    EXPECT_EQ(photo->height(), 8);
}

TEST(PhotoInput, GiganticHeaderIsRefusedBeforeDecoding) {
    QByteArray jpeg = smallJpeg();
    const qsizetype sof = jpeg.indexOf(QByteArray("\xFF\xC0", 2));
    ASSERT_GT(sof, 0);
    // Height and width 60000 each: 3.6 gigapixels.
    for (int i : {5, 7}) {
        jpeg[sof + i] = char(0xEA);
        jpeg[sof + i + 1] = char(0x60);
    }
    const auto photo = decodePhoto(jpeg);
    ASSERT_FALSE(photo.ok());
    EXPECT_EQ(photo.error().code(), kImagingErrorTooLarge);
    // The limit is adjustable; a small one refuses a small photo too.
    const auto limited = decodePhoto(smallJpeg(), {.maxPixels = 100});
    ASSERT_FALSE(limited.ok());
    EXPECT_EQ(limited.error().code(), kImagingErrorTooLarge);
}

TEST(PhotoOutput, JpegAtFullQualityKeepsChromaAndTurnsUpright) {
    // Alternating red and blue columns: subsampled chroma would smear them.
    QImage columns(16, 16, QImage::Format_RGB32);
    for (int y = 0; y < 16; ++y)
        for (int x = 0; x < 16; ++x)
            columns.setPixel(x, y, x % 2 ? qRgb(255, 0, 0) : qRgb(0, 0, 255));
    const auto jpeg = jpegRepresentation(Image(columns, ImageOrientation::Right), 1.0);
    ASSERT_TRUE(jpeg.ok());
    tjhandle handle = tjInitDecompress();
    int w = 0, h = 0, sampling = -1, colourspace = -1;
    ASSERT_EQ(tjDecompressHeader3(handle, reinterpret_cast<const unsigned char*>(jpeg->constData()),
                                  static_cast<unsigned long>(jpeg->size()), &w, &h, &sampling,
                                  &colourspace),
              0);
    tjDestroy(handle);
    EXPECT_EQ(sampling, TJSAMP_444);
    const auto back = decodePhoto(*jpeg);
    ASSERT_TRUE(back.ok());
    // Turned upright: the columns became rows, the blue first column on top.
    const QRgb top = back->bitmap().pixel(5, 0);
    const QRgb next = back->bitmap().pixel(5, 1);
    EXPECT_GT(qBlue(top), 200);
    EXPECT_LT(qRed(top), 60);
    EXPECT_GT(qRed(next), 200);
    EXPECT_LT(qBlue(next), 60);
    EXPECT_FALSE(jpegRepresentation(Image(), 1.0).ok());
}

TEST(PhotoOutput, GreyJpegAndPngRoundTrips) {
    QImage grey(5, 3, QImage::Format_Grayscale8);
    grey.fill(77);
    const auto greyJpeg = jpegRepresentation(Image(grey), 1.0);
    ASSERT_TRUE(greyJpeg.ok());
    const auto greyBack = decodePhoto(*greyJpeg);
    ASSERT_TRUE(greyBack.ok());
    EXPECT_EQ(greyBack->pixelFormat(), PixelFormat::Grey8);
    EXPECT_NEAR(greyBack->bitmap().constScanLine(1)[2], 77, 1);

    QImage translucent = test::filledBitmap(3, 2, Qt::transparent);
    translucent.setPixel(0, 0, qRgba(100, 0, 0, 128));
    const auto png = pngRepresentation(Image(translucent));
    ASSERT_TRUE(png.ok());
    const auto pngBack = decodePhoto(*png);
    ASSERT_TRUE(pngBack.ok());
    EXPECT_EQ(pngBack->pixelFormat(), PixelFormat::PremultipliedArgb);
    EXPECT_NEAR(qAlpha(pngBack->bitmap().pixel(0, 0)), 128, 1);
    EXPECT_EQ(qAlpha(pngBack->bitmap().pixel(2, 1)), 0);
}

}  // namespace
}  // namespace qp

TEST(PhotoInput, PngWhoseChunksRunPastTheEndIsRefusedAtOnce) {
    QImage tiny(7, 7, QImage::Format_ARGB32);
    tiny.fill(Qt::red);
    QByteArray png;
    QBuffer out(&png);
    out.open(QIODevice::WriteOnly);
    ASSERT_TRUE(tiny.save(&out, "PNG"));
    ASSERT_TRUE(qp::decodePhoto(png).ok());

    // A text chunk that claims kilobytes in a file of a few hundred bytes,
    // placed before the end chunk.
    QByteArray lying = png.left(png.size() - 12);
    lying += QByteArray("\x00\x00\x25\x74tEXtdate", 12) + QByteArray(20, 'x') + png.right(12);
    const auto photo = qp::decodePhoto(lying);
    ASSERT_FALSE(photo.ok());
    EXPECT_EQ(photo.error().code(), qp::kImagingErrorUnreadable);
    // No end chunk at all.
    EXPECT_FALSE(qp::decodePhoto(png.left(png.size() - 12)).ok());
}
