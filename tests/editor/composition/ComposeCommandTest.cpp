#include "cli/ComposeCommand.h"

#include <fmt/format.h>
#include <gmock/gmock.h>

#include <functional>

#include <QFile>
#include <QPainter>
#include <cstdio>

#include "editor/composition/CompositionConstants.h"
#include "editor/composition/CompositionTestSupport.h"
#include "imaging/PhotoIO.h"

namespace qp {
namespace {

namespace fs = std::filesystem;

// Captures what the command writes.
class Captured {
public:
    Captured()
        : m_out(open_memstream(&m_outText, &m_outSize)),
          m_err(open_memstream(&m_errText, &m_errSize)) {}
    ~Captured() {
        std::fclose(m_out);
        std::fclose(m_err);
        std::free(m_outText);
        std::free(m_errText);
    }
    ComposeStreams streams() { return {m_out, m_err, false}; }
    std::string out() {
        std::fflush(m_out);
        return {m_outText, m_outSize};
    }
    std::string err() {
        std::fflush(m_err);
        return {m_errText, m_errSize};
    }

private:
    char* m_outText = nullptr;
    std::size_t m_outSize = 0;
    char* m_errText = nullptr;
    std::size_t m_errSize = 0;
    std::FILE* m_out;
    std::FILE* m_err;
};

// An upright picture with four coloured quarters: red top left, green top
// right, blue bottom left, yellow bottom right.
QImage quarters(int width, int height) {
    QImage upright(width, height, QImage::Format_RGB32);
    QPainter painter(&upright);
    painter.fillRect(0, 0, width / 2, height / 2, Qt::red);
    painter.fillRect(width / 2, 0, width - width / 2, height / 2, Qt::green);
    painter.fillRect(0, height / 2, width / 2, height - height / 2, Qt::blue);
    painter.fillRect(width / 2, height / 2, width - width / 2, height - height / 2, Qt::yellow);
    return upright;
}

// The stored pixels that show `upright` once turned by `tag`.
QImage storedFor(const QImage& upright, ImageOrientation tag) {
    ImageOrientation inverse = tag;
    if (tag == ImageOrientation::Left) inverse = ImageOrientation::Right;
    if (tag == ImageOrientation::Right) inverse = ImageOrientation::Left;
    return Image(upright, inverse).fixOrientation()->bitmap();
}

void writeJpeg(const fs::path& path, const QImage& stored, int exifOrientation) {
    QByteArray jpeg = *jpegRepresentation(Image(stored), 1.0);
    if (exifOrientation != 1) jpeg = test::withExifOrientation(jpeg, exifOrientation);
    QFile file(QString::fromStdString(path.string()));
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(jpeg);
}

bool near(QColor a, QColor b) {
    return std::abs(a.red() - b.red()) < 40 && std::abs(a.green() - b.green()) < 40 &&
           std::abs(a.blue() - b.blue()) < 40;
}

ComposeOptions optionsFor(std::vector<std::string> photos) {
    ComposeOptions options;
    options.photos = std::move(photos);
    options.resources =
        std::getenv("QUILLPOST_RESOURCES") ? std::getenv("QUILLPOST_RESOURCES") : "";
    return options;
}

TEST(ComposeCommand, EveryExifOrientationComesOutUpright) {
    test::TempFolder folder;
    // A small photo (enlarged on import) and a large one (shrunk on load).
    for (QSize size : {QSize(64, 48), QSize(1400, 1000)}) {
        for (int exif = 1; exif <= 8; ++exif) {
            const fs::path photo = folder.path() / fmt::format("p{}-{}.jpg", size.width(), exif);
            writeJpeg(photo,
                      storedFor(quarters(size.width(), size.height()), *orientationFromExif(exif)),
                      exif);
            Captured io;
            ComposeOptions options = optionsFor({photo.string()});
            ASSERT_EQ(runCompose(options, io.streams()), kComposeSucceeded) << io.err();
            const fs::path result =
                folder.path() / fmt::format("p{}-{}-square.jpg", size.width(), exif);
            EXPECT_EQ(io.out(), result.string() + "\n");
            Result<Image> read = readPhoto(result.string());
            ASSERT_TRUE(read.ok());
            ASSERT_EQ(read->width(), kResultSide);
            const QImage& bitmap = read->bitmap();
            // 4:3 fitted: the photo spans y from 76.5 to 535.5.
            EXPECT_TRUE(near(bitmap.pixelColor(150, 150), Qt::red)) << exif << " " << size.width();
            EXPECT_TRUE(near(bitmap.pixelColor(460, 150), Qt::green))
                << exif << " " << size.width();
            EXPECT_TRUE(near(bitmap.pixelColor(150, 460), Qt::blue)) << exif << " " << size.width();
            EXPECT_TRUE(near(bitmap.pixelColor(460, 460), Qt::yellow))
                << exif << " " << size.width();
            EXPECT_TRUE(near(bitmap.pixelColor(306, 30), Qt::white)) << exif << " " << size.width();
        }
    }
}

TEST(ComposeCommand, CorruptPhotoIsNamedAndTheOthersGoOn) {
    test::TempFolder folder;
    const fs::path good1 = folder.path() / "a.jpg", bad = folder.path() / "b.jpg",
                   good2 = folder.path() / "c.jpg", missing = folder.path() / "d.jpg";
    writeJpeg(good1, quarters(64, 48), 1);
    writeJpeg(good2, quarters(48, 64), 1);
    {
        QFile file(QString::fromStdString(bad.string()));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        QFile source(QString::fromStdString(good1.string()));
        ASSERT_TRUE(source.open(QIODevice::ReadOnly));
        file.write(source.readAll().left(300));  // truncated
    }
    Captured io;
    ComposeOptions options =
        optionsFor({good1.string(), bad.string(), good2.string(), missing.string()});
    options.outputDir = (folder.path() / "out").string();
    fs::create_directories(options.outputDir);
    EXPECT_EQ(runCompose(options, io.streams()), kComposeSomeFailed);
    EXPECT_TRUE(fs::exists(folder.path() / "out" / "a-square.jpg"));
    EXPECT_TRUE(fs::exists(folder.path() / "out" / "c-square.jpg"));
    EXPECT_FALSE(fs::exists(folder.path() / "out" / "b-square.jpg"));
    EXPECT_THAT(io.err(), testing::HasSubstr(bad.string() + ": "));
    EXPECT_THAT(io.err(), testing::HasSubstr(missing.string() + ": "));
    EXPECT_THAT(io.err(), testing::HasSubstr("2 of 4 photos composed, 2 failed"));
}

TEST(ComposeCommand, ExistingResultIsKeptWithoutForce) {
    test::TempFolder folder;
    const fs::path photo = folder.path() / "a.jpg", output = folder.path() / "mine.png";
    writeJpeg(photo, quarters(64, 48), 1);
    {
        QFile file(QString::fromStdString(output.string()));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write("keep me");
    }
    ComposeOptions options = optionsFor({photo.string()});
    options.output = output.string();
    options.format = "png";
    Captured refused;
    EXPECT_EQ(runCompose(options, refused.streams()), kComposeSomeFailed);
    EXPECT_THAT(refused.err(), testing::HasSubstr("--force"));
    EXPECT_EQ(fs::file_size(output), 7u);

    options.force = true;
    Captured forced;
    EXPECT_EQ(runCompose(options, forced.streams()), kComposeSucceeded) << forced.err();
    Result<Image> read = readPhoto(output.string());
    ASSERT_TRUE(read.ok());
    EXPECT_EQ(read->width(), kResultSide);
}

TEST(ComposeCommand, UsageErrors) {
    test::TempFolder folder;
    const fs::path photo = folder.path() / "a.jpg";
    writeJpeg(photo, quarters(64, 48), 1);
    const std::vector<std::function<void(ComposeOptions&)>> misuses = {
        [](ComposeOptions& o) { o.photos.clear(); },
        [](ComposeOptions& o) { o.photos.push_back(o.photos.front()), o.output = "x.jpg"; },
        [](ComposeOptions& o) { o.output = "x.jpg", o.outputDir = "d"; },
        [](ComposeOptions& o) { o.format = "gif"; },
        [](ComposeOptions& o) { o.device = "watch"; },
        [](ComposeOptions& o) { o.zoom = 0; },
        [](ComposeOptions& o) { o.move = "3"; },
        [](ComposeOptions& o) { o.move = "3,x"; },
        [](ComposeOptions& o) { o.theme = "0"; },
        [](ComposeOptions& o) { o.theme = "99/0"; },
        [](ComposeOptions& o) { o.fontSize = 1000; },
        [](ComposeOptions& o) { o.message = std::string(121, 'm'); },
    };
    for (std::size_t i = 0; i < misuses.size(); ++i) {
        ComposeOptions options = optionsFor({photo.string()});
        misuses[i](options);
        Captured io;
        EXPECT_EQ(runCompose(options, io.streams()), kComposeUsageError) << i;
        EXPECT_FALSE(io.err().empty()) << i;
    }
    EXPECT_FALSE(fs::exists(folder.path() / "a-square.jpg"));
}

TEST(ComposeCommand, ZoomPastTheCapIsAnErrorNamingIt) {
    test::TempFolder folder;
    const fs::path photo = folder.path() / "a.jpg";
    writeJpeg(photo, quarters(64, 48), 1);  // enlarged to 816 × 612, fit 0.375
    ComposeOptions options = optionsFor({photo.string()});
    options.zoom = 6;
    Captured io;
    EXPECT_EQ(runCompose(options, io.streams()), kComposeSomeFailed);
    EXPECT_THAT(io.err(), testing::HasSubstr("cap is 2"));
    options.zoom = 2;  // 0.75 points per pixel: allowed
    Captured ok;
    EXPECT_EQ(runCompose(options, ok.streams()), kComposeSucceeded) << ok.err();
}

TEST(ComposeCommand, GesturesAndMessageReachTheResult) {
    test::TempFolder folder;
    const fs::path photo = folder.path() / "a.jpg";
    writeJpeg(photo, quarters(64, 48), 1);
    ComposeOptions options = optionsFor({photo.string()});
    options.rotateDegrees = 90;  // clockwise: the top-left quarter goes to the top right
    options.mirror = true;       // the pixels mirrored under the same placement
    options.move = "0,-40";
    options.message = "Hello";
    options.format = "png";
    Captured io;
    ASSERT_EQ(runCompose(options, io.streams()), kComposeSucceeded) << io.err();
    Result<Image> read = readPhoto((folder.path() / "a-square.png").string());
    ASSERT_TRUE(read.ok());
    const QImage& bitmap = read->bitmap();
    // Sideways now: 459 wide, 612 tall, moved up by 40 pixels.
    EXPECT_TRUE(near(bitmap.pixelColor(200, 100), Qt::yellow));
    EXPECT_TRUE(near(bitmap.pixelColor(400, 100), Qt::green));
    EXPECT_TRUE(near(bitmap.pixelColor(200, 400), Qt::blue));
    EXPECT_TRUE(near(bitmap.pixelColor(400, 400), Qt::red));
    EXPECT_TRUE(near(bitmap.pixelColor(300, 600), Qt::white));
    EXPECT_TRUE(near(bitmap.pixelColor(40, 300), Qt::white));
    // The first theme's message box lies along the bottom: some dark ink there.
    int ink = 0;
    for (int y = 520; y < 592; ++y) {
        for (int x = 40; x < 572; ++x) ink += bitmap.pixelColor(x, y).lightness() < 100;
    }
    EXPECT_GT(ink, 20);
}

}  // namespace
}  // namespace qp
