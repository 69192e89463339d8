// The small `quillpost` front: compose and themes run without loading the
// app's heavy libraries, and everything else reaches quillpost-app, beside
// the front or in the installed libexec folder, or a clear word when it is
// missing.

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "cli/FullProgram.h"
#include "imaging/HeicTestSupport.h"
#include "support/ChildProcess.h"
#include "support/TempFolder.h"

using namespace qp;
namespace fs = std::filesystem;

namespace {

const fs::path kFront = QP_QUILLPOST_EXECUTABLE;
const fs::path kFullProgram = QP_QUILLPOST_APP_EXECUTABLE;
const fs::path kSamplePhoto = fs::path(QP_RESOURCES) / "sample" / "sample-photo.jpg";

// Libraries only the full program may load.
const std::vector<std::string> kHeavyLibraries = {
    "libQt6Widgets", "libQt6UiTools", "libQt6WebEngine", "libQt6Network",
    "libcurl",       "libsqlite3",    "libpq."};
// Libraries opened only for the photos that need them: HEIC files (libheif
// and the video decoders it brings) and colour profiles (Little CMS).
const std::vector<std::string> kOnDemandLibraries = {"libheif",  "libde265", "libx265",
                                                     "libdav1d", "libaom",   "liblcms2"};

test::ProcessOutcome runIn(const TempFolder& folder, const fs::path& program,
                           const std::vector<std::string>& arguments,
                           test::Environment environment = {}) {
    environment.emplace("QUILLPOST_HOME", (folder.path() / "home").string());
    environment.emplace("XDG_CONFIG_HOME", (folder.path() / "config").string());
    environment.emplace("XDG_DATA_HOME", (folder.path() / "data").string());
    environment.emplace("QUILLPOST_RESOURCES", QP_RESOURCES);
    environment.emplace("QT_QPA_PLATFORM", "offscreen");
    return test::runProcess(program, arguments, environment);
}

// The shared objects the dynamic loader opened, as it reports them.
std::set<std::string> loadedObjects(const std::string& loaderTrace) {
    std::set<std::string> objects;
    std::istringstream lines(loaderTrace);
    for (std::string line; std::getline(lines, line);) {
        const std::size_t at = line.find("file=");
        if (at == std::string::npos) continue;
        const std::size_t end = line.find_first_of(" \t[;", at);
        objects.insert(line.substr(at + 5, end - at - 5));
    }
    return objects;
}

TEST(FrontProgram, ComposeAndThemesLoadNoHeavyLibrary) {
    const std::vector<std::vector<std::string>> runs = {
        {"--version"},
        {"themes"},
        {"compose", "--help"},
        // A message needs the font system, and with it Qt's platform plugin.
        {"compose", kSamplePhoto.string(), "-o", "OUT", "--message", "Hello"},
        {"compose", kSamplePhoto.string(), "-o", "OUT", "--theme", "1/0", "--background", "blur"},
    };
    for (std::vector<std::string> arguments : runs) {
        TempFolder folder;
        for (std::string& argument : arguments) {
            if (argument == "OUT") argument = (folder.path() / "result.jpg").string();
        }
        const test::ProcessOutcome run = runIn(folder, kFront, arguments, {{"LD_DEBUG", "files"}});
        const std::string what = arguments.front() + " " + arguments.back();
        EXPECT_EQ(run.status, 0) << what << "\n" << run.err.substr(run.err.size() - 2000);
        const std::set<std::string> objects = loadedObjects(run.err);
        EXPECT_TRUE(std::any_of(objects.begin(), objects.end(),
                                [](const std::string& o) { return o.find("libQt6Core") == 0; }))
            << what << ": the loader's trace names no Qt Core, so it says nothing";
        for (const std::string& object : objects) {
            for (const std::string& heavy : kHeavyLibraries) {
                EXPECT_EQ(object.find(heavy), std::string::npos) << what << " loads " << object;
            }
            // The sample photo is an untagged JPEG, and results carry their
            // sRGB profile as bytes of our own.
            for (const std::string& onDemand : kOnDemandLibraries) {
                EXPECT_EQ(object.find(onDemand), std::string::npos) << what << " loads " << object;
            }
        }
    }
}

TEST(FrontProgram, AHeicPhotoLoadsTheHeifLibraryWhenItArrives) {
    TempFolder folder;
    QImage stored(64, 48, QImage::Format_RGB32);
    stored.fill(qRgb(200, 40, 40));
    const QByteArray heic = test::encodeHeic(stored);
    ASSERT_FALSE(heic.isEmpty()) << "libheif could not encode the test photo";
    const fs::path photo = folder.path() / "photo.heic";
    std::ofstream(photo, std::ios::binary).write(heic.constData(), heic.size());
    const fs::path result = folder.path() / "result.jpg";
    const test::ProcessOutcome run =
        runIn(folder, kFront, {"compose", photo.string(), "-o", result.string()},
              {{"LD_DEBUG", "files"}});
    EXPECT_EQ(run.status, 0) << run.err.substr(run.err.size() - 2000);
    EXPECT_TRUE(fs::is_regular_file(result));
    const std::set<std::string> objects = loadedObjects(run.err);
    EXPECT_TRUE(std::any_of(objects.begin(), objects.end(),
                            [](const std::string& o) { return o.find("libheif") == 0; }));
}

TEST(FrontProgram, HandsTheOtherCommandsOnWithTheirExitStatus) {
    TempFolder folder;
    // The full program's own checks and statuses reach the user unchanged.
    const test::ProcessOutcome badAddress =
        runIn(folder, kFront, {"analytics", "serve", "--listen", "nowhere"});
    EXPECT_EQ(badAddress.status, 2);
    EXPECT_NE(badAddress.err.find("'nowhere' is not HOST:PORT"), std::string::npos)
        << badAddress.err;
    const test::ProcessOutcome report =
        runIn(folder, kFront,
              {"analytics", "report", "--db", "sqlite:" + (folder.path() / "a.sqlite").string()});
    EXPECT_EQ(report.status, 1);
    EXPECT_NE(report.err.find("No analytics database at"), std::string::npos) << report.err;
}

// A copy of the front in bin/ of a tree of its own; the full program linked
// in where `place` says, or nowhere.
fs::path frontInTree(const TempFolder& tree, const std::string& place) {
    fs::create_directories(tree.path() / "bin");
    const fs::path front = tree.path() / "bin" / "quillpost";
    fs::copy_file(kFront, front);
    if (!place.empty()) {
        fs::create_directories((tree.path() / place).parent_path());
        fs::create_symlink(kFullProgram, tree.path() / place);
    }
    return front;
}

TEST(FrontProgram, FindsTheFullProgramInAnInstalledTree) {
    TempFolder tree;
    const fs::path front = frontInTree(tree, "libexec/quillpost/quillpost-app");
    // `feed check` without its URL: a misuse the full program reports.
    const test::ProcessOutcome run = runIn(tree, front, {"feed", "check"});
    EXPECT_EQ(run.status, 2);
    EXPECT_NE(run.err.find("URL is required"), std::string::npos) << run.err;
}

TEST(FrontProgram, NamesWhereItLookedWhenTheFullProgramIsMissing) {
    TempFolder tree;
    const fs::path front = frontInTree(tree, "");
    const test::ProcessOutcome run = runIn(tree, front, {"feed", "check", "http://127.0.0.1:1"});
    EXPECT_EQ(run.status, 127);
    const fs::path root = fs::canonical(tree.path());
    EXPECT_NE(run.err.find((root / "bin" / "quillpost-app").string()), std::string::npos)
        << run.err;
    EXPECT_NE(run.err.find((root / "libexec" / "quillpost" / "quillpost-app").string()),
              std::string::npos)
        << run.err;
    // compose and themes need no full program.
    EXPECT_EQ(runIn(tree, front, {"themes"}).status, 0);
}

TEST(FullProgramPlaces, BesideTheFrontFirstThenLibexec) {
    EXPECT_EQ(fullProgramPlaces("/opt/qp/bin"),
              (std::vector<fs::path>{"/opt/qp/bin/quillpost-app",
                                     "/opt/qp/libexec/quillpost/quillpost-app"}));
}

TEST(FullProgramPlaces, TakesTheFirstExecutableFile) {
    TempFolder folder;
    const fs::path plain = folder.path() / "plain", runnable = folder.path() / "runnable",
                   directory = folder.path() / "directory";
    std::ofstream(plain) << "#!/bin/sh\n";
    std::ofstream(runnable) << "#!/bin/sh\n";
    fs::permissions(runnable, fs::perms::owner_exec, fs::perm_options::add);
    fs::create_directory(directory);
    EXPECT_EQ(findFullProgram({folder.path() / "absent", plain, directory, runnable}), runnable);
    EXPECT_EQ(findFullProgram({plain, directory}), fs::path());
}

}  // namespace
