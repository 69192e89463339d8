#include "cli/ComposeCommand.h"

#include <fmt/format.h>
#include <gmock/gmock.h>

#include <functional>

#include <QFile>
#include <QPainter>
#include <cstdio>

#include "cli/ComposeTestSupport.h"
#include "editor/composition/CompositionConstants.h"
#include "imaging/PhotoIO.h"

namespace qp {
namespace {

namespace fs = std::filesystem;

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
    Captured kept;
    EXPECT_EQ(runCompose(options, kept.streams()), kComposeSucceeded) << "keeping is no failure";
    EXPECT_THAT(kept.err(), testing::HasSubstr("kept (--force replaces it)"));
    EXPECT_EQ(kept.out(), "");
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
        [](ComposeOptions& o) { o.rotateDegrees = 1e308; },
        [](ComposeOptions& o) { o.rotateDegrees = -361; },
        [](ComposeOptions& o) { o.move = "1e308,1e308"; },
        [](ComposeOptions& o) { o.move = "0,100001"; },
        [](ComposeOptions& o) { o.maxInputMegabytes = 0; },
        [](ComposeOptions& o) { o.size = 0; },
        [](ComposeOptions& o) { o.size = 100000; },
        [](ComposeOptions& o) { o.size = 63; },
        [](ComposeOptions& o) { o.aspect = "0:5"; },
        [](ComposeOptions& o) { o.aspect = "1:100000"; },
        [](ComposeOptions& o) { o.aspect = "4"; },
        [](ComposeOptions& o) { o.aspect = "4:"; },
        [](ComposeOptions& o) { o.aspect = "-4:5"; },
        [](ComposeOptions& o) { o.aspect = "4:5:6"; },
        [](ComposeOptions& o) { o.aspect = "nan:1"; },
        [](ComposeOptions& o) { o.size = 4096, o.aspect = "1:3"; },
        [](ComposeOptions& o) { o.jobs = 0; },
        [](ComposeOptions& o) { o.jobs = -2; },
        [](ComposeOptions& o) { o.background = "sepia"; },
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

TEST(ComposeCommand, TheMessageLimitIsStatedInUtf16Units) {
    test::TempFolder folder;
    const fs::path photo = folder.path() / "a.jpg";
    writeJpeg(photo, quarters(64, 48), 1);
    std::string emoji;
    for (int i = 0; i < 61; ++i) emoji += "\xF0\x9F\x93\xB7";  // 61 cameras, 122 units
    ComposeOptions options = optionsFor({photo.string()});
    options.message = emoji;
    Captured io;
    EXPECT_EQ(runCompose(options, io.streams()), kComposeUsageError);
    EXPECT_THAT(io.err(), testing::HasSubstr("122 UTF-16 units long; the limit is 120 UTF-16 units "
                                             "(most emoji count as two)"));
}

// A message the box cannot hold even at the theme's smallest size is cut
// with an ellipsis: the photo is still composed, and standard error says
// what was cut and what to do. One that fits says nothing.
TEST(ComposeCommand, AMessageCutToFitIsAWarningNotAFailure) {
    test::TempFolder folder;
    const fs::path photo = folder.path() / "a.jpg";
    writeJpeg(photo, quarters(64, 48), 1);
    std::string manyLines;
    for (int i = 0; i < 60; ++i) manyLines += "a\n";  // 60 lines in 120 units
    struct Case {
        std::string message;
        bool warned;
    };
    for (const Case& k :
         {Case{manyLines, true}, Case{"Hello there", false}, Case{std::string(120, 'w'), false}}) {
        ComposeOptions options = optionsFor({photo.string()});
        options.message = k.message;
        options.force = true;
        Captured io;
        EXPECT_EQ(runCompose(options, io.streams()), kComposeSucceeded) << io.err();
        EXPECT_TRUE(fs::exists(folder.path() / "a-square.jpg"));
        const std::string err = io.err();
        EXPECT_EQ(err.find("does not fit") != std::string::npos, k.warned) << err;
        if (k.warned) {
            EXPECT_THAT(err, testing::HasSubstr("\u2026\"; shorten it"));
        }
    }
}

TEST(ComposeCommand, ZoomPastALimitIsAnErrorNamingThatLimit) {
    test::TempFolder folder;
    const fs::path photo = folder.path() / "a.jpg";
    writeJpeg(photo, quarters(64, 48), 1);  // enlarged to 816 × 612, fit 0.375
    ComposeOptions options = optionsFor({photo.string()});
    options.zoom = 6;
    Captured io;
    EXPECT_EQ(runCompose(options, io.streams()), kComposeSomeFailed);
    EXPECT_THAT(io.err(), testing::HasSubstr("above the cap of 2 points per pixel"));
    EXPECT_THAT(io.err(), testing::HasSubstr("at most 5.33"));
    // The other limit is the floor, and the message names that one.
    for (double tiny : {0.01, 1e-300}) {
        options.zoom = tiny;
        Captured low;
        EXPECT_EQ(runCompose(options, low.streams()), kComposeSomeFailed);
        EXPECT_THAT(low.err(), testing::HasSubstr("below the floor"));
        EXPECT_THAT(low.err(), testing::Not(testing::HasSubstr("cap")));
    }
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
