// `quillpost compose --size N --aspect W:H --background blur`: the sizes and
// shapes of today's services, and the blurred photo as the fill.

#include <gmock/gmock.h>

#include <QFile>

#include "cli/ComposeTestSupport.h"
#include "imaging/PhotoIO.h"

namespace qp {
namespace {

QByteArray fileBytes(const fs::path& path) {
    QFile file(QString::fromStdString(path.string()));
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

QImage halves(int w, int h) {
    QImage image(w, h, QImage::Format_RGB32);
    image.fill(Qt::blue);
    QPainter(&image).fillRect(0, 0, w / 2, h, Qt::red);
    return image;
}

QImage composedPng(ComposeOptions options, const fs::path& output) {
    options.output = output.string();
    options.format = "png";
    options.force = true;
    Captured io;
    EXPECT_EQ(runCompose(options, io.streams()), kComposeSucceeded) << io.err();
    Result<Image> read = readPhoto(output.string());
    EXPECT_TRUE(read.ok()) << output;
    return read.ok() ? read->bitmap() : QImage();
}

TEST(ComposeFrames, SizeAndAspectMakeTheResultAndThePhotoIsFittedWhole) {
    test::TempFolder folder;
    const fs::path landscape = folder.path() / "land.jpg", portrait = folder.path() / "port.jpg";
    writeJpeg(landscape, quarters(1200, 900), 1);
    writeJpeg(portrait, quarters(900, 1200), 1);
    struct Case {
        int size;
        const char* aspect;
        int width, height;
    };
    for (const Case& c : {Case{1080, "4:5", 1080, 1350}, Case{1280, "16:9", 1280, 720},
                          Case{320, "16:9", 320, 180}, Case{2000, "4:5", 2000, 2500}}) {
        for (const fs::path& photo : {landscape, portrait}) {
            ComposeOptions options = optionsFor({photo.string()});
            options.size = c.size;
            options.aspect = c.aspect;
            const QImage result = composedPng(options, folder.path() / "out.png");
            const std::string label =
                fmt::format("{} at {} {}", photo.filename().string(), c.size, c.aspect);
            ASSERT_EQ(result.width(), c.width) << label;
            ASSERT_EQ(result.height(), c.height) << label;
            // Whole and centred: k = min(W / w, H / h).
            const bool isLandscape = photo == landscape;
            const double w = isLandscape ? 1200 : 900, h = isLandscape ? 900 : 1200;
            const double k = std::min(c.width / w, c.height / h);
            const double left = (c.width - w * k) / 2, top = (c.height - h * k) / 2;
            const auto at = [&](double fx, double fy) {
                return result.pixelColor(int(left + fx * w * k), int(top + fy * h * k));
            };
            EXPECT_TRUE(near(at(0.02, 0.02), Qt::red)) << label;
            EXPECT_TRUE(near(at(0.98, 0.02), Qt::green)) << label;
            EXPECT_TRUE(near(at(0.02, 0.98), Qt::blue)) << label;
            EXPECT_TRUE(near(at(0.98, 0.98), Qt::yellow)) << label;
            EXPECT_TRUE(left < 1.5 || top < 1.5) << label;
        }
    }
}

TEST(ComposeFrames, TheDefaultsAreTheAppsSquare) {
    test::TempFolder folder;
    const fs::path photo = folder.path() / "a.jpg";
    writeJpeg(photo, quarters(800, 600), 1);
    ComposeOptions plain = optionsFor({photo.string()});
    plain.message = "Whole photo";
    ComposeOptions spelled = plain;
    spelled.size = 612;
    spelled.aspect = "1:1";
    spelled.jobs = 3;
    plain.output = (folder.path() / "plain.jpg").string();
    spelled.output = (folder.path() / "spelled.jpg").string();
    Captured io1, io2;
    ASSERT_EQ(runCompose(plain, io1.streams()), kComposeSucceeded) << io1.err();
    ASSERT_EQ(runCompose(spelled, io2.streams()), kComposeSucceeded) << io2.err();
    EXPECT_EQ(fileBytes(plain.output), fileBytes(spelled.output));
    EXPECT_EQ(readPhoto(plain.output)->width(), 612);
}

TEST(ComposeFrames, TheBlurredFillFollowsThePhotosColours) {
    // Left half red, right half blue, 3:2: the bands above and below show
    // red on the left and blue on the right, not the theme's art.
    test::TempFolder folder;
    const fs::path photo = folder.path() / "a.jpg";
    writeJpeg(photo, halves(1500, 1000), 1);
    for (const char* aspect : {"1:1", "4:5"}) {
        ComposeOptions options = optionsFor({photo.string()});
        options.background = "blur";
        options.aspect = aspect;
        options.size = 800;
        const QImage result = composedPng(options, folder.path() / "out.png");
        const double W = result.width(), H = result.height();
        const double band = (H - W * 2 / 3) / 2;
        for (const double y : {band / 2, H - band / 2}) {
            const QColor left = result.pixelColor(int(W * 0.1), int(y));
            const QColor right = result.pixelColor(int(W * 0.9), int(y));
            EXPECT_GT(left.red(), 170) << aspect << " y " << y;
            EXPECT_LT(left.blue(), 70) << aspect << " y " << y;
            EXPECT_GT(right.blue(), 170) << aspect << " y " << y;
            EXPECT_LT(right.red(), 70) << aspect << " y " << y;
        }
    }
    // Mirrored, the fill mirrors with the photo.
    ComposeOptions mirrored = optionsFor({photo.string()});
    mirrored.background = "blur";
    mirrored.mirror = true;
    const QImage result = composedPng(mirrored, folder.path() / "mirrored.png");
    EXPECT_GT(result.pixelColor(40, 20).blue(), 170);
    EXPECT_GT(result.pixelColor(570, 20).red(), 170);
}

}  // namespace
}  // namespace qp
