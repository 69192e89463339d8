// The real executable, windowed offscreen: a login redirect opened with
// `quillpost --open URL` reaches the running app's application object, a
// second plain start raises the running app's window, and the token of the
// redirect is written to no log.

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "support/BackgroundProcess.h"
#include "support/ChildProcess.h"
#include "support/TempFolder.h"

using namespace qp;
namespace fs = std::filesystem;
using namespace std::chrono_literals;

namespace {

const fs::path kQuillpost = QP_QUILLPOST_EXECUTABLE;
constexpr const char* kToken = "EAAGm0PX4ZCpsBAT0KEN";
const std::string kRedirect = std::string("fb") + QP_FACEBOOK_APP_ID +
                              "://authorize/#access_token=" + kToken + "&expires_in=5183999";
const std::string kLoggedRedirect = std::string("fb") + QP_FACEBOOK_APP_ID +
                                    "://authorize/#access_token=<redacted>&expires_in=5183999";
// Written by the app once later starts can reach it.
constexpr const char* kListening = "Later starts on this home reach this app at";
// A windowed start on a loaded machine may take a while; the wait ends as
// soon as the line is there.
constexpr auto kStartLimit = 120s;
constexpr auto kRequestLimit = 30s;

std::string readAll(const fs::path& path) {
    std::ostringstream text;
    text << std::ifstream(path, std::ios::binary).rdbuf();
    return text.str();
}

class LoginRedirect : public ::testing::Test {
protected:
    LoginRedirect() {
        fs::create_directories(m_folder.path() / "runtime");
        fs::permissions(m_folder.path() / "runtime", fs::perms::owner_all);
    }
    test::Environment environment() const {
        return {{"QUILLPOST_HOME", (m_folder.path() / "home").string()},
                {"XDG_CONFIG_HOME", (m_folder.path() / "config").string()},
                {"XDG_RUNTIME_DIR", (m_folder.path() / "runtime").string()},
                {"QUILLPOST_PHOTO_LIBRARY", m_folder.path().string()},
                {"QUILLPOST_RESOURCES", QP_RESOURCES},
                {"QT_QPA_PLATFORM", "offscreen"}};
    }
    test::ProcessOutcome run(const std::vector<std::string>& arguments) const {
        return test::runProcess(kQuillpost, arguments, environment());
    }
    std::string logFile() const {
        return readAll(m_folder.path() / "home" / "Library" / "Logs" / "Quillpost.log");
    }

    TempFolder m_folder;
};

}  // namespace

TEST_F(LoginRedirect, ReachesTheRunningAppAndNoLogHoldsTheToken) {
    test::BackgroundProcess app(kQuillpost, {}, environment());
    ASSERT_TRUE(app.started());
    ASSERT_TRUE(app.waitForError(kListening, kStartLimit)) << app.errorOutput();

    const test::ProcessOutcome again = run({});
    EXPECT_EQ(again.status, 0) << again.err;
    EXPECT_TRUE(app.waitForError("raised its window", kRequestLimit)) << app.errorOutput();
    // The menu entry's `--open %u` with nothing opened is a plain start.
    const test::ProcessOutcome bare = run({"--open"});
    EXPECT_EQ(bare.status, 0) << bare.err;

    const test::ProcessOutcome opened = run({"--open", kRedirect});
    EXPECT_EQ(opened.status, 0) << opened.err;
    EXPECT_TRUE(app.waitForError("Opened " + kLoggedRedirect, kRequestLimit)) << app.errorOutput();
    // Requests are served in order, so the bare start's has been too.
    const std::string& served = app.errorOutput();
    const std::size_t firstRaise = served.find("raised its window");
    EXPECT_NE(served.find("raised its window", firstRaise + 1), std::string::npos) << served;

    app.end();
    for (const std::string& text :
         {app.errorOutput(), opened.out, opened.err, again.out, again.err, bare.err, logFile()}) {
        EXPECT_EQ(text.find(kToken), std::string::npos) << text;
    }
    EXPECT_NE(logFile().find(kLoggedRedirect), std::string::npos);
}

TEST_F(LoginRedirect, StartAfterACrashCleansUpAndTakesTheURLAfterLaunch) {
    {
        test::BackgroundProcess crashed(kQuillpost, {}, environment());
        ASSERT_TRUE(crashed.waitForError(kListening, kStartLimit)) << crashed.errorOutput();
        crashed.end(SIGKILL);
    }
    test::BackgroundProcess app(kQuillpost, {"--open", kRedirect}, environment());
    ASSERT_TRUE(app.waitForError(kListening, kStartLimit)) << app.errorOutput();
    EXPECT_TRUE(app.waitForError("Opened " + kLoggedRedirect, kRequestLimit)) << app.errorOutput();
    app.end();
    EXPECT_EQ(app.errorOutput().find(kToken), std::string::npos);
}

TEST_F(LoginRedirect, UnusableURLsAreRefusedWithExitTwo) {
    const struct {
        std::string url;
        std::string says;
    } cases[] = {
        {"authorize/#access_token=" + std::string(kToken), "no scheme"},
        {"fb1://" + std::string(9000, 'a'), "at most 8192"},
        {"fb1://authorize/#a=b\x1b[2J", "control character"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.says);
        const test::ProcessOutcome refused = run({"--open", c.url});
        EXPECT_EQ(refused.status, 2);
        EXPECT_NE(refused.err.find(c.says), std::string::npos) << refused.err;
        EXPECT_NE(refused.err.find("--open"), std::string::npos) << refused.err;
        EXPECT_EQ(refused.err.find(kToken), std::string::npos) << refused.err;
    }
}
