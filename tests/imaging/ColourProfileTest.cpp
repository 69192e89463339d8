// Photos with colour profiles come out in sRGB: a profile that swaps red and
// green shows that the conversion happens on every path, Display P3 and
// Adobe RGB match Little CMS's own conversion, and a damaged profile costs
// one warning, never the photo.

#include <gtest/gtest.h>

#include <QFile>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "ProfileTestSupport.h"
#include "imaging/ColourConversion.h"
#include "imaging/PhotoIO.h"
#include "support/TempFolder.h"

namespace qp {
namespace {

using test::channelDistance;

QImage solid(int w, int h, QRgb colour) {
    QImage image(w, h, QImage::Format_RGB32);
    image.fill(colour);
    return image;
}

QByteArray jpegOf(const QImage& image) {
    return *jpegRepresentation(Image(image), 1.0);
}
QByteArray pngOf(const QImage& image) {
    return *pngRepresentation(Image(image));
}

struct Decoded {
    QRgb centre = 0;
    std::vector<std::string> warnings;
    bool ok = false;
};

Decoded decodeCentre(const QByteArray& bytes) {
    Decoded out;
    DecodeOptions options;
    options.warnings = &out.warnings;
    const Result<Image> image = decodePhoto(bytes, options);
    out.ok = image.ok();
    if (out.ok) {
        const QImage& bitmap = image->bitmap();
        out.centre = bitmap.pixel(bitmap.width() / 2, bitmap.height() / 2);
    }
    return out;
}

TEST(ColourProfile, StoredGreenShowsRedUnderASwappingProfileInEveryContainer) {
    const QByteArray swap = test::swappedRedGreenProfile();
    const QImage stored = solid(16, 16, qRgb(0, 200, 0));
    const struct {
        const char* name;
        QByteArray bytes;
    } cases[] = {
        {"JPEG, one chunk", test::jpegWithIcc(jpegOf(stored), swap)},
        {"JPEG, three chunks out of order", test::jpegWithIcc(jpegOf(stored), swap, 3)},
        {"PNG iCCP", test::pngWithIcc(pngOf(stored), swap)},
    };
    for (const auto& c : cases) {
        const Decoded decoded = decodeCentre(c.bytes);
        ASSERT_TRUE(decoded.ok) << c.name;
        EXPECT_LE(channelDistance(decoded.centre, qRgb(200, 0, 0)), 2)
            << c.name << ": " << std::hex << decoded.centre;
        EXPECT_TRUE(decoded.warnings.empty()) << c.name;
    }
}

TEST(ColourProfile, ALargePhotoIsConvertedInEveryRow) {
    // Large enough to be converted in bands of rows.
    QImage stored(1500, 1400, QImage::Format_RGB32);
    stored.fill(qRgb(0, 200, 0));
    const Result<Image> decoded =
        decodePhoto(test::pngWithIcc(pngOf(stored), test::swappedRedGreenProfile()));
    ASSERT_TRUE(decoded.ok());
    const QImage& bitmap = decoded->bitmap();
    for (int y = 0; y < bitmap.height(); ++y) {
        for (int x : {0, 749, 1499}) {
            ASSERT_LE(channelDistance(bitmap.pixel(x, y), qRgb(200, 0, 0)), 2) << x << ", " << y;
        }
    }
}

TEST(ColourProfile, ThePickersThumbnailShowsConvertedColoursToo) {
    TempFolder folder;
    const auto path = folder.path() / "tagged.png";
    QFile file(QString::fromStdString(path.string()));
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(
        test::pngWithIcc(pngOf(solid(40, 20, qRgb(0, 200, 0))), test::swappedRedGreenProfile()));
    file.close();
    const Result<Image> thumbnail = readPhotoThumbnail(path.string(), 8);
    ASSERT_TRUE(thumbnail.ok());
    EXPECT_LE(channelDistance(thumbnail->bitmap().pixel(2, 2), qRgb(200, 0, 0)), 2);
}

TEST(ColourProfile, WideGamutPhotosMatchLittleCmsOwnConversion) {
    const QRgb colours[] = {qRgb(255, 0, 0),   qRgb(0, 200, 0),    qRgb(0, 0, 255),
                            qRgb(200, 60, 60), qRgb(30, 120, 220), qRgb(128, 128, 128),
                            qRgb(250, 240, 10)};
    const struct {
        const char* name;
        QByteArray icc;
    } profiles[] = {{"Display P3", test::displayP3Profile()},
                    {"Adobe RGB", test::adobeRgbProfile()}};
    for (const auto& profile : profiles) {
        QImage stored(int(std::size(colours)), 1, QImage::Format_RGB32);
        for (int x = 0; x < stored.width(); ++x) stored.setPixel(x, 0, colours[x]);
        std::vector<std::string> warnings;
        DecodeOptions options;
        options.warnings = &warnings;
        const Result<Image> decoded =
            decodePhoto(test::pngWithIcc(pngOf(stored), profile.icc), options);
        ASSERT_TRUE(decoded.ok()) << profile.name;
        EXPECT_TRUE(warnings.empty()) << profile.name;
        int changed = 0;
        for (int x = 0; x < stored.width(); ++x) {
            const QRgb got = decoded->bitmap().pixel(x, 0);
            const QRgb expected = test::referenceSrgb(profile.icc, colours[x]);
            EXPECT_LE(channelDistance(got, expected), 2)
                << profile.name << " colour " << x << std::hex << ": got " << got << ", expected "
                << expected;
            if (channelDistance(got, colours[x]) > 10) ++changed;
        }
        EXPECT_GE(changed, 2) << profile.name << ": the conversion must move saturated colours";
    }
}

TEST(ColourProfile, UntaggedAndSrgbTaggedPhotosKeepTheirPixels) {
    const QRgb colour = qRgb(30, 120, 220);
    const QByteArray plain = pngOf(solid(4, 4, colour));
    const QByteArray srgb = test::rgbProfile(test::kSrgbPrimaries);
    for (const QByteArray& bytes : {plain, test::pngWithIcc(plain, srgb)}) {
        const Decoded decoded = decodeCentre(bytes);
        ASSERT_TRUE(decoded.ok);
        EXPECT_EQ(decoded.centre, colour);
        EXPECT_TRUE(decoded.warnings.empty());
    }
}

TEST(ColourProfile, TranslucentPixelsKeepTheirAlpha) {
    QImage stored(4, 4, QImage::Format_ARGB32);
    stored.fill(qRgba(0, 200, 0, 128));
    const Result<Image> decoded =
        decodePhoto(test::pngWithIcc(pngOf(stored), test::swappedRedGreenProfile()));
    ASSERT_TRUE(decoded.ok());
    const QRgb pixel = decoded->bitmap().convertToFormat(QImage::Format_ARGB32).pixel(1, 1);
    EXPECT_EQ(qAlpha(pixel), 128);
    EXPECT_LE(channelDistance(pixel, qRgba(200, 0, 0, 128)), 3) << std::hex << pixel;
}

TEST(ColourProfile, ADamagedProfileIsIgnoredWithOneWarning) {
    const QRgb colour = qRgb(30, 120, 220);
    const QByteArray icc = test::displayP3Profile();
    const QByteArray jpeg = jpegOf(solid(16, 16, colour));
    const QByteArray png = pngOf(solid(16, 16, colour));
    const QByteArray zlib = qCompress(icc).mid(4);
    const struct {
        const char* name;
        QByteArray bytes;
    } cases[] = {
        {"JPEG profile cut in half", test::jpegWithIcc(jpeg, icc.left(icc.size() / 2))},
        {"JPEG profile of 40 bytes", test::jpegWithIcc(jpeg, icc.left(40))},
        {"JPEG chunk 2 of 2 missing",
         withJpegSegment(jpeg, 0xE2, QByteArray("ICC_PROFILE", 12) + char(1) + char(2) + icc)},
        {"JPEG chunk numbered 0",
         withJpegSegment(jpeg, 0xE2, QByteArray("ICC_PROFILE", 12) + char(0) + char(1) + icc)},
        {"JPEG profile of junk", test::jpegWithIcc(jpeg, QByteArray(600, 'x'))},
        {"PNG stream cut short",
         withPngChunk(png, "iCCP", QByteArray("p\0\0", 3) + zlib.left(zlib.size() / 2))},
        {"PNG without keyword", withPngChunk(png, "iCCP", QByteArray("\0\0", 2) + zlib)},
        {"PNG profile cut in half", test::pngWithIcc(png, icc.left(icc.size() / 2))},
    };
    for (const auto& c : cases) {
        const Decoded decoded = decodeCentre(c.bytes);
        ASSERT_TRUE(decoded.ok) << c.name;
        EXPECT_LE(channelDistance(decoded.centre, colour), 2) << c.name;
        ASSERT_EQ(decoded.warnings.size(), 1u) << c.name;
        EXPECT_NE(decoded.warnings[0].find("colour profile"), std::string::npos) << c.name;
    }
}

TEST(ColourProfile, TheEmbeddedSrgbProfileCarriesNoClockTime) {
    // Results must be the same bytes whenever they are made: the profile's
    // creation date (12 bytes from offset 24, big-endian) is fixed, not now.
    const QByteArray profile = srgbIccProfile();
    ASSERT_GE(profile.size(), 128);
    const auto field = [&](int i) {
        return (std::uint8_t(profile[24 + 2 * i]) << 8) | std::uint8_t(profile[25 + 2 * i]);
    };
    EXPECT_EQ(field(0), 1998);
    EXPECT_EQ(field(1), 2);
    EXPECT_EQ(field(2), 9);
    EXPECT_EQ(profile.mid(36, 4), QByteArray("acsp"));  // the header is intact
}

TEST(ColourProfile, TheEmbeddedSrgbProfileIsLittleCmsOwnWithTheFixedDate) {
    // The bytes are kept in the program so writing a result never loads
    // Little CMS; they must stay what the library itself writes.
    const std::unique_ptr<void, decltype(&cmsCloseProfile)> srgb(cmsCreate_sRGBProfile(),
                                                                 cmsCloseProfile);
    cmsUInt32Number size = 0;
    ASSERT_TRUE(cmsSaveProfileToMem(srgb.get(), nullptr, &size));
    QByteArray expected(qsizetype(size), '\0');
    ASSERT_TRUE(cmsSaveProfileToMem(srgb.get(), expected.data(), &size));
    const QByteArray kept = srgbIccProfile();
    ASSERT_EQ(kept.size(), expected.size());
    EXPECT_EQ(kept.left(24), expected.left(24));
    EXPECT_EQ(kept.mid(36), expected.mid(36));  // all but the creation date
}

}  // namespace
}  // namespace qp
