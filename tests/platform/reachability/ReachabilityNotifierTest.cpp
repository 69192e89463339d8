#include <gtest/gtest.h>

#include <netinet/in.h>

#include <atomic>
#include <future>
#include <mutex>
#include <string>
#include <vector>

#include "platform/NotificationCenter.h"
#include "platform/reachability/Reachability.h"
#include "platform/reachability/SerialQueue.h"
#include "support/ManualMainQueue.h"
#include "support/ScriptedReachability.h"

namespace qp {
namespace {

// A monitor over a scripted network, with the blocks and the notification
// writing what they see, in order, into one list.
class ReachabilityNotifier : public ::testing::Test {
protected:
    void SetUp() override {
        center.addObserver(kReachabilityChangedNotification, nullptr,
                           [this](const Notification& n) {
                               const auto* sender = static_cast<const Reachability*>(n.sender);
                               record(std::string("notified ") +
                                      (sender->isReachable() ? "reachable" : "unreachable") +
                                      (queue.isMainThread() ? " on main" : " off main"));
                               lastSender = sender;
                               ++notifications;
                           });
        monitor = Reachability::reachabilityWithHostname("feed.example", env);
        ASSERT_TRUE(monitor);
    }
    // A notifying monitor outlives the test; stopping it joins its queue's
    // worker, so nothing posts to the test's main queue once that is gone.
    void TearDown() override {
        if (monitor) monitor->stopNotifier();
    }

    void record(std::string event) {
        std::lock_guard lock(mutex);
        events.push_back(std::move(event));
    }
    std::vector<std::string> takeEvents() {
        std::lock_guard lock(mutex);
        return std::exchange(events, {});
    }
    // Records each block call, and whether it ran on the monitor's serial queue.
    void recordBlocks() {
        monitor->setReachableBlock(
            [this](Reachability& m) { record(std::string("reachable block") + onSerialQueue(m)); });
        monitor->setUnreachableBlock([this](Reachability& m) {
            record(std::string("unreachable block") + onSerialQueue(m));
        });
    }
    static const char* onSerialQueue(Reachability& m) {
        // Read once: a stop on another thread clears it, but cannot free the
        // queue while this block runs on it.
        const SerialQueue* serial = m.reachabilitySerialQueue();
        return serial && serial->isCurrent() ? " on serial queue" : " elsewhere";
    }
    bool waitForNotifications(int count) {
        return queue.runUntil([&] { return notifications >= count; });
    }

    ManualMainQueue queue;
    NotificationCenter center;
    ScriptedReachability network;
    ReachabilityEnvironment env{&center, &queue, &network};
    std::shared_ptr<Reachability> monitor;

    std::mutex mutex;
    std::vector<std::string> events;
    int notifications = 0;  // main thread only
    const Reachability* lastSender = nullptr;
};

TEST_F(ReachabilityNotifier, BlockOnTheSerialQueueThenTheNotificationFromTheMainThread) {
    recordBlocks();
    ASSERT_TRUE(monitor->startNotifier());
    ASSERT_NE(monitor->reachabilitySerialQueue(), nullptr);

    network.setReachable(true);
    ASSERT_TRUE(waitForNotifications(1));
    network.setReachable(false);
    ASSERT_TRUE(waitForNotifications(2));

    EXPECT_EQ(takeEvents(), (std::vector<std::string>{
                                "reachable block on serial queue",
                                "notified reachable on main",
                                "unreachable block on serial queue",
                                "notified unreachable on main",
                            }));
    EXPECT_EQ(lastSender, monitor.get());
}

TEST_F(ReachabilityNotifier, WithoutBlocksAChangePostsExactlyOneNotification) {
    ASSERT_TRUE(monitor->startNotifier());
    network.setFlags(kReachabilityFlagReachable | kReachabilityFlagIsWWAN);
    ASSERT_TRUE(waitForNotifications(1));
    queue.runPending();
    EXPECT_EQ(notifications, 1);
    EXPECT_EQ(queue.pendingCount(), 0u);
}

TEST_F(ReachabilityNotifier, BlockChoiceHonoursReachableOnWWAN) {
    recordBlocks();
    monitor->setReachableOnWWAN(false);
    ASSERT_TRUE(monitor->startNotifier());
    network.setFlags(kReachabilityFlagReachable | kReachabilityFlagIsWWAN);
    ASSERT_TRUE(waitForNotifications(1));
    EXPECT_EQ(takeEvents(), (std::vector<std::string>{"unreachable block on serial queue",
                                                      "notified unreachable on main"}));
}

TEST_F(ReachabilityNotifier, KeepsItselfAliveWhileNotifyingAndEndsAfterStop) {
    ASSERT_TRUE(monitor->startNotifier());
    EXPECT_EQ(monitor->reachabilityObject(), monitor);
    const std::weak_ptr<Reachability> weak = monitor;
    monitor.reset();  // the creator lets go, as the feed does
    ASSERT_FALSE(weak.expired());

    network.setReachable(true);
    ASSERT_TRUE(waitForNotifications(1));
    EXPECT_EQ(lastSender, weak.lock().get());

    weak.lock()->stopNotifier();
    EXPECT_TRUE(weak.expired());
    EXPECT_EQ(network.notifyingCount(), 0) << "the source went with the monitor";
}

TEST_F(ReachabilityNotifier, PendingNotificationKeepsItsSenderAlive) {
    ASSERT_TRUE(monitor->startNotifier());
    const std::weak_ptr<Reachability> weak = monitor;
    monitor.reset();
    network.setReachable(true);
    ASSERT_TRUE(queue.waitForPosts(1));

    // Stopped and let go of before the main thread delivers: the observer
    // still asks a live monitor.
    weak.lock()->stopNotifier();
    EXPECT_FALSE(weak.expired());
    queue.runPending();
    EXPECT_EQ(takeEvents(), std::vector<std::string>{"notified reachable on main"});
    EXPECT_TRUE(weak.expired());
}

TEST_F(ReachabilityNotifier, StopNotifierEndsTheReports) {
    recordBlocks();
    ASSERT_TRUE(monitor->startNotifier());
    EXPECT_EQ(network.notifyingCount(), 1);
    monitor->stopNotifier();

    EXPECT_EQ(monitor->reachabilityObject(), nullptr);
    EXPECT_EQ(monitor->reachabilitySerialQueue(), nullptr);
    EXPECT_EQ(network.notifyingCount(), 0);
    network.setReachable(true);
    EXPECT_EQ(queue.pendingCount(), 0u);
    EXPECT_TRUE(takeEvents().empty());
    EXPECT_TRUE(monitor->isReachable()) << "queries still answer";

    ASSERT_TRUE(monitor->startNotifier()) << "and it can start again";
    network.setReachable(false);
    ASSERT_TRUE(waitForNotifications(1));
}

TEST_F(ReachabilityNotifier, StartingTwiceKeepsOneQueue) {
    ASSERT_TRUE(monitor->startNotifier());
    SerialQueue* first = monitor->reachabilitySerialQueue();
    ASSERT_TRUE(monitor->startNotifier());
    EXPECT_EQ(monitor->reachabilitySerialQueue(), first);
    network.setReachable(true);
    ASSERT_TRUE(waitForNotifications(1));
    queue.runPending();
    EXPECT_EQ(notifications, 1);
}

TEST_F(ReachabilityNotifier, FailedStartLeavesNothingRegistered) {
    struct Case {
        bool refusesCallback;
        bool refusesQueue;
    };
    for (const Case c : {Case{true, false}, Case{false, true}}) {
        SCOPED_TRACE(c.refusesCallback ? "callback refused" : "queue refused");
        network.setRefusesCallback(c.refusesCallback);
        network.setRefusesQueue(c.refusesQueue);
        auto failing = Reachability::reachabilityWithHostname("feed.example", env);
        failing->setReachableBlock([this](Reachability&) { record("block"); });
        EXPECT_FALSE(failing->startNotifier());
        EXPECT_EQ(failing->reachabilityObject(), nullptr);
        EXPECT_EQ(failing->reachabilitySerialQueue(), nullptr);
        EXPECT_EQ(network.notifyingCount(), 0);

        network.setReachable(true);
        EXPECT_EQ(queue.pendingCount(), 0u);
        const std::weak_ptr<Reachability> weak = failing;
        failing.reset();
        EXPECT_TRUE(weak.expired()) << "no self-reference left behind";
    }
    EXPECT_TRUE(takeEvents().empty());
}

TEST_F(ReachabilityNotifier, BlockMayStopTheNotifierFromTheSerialQueue) {
    // Stopped from its own queue, the worker cannot be waited for and may
    // still be returning from its last post when the test ends: this main
    // queue is never destroyed.
    static ManualMainQueue* const lasting = new ManualMainQueue;
    auto stopping =
        Reachability::reachabilityWithHostname("feed.example", {&center, lasting, &network});
    stopping->setUnreachableBlock([this](Reachability& m) {
        m.stopNotifier();
        record(m.reachabilityObject() ? "still notifying" : "stopped");
    });
    ASSERT_TRUE(stopping->startNotifier());
    stopping.reset();
    network.setReachable(false);
    ASSERT_TRUE(lasting->runUntil([&] { return notifications >= 1; }));
    EXPECT_EQ(takeEvents(), (std::vector<std::string>{"stopped", "notified unreachable on main"}));
}

TEST_F(ReachabilityNotifier, StopsCleanlyWhileChangesArriveFromAnotherThread) {
    recordBlocks();
    ASSERT_TRUE(monitor->startNotifier());
    std::atomic<bool> go{false};
    std::thread changes([&] {
        go = true;
        for (int i = 0; i < 200; ++i) network.setReachable(i % 2 == 0);
    });
    while (!go) std::this_thread::yield();
    monitor->stopNotifier();
    changes.join();
    queue.runPending();
    const int seen = notifications;
    network.setReachable(true);
    queue.runPending();
    EXPECT_EQ(notifications, seen) << "nothing after stopNotifier";
}

// Records the addresses the monitor asks for.
struct AddressRecorder : ReachabilitySourceFactory {
    std::unique_ptr<ReachabilityFlagsSource> sourceForHostname(const std::string& host) override {
        return network.sourceForHostname(host);
    }
    std::unique_ptr<ReachabilityFlagsSource> sourceForAddress(const sockaddr* address) override {
        seen.push_back(*reinterpret_cast<const sockaddr_in*>(address));
        return network.sourceForAddress(address);
    }
    ScriptedReachability network;
    std::vector<sockaddr_in> seen;
};

TEST(ReachabilityConstructors, InternetAndLinkLocalAskForTheirIPv4Networks) {
    AddressRecorder recorder;
    const ReachabilityEnvironment env{nullptr, nullptr, &recorder};
    EXPECT_TRUE(Reachability::reachabilityForInternetConnection(env));
    EXPECT_TRUE(Reachability::reachabilityForLocalWiFi(env));
    ASSERT_EQ(recorder.seen.size(), 2u);
    const std::uint32_t expected[] = {0x00000000, 0xA9FE0000};
    for (std::size_t i = 0; i < 2; ++i) {
        EXPECT_EQ(recorder.seen[i].sin_family, AF_INET);
        EXPECT_EQ(recorder.seen[i].sin_port, 0);
        EXPECT_EQ(ntohl(recorder.seen[i].sin_addr.s_addr), expected[i]);
    }
}

TEST(ReachabilityConstructors, RejectedTargetGivesNoMonitor) {
    ScriptedReachability network;
    network.setRejectsTargets(true);
    const ReachabilityEnvironment env{nullptr, nullptr, &network};
    EXPECT_FALSE(Reachability::reachabilityWithHostname("feed.example", env));
    EXPECT_FALSE(Reachability::reachabilityForInternetConnection(env));
    EXPECT_FALSE(Reachability::reachabilityForLocalWiFi(env));
    EXPECT_FALSE(Reachability::reachabilityWithAddress(nullptr, env));
    EXPECT_FALSE(Reachability::reachabilityWithHostname("feed.example", {})) << "no sources at all";
}

TEST(ReachabilityConstructors, MonitoringAHostNeedsAHost) {
    ScriptedReachability network;
    const ReachabilityEnvironment env{nullptr, nullptr, &network};
    EXPECT_FALSE(startMonitoringHost("", env));
    EXPECT_TRUE(network.hostnames().empty()) << "nothing asked for without a host";

    auto monitor = startMonitoringHost("feed.example", env);
    ASSERT_TRUE(monitor);
    EXPECT_EQ(network.hostnames(), std::vector<std::string>{"feed.example"});
    EXPECT_EQ(monitor->reachabilityObject(), monitor) << "notifying";
    monitor->stopNotifier();
}

TEST(ReachabilitySerialQueue, RunsTasksInOrderOffTheCallingThread) {
    ManualMainQueue done;  // outlives the queue, whose worker posts to it
    auto serial = SerialQueue::create("test");
    ASSERT_TRUE(serial);
    std::mutex mutex;
    std::vector<int> order;
    std::atomic<bool> offCaller{true};
    const auto caller = std::this_thread::get_id();
    for (int i = 0; i < 5; ++i) {
        serial->async([&, i] {
            if (std::this_thread::get_id() == caller) offCaller = false;
            std::lock_guard lock(mutex);
            order.push_back(i);
        });
    }
    serial->async([&] { done.post([] {}); });
    ASSERT_TRUE(done.waitForPosts(1));
    EXPECT_TRUE(offCaller);
    std::lock_guard lock(mutex);
    EXPECT_EQ(order, (std::vector<int>{0, 1, 2, 3, 4}));
}

TEST(ReachabilitySerialQueue, ATaskMayReleaseItsOwnQueue) {
    auto serial = SerialQueue::create("test");
    // The worker cannot be waited for here; a promise it keeps alive itself
    // says when the task is through.
    auto released = std::make_shared<std::promise<void>>();
    std::future<void> done = released->get_future();
    serial->async([&serial, released] {
        serial.reset();  // from inside: must not wait for itself
        released->set_value();
    });
    ASSERT_EQ(done.wait_for(std::chrono::seconds(10)), std::future_status::ready);
    EXPECT_EQ(serial, nullptr);
}

}  // namespace
}  // namespace qp
