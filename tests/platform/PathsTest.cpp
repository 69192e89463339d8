#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>

#include "platform/Paths.h"
#include "platform/TextEncoding.h"
#include "platform/UrlOpener.h"
#include "support/TempFolder.h"

using namespace qp;
namespace fs = std::filesystem;

TEST(Paths, CreatesStandardFoldersAndFindsResources) {
    const TempFolder folder;
    const fs::path& dir = folder.path();
    Paths paths(dir / "home", dir / "res");
    ASSERT_TRUE(paths.createStandardFolders().ok());
    EXPECT_TRUE(fs::is_directory(dir / "home/Library/Caches"));
    EXPECT_TRUE(fs::is_directory(dir / "home/Library/Preferences"));
    EXPECT_TRUE(fs::is_directory(dir / "home/Documents"));

    fs::create_directories(dir / "res/images");
    std::ofstream(dir / "res/images/COTD.jpg") << "x";
    EXPECT_EQ(paths.pathForResource("COTD", "jpg", "images"), dir / "res/images/COTD.jpg");
    EXPECT_FALSE(paths.pathForResource("COTD", "png", "images"));
    EXPECT_FALSE(paths.pathForResource("..", "", "images"));
    EXPECT_FALSE(paths.pathForResource("../res/images/COTD", "jpg", "images"));
}

// Both installed executables, the command in bin/ and the full program in
// libexec/quillpost/, find the one share/quillpost of their prefix.
TEST(Paths, InstalledExecutablesFindTheSharedResourcesOfTheirPrefix) {
    const TempFolder folder;
    const fs::path prefix = folder.path() / "usr";
    fs::create_directories(prefix / "bin");
    fs::create_directories(prefix / "libexec/quillpost");
    fs::create_directories(prefix / "share/quillpost");
    const char* saved = std::getenv("QUILLPOST_RESOURCES");
    const std::string savedValue = saved ? saved : "";
    ::unsetenv("QUILLPOST_RESOURCES");
    for (const fs::path& executableDir :
         {prefix / "bin", prefix / "libexec/quillpost", prefix / "libexec/quillpost/"}) {
        SCOPED_TRACE(executableDir.string());
        EXPECT_EQ(Paths::installedResources(executableDir).lexically_normal(),
                  prefix / "share/quillpost");
        EXPECT_EQ(Paths::locateResources(executableDir), fs::canonical(prefix / "share/quillpost"));
        EXPECT_NE(
            Paths::resourcesSearchHint(executableDir).find((prefix / "share/quillpost").string()),
            std::string::npos);
    }
    if (saved) ::setenv("QUILLPOST_RESOURCES", savedValue.c_str(), 1);
}

TEST(Paths, AtomicWriteReplacesWholeFileAndLeavesNoTemporaries) {
    const TempFolder folder;
    const fs::path& dir = folder.path();
    const fs::path file = dir / "sub" / "data.bin";
    // The folder is the caller's to make: a mistyped one is not made silently.
    const Result<void> noFolder = writeFileAtomically(file, "x");
    ASSERT_FALSE(noFolder.ok());
    EXPECT_EQ(noFolder.error().code(), kFileErrorCreateFailed);
    fs::create_directory(dir / "sub");
    ASSERT_TRUE(writeFileAtomically(file, "first version, longer").ok());
    ASSERT_TRUE(writeFileAtomically(file, "second").ok());
    EXPECT_EQ(readFile(file).value(), "second");
    // Without the flush the file is replaced as whole, with the same permissions.
    ASSERT_TRUE(writeFileAtomically(file, "third, not flushed", FileFlush::None).ok());
    EXPECT_EQ(readFile(file).value(), "third, not flushed");
    EXPECT_EQ(fs::status(file).permissions() & fs::perms::all,
              fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read |
                  fs::perms::others_read);
    EXPECT_EQ(std::distance(fs::directory_iterator(dir / "sub"), fs::directory_iterator()), 1);
    EXPECT_FALSE(readFile(dir / "missing").ok());
}

TEST(Paths, SetsAsideDamagedFilesWithoutOverwritingEarlierOnes) {
    const TempFolder folder;
    const fs::path& dir = folder.path();
    const fs::path file = dir / "prefs.plist";
    std::ofstream(file) << "one";
    EXPECT_EQ(setAsideCorruptFile(file).value(), dir / "prefs.plist.corrupt-1");
    std::ofstream(file) << "two";
    EXPECT_EQ(setAsideCorruptFile(file).value(), dir / "prefs.plist.corrupt-2");
    EXPECT_EQ(readFile(dir / "prefs.plist.corrupt-1").value(), "one");
    EXPECT_FALSE(fs::exists(file));
}

TEST(UrlScheme, ReadsTheSchemeOrNothing) {
    EXPECT_EQ(urlScheme("instagram://app"), "instagram");
    EXPECT_EQ(urlScheme("HTTPS://x"), "https");
    EXPECT_EQ(urlScheme("mailto:a@b"), "mailto");
    EXPECT_EQ(urlScheme("no scheme here"), "");
    EXPECT_EQ(urlScheme("1abc://x"), "");
    EXPECT_EQ(urlScheme("path/only"), "");
}

TEST(TextEncoding, AcceptsWellFormedUtf8Only) {
    EXPECT_TRUE(isValidUtf8(""));
    EXPECT_TRUE(isValidUtf8("plain"));
    EXPECT_TRUE(isValidUtf8("caf\xC3\xA9 \xE2\x82\xAC \xF0\x9F\x98\x80"));
    for (const char* bad : {"\x80", "\xC3", "\xC0\xAF", "\xE0\x80\xAF", "\xED\xA0\x80",
                            "\xF4\x90\x80\x80", "\xF8\x88\x80\x80\x80", "\xD1\x04"}) {
        EXPECT_FALSE(isValidUtf8(bad)) << bad;
    }
    // The first ill-formed byte is found after whole characters, even when
    // its sequence starts well (a surrogate's lead byte).
    EXPECT_EQ(validUtf8Length("caf\xC3\xA9"), 5u);
    EXPECT_EQ(validUtf8Length("ab\xED\xA0\x80"
                              "cd"),
              2u);
    EXPECT_EQ(validUtf8Length("\xE2\x82\xAC\xC3"), 3u);
}
