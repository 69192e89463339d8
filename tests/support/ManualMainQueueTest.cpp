#include <gtest/gtest.h>

#include <chrono>
#include <string>
#include <thread>
#include <vector>

#include "support/ManualMainQueue.h"

using namespace qp;
using namespace std::chrono_literals;

TEST(ManualMainQueue, RunsDueTasksInOrderIncludingThoseTheyPost) {
    ManualMainQueue queue;
    std::string trace;
    queue.post([&] {
        trace += "a";
        queue.post([&] { trace += "c"; });
    });
    queue.post([&] { trace += "b"; });
    queue.postAfter(1ms, [&] { trace += "late"; });
    EXPECT_EQ(trace, "");
    EXPECT_EQ(queue.runPending(), 3u);
    EXPECT_EQ(trace, "abc");
    EXPECT_EQ(queue.pendingCount(), 1u);
}

TEST(ManualMainQueue, StopsATaskChainAtTheLimit) {
    ManualMainQueue queue;
    int runs = 0;
    std::function<void()> again = [&] {
        ++runs;
        queue.post(again);
    };
    queue.post(again);
    EXPECT_EQ(queue.runPending(5), 5u);
    EXPECT_EQ(runs, 5);
    EXPECT_EQ(queue.pendingCount(), 1u);
}

TEST(ManualMainQueue, AdvanceFiresTimersInDueOrderAtTheirOwnTime) {
    ManualClock clock;
    ManualMainQueue queue(clock);
    const auto start = clock.monotonicNow();
    std::vector<std::pair<std::string, std::chrono::milliseconds>> fired;
    auto record = [&](std::string name) {
        return [&, name] {
            fired.emplace_back(name, std::chrono::duration_cast<std::chrono::milliseconds>(
                                         clock.monotonicNow() - start));
        };
    };
    queue.postAfter(300ms, record("third"));
    queue.postAfter(100ms, [&, record] {
        record("first")();
        queue.postAfter(100ms, record("second"));  // lands at 200 ms, before "third"
    });
    queue.postAfter(900ms, record("never"));

    EXPECT_EQ(queue.advance(99ms), 0u);
    EXPECT_EQ(queue.advance(401ms), 3u);
    ASSERT_EQ(fired.size(), 3u);
    EXPECT_EQ(fired[0], std::make_pair(std::string("first"), 100ms));
    EXPECT_EQ(fired[1], std::make_pair(std::string("second"), 200ms));
    EXPECT_EQ(fired[2], std::make_pair(std::string("third"), 300ms));
    EXPECT_EQ(clock.monotonicNow() - start, 500ms);
}

TEST(ManualMainQueue, CancelDropsOnlyThatTask) {
    ManualMainQueue queue;
    std::string trace;
    const auto dropped = queue.postAfter(10ms, [&] { trace += "x"; });
    queue.postAfter(10ms, [&] { trace += "y"; });
    queue.cancel(dropped);
    queue.cancel(dropped);  // twice, and an unknown id: both ignored
    queue.cancel(12345);
    queue.advance(10ms);
    EXPECT_EQ(trace, "y");
}

TEST(ManualMainQueue, WaitsForAPostFromAnotherThread) {
    ManualMainQueue queue;
    bool ran = false;
    bool workerSawMainThread = true;
    EXPECT_TRUE(queue.isMainThread());
    std::thread worker([&] {
        workerSawMainThread = queue.isMainThread();
        queue.post([&] { ran = true; });
    });
    EXPECT_TRUE(queue.waitForPosts(1));
    worker.join();
    EXPECT_FALSE(workerSawMainThread);
    EXPECT_FALSE(ran);  // waiting does not run anything
    EXPECT_TRUE(queue.runUntil([&] { return ran; }));
}

TEST(ManualMainQueue, WaitingGivesUpWhenNothingIsDue) {
    ManualMainQueue queue;
    queue.postAfter(1s, [] {});
    EXPECT_FALSE(queue.waitForPosts(1, 1ms));
    EXPECT_FALSE(queue.runUntil([] { return false; }, 1ms));
}

TEST(ManualClock, MovesBothClocksOnlyForward) {
    ManualClock clock;
    const auto wall = clock.now();
    const auto mono = clock.monotonicNow();
    clock.advance(1500ms);
    clock.advance(-5s);
    EXPECT_EQ(clock.now() - wall, 1500ms);
    EXPECT_EQ(clock.monotonicNow() - mono, 1500ms);
    EXPECT_EQ(millisecondsSince1970(wall), 1356998400000LL);  // 2013-01-01 UTC
}
