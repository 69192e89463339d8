// `quillpost feed check` and `compose --theme 5/0` against feeds on 127.0.0.1:
// the bundled sample feed, served as scripts/serve-feed-sample serves it, and
// the test feed with its faults.

#include <gmock/gmock.h>

#include <fstream>
#include <sstream>

#include "cli/ComposeFeedTheme.h"
#include "cli/ComposeTestSupport.h"
#include "cli/FeedCheckCommand.h"
#include "feed/FeedServer.h"
#include "support/TempFolder.h"

namespace qp {
namespace {

using ::testing::HasSubstr;
using ::testing::Not;

// The bundled resources, as every test finds them.
fs::path resources() {
    const char* folder = std::getenv("QUILLPOST_RESOURCES");
    return folder ? fs::path(folder) : fs::path("resources");
}

// resources/feed-sample/ on a port of its own, its lists naming this server.
class SampleFeedServer {
public:
    SampleFeedServer() {
        m_server.routes().Get(
            ".*", [this](const httplib::Request& request, httplib::Response& response) {
                const fs::path file = resources() / "feed-sample" / request.path.substr(1);
                std::ifstream in(file, std::ios::binary);
                if (request.path.find("..") != std::string::npos || !in) {
                    response.status = 404;
                    return;
                }
                std::stringstream bytes;
                bytes << in.rdbuf();
                std::string body = bytes.str();
                if (file.extension() == ".plist") {
                    const std::string written = "http://127.0.0.1:8080";
                    for (auto at = body.find(written); at != std::string::npos;
                         at = body.find(written, at))
                        body.replace(at, written.size(), m_server.url(""));
                }
                response.set_content(body, "application/octet-stream");
            });
        m_server.start();
    }
    std::string url() const { return m_server.url(""); }

private:
    LocalHttpServer m_server;
};

struct CheckRun {
    int status;
    std::string out;
    std::string err;
};

CheckRun check(const std::string& url, const std::string& date) {
    Captured captured;
    const int status = runFeedCheck({url, date}, captured.streams().out, captured.streams().err);
    return {status, captured.out(), captured.err()};
}

TEST(FeedCheck, TheSampleFeedServesEveryDayWithItsImages) {
    SampleFeedServer sample;
    for (const char* date : {"01-01", "02-29", "05-17", "06-30", "07-31", "12-25"}) {
        const CheckRun run = check(sample.url(), date);
        EXPECT_EQ(run.status, kFeedCheckPassed) << date << "\n" << run.out;
        EXPECT_THAT(run.out, HasSubstr("problems: none")) << date;
        EXPECT_THAT(run.out, HasSubstr("(964 x 964 pixels)")) << date;
        EXPECT_THAT(run.out, HasSubstr("(288 x 288 pixels)")) << date;
    }
    EXPECT_THAT(check(sample.url(), "05-17").out, HasSubstr("theme: Day 17: "));
    EXPECT_THAT(check(sample.url(), "12-25").out, HasSubstr("theme: Christmas"));
}

TEST(FeedCheck, NamesTheDaysThemeAndEachImageUrl) {
    test::FeedServer server;
    const CheckRun run = check(server.url(""), "05-17");
    EXPECT_EQ(run.status, kFeedCheckPassed);
    EXPECT_THAT(run.out, HasSubstr("day: 05-17\ntheme: day 17\n"));
    EXPECT_THAT(run.out,
                HasSubstr("image URL: " + server.url(test::kThemePath) + " (12 x 3 pixels)"));
    EXPECT_THAT(run.out, HasSubstr("bottom image URL: " + server.url(test::kBottomPath) +
                                   " (8 x 3 pixels)"));
    EXPECT_THAT(run.out,
                HasSubstr("thumb image URL: " + server.url(test::kThumbPath) + " (4 x 3 pixels)"));
    // The feed's own log lines stay out of the report.
    EXPECT_THAT(run.out + run.err, Not(HasSubstr("COTDHandler")));
}

struct CheckFault {
    const char* name;
    std::function<void(test::FeedServer&)> breakFeed;
    const char* date;
    const char* problem;  // a text the report must show
};

std::vector<CheckFault> checkFaults() {
    return {
        {"NoRevisionFile", [](test::FeedServer& s) { s.remove(test::kRevisionPath); }, "05-17",
         "answered HTTP 404"},
        {"RevisionIsHtml",
         [](test::FeedServer& s) {
             s.set(test::kRevisionPath, {200, "<html><body>oops</body></html>", "text/html"});
         },
         "05-17", "is not a property list"},
        {"MonthFileOfTheWrongShape",
         [](test::FeedServer& s) {
             s.set(test::kMonthPath,
                   {200, test::xmlPlist(PlistDictionary{{kMonthOfThemeItemsKey, "x"}})});
         },
         "05-17", "has no \"month of theme items\" list"},
        {"SpecialDayFileOfTheWrongShape",
         [](test::FeedServer& s) {
             s.set(test::kSpecialPath, {200, test::xmlPlist(PlistArray{})});
         },
         "05-17", "root is not a dictionary"},
        {"FewerRecordsThanTheDay", [](test::FeedServer& s) { s.setMonth(30); }, "05-31",
         "holds 30 records, fewer than the day of the month (31)"},
        {"RecordWithoutImageUrl",
         [](test::FeedServer& s) {
             PlistDictionary record = s.record("x");
             record.erase(kImageUrlKey);
             s.setMonthRecord(17, record);
         },
         "05-17", "today's record has no \"image URL\""},
        {"ImageMissing", [](test::FeedServer& s) { s.remove(test::kBottomPath); }, "05-17",
         "bottom.png answered HTTP 404"},
        {"ImageNotAPicture",
         [](test::FeedServer& s) {
             s.set(test::kThumbPath, {200, "not a picture"});
         },
         "05-17", "thumb.png is not a usable image"},
    };
}

class FeedCheckFault : public ::testing::TestWithParam<CheckFault> {};

TEST_P(FeedCheckFault, IsReportedAndFailsTheCheck) {
    test::FeedServer server;
    GetParam().breakFeed(server);
    const CheckRun run = check(server.url(""), GetParam().date);
    EXPECT_EQ(run.status, kFeedCheckFailed) << run.out;
    EXPECT_THAT(run.out, HasSubstr(GetParam().problem)) << run.out;
}

INSTANTIATE_TEST_SUITE_P(Faults, FeedCheckFault, ::testing::ValuesIn(checkFaults()),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(FeedCheck, ANameThatIsNoWebAddressIsAUsageError) {
    const CheckRun run = check("ftp://feed.example", "");
    EXPECT_EQ(run.status, kFeedCheckUsageError);
    EXPECT_THAT(run.err, HasSubstr("is not an http or https URL"));
}

// --- compose --theme 5/0 -------------------------------------------------------------

class ComposeFeedTest : public ::testing::Test {
protected:
    // Composes the bundled photo with the theme of the day; the feed host
    // comes from a configuration file.
    QImage compose(const std::string& feedHost, Captured& captured) {
        const fs::path config = folder.path() / "config.json";
        std::ofstream(config) << "{ \"feed_host\": \"" << feedHost << "\" }";
        ComposeOptions options;
        options.photos = {(resources() / "sample" / "sample-photo.jpg").string()};
        options.output = (folder.path() / ("result" + std::to_string(++runs) + ".png")).string();
        options.theme = "5/0";
        options.resources = resources().string();
        options.configFile = config.string();
        EXPECT_EQ(runCompose(options, captured.streams()), kComposeSucceeded) << captured.err();
        return QImage(QString::fromStdString(options.output));
    }

    TempFolder folder;
    int runs = 0;
};

TEST_F(ComposeFeedTest, UsesTodaysFeedThemeAndFallsBackWithOneLine) {
    SampleFeedServer sample;
    Captured fromFeed, bundled, broken;
    const QImage feedResult = compose(sample.url(), fromFeed);
    const QImage bundledResult = compose("", bundled);
    const QImage brokenResult =
        compose("http://127.0.0.1:" + std::to_string(closedLoopbackPort()), broken);
    ASSERT_FALSE(feedResult.isNull());
    EXPECT_NE(feedResult, bundledResult);
    EXPECT_EQ(brokenResult, bundledResult);
    EXPECT_EQ(fromFeed.err(), "");
    EXPECT_EQ(bundled.err(), "");
    const std::string line = broken.err();
    EXPECT_THAT(line, HasSubstr("quillpost compose: the theme of the day could not be loaded"));
    EXPECT_EQ(std::count(line.begin(), line.end(), '\n'), 1) << line;
}

TEST(ComposeFeedTheme, AStalledFeedEndsWithinTheOverallLimit) {
    test::FeedServer server;
    server.hold(test::kMonthPath);
    std::string failure;
    const auto started = std::chrono::steady_clock::now();
    const auto theme = ComposeFeedTheme::load(server.url(""), resources(), failure,
                                              std::chrono::milliseconds(400));
    const auto took = std::chrono::steady_clock::now() - started;
    server.server().release();
    EXPECT_EQ(theme, nullptr);
    EXPECT_FALSE(failure.empty());
    EXPECT_LT(took, std::chrono::seconds(5));
}

TEST(ComposeFeedTheme, ARecordWithoutItsImageIsAFailure) {
    test::FeedServer server;
    server.remove(test::kThemePath);
    std::string failure;
    EXPECT_EQ(ComposeFeedTheme::load(server.url(""), resources(), failure), nullptr);
    EXPECT_THAT(failure, HasSubstr("theme.png answered HTTP 404"));
}

}  // namespace
}  // namespace qp
