// The real `quillpost` executable: exit statuses and what it tells the user
// when the command line, the configuration or the resources are wrong.

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "platform/Crc32.h"
#include "support/ChildProcess.h"
#include "support/TempFolder.h"

using namespace qp;
namespace fs = std::filesystem;

namespace {

const fs::path kQuillpost = QP_QUILLPOST_EXECUTABLE;
const fs::path kSamplePhoto = fs::path(QP_RESOURCES) / "sample" / "sample-photo.jpg";

// An app run that touches nothing of the user's: its own home, its own
// (absent) configuration folder and photo library.
class CommandLine : public ::testing::Test {
protected:
    test::ProcessOutcome run(const std::vector<std::string>& arguments,
                             std::map<std::string, std::optional<std::string>> environment = {}) {
        environment.emplace("QUILLPOST_HOME", (m_folder.path() / "home").string());
        environment.emplace("XDG_CONFIG_HOME", (m_folder.path() / "config").string());
        environment.emplace("QUILLPOST_PHOTO_LIBRARY", m_folder.path().string());
        environment.emplace("QUILLPOST_RESOURCES", QP_RESOURCES);
        environment.emplace("QT_QPA_PLATFORM", "offscreen");
        return test::runProcess(kQuillpost, arguments, environment);
    }
    fs::path write(const std::string& name, const std::string& bytes) {
        const fs::path path = m_folder.path() / name;
        std::ofstream(path, std::ios::binary) << bytes;
        return path;
    }
    const fs::path& folder() const { return m_folder.path(); }

private:
    TempFolder m_folder;
};

struct UsageCase {
    std::vector<std::string> arguments;
    int status;
    std::string saysOnStderr;
};

// A PNG that is nothing but a header announcing `width` × `height` pixels.
std::string pngHeaderOnly(std::uint32_t width, std::uint32_t height) {
    const auto bigEndian = [](std::uint32_t v) {
        return std::string{char(v >> 24), char(v >> 16), char(v >> 8), char(v)};
    };
    const auto chunk = [&](const std::string& type, const std::string& data) {
        return bigEndian(std::uint32_t(data.size())) + type + data +
               bigEndian(Crc32::of(type + data));
    };
    const std::string header =
        bigEndian(width) + bigEndian(height) + std::string("\x08\x02\0\0\0", 5);
    return std::string("\x89PNG\r\n\x1a\n", 8) + chunk("IHDR", header) + chunk("IEND", "");
}

}  // namespace

TEST_F(CommandLine, EveryMisuseExitsTwoAndSaysWhatIsWrong) {
    const std::vector<UsageCase> cases = {
        {{"--no-such-option"}, 2, "--no-such-option"},
        {{"stray-word"}, 2, "stray-word"},
        {{"--home"}, 2, "--home"},
        {{"--device", "toaster"}, 2, "iphone-4in"},
        {{"--screenshot", "shot.png"}, 2, "--headless"},
        {{"--photo", kSamplePhoto.string()}, 2, "--headless"},
        {{"--headless", "--photo", "/no/such/photo.jpg"}, 2, "/no/such/photo.jpg"},
        {{"--headless", "--config", "/no/such/config.json"}, 2, "/no/such/config.json"},
        {{"--headless", "--config", "/"}, 2, "is a directory"},
        {{"compose", "--no-such-option"}, 2, "Run 'quillpost compose --help'"},
        {{"themes", "extra"}, 2, "extra"},
    };
    for (const UsageCase& c : cases) {
        std::string line;
        for (const std::string& a : c.arguments) line += a + " ";
        SCOPED_TRACE(line);
        const test::ProcessOutcome outcome = run(c.arguments);
        EXPECT_EQ(outcome.status, c.status);
        EXPECT_EQ(outcome.err.rfind("quillpost: ", 0), 0u) << outcome.err;
        EXPECT_NE(outcome.err.find(c.saysOnStderr), std::string::npos) << outcome.err;
        EXPECT_EQ(outcome.out, "");
    }
}

TEST_F(CommandLine, HelpAndVersionSucceedOnStandardOutput) {
    const test::ProcessOutcome version = run({"--version"});
    EXPECT_EQ(version.status, 0);
    EXPECT_EQ(version.out, "quillpost " QP_APP_VERSION "\n");

    const test::ProcessOutcome help = run({"--help"});
    EXPECT_EQ(help.status, 0);
    for (const char* named : {"$QUILLPOST_HOME", "--config", "compose", "themes", "ipad-retina"}) {
        EXPECT_NE(help.out.find(named), std::string::npos) << named;
    }
    // Every command's help fits an 80-column terminal.
    for (const char* command : {"", "compose", "themes"}) {
        SCOPED_TRACE(command);
        const test::ProcessOutcome shown = *command ? run({command, "--help"}) : run({"--help"});
        EXPECT_EQ(shown.status, 0);
        EXPECT_EQ(shown.err, "");
        std::istringstream lines(shown.out);
        for (std::string line; std::getline(lines, line);) {
            EXPECT_LE(line.size(), 80u) << line;
        }
    }
}

TEST_F(CommandLine, ThemesSaysWhereResourcesWereLookedFor) {
    const test::ProcessOutcome listed = run({"themes"});
    EXPECT_EQ(listed.status, 0);
    EXPECT_NE(listed.out.find("category"), std::string::npos);

    const fs::path nowhere = folder() / "nowhere";
    const test::ProcessOutcome missing =
        run({"themes"}, {{"QUILLPOST_RESOURCES", nowhere.string()}});
    EXPECT_EQ(missing.status, 1);
    EXPECT_EQ(missing.out, "");
    EXPECT_NE(missing.err.find(nowhere.string()), std::string::npos) << missing.err;
    EXPECT_NE(missing.err.find("QUILLPOST_RESOURCES"), std::string::npos) << missing.err;
}

TEST_F(CommandLine, ABrokenConfigurationStopsTheAppWithItsReason) {
    const struct {
        std::string text;
        std::string says;
    } cases[] = {
        {R"({"analytics_key": "lowercase"})", "20 capital letters and digits"},
        {"{\"feed_host\": \"caf\xE9\"}", "not valid UTF-8 (bad byte at offset 18)"},
        {"{\"feed_host\": \"\xED\xA0\x80\"}", "not valid UTF-8 (bad byte at offset 15)"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        const fs::path config = write("config.json", c.text);
        const test::ProcessOutcome outcome = run({"--headless", "--config", config.string()});
        EXPECT_EQ(outcome.status, 1);
        EXPECT_NE(outcome.err.find(config.string() + ": "), std::string::npos) << outcome.err;
        EXPECT_NE(outcome.err.find(c.says), std::string::npos) << outcome.err;
    }
}

TEST_F(CommandLine, HeadlessPhotoNamesTheMissingLibraryAndTheRealReadFailure) {
    const fs::path library = folder() / "Pictures";
    const test::ProcessOutcome placed = run({"--headless", "--photo", kSamplePhoto.string()},
                                            {{"QUILLPOST_PHOTO_LIBRARY", library.string()}});
    EXPECT_EQ(placed.status, 0) << placed.err;
    EXPECT_NE(placed.err.find("photo library folder " + library.string()), std::string::npos)
        << placed.err;

    const fs::path huge = write("huge.png", pngHeaderOnly(20000, 20000));
    const test::ProcessOutcome refused = run({"--headless", "--photo", huge.string()});
    EXPECT_EQ(refused.status, 1);
    EXPECT_NE(refused.err.find("cannot place the photo " + huge.string() + ": "), std::string::npos)
        << refused.err;
    EXPECT_NE(refused.err.find("20000"), std::string::npos) << refused.err;
    EXPECT_EQ(refused.err.find("is it a readable"), std::string::npos) << refused.err;
}
