// The capture date and camera read from a photo's EXIF in every container,
// cleaned of what does not belong there; the EXIF block written for a result
// holds only those, with orientation 1; results say they are sRGB.

#include <gtest/gtest.h>

#include <QImage>
#include <functional>
#include <string>

#include "HeicTestSupport.h"
#include "ProfileTestSupport.h"
#include "imaging/CaptureMetadata.h"
#include "imaging/ColourConversion.h"
#include "imaging/EmbeddedProfile.h"
#include "imaging/ExifReader.h"
#include "imaging/FileStructure.h"
#include "imaging/PhotoIO.h"
#include "imaging/ResultMetadata.h"
#include "support/ExifBuilder.h"
#include "support/TestPhotos.h"

namespace qp {
namespace {

const std::uint8_t* bytesOf(const QByteArray& bytes) {
    return reinterpret_cast<const std::uint8_t*>(bytes.constData());
}

QImage smallPicture() {
    QImage image(16, 16, QImage::Format_RGB32);
    image.fill(qRgb(30, 120, 220));
    return image;
}

QByteArray pngWithExifTiff(const QByteArray& png, const QByteArray& tiff) {
    return withPngChunk(png, "eXIf", tiff);
}

const CaptureMetadata kPhone{"2024:05:17 14:03:22", "Acme", "Phone 12 Pro"};

TEST(CaptureMetadata, DateAndCameraAreReadFromEveryContainer) {
    const QByteArray tiff = test::cameraExifTiff({});
    const QImage picture = smallPicture();
    const struct {
        const char* name;
        QByteArray bytes;
    } cases[] = {
        {"JPEG", test::jpegWithExifTiff(*jpegRepresentation(Image(picture), 0.9), tiff)},
        {"PNG", pngWithExifTiff(*pngRepresentation(Image(picture)), tiff)},
        {"HEIC", test::encodeHeic(test::quarters(64, 48), test::heicWithExif(tiff))},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(readCaptureMetadata(c.bytes), kPhone) << c.name;
    }
}

TEST(CaptureMetadata, OddValuesAreCleanedOrDropped) {
    using Camera = test::CameraExif;
    const struct {
        const char* name;
        std::function<void(Camera&)> change;
        CaptureMetadata expected;
    } cases[] = {
        {"a date in another form",
         [](Camera& c) { c.captureDate = "2024-05-17 14:03:22"; },
         {"", "Acme", "Phone 12 Pro"}},
        {"a date with letters",
         [](Camera& c) { c.captureDate = "2024:05:1x 14:03:22"; },
         {"", "Acme", "Phone 12 Pro"}},
        {"the change date stands in",
         [](Camera& c) {
             c.captureDate = "";
             c.changeDate = "2023:01:02 03:04:05";
         },
         {"2023:01:02 03:04:05", "Acme", "Phone 12 Pro"}},
        {"control characters and trailing blanks",
         [](Camera& c) {
             c.make = "Ac\x01me\x1b[31m  ";
             c.model = "Phone\x7f 12";
         },
         {"2024:05:17 14:03:22", "Acme[31m", "Phone 12"}},
        {"an endless make",
         [](Camera& c) { c.make = std::string(300, 'M'); },
         {"2024:05:17 14:03:22", std::string(64, 'M'), "Phone 12 Pro"}},
        {"nothing but private details",
         [](Camera& c) {
             c.captureDate = "";
             c.make = "";
             c.model = "";
         },
         {}},
    };
    for (const auto& c : cases) {
        const QByteArray jpeg =
            test::jpegWithExifTiff(*jpegRepresentation(Image(smallPicture()), 0.9), [&] {
                Camera camera;
                c.change(camera);
                return test::cameraExifTiff(camera);
            }());
        EXPECT_EQ(readCaptureMetadata(jpeg), c.expected) << c.name;
    }
}

TEST(CaptureMetadata, MalformedBlocksGiveNothing) {
    const QByteArray tiff = test::cameraExifTiff({});
    const QByteArray jpeg = *jpegRepresentation(Image(smallPicture()), 0.9);
    for (const qsizetype keep : {qsizetype(0), qsizetype(7), qsizetype(30), tiff.size() / 2}) {
        const CaptureMetadata read =
            readCaptureMetadata(test::jpegWithExifTiff(jpeg, tiff.left(keep)));
        // A cut block may still hold the make; never anything past its end.
        EXPECT_TRUE(read.captureDate.empty()) << keep;
    }
}

TEST(ResultMetadata, TheExifBlockHoldsOnlyTheKeptDetailsUpright) {
    const QImage picture = smallPicture();
    const struct {
        const char* name;
        QByteArray encoded;
    } cases[] = {{"JPEG", *jpegRepresentation(Image(picture), 1.0)},
                 {"PNG", *pngRepresentation(Image(picture))}};
    for (const auto& c : cases) {
        EXPECT_EQ(withCaptureMetadata(c.encoded, {}), c.encoded) << c.name;
        const QByteArray kept = withCaptureMetadata(c.encoded, kPhone);
        EXPECT_EQ(readCaptureMetadata(kept), kPhone) << c.name;
        const auto block = std::string(c.name) == "JPEG"
                               ? findJpegExif(bytesOf(kept), std::size_t(kept.size()))
                               : findPngExif(bytesOf(kept), std::size_t(kept.size()));
        ASSERT_TRUE(block) << c.name;
        const std::string tiff(reinterpret_cast<const char*>(block->tiff), block->size);
        EXPECT_EQ(tiff.find("\x88\x25"), std::string::npos) << c.name << ": a GPS pointer";
        const auto orientation =
            std::string(c.name) == "JPEG"
                ? readExifOrientation(bytesOf(kept), std::size_t(kept.size()))
                : readPngExifOrientation(bytesOf(kept), std::size_t(kept.size()));
        EXPECT_EQ(orientation, 1) << c.name;
        const Result<Image> decoded = decodePhoto(kept);
        ASSERT_TRUE(decoded.ok()) << c.name;
        EXPECT_EQ(decoded->orientation(), ImageOrientation::Up) << c.name;
    }
}

TEST(ResultMetadata, ResultsSayTheyAreSrgbAndDecodeUnchanged) {
    const QImage picture = smallPicture();
    const QByteArray jpeg = withSrgbTag(*jpegRepresentation(Image(picture), 1.0));
    const EmbeddedProfile profile =
        readEmbeddedProfile(bytesOf(jpeg), std::size_t(jpeg.size()), PhotoFormat::Jpeg);
    ASSERT_EQ(profile.state, EmbeddedProfile::State::Found);
    QImage probe = picture;
    EXPECT_EQ(convertToSrgb(probe, profile.icc), ProfileOutcome::AlreadySrgb);

    const QByteArray png = withSrgbTag(*pngRepresentation(Image(picture)));
    bool srgbChunk = false;
    walkPngChunks(bytesOf(png), std::size_t(png.size()), [&](const PngChunk& chunk) {
        srgbChunk = srgbChunk || chunk.type == "sRGB";
        return chunk.type != "IDAT";
    });
    EXPECT_TRUE(srgbChunk);

    for (const QByteArray& bytes : {jpeg, png}) {
        std::vector<std::string> warnings;
        DecodeOptions options;
        options.warnings = &warnings;
        const Result<Image> decoded = decodePhoto(bytes, options);
        ASSERT_TRUE(decoded.ok());
        EXPECT_TRUE(warnings.empty());
        // JPEG at quality 1.0 may move a level.
        EXPECT_LE(test::channelDistance(decoded->bitmap().pixel(8, 8), picture.pixel(8, 8)), 1);
    }
}

}  // namespace
}  // namespace qp
