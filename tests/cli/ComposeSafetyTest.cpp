// `quillpost compose` under hostile input: it never loses or replaces a file
// it should not, never reads more than it must, and keeps going through a
// batch whatever one photo or one stream does.

#include <fmt/format.h>
#include <gmock/gmock.h>

#include <sys/stat.h>
#include <unistd.h>

#include <QBuffer>
#include <QFile>
#include <QImageWriter>
#include <chrono>
#include <fstream>

#include "cli/ComposeTestSupport.h"
#include "cli/LibraryMessages.h"
#include "editor/composition/CompositionConstants.h"
#include "imaging/PhotoIO.h"
#include "imaging/ResultMarker.h"
#include "platform/Log.h"

namespace qp {
namespace {

using testing::HasSubstr;
using testing::Not;

QByteArray fileBytes(const fs::path& path) {
    QFile file(QString::fromStdString(path.string()));
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

void writeBytes(const fs::path& path, const QByteArray& bytes) {
    QFile file(QString::fromStdString(path.string()));
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(bytes);
}

QByteArray pngOf(const QImage& image) {
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    QImageWriter(&buffer, "png").write(image);
    return bytes;
}

class ComposeSafety : public testing::Test {
protected:
    void SetUp() override {
        photo = folder.path() / "a.jpg";
        writeJpeg(photo, quarters(64, 48), 1);
        original = fileBytes(photo);
    }
    int run(ComposeOptions options, Captured& io) { return runCompose(options, io.streams()); }

    test::TempFolder folder;
    fs::path photo;
    QByteArray original;
};

TEST_F(ComposeSafety, AnOutputThatIsAnInputIsRefusedEvenWithForce) {
    const fs::path hardLink = folder.path() / "other-name.jpg";
    ASSERT_EQ(::link(photo.c_str(), hardLink.c_str()), 0);
    for (const fs::path& output : {photo, hardLink}) {
        for (bool force : {false, true}) {
            ComposeOptions options = optionsFor({photo.string()});
            options.output = output.string();
            options.force = force;
            Captured io;
            EXPECT_EQ(run(options, io), kComposeSomeFailed) << output << force;
            EXPECT_THAT(io.err(), HasSubstr("would replace the photo")) << output << force;
        }
    }
    EXPECT_EQ(fileBytes(photo), original);
}

TEST_F(ComposeSafety, DevicesPipesAndFoldersAreNeverReplaced) {
    const fs::path fifo = folder.path() / "pipe.jpg";
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    const fs::path dir = folder.path() / "folder.jpg";
    fs::create_directory(dir);
    for (const fs::path& output : {fifo, dir}) {
        ComposeOptions options = optionsFor({photo.string()});
        options.output = output.string();
        options.force = true;
        Captured io;
        EXPECT_EQ(run(options, io), kComposeSomeFailed) << output;
    }
    struct stat info {};
    ASSERT_EQ(::lstat(fifo.c_str(), &info), 0);
    EXPECT_TRUE(S_ISFIFO(info.st_mode));
    EXPECT_TRUE(fs::is_directory(dir));
}

TEST_F(ComposeSafety, DashWritesThePictureToStandardOutput) {
    ComposeOptions options = optionsFor({photo.string()});
    options.output = "-";
    options.format = "PNG";
    Captured io;
    ASSERT_EQ(run(options, io), kComposeSucceeded) << io.err();
    const std::string out = io.out();
    Result<Image> decoded = decodePhoto(QByteArray(out.data(), qsizetype(out.size())));
    ASSERT_TRUE(decoded.ok());
    EXPECT_EQ(decoded->width(), kResultSide);
    EXPECT_TRUE(out.starts_with("\x89PNG"));
}

TEST_F(ComposeSafety, ResultsAreMarkedAndNotComposedAgain) {
    ComposeOptions first = optionsFor({photo.string()});
    Captured once;
    ASSERT_EQ(run(first, once), kComposeSucceeded) << once.err();
    const fs::path result = folder.path() / "a-square.jpg";
    EXPECT_TRUE(carriesResultMarker(fileBytes(result)));

    // The shell's `*.jpg` now names the photo and its result.
    Captured again;
    EXPECT_EQ(run(optionsFor({photo.string(), result.string()}), again), kComposeSucceeded)
        << again.err();
    EXPECT_FALSE(fs::exists(folder.path() / "a-square-square.jpg"));
    EXPECT_THAT(again.err(), HasSubstr("skipped: it is a Quillpost result already"));
    EXPECT_THAT(again.err(),
                HasSubstr("0 of 2 photos composed, 1 kept (already there), 1 skipped"));

    // With --force the photo's result is made again, although it is also an
    // input: it is our own result, so nothing is lost.
    ComposeOptions forced = optionsFor({photo.string(), result.string()});
    forced.force = true;
    Captured redo;
    EXPECT_EQ(run(forced, redo), kComposeSucceeded) << redo.err();
    EXPECT_THAT(redo.err(), HasSubstr("1 of 2 photos composed"));
    EXPECT_EQ(fileBytes(photo), original);

    // A photo that only looks like a result by name is composed, with a word.
    const fs::path lookalike = folder.path() / "b-square.jpg";
    writeBytes(lookalike, original);
    Captured named;
    EXPECT_EQ(run(optionsFor({lookalike.string()}), named), kComposeSucceeded);
    EXPECT_THAT(named.err(), HasSubstr("looks like a Quillpost result"));
    EXPECT_TRUE(fs::exists(folder.path() / "b-square-square.jpg"));
}

TEST_F(ComposeSafety, TheFormatFollowsTheOutputNameUnlessAsked) {
    const struct {
        std::string output;
        std::string format;
        bool png;
    } cases[] = {{"r.png", "", true},
                 {"r.PNG", "", true},
                 {"r.jpeg", "", false},
                 {"r.jpg", "JPEG", false},
                 {"r.out", "png", true}};
    for (const auto& c : cases) {
        ComposeOptions options = optionsFor({photo.string()});
        options.output = (folder.path() / c.output).string();
        options.format = c.format;
        options.force = true;
        Captured io;
        ASSERT_EQ(run(options, io), kComposeSucceeded) << c.output << io.err();
        EXPECT_EQ(fileBytes(options.output).startsWith("\x89PNG"), c.png) << c.output;
    }
    const std::pair<std::string, std::string> contradictions[] = {
        {"r.jpg", "png"}, {"r.png", "jpeg"}, {"r.webp", ""}};
    for (const auto& [output, format] : contradictions) {
        ComposeOptions options = optionsFor({photo.string()});
        options.output = (folder.path() / output).string();
        options.format = format;
        Captured io;
        EXPECT_EQ(run(options, io), kComposeUsageError) << output;
    }
}

TEST_F(ComposeSafety, InputsThatAreNotPhotoFilesAreRefusedQuicklyAndTheBatchGoesOn) {
    const fs::path fifo = folder.path() / "fifo.jpg";
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    const fs::path sparse = folder.path() / "huge.jpg";
    {
        std::ofstream make(sparse);
        make << "\xFF\xD8\xFF";
    }
    fs::resize_file(sparse, 6ULL << 30);  // 6 GB, sparse
    const fs::path junk = folder.path() / "junk.jpg";
    writeBytes(junk, QByteArray(3 << 20, 'x'));
    const fs::path svg = folder.path() / "drawing.jpg";
    writeBytes(svg, QByteArray("<svg xmlns='http://www.w3.org/2000/svg' "
                               "xmlns:xlink='http://www.w3.org/1999/xlink' width='64' height='64'>"
                               "<image xlink:href='") +
                        QByteArray::fromStdString(photo.string()) +
                        "' width='64' height='64'/></svg>");

    ComposeOptions options = optionsFor(
        {"/dev/zero", fifo.string(), sparse.string(), junk.string(), svg.string(), photo.string()});
    options.outputDir = (folder.path() / "out").string();
    fs::create_directory(options.outputDir);
    Captured io;
    const auto started = std::chrono::steady_clock::now();
    EXPECT_EQ(run(options, io), kComposeSomeFailed);
    EXPECT_LT(std::chrono::steady_clock::now() - started, std::chrono::seconds(20));
    const std::string err = io.err();
    EXPECT_THAT(err, HasSubstr("/dev/zero: it is not a regular file"));
    EXPECT_THAT(err, HasSubstr("fifo.jpg: it is not a regular file"));
    EXPECT_THAT(err, HasSubstr("huge.jpg: the file is 6144 MB, more than the 256 MB limit"));
    EXPECT_THAT(err, HasSubstr("junk.jpg: it is not a JPEG, PNG, GIF, BMP or HEIC picture"));
    EXPECT_THAT(err, HasSubstr("drawing.jpg: it is not a JPEG, PNG, GIF, BMP or HEIC picture"));
    EXPECT_THAT(err, HasSubstr("1 of 6 photos composed, 5 failed"));
    EXPECT_TRUE(fs::exists(fs::path(options.outputDir) / "a-square.jpg"));

    ComposeOptions small = optionsFor({photo.string()});
    small.maxInputMegabytes = 1;
    writeBytes(photo, original + QByteArray(2 << 20, '\0'));
    Captured limited;
    EXPECT_EQ(run(small, limited), kComposeSomeFailed);
    EXPECT_THAT(limited.err(), HasSubstr("more than the 1 MB limit"));
}

TEST_F(ComposeSafety, ExtremeStripsAreComposedWithinThePixelLimit) {
    for (QSize size : {QSize(3000, 3), QSize(3, 3000), QSize(30000, 33)}) {
        QImage strip(size, QImage::Format_RGB32);
        strip.fill(Qt::darkBlue);
        const fs::path path = folder.path() / fmt::format("{}x{}.png", size.width(), size.height());
        writeBytes(path, pngOf(strip));
        Captured io;
        const auto started = std::chrono::steady_clock::now();
        EXPECT_EQ(run(optionsFor({path.string()}), io), kComposeSucceeded) << path << io.err();
        EXPECT_LT(std::chrono::steady_clock::now() - started, std::chrono::seconds(30)) << path;
    }
}

TEST_F(ComposeSafety, StandardStreamsThatFailNeverStopTheBatch) {
    const fs::path second = folder.path() / "b.jpg";
    writeJpeg(second, quarters(48, 64), 1);
    ComposeOptions options = optionsFor({photo.string(), second.string()});

    // Standard error full: diagnostics are lost, the results are not.
    std::FILE* full = std::fopen("/dev/full", "w");
    ASSERT_NE(full, nullptr);
    Captured quietErr;
    ComposeStreams streams = quietErr.streams();
    streams.err = full;
    EXPECT_EQ(runCompose(options, streams), kComposeSucceeded);
    EXPECT_EQ(quietErr.out(), (folder.path() / "a-square.jpg").string() + "\n" +
                                  (folder.path() / "b-square.jpg").string() + "\n");

    // Standard output full: the paths could not be reported, which is a failure.
    options.force = true;
    Captured failedOut;
    streams = failedOut.streams();
    streams.out = full;
    EXPECT_EQ(runCompose(options, streams), kComposeSomeFailed);
    EXPECT_THAT(failedOut.err(), HasSubstr("could not write to standard output"));
    EXPECT_THAT(failedOut.err(), HasSubstr("2 of 2 photos composed"));
    std::fclose(full);
}

TEST_F(ComposeSafety, NamesReachTheTerminalEscaped) {
    const fs::path hostile = folder.path() / "\x1b]0;owned\x07.jpg";
    writeBytes(hostile, QByteArray("not a photo"));
    Captured io;
    EXPECT_EQ(run(optionsFor({hostile.string()}), io), kComposeSomeFailed);
    EXPECT_THAT(io.err(), HasSubstr("\\e]0;owned\\x07.jpg"));
    EXPECT_THAT(io.err(), Not(HasSubstr("\x1b")));
}

TEST(LibraryMessagesGuard, SilencesQtAndTheLogUnlessVerboseAndRestoresBoth) {
    static std::vector<std::string> seen;
    seen.clear();
    const QtMessageHandler previous =
        qInstallMessageHandler([](QtMsgType, const QMessageLogContext&, const QString& text) {
            seen.push_back(text.toStdString());
        });
    {
        LibraryMessages quiet(false);
        qWarning("hidden");
        EXPECT_FALSE(Log::stderrEnabled());
    }
    EXPECT_TRUE(Log::stderrEnabled());
    {
        LibraryMessages shown(true);
        qWarning("shown");
    }
    qWarning("after");
    qInstallMessageHandler(previous);
    EXPECT_EQ(seen, (std::vector<std::string>{"shown", "after"}));
}

}  // namespace
}  // namespace qp
