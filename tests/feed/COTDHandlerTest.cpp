// The feed against a local server: the whole road from revision file to
// announced images, the special-day rule, the version texts, and the
// settings it keeps.

#include <gmock/gmock.h>

#include "feed/FeedFixture.h"

namespace qp::test {
namespace {

using ::testing::ElementsAre;

TEST_F(FeedTest, OpeningTheCategoryLoadsTodaysRecordAndImagesAndAnnouncesThem) {
    makeReachableFeed();
    openAndWaitForImages();

    EXPECT_EQ(recordName(), "day 17");
    EXPECT_EQ(widthOf(feed->getCOTDThemeImageIfAvailable()), kThemeWidth);
    EXPECT_EQ(widthOf(feed->getCOTDThemeBottomImageIfAvailable()), kBottomWidth);
    EXPECT_EQ(widthOf(feed->getCOTDThumbIfAvailable()), kThumbWidth);

    EXPECT_EQ(posted.load(), 1);
    EXPECT_EQ(lastSender, feed.get());
    EXPECT_FALSE(postedOffMain.load());
    EXPECT_THAT(overlay.calls(), ElementsAre("title \nloading content", "show", "dismiss"));
    EXPECT_TRUE(overlay.allOnMainThread());

    EXPECT_EQ(defaults.stringForKey(kDateCOTDLoadedKey), "05-17");
    EXPECT_EQ(defaults.stringForKey(kMonthOfThemesVersionKey), "v1");
    EXPECT_EQ(defaults.stringForKey(kSpecialDayVersionKey), "v1");
}

TEST_F(FeedTest, WritesItsConsoleLinesWordForWord) {
    makeReachableFeed();
    openAndWaitForImages();
    for (const char* line :
         {"-[COTDHandler loadTheCOTDimages]", "-[COTDHandler loadTheLatestRevFile]",
          "-[COTDHandler revFileLoadedNowCheckVersions]", "-[COTDHandler loadCOTDimagesFromServer]",
          "- revisions file loaded - set lastDateCOTDloaded: 05-17",
          "- monthOfThemesPlist loaded - set lastUpdateOfMOTfile: v1",
          "- specialDayThemesPlist loaded - set lastUpdateOfSDTfile: v1",
          "=== new images loaded ===", " "}) {
        EXPECT_TRUE(log.contains(line)) << line;
    }
    EXPECT_TRUE(log.contains("the image URL: " + server.url(kThemePath)));
    EXPECT_TRUE(log.mentions("plist: {"));
    EXPECT_TRUE(log.mentions("\"month of themes file URL\" = \"" + server.url(kMonthPath)));
}

TEST_F(FeedTest, TheDayComesFromTheClockInTheFeedsTimeZone) {
    setToday(5, 31);                                     // noon UTC on the 31st ...
    zone = FixedOffsetTimeZone(std::chrono::hours(13));  // ... is the 1st of June here
    makeReachableFeed();
    openAndWaitForImages();
    EXPECT_EQ(feed->today(), "06-01");
    EXPECT_EQ(recordName(), "day 1");
}

TEST_F(FeedTest, ASpecialDayWinsOverTheMonthList) {
    server.setSpecialDays({"05-17", "12-25"});
    makeReachableFeed();
    openAndWaitForImages();
    EXPECT_EQ(recordName(), "special 05-17");

    setToday(5, 18);
    EXPECT_EQ(recordName(), "day 18");
}

TEST_F(FeedTest, TheThirtyFirstOfAThirtyRecordMonthHasNoRecordAndKeepsTheBundledArt) {
    server.setMonth(30);
    setToday(5, 31);
    makeReachableFeed();
    feed->loadTheCOTDimages();
    settle();

    EXPECT_EQ(recordName(), "(none)");
    EXPECT_EQ(posted.load(), 0);
    EXPECT_TRUE(overlay.calls().empty());
    EXPECT_EQ(server.hits(kThemePath), 0);
    EXPECT_EQ(widthOf(feed->getCOTDThemeImageIfAvailable()), kBundledWidth);
    EXPECT_EQ(widthOf(feed->getCOTDThumbIfAvailable()), kBundledWidth);
}

TEST_F(FeedTest, ImagesAreNotFetchedAgainInTheSameRun) {
    makeReachableFeed();
    openAndWaitForImages();
    feed->loadTheCOTDimages();
    settle();
    EXPECT_EQ(server.hits(kThemePath), 1);
    EXPECT_EQ(server.hits(kRevisionPath), 1);
    EXPECT_EQ(posted.load(), 1);
}

TEST_F(FeedTest, WithTheOtherCategoryOnTheRevisionFileDoesNotStartDownloads) {
    state.setCurrentThemeIsCOTD(false);
    makeReachableFeed();
    feed->loadTheLatestRevFile();
    settle();
    EXPECT_EQ(server.hits(kMonthPath), 1);
    EXPECT_EQ(server.hits(kThemePath), 0);
    EXPECT_EQ(recordName(), "day 17");
}

// --- version texts -----------------------------------------------------------

TEST_F(FeedTest, EqualVersionTextsSkipAFileThatIsAlreadyHeldAndANewOneIsFetched) {
    state.setCurrentThemeIsCOTD(false);
    makeReachableFeed();
    feed->loadTheLatestRevFile();
    settle();

    // The same versions again: nothing is fetched but the revision file.
    feed->loadTheLatestRevFile();
    settle();
    EXPECT_EQ(server.hits(kRevisionPath), 2);
    EXPECT_EQ(server.hits(kMonthPath), 1);
    EXPECT_EQ(server.hits(kSpecialPath), 1);
    EXPECT_TRUE(log.contains("--- monthOfThemesPlist already loaded for date: v1"));
    EXPECT_TRUE(log.contains("--- specialDayThemesPlist already loaded for date: v1"));

    // A new month version: only the month file comes again.
    server.setRevision("v2", "v1");
    feed->loadTheLatestRevFile();
    settle();
    EXPECT_EQ(server.hits(kMonthPath), 2);
    EXPECT_EQ(server.hits(kSpecialPath), 1);
    EXPECT_EQ(defaults.stringForKey(kMonthOfThemesVersionKey), "v2");
}

TEST_F(FeedTest, ANewRunFetchesBothFilesAgainThoughTheStoredVersionsMatch) {
    defaults.setString("v1", kMonthOfThemesVersionKey);
    defaults.setString("v1", kSpecialDayVersionKey);
    state.setCurrentThemeIsCOTD(false);
    makeReachableFeed();
    feed->loadTheLatestRevFile();
    settle();
    EXPECT_EQ(server.hits(kMonthPath), 1);
    EXPECT_EQ(server.hits(kSpecialPath), 1);
}

TEST_F(FeedTest, AFileThatFailsKeepsItsOldVersionSoItIsFetchedAgain) {
    defaults.setString("v0", kMonthOfThemesVersionKey);
    server.remove(kMonthPath);
    state.setCurrentThemeIsCOTD(false);
    makeReachableFeed();
    feed->loadTheLatestRevFile();
    settle();
    EXPECT_TRUE(log.contains(kLogMonthFileFailed));
    EXPECT_EQ(defaults.stringForKey(kMonthOfThemesVersionKey), "v0");
    EXPECT_EQ(recordName(), "(none)");

    server.setMonth(31);
    feed->loadTheLatestRevFile();
    settle();
    EXPECT_EQ(server.hits(kMonthPath), 2);
    EXPECT_EQ(recordName(), "day 17");
}

// --- settings ---------------------------------------------------------------------

TEST_F(FeedTest, AFailedRevisionFetchLeavesTheStoredDateAlone) {
    defaults.setString("05-16", kDateCOTDLoadedKey);
    server.remove(kRevisionPath);
    makeReachableFeed();
    feed->loadTheCOTDimages();
    settle();
    EXPECT_TRUE(log.contains(kLogRevisionsFileFailed));
    EXPECT_EQ(defaults.stringForKey(kDateCOTDLoadedKey), "05-16");
    EXPECT_FALSE(feed->cotdLatestRevPlist().has_value());

    // Each opening of the category is one more attempt.
    server.setRevision("v1", "v1");
    openAndWaitForImages();
    EXPECT_EQ(server.hits(kRevisionPath), 2);
    EXPECT_EQ(defaults.stringForKey(kDateCOTDLoadedKey), "05-17");
}

TEST_F(FeedTest, LoadingTheDataSeedsTheSettingsAndFetchesWhateverTheNetworkSays) {
    makeFeed();  // never told the network is reachable
    feed->loadTheCOTDdata();
    settle();
    EXPECT_EQ(feed->lastCOTDtimestamp(), "");
    EXPECT_TRUE(log.contains(kLogLoadTheCOTDdata));
    EXPECT_EQ(server.hits(kRevisionPath), 1);
    EXPECT_EQ(defaults.stringForKey(kDateCOTDLoadedKey), "05-17");
    // Seeded, then replaced by the versions fetched.
    EXPECT_EQ(defaults.stringForKey(kMonthOfThemesVersionKey), "v1");
}

TEST_F(FeedTest, LoadingTheDataWhileOffLeavesTheSeeds) {
    server.remove(kRevisionPath);
    makeFeed();
    feed->loadTheCOTDdata();
    settle();
    for (const char* key : {kDateCOTDLoadedKey, kMonthOfThemesVersionKey, kSpecialDayVersionKey})
        EXPECT_EQ(defaults.stringForKey(key), "00-00") << key;
}

}  // namespace
}  // namespace qp::test
