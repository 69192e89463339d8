// HEIC photos: the container's rotation and mirror turn every orientation
// upright, a Display P3 profile is converted, the pixel limit holds before
// decoding, and damaged files or foreign codecs are clear errors.

#include <gtest/gtest.h>

#include <QFile>
#include <string>
#include <vector>

#include "HeicTestSupport.h"
#include "ImageTestSupport.h"
#include "ProfileTestSupport.h"
#include "imaging/PhotoFile.h"
#include "imaging/PhotoFormat.h"
#include "imaging/PhotoIO.h"
#include "support/TempFolder.h"
#include "support/TestPhotos.h"

namespace qp {
namespace {

using test::channelDistance;

QImage solid(int w, int h, QRgb colour) {
    QImage image(w, h, QImage::Format_RGB32);
    image.fill(colour);
    return image;
}

TEST(HeicPhoto, EveryOrientationComesOutUpright) {
    const QImage upright = test::quarters(64, 48);
    const QRgb corners[] = {qRgb(255, 0, 0), qRgb(0, 255, 0), qRgb(0, 0, 255), qRgb(255, 255, 0)};
    for (int exif = 1; exif <= 8; ++exif) {
        const QByteArray heic =
            test::encodeHeic(test::storedFor(upright, exif), test::heicOriented(exif));
        ASSERT_FALSE(heic.isEmpty()) << exif;
        const Result<Image> decoded = decodePhoto(heic);
        ASSERT_TRUE(decoded.ok()) << exif << ": " << decoded.error().description();
        EXPECT_EQ(decoded->orientation(), ImageOrientation::Up) << exif;
        const QImage& bitmap = decoded->bitmap();
        ASSERT_EQ(bitmap.size(), upright.size()) << exif;
        const QPoint probes[] = {{16, 12}, {48, 12}, {16, 36}, {48, 36}};
        for (int i = 0; i < 4; ++i) {
            EXPECT_LE(channelDistance(bitmap.pixel(probes[i]), corners[i]), 40)
                << "orientation " << exif << ", quarter " << i;
        }
    }
}

TEST(HeicPhoto, ADisplayP3ProfileIsConvertedToSrgb) {
    const QByteArray p3 = test::displayP3Profile();
    const QRgb stored = qRgb(200, 60, 60);
    const QRgb expected = test::referenceSrgb(p3, stored);
    ASSERT_GT(channelDistance(expected, stored), 10);
    const Result<Image> tagged =
        decodePhoto(test::encodeHeic(solid(64, 64, stored), test::heicWithIcc(p3)));
    ASSERT_TRUE(tagged.ok()) << tagged.error().description();
    EXPECT_LE(channelDistance(tagged->bitmap().pixel(32, 32), expected), 4)
        << std::hex << tagged->bitmap().pixel(32, 32) << " against " << expected;
    const Result<Image> untagged = decodePhoto(test::encodeHeic(solid(64, 64, stored)));
    ASSERT_TRUE(untagged.ok());
    EXPECT_LE(channelDistance(untagged->bitmap().pixel(32, 32), stored), 4);
}

TEST(HeicPhoto, ADamagedProfileCostsOneWarning) {
    const QByteArray p3 = test::displayP3Profile();
    const QRgb stored = qRgb(30, 120, 220);
    std::vector<std::string> warnings;
    DecodeOptions options;
    options.warnings = &warnings;
    const Result<Image> decoded = decodePhoto(
        test::encodeHeic(solid(64, 64, stored), test::heicWithIcc(p3.left(p3.size() / 2))),
        options);
    ASSERT_TRUE(decoded.ok());
    EXPECT_LE(channelDistance(decoded->bitmap().pixel(32, 32), stored), 4);
    EXPECT_EQ(warnings.size(), 1u);
}

TEST(HeicPhoto, IsToldByContentAndReadFromFilesAndThumbnails) {
    const QByteArray heic = test::encodeHeic(test::quarters(64, 48));
    EXPECT_EQ(sniffPhotoFormat(reinterpret_cast<const std::uint8_t*>(heic.constData()),
                               std::size_t(heic.size())),
              PhotoFormat::Heif);
    TempFolder folder;
    const auto path = folder.path() / "photo.jpg";  // the name does not matter
    QFile file(QString::fromStdString(path.string()));
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(heic);
    file.close();
    const Result<Image> photo = readPhoto(path.string());
    ASSERT_TRUE(photo.ok()) << photo.error().description();
    EXPECT_EQ(photo->bitmap().size(), QSize(64, 48));
    const Result<Image> thumbnail = readPhotoThumbnail(path.string(), 12);
    ASSERT_TRUE(thumbnail.ok());
    EXPECT_EQ(thumbnail->bitmap().size(), QSize(16, 12));
    EXPECT_LE(channelDistance(thumbnail->bitmap().pixel(2, 2), qRgb(255, 0, 0)), 40);
}

TEST(HeicPhoto, LimitsDamageAndForeignCodecsAreClearErrors) {
    const QByteArray heic = test::encodeHeic(test::quarters(64, 48));
    const Result<Image> tooLarge = decodePhoto(heic, {.maxPixels = 64 * 48 - 1});
    ASSERT_FALSE(tooLarge.ok());
    EXPECT_EQ(tooLarge.error().code(), kImagingErrorTooLarge);

    // A 64 × 48 picture is a grid of one tile; its header claiming a canvas
    // of 16384 × 12288 is refused before anything is allocated.
    QByteArray claimsMore = heic;
    const qsizetype idat = claimsMore.indexOf("idat");
    ASSERT_GE(idat, 0);
    claimsMore.replace(idat + 8, 4, QByteArray("\x40\x00\x30\x00", 4));
    const Result<Image> canvas = decodePhoto(claimsMore);
    ASSERT_FALSE(canvas.ok());
    EXPECT_EQ(canvas.error().code(), kImagingErrorTooLarge) << canvas.error().description();

    for (const qsizetype keep : {heic.size() / 2, heic.size() - 10, qsizetype(40)}) {
        const Result<Image> cut = decodePhoto(heic.left(keep));
        EXPECT_FALSE(cut.ok()) << keep;
    }

    // A single picture item (no grid) relabelled as JPEG-coded, a codec
    // that libheif knows but this build has no decoder for.
    QByteArray foreign = test::encodeHeic(test::quarters(64, 64));
    const qsizetype itemType = foreign.indexOf("hvc1");
    ASSERT_GE(itemType, 0);
    foreign.replace(itemType, 4, "jpeg");
    const Result<Image> unsupported = decodePhoto(foreign);
    ASSERT_FALSE(unsupported.ok());
    EXPECT_EQ(unsupported.error().code(), kImagingErrorUnsupportedCodec)
        << unsupported.error().description();
    EXPECT_NE(unsupported.error().description().find("compressed as JPEG"), std::string::npos)
        << unsupported.error().description();
}

}  // namespace
}  // namespace qp
