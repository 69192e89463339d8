// The feed against servers and records that go wrong: never a crash, the
// bundled art always there, the notification only when a download ran.

#include <gmock/gmock.h>

#include "feed/FeedFixture.h"
#include "feed/FeedMonitor.h"
#include "support/ScriptedReachability.h"

namespace qp::test {
namespace {

struct FaultCase {
    const char* name;
    std::function<void(FeedServer&)> breakFeed;
    // What the feed shows afterwards.
    int themeWidth;
    int thumbWidth;
    bool announced;
    const char* logLine;  // a line the fault leaves, or nullptr
};

PlistDictionary withEntry(PlistDictionary record, const char* key, std::string value) {
    record[key] = std::move(value);
    return record;
}

PlistDictionary without(PlistDictionary record, const char* key) {
    record.erase(key);
    return record;
}

std::vector<FaultCase> faultCases() {
    const std::string html = "<!DOCTYPE html><html><body><h1>502 Bad Gateway</h1></body></html>";
    return {
        {"NoRevisionFile", [](FeedServer& s) { s.remove(kRevisionPath); }, kBundledWidth,
         kBundledWidth, false, kLogRevisionsFileFailed},
        {"RevisionNotAPropertyList",
         [](FeedServer& s) {
             s.set(kRevisionPath, {200, "<?xml version=\"1.0\"?><plist><dict>"});
         },
         kBundledWidth, kBundledWidth, false, kLogRevisionsFileFailed},
        {"RevisionIsAnHtmlErrorPage",
         [html](FeedServer& s) {
             s.set(kRevisionPath, {200, html, "text/html"});
         },
         kBundledWidth, kBundledWidth, false, kLogRevisionsFileFailed},
        {"RevisionBehindAnErrorStatus",
         [](FeedServer& s) {
             s.set(kRevisionPath, {500, xmlPlist(PlistDictionary{}), "application/xml"});
         },
         kBundledWidth, kBundledWidth, false, kLogRevisionsFileFailed},
        {"RevisionRootIsAList",
         [](FeedServer& s) {
             s.set(kRevisionPath, {200, xmlPlist(PlistArray{"a"})});
         },
         kBundledWidth, kBundledWidth, false, kLogRevisionsFileFailed},
        {"MonthFileIsHtml",
         [html](FeedServer& s) {
             s.set(kMonthPath, {200, html, "text/html"});
         },
         kBundledWidth, kBundledWidth, false, kLogMonthFileFailed},
        {"MonthFileOfTheWrongShape",
         [](FeedServer& s) {
             s.set(kMonthPath, {200, xmlPlist(PlistDictionary{{kMonthOfThemeItemsKey, "none"}})});
         },
         kBundledWidth, kBundledWidth, false, nullptr},
        {"SpecialDayFileMissing", [](FeedServer& s) { s.remove(kSpecialPath); }, kThemeWidth,
         kThumbWidth, true, kLogSpecialDayFileFailed},
        {"ThemeImageMissing", [](FeedServer& s) { s.remove(kThemePath); }, kBundledWidth,
         kThumbWidth, true, kLogNewImagesLoaded},
        {"ThemeImageNotAPicture",
         [](FeedServer& s) {
             s.set(kThemePath, {200, "GIF89a but not really", "image/gif"});
         },
         kBundledWidth, kThumbWidth, true, kLogNewImagesLoaded},
        {"ThumbnailMissing", [](FeedServer& s) { s.remove(kThumbPath); }, kThemeWidth, kThemeWidth,
         true, kLogNewImagesLoaded},
        {"NoThumbnailUrl",
         [](FeedServer& s) { s.setMonthRecord(17, without(s.record("x"), kThumbImageUrlKey)); },
         kThemeWidth, kThemeWidth, true, kLogNewImagesLoaded},
        {"NoImageUrl",
         [](FeedServer& s) { s.setMonthRecord(17, without(s.record("x"), kImageUrlKey)); },
         kBundledWidth, kBundledWidth, false, nullptr},
        {"ImageUrlNotAUrl",
         [](FeedServer& s) {
             s.setMonthRecord(17, withEntry(s.record("x"), kImageUrlKey, "art/theme one.png"));
         },
         kBundledWidth, kBundledWidth, false, kLogImageUrlScrewedUp},
        {"ImageUrlOfAnotherScheme",
         [](FeedServer& s) {
             s.setMonthRecord(17, withEntry(s.record("x"), kImageUrlKey, "file:///etc/passwd"));
         },
         kBundledWidth, kBundledWidth, false, kLogImageUrlScrewedUp},
        {"BottomUrlNotAUrl",
         [](FeedServer& s) {
             s.setMonthRecord(17, withEntry(s.record("x"), kBottomImageUrlKey, "<bottom>"));
         },
         kThemeWidth, kThumbWidth, true, kLogNewImagesLoaded},
        {"RecordNotADictionary",
         [](FeedServer& s) {
             PlistArray records(31, PlistValue("not a record"));
             s.set(kMonthPath, {200, xmlPlist(PlistDictionary{{kMonthOfThemeItemsKey, records}})});
         },
         kBundledWidth, kBundledWidth, false, nullptr},
    };
}

class FeedFaultTest : public FeedTest, public ::testing::WithParamInterface<FaultCase> {};

TEST_P(FeedFaultTest, TheBundledArtStandsInAndNothingBreaks) {
    const FaultCase& fault = GetParam();
    fault.breakFeed(server);
    makeReachableFeed();
    feed->loadTheCOTDimages();
    settle();

    EXPECT_EQ(widthOf(feed->getCOTDThemeImageIfAvailable()), fault.themeWidth);
    EXPECT_EQ(widthOf(feed->getCOTDThumbIfAvailable()), fault.thumbWidth);
    EXPECT_NE(widthOf(feed->getCOTDThemeBottomImageIfAvailable()), -1);
    EXPECT_EQ(posted.load(), fault.announced ? 1 : 0);
    // The overlay comes down whenever it went up.
    const auto calls = overlay.calls();
    EXPECT_EQ(std::count(calls.begin(), calls.end(), "show"),
              std::count(calls.begin(), calls.end(), "dismiss"));
    EXPECT_EQ(calls.empty(), !fault.announced);
    if (fault.logLine) {
        EXPECT_TRUE(log.contains(fault.logLine)) << fault.logLine;
    }
}

INSTANTIATE_TEST_SUITE_P(Faults, FeedFaultTest, ::testing::ValuesIn(faultCases()),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(FeedTest, AnImageLargerThanTheCapIsRefusedAndTheBundledOneShows) {
    server.set(kThemePath, {200, std::string(300 * 1024, 'x'), "image/png"});
    FeedOptions options;
    options.limits.maxImageBytes = 256 * 1024;
    makeReachableFeed(options);
    openAndWaitForImages();
    EXPECT_EQ(widthOf(feed->getCOTDThemeImageIfAvailable()), kBundledWidth);
    EXPECT_FALSE(feed->hasDownloadedThemeImage());
}

TEST_F(FeedTest, APictureWithTooManyPixelsIsRefused) {
    FeedOptions options;
    options.limits.maxImagePixels = 8 * 3 - 1;  // the theme image is 12 × 3
    makeReachableFeed(options);
    openAndWaitForImages();
    EXPECT_EQ(widthOf(feed->getCOTDThemeImageIfAvailable()), kBundledWidth);
    EXPECT_EQ(widthOf(feed->getCOTDThumbIfAvailable()), kThumbWidth);
}

TEST_F(FeedTest, AServerThatStallsEndsInTheTimeOut) {
    server.hold(kRevisionPath);
    FeedOptions options;
    options.limits.requestTimeout = std::chrono::milliseconds(300);
    makeReachableFeed(options);
    feed->loadTheCOTDimages();
    settle();
    EXPECT_TRUE(log.contains(kLogRevisionsFileFailed));
    EXPECT_EQ(posted.load(), 0);
    server.server().release();
}

TEST_F(FeedTest, AnUnreachableNetworkFetchesNothingUntilOpenedAgainWhileReachable) {
    makeFeed();
    std::atomic<bool> up{false};
    const int monitor = 0;  // stands for the monitor's identity
    feed->watchReachability(
        {"kReachabilityChangedNotification", &monitor, [&] { return up.load(); }, "feed.example"});
    settle();
    EXPECT_FALSE(feed->internetIsReachable());
    EXPECT_TRUE(log.contains("\u2022\u2022\u2022 feed.example is unreachable \u2022\u2022\u2022"));

    feed->loadTheCOTDimages();
    settle();
    EXPECT_EQ(server.hits(kRevisionPath), 0);

    // Coming back starts nothing by itself ...
    up = true;
    center.post("kReachabilityChangedNotification", &monitor);
    settle();
    EXPECT_TRUE(feed->internetIsReachable());
    EXPECT_EQ(server.hits(kRevisionPath), 0);
    // ... and another monitor's news is not this feed's.
    up = false;
    const int other = 0;
    center.post("kReachabilityChangedNotification", &other);
    settle();
    EXPECT_TRUE(feed->internetIsReachable());

    up = true;
    openAndWaitForImages();
    EXPECT_EQ(widthOf(feed->getCOTDThemeImageIfAvailable()), kThemeWidth);
}

TEST_F(FeedTest, FollowsTheMonitorOfItsOwnHost) {
    ScriptedReachability network;
    makeFeed();
    std::shared_ptr<Reachability> monitor;
    feed->watchReachability(
        monitorFeedHost(server.revisionUrl(), {&center, &queue, &network}, &monitor));
    settle();
    ASSERT_NE(monitor, nullptr);
    EXPECT_THAT(network.hostnames(), ::testing::ElementsAre("127.0.0.1"));
    EXPECT_FALSE(feed->internetIsReachable());

    network.setReachable(true);
    ASSERT_TRUE(queue.runUntil([&] { return feed->internetIsReachable(); }));
    openAndWaitForImages();
    EXPECT_EQ(widthOf(feed->getCOTDThemeImageIfAvailable()), kThemeWidth);
    monitor->stopNotifier();
    feed.reset();
}

TEST_F(FeedTest, WithoutAHostNoMonitorStartsAndNothingIsFetched) {
    ScriptedReachability network;
    makeFeed();
    feed->watchReachability(monitorFeedHost("", {&center, &queue, &network}));
    feed->loadTheCOTDimages();
    settle();
    EXPECT_TRUE(network.hostnames().empty());
    EXPECT_EQ(server.hits(kRevisionPath), 0);
}

}  // namespace
}  // namespace qp::test
