// What a result says about the photo it came from: by default nothing (no
// location, no serial numbers, no camera); with --keep-exif the capture date,
// make and model, upright; from JPEG and HEIC alike. Profiles are honoured on
// the way in and results are tagged sRGB.

#include <gmock/gmock.h>

#include <QFile>
#include <string>

#include "cli/ComposeTestSupport.h"
#include "imaging/CaptureMetadata.h"
#include "imaging/EmbeddedProfile.h"
#include "imaging/ExifReader.h"
#include "imaging/HeicTestSupport.h"
#include "imaging/PhotoFormat.h"
#include "imaging/ProfileTestSupport.h"
#include "imaging/TiffView.h"
#include "support/ExifBuilder.h"

namespace qp {
namespace {

const CaptureMetadata kPhone{"2024:05:17 14:03:22", "Acme", "Phone 12 Pro"};

void writeBytes(const fs::path& path, const QByteArray& bytes) {
    QFile file(QString::fromStdString(path.string()));
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(bytes);
}

QByteArray readBytes(const fs::path& path) {
    QFile file(QString::fromStdString(path.string()));
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

const std::uint8_t* dataOf(const QByteArray& bytes) {
    return reinterpret_cast<const std::uint8_t*>(bytes.constData());
}

// The result's EXIF block, JPEG or PNG, as a TIFF structure.
std::optional<ExifBlock> exifOf(const QByteArray& result) {
    const auto size = std::size_t(result.size());
    return sniffPhotoFormat(dataOf(result), size) == PhotoFormat::Png
               ? findPngExif(dataOf(result), size)
               : findJpegExif(dataOf(result), size);
}

struct Composed {
    QByteArray bytes;
    std::string err;
};

Composed compose(const fs::path& photo, bool keepExif, const std::string& format = "jpeg") {
    const fs::path output =
        photo.parent_path() / ("result-" + photo.filename().string() + "." + format);
    Captured io;
    ComposeOptions options = optionsFor({photo.string()});
    options.output = output.string();
    options.keepExif = keepExif;
    options.force = true;
    const int status = runCompose(options, io.streams());
    EXPECT_EQ(status, kComposeSucceeded) << io.err();
    return {readBytes(output), io.err()};
}

TEST(ComposeMetadata, KeepExifIsAFlagOfCompose) {
    for (const bool given : {false, true}) {
        CLI::App cli;
        ComposeOptions options;
        addComposeCommand(cli, options);
        std::vector<std::string> args = {"photo.jpg", "compose"};  // read from the back
        if (given) args.insert(args.begin(), "--keep-exif");
        cli.parse(args);
        EXPECT_EQ(options.keepExif, given);
    }
}

TEST(ComposeMetadata, ResultsCarryNoLocationSerialOrCameraByDefault) {
    test::TempFolder folder;
    const fs::path photo = folder.path() / "phone.jpg";
    writeBytes(photo, test::jpegWithExifTiff(*jpegRepresentation(Image(quarters(64, 48)), 1.0),
                                             test::cameraExifTiff({})));
    for (const std::string format : {"jpeg", "png"}) {
        const Composed result = compose(photo, false, format);
        ASSERT_FALSE(result.bytes.isEmpty()) << format;
        EXPECT_FALSE(exifOf(result.bytes)) << format;
        EXPECT_EQ(result.bytes.indexOf("SN-4711"), -1) << format;
        EXPECT_EQ(result.bytes.indexOf("Phone 12"), -1) << format;
        EXPECT_TRUE(readCaptureMetadata(result.bytes).empty()) << format;
    }
}

TEST(ComposeMetadata, KeepExifCopiesTheDateAndCameraUprightAndNeverTheLocation) {
    test::TempFolder folder;
    const fs::path jpeg = folder.path() / "phone.jpg";
    const fs::path heic = folder.path() / "phone.heic";
    const QByteArray tiff = test::cameraExifTiff({});
    // Stored sideways with orientation 6, as a phone holds it upright.
    writeBytes(jpeg, test::jpegWithExifTiff(
                         *jpegRepresentation(
                             Image(storedFor(quarters(64, 48), ImageOrientation::Right)), 1.0),
                         tiff));
    writeBytes(heic, test::encodeHeic(quarters(64, 48), test::heicWithExif(tiff)));
    for (const fs::path& photo : {jpeg, heic}) {
        for (const std::string format : {"jpeg", "png"}) {
            const std::string label = photo.filename().string() + " to " + format;
            const Composed result = compose(photo, true, format);
            ASSERT_FALSE(result.bytes.isEmpty()) << label;
            EXPECT_EQ(readCaptureMetadata(result.bytes), kPhone) << label;
            const auto block = exifOf(result.bytes);
            ASSERT_TRUE(block) << label;
            const auto view = TiffView::of(block->tiff, block->size);
            ASSERT_TRUE(view) << label;
            const std::size_t ifd = *view->u32(4);
            const auto orientation = view->findEntry(ifd, 0x0112);
            ASSERT_TRUE(orientation) << label;
            EXPECT_EQ(view->u16(*orientation + 8), 1) << label;
            EXPECT_FALSE(view->findEntry(ifd, 0x8825)) << label << ": a GPS directory";
            EXPECT_EQ(result.bytes.indexOf("SN-4711"), -1) << label;
            // The photo itself is upright in the result: red top left.
            Result<Image> read = decodePhoto(result.bytes);
            ASSERT_TRUE(read.ok()) << label;
            EXPECT_TRUE(near(read->bitmap().pixelColor(150, 150), Qt::red)) << label;
            EXPECT_TRUE(near(read->bitmap().pixelColor(460, 460), Qt::yellow)) << label;
        }
    }
}

TEST(ComposeMetadata, ProfilesAreHonouredAndResultsAreTaggedSrgb) {
    test::TempFolder folder;
    const fs::path photo = folder.path() / "swapped.png";
    QImage stored(64, 48, QImage::Format_RGB32);
    stored.fill(qRgb(0, 200, 0));  // shows red under the profile
    writeBytes(photo,
               test::pngWithIcc(*pngRepresentation(Image(stored)), test::swappedRedGreenProfile()));
    const Composed result = compose(photo, false);
    const EmbeddedProfile profile = readEmbeddedProfile(
        dataOf(result.bytes), std::size_t(result.bytes.size()), PhotoFormat::Jpeg);
    EXPECT_EQ(profile.state, EmbeddedProfile::State::Found);
    Result<Image> read = decodePhoto(result.bytes);
    ASSERT_TRUE(read.ok());
    EXPECT_TRUE(near(read->bitmap().pixelColor(306, 306), QColor(200, 0, 0)))
        << read->bitmap().pixelColor(306, 306).name().toStdString();
}

}  // namespace
}  // namespace qp
