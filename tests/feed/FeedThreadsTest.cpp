// The feed's hand-over between its workers and the main thread, and runs that
// overlap. Run under ThreadSanitizer in CI (the tests are labelled threads).

#include <gmock/gmock.h>

#include <thread>

#include "feed/FeedFixture.h"

namespace qp::test {
namespace {

TEST_F(FeedTest, OverlappingOpeningsFetchEverythingOnceAndAnnounceOnce) {
    server.hold(kRevisionPath);
    makeReachableFeed();
    feed->loadTheCOTDimages();
    ASSERT_TRUE(server.server().waitForSignals(1, std::chrono::seconds(10)));

    // The revision file is still on its way: more openings, and a reader on
    // another thread asking for what the workers are about to write.
    std::atomic<bool> reading{true};
    std::thread reader([&] {
        while (reading.load()) {
            static_cast<void>(feed->getCOTDThemeImageIfAvailable());
            static_cast<void>(feed->getCOTDThumbIfAvailable());
            static_cast<void>(feed->getCOTDThemeDictIfAvailable());
        }
    });
    for (int i = 0; i < 5; ++i) {
        feed->loadTheCOTDimages();
        feed->loadTheLatestRevFile();
    }
    server.server().release();
    ASSERT_TRUE(queue.runUntil([&] { return posted.load() > 0; }));
    settle();
    reading = false;
    reader.join();

    EXPECT_EQ(server.hits(kRevisionPath), 1);
    EXPECT_EQ(server.hits(kMonthPath), 1);
    EXPECT_EQ(server.hits(kThemePath), 1);
    EXPECT_EQ(posted.load(), 1);
    EXPECT_EQ(widthOf(feed->getCOTDThemeImageIfAvailable()), kThemeWidth);
}

TEST_F(FeedTest, AnOpeningDuringADownloadRunsOnceMoreAfterItWithoutFetchingAgain) {
    server.hold(kThemePath);
    makeReachableFeed();
    feed->loadTheCOTDimages();
    ASSERT_TRUE(server.server().waitForSignals(1, std::chrono::seconds(10)));
    feed->loadTheCOTDimages();
    feed->loadCOTDimagesFromServer();
    server.server().release();
    ASSERT_TRUE(queue.runUntil([&] { return posted.load() > 0; }));
    settle();
    EXPECT_EQ(server.hits(kThemePath), 1);
    EXPECT_EQ(posted.load(), 1);
    EXPECT_THAT(overlay.calls(),
                ::testing::ElementsAre("title \nloading content", "show", "dismiss"));
}

TEST_F(FeedTest, AFeedDestroyedMidDownloadStopsItAtOnceAndHandsNothingToTheMainThread) {
    server.hold(kThemePath);
    makeReachableFeed();  // the default time-out: 20 seconds
    feed->loadTheCOTDimages();
    ASSERT_TRUE(server.server().waitForSignals(1, std::chrono::seconds(10)));
    const auto ending = std::chrono::steady_clock::now();
    feed.reset();  // the stalled download is cancelled, not waited out
    EXPECT_LT(std::chrono::steady_clock::now() - ending, std::chrono::seconds(5));
    queue.runPending();
    EXPECT_EQ(posted.load(), 0);
    server.server().release();
}

TEST_F(FeedTest, SynchronousFeedsRunEveryStepOnTheCallingThread) {
    FeedOptions options;
    options.synchronous = true;
    options.ignoreReachability = true;
    makeFeed(options);
    feed->loadTheCOTDimages();
    // Done on return: nothing waits on a worker or on the queue.
    EXPECT_FALSE(feed->isBusy());
    EXPECT_EQ(queue.pendingCount(), 0u);
    EXPECT_EQ(posted.load(), 1);
    EXPECT_EQ(widthOf(feed->getCOTDThemeBottomImageIfAvailable()), kBottomWidth);
}

}  // namespace
}  // namespace qp::test
