#include <gtest/gtest.h>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/un.h>

#include <condition_variable>
#include <cstring>
#include <fstream>
#include <iostream>
#include <mutex>
#include <thread>

#include "NetlinkTestNetwork.h"
#include "platform/NotificationCenter.h"
#include "platform/reachability/LinuxReachability.h"
#include "platform/reachability/Reachability.h"
#include "platform/reachability/RouteFlags.h"
#include "support/ManualMainQueue.h"
#include "support/TempFolder.h"

namespace qp {
namespace {

using namespace std::chrono_literals;

sockaddr_storage ipv4(const char* text) {
    sockaddr_storage storage{};
    auto& address = reinterpret_cast<sockaddr_in&>(storage);
    address.sin_family = AF_INET;
    EXPECT_EQ(::inet_pton(AF_INET, text, &address.sin_addr), 1) << text;
    return storage;
}

const sockaddr* asSockaddr(const sockaddr_storage& storage) {
    return reinterpret_cast<const sockaddr*>(&storage);
}

TEST(ReachabilityRouteFlags, RouteKindGatewayAndInterfaceGiveTheFlags) {
    using Kind = RouteAnswer::Kind;
    struct Case {
        std::optional<RouteAnswer> route;
        bool cellular;
        const char* flags;
    };
    const Case cases[] = {
        {std::nullopt, false, "-- -------"},
        {std::nullopt, true, "-- -------"},
        {RouteAnswer{Kind::Local, false, 1}, false, "-R -----ld"},
        {RouteAnswer{Kind::Local, false, 1}, true, "-R -----ld"},
        {RouteAnswer{Kind::Unicast, false, 2}, false, "-R ------d"},
        {RouteAnswer{Kind::Unicast, true, 2}, false, "-R -------"},
        {RouteAnswer{Kind::Unicast, true, 3}, true, "WR -------"},
        {RouteAnswer{Kind::Unicast, false, 3}, true, "WR ------d"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(reachabilityFlagsString(flagsForRoute(c.route, c.cellular)), c.flags)
            << "route " << (c.route ? static_cast<int>(c.route->kind) : -1) << " gateway "
            << (c.route && c.route->viaGateway) << " cellular " << c.cellular;
    }
}

TEST(ReachabilityRouteFlags, CellularByNameOrByDeviceType) {
    struct Case {
        const char* name;
        const char* deviceType;
        bool cellular;
    };
    const Case cases[] = {
        {"wwan0", "", true}, {"wwp0s20f0u6", "wwan", true},
        {"eth0", "", false}, {"wlan0", "wlan", false},
        {"wwa", "", false},  {"", "", false},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(isCellularInterface(c.name, c.deviceType), c.cellular)
            << c.name << " / " << c.deviceType;
    }
}

TEST(ReachabilityRouteFlags, DeviceTypeComesFromTheInterfacesUevent) {
    TempFolder sys;
    std::filesystem::create_directories(sys.path() / "usb0");
    std::ofstream(sys.path() / "usb0" / "uevent") << "DEVTYPE=wwan\nINTERFACE=usb0\nIFINDEX=5\n";
    std::filesystem::create_directories(sys.path() / "eth0");
    std::ofstream(sys.path() / "eth0" / "uevent") << "INTERFACE=eth0\nIFINDEX=2\n";
    const std::string root = sys.path().string();
    EXPECT_EQ(interfaceDeviceType(root, "usb0"), "wwan");
    EXPECT_EQ(interfaceDeviceType(root, "eth0"), "");
    EXPECT_EQ(interfaceDeviceType(root, "gone0"), "");
    EXPECT_EQ(interfaceDeviceType(root, "../usb0"), "") << "a name is never a path";
}

TEST(LinuxReachability, RejectsTargetsItCannotWatch) {
    LinuxReachabilitySources sources;
    EXPECT_FALSE(sources.sourceForHostname(""));
    EXPECT_FALSE(sources.sourceForHostname(std::string(254, 'a')));
    EXPECT_FALSE(sources.sourceForHostname(std::string("a\0b", 3)));
    EXPECT_TRUE(sources.sourceForHostname("feed.example"));
    sockaddr_un local{};
    local.sun_family = AF_UNIX;
    EXPECT_FALSE(sources.sourceForAddress(reinterpret_cast<const sockaddr*>(&local)));
    EXPECT_FALSE(sources.sourceForAddress(nullptr));
}

// A resolver that answers only when the test lets it; shared with the lookup
// thread, which may outlive the test's wait.
struct HeldResolver {
    std::mutex mutex;
    std::condition_variable released;
    bool open = false;
    int calls = 0;

    void release() {
        std::lock_guard lock(mutex);
        open = true;
        released.notify_all();
    }
    static LinuxReachabilityOptions::Resolver resolver(std::shared_ptr<HeldResolver> held) {
        return [held](const std::string&) {
            std::unique_lock lock(held->mutex);
            ++held->calls;
            held->released.wait(lock, [&] { return held->open; });
            return std::vector<sockaddr_storage>{ipv4("127.0.0.1")};
        };
    }
};

TEST(LinuxReachability, HostWhoseLookupNeverFinishesIsUnreachableAfterTheTimeout) {
    auto held = std::make_shared<HeldResolver>();
    LinuxReachabilityOptions options;
    options.lookupTimeout = 50ms;
    options.resolve = HeldResolver::resolver(held);
    LinuxReachabilitySources sources(options);

    ManualMainQueue queue;
    NotificationCenter center;
    std::optional<bool> reported;
    center.addObserver(kReachabilityChangedNotification, nullptr, [&](const Notification& n) {
        reported = static_cast<const Reachability*>(n.sender)->isReachable();
    });
    auto monitor =
        Reachability::reachabilityWithHostname("hangs.example", {&center, &queue, &sources});
    ASSERT_TRUE(monitor);
    EXPECT_EQ(monitor->reachabilityFlags(), 0u) << "a query gives up after the time-out";

    std::atomic<int> unreachableCalls{0};
    monitor->setUnreachableBlock([&](Reachability&) { ++unreachableCalls; });
    ASSERT_TRUE(monitor->startNotifier());
    ASSERT_TRUE(queue.runUntil([&] { return reported.has_value(); }));
    EXPECT_FALSE(*reported);
    EXPECT_EQ(unreachableCalls, 1);
    monitor->stopNotifier();

    std::lock_guard lock(held->mutex);
    EXPECT_EQ(held->calls, 1) << "a hanging lookup is waited for, not started again";
    held->open = true;
    held->released.notify_all();
}

TEST(LinuxReachability, HostIsJudgedByTheRouteToItsAddress) {
    LinuxReachabilityOptions options;
    options.resolve = [](const std::string& host) {
        if (host == "nowhere.example") return std::vector<sockaddr_storage>{};
        return std::vector<sockaddr_storage>{ipv4("127.0.0.1")};
    };
    LinuxReachabilitySources sources(options);
    EXPECT_EQ(reachabilityFlagsString(*sources.sourceForHostname("loopback.example")->flags()),
              "-R -----ld");
    EXPECT_EQ(*sources.sourceForHostname("nowhere.example")->flags(), 0u);
}

TEST(LinuxReachability, NameTheSystemCannotResolveIsUnreachable) {
    LinuxReachabilityOptions options;
    options.lookupTimeout = 3s;  // also where no DNS server answers at all
    LinuxReachabilitySources sources(options);
    auto source = sources.sourceForHostname("quillpost-reachability-test.invalid");
    ASSERT_TRUE(source);
    EXPECT_EQ(source->flags(), ReachabilityFlags{0});
}

TEST(LinuxReachability, HostMonitorReportsItsFirstReadingAndAnswersQueriesFromAnyThread) {
    LinuxReachabilityOptions options;
    options.resolve = [](const std::string&) {
        return std::vector<sockaddr_storage>{ipv4("127.0.0.1")};
    };
    LinuxReachabilitySources sources(options);
    ManualMainQueue queue;
    NotificationCenter center;
    std::vector<std::string> reported;
    center.addObserver(kReachabilityChangedNotification, nullptr, [&](const Notification& n) {
        reported.push_back(static_cast<const Reachability*>(n.sender)->currentReachabilityFlags());
    });
    auto monitor =
        Reachability::reachabilityWithHostname("loopback.example", {&center, &queue, &sources});
    ASSERT_TRUE(monitor);

    // Another thread keeps asking while the monitor starts and stops.
    std::atomic<bool> done{false};
    std::atomic<int> unreadable{0};
    std::thread asker([&] {
        while (!done) {
            const ReachabilityFlags flags = monitor->reachabilityFlags();
            if (flags != 0 &&
                flags != (kReachabilityFlagReachable | kReachabilityFlagIsLocalAddress |
                          kReachabilityFlagIsDirect)) {
                ++unreadable;
            }
        }
    });
    for (int round = 0; round < 3; ++round) {
        ASSERT_TRUE(monitor->startNotifier());
        ASSERT_TRUE(queue.runUntil([&] { return reported.size() == std::size_t(round) + 1; }));
        monitor->stopNotifier();
    }
    done = true;
    asker.join();
    EXPECT_EQ(reported, std::vector<std::string>(3, "-R -----ld")) << "each start reports afresh";
    EXPECT_EQ(unreadable, 0);
}

TEST(LinuxReachability, UnreachableHostIsLookedUpAgainWithoutANetworkChange) {
    // The first lookup finds nothing (the resolver was not ready yet), the next one does.
    auto lookups = std::make_shared<std::atomic<int>>(0);
    LinuxReachabilityOptions options;
    options.unreachableHostRecheck = 10ms;
    options.resolve = [lookups](const std::string&) {
        if (++*lookups == 1) return std::vector<sockaddr_storage>{};
        return std::vector<sockaddr_storage>{ipv4("127.0.0.1")};
    };
    LinuxReachabilitySources sources(options);
    ManualMainQueue queue;
    NotificationCenter center;
    std::vector<bool> reported;
    center.addObserver(kReachabilityChangedNotification, nullptr, [&](const Notification& n) {
        reported.push_back(static_cast<const Reachability*>(n.sender)->isReachable());
    });
    auto monitor =
        Reachability::reachabilityWithHostname("late.example", {&center, &queue, &sources});
    ASSERT_TRUE(monitor->startNotifier());
    ASSERT_TRUE(queue.runUntil([&] { return reported.size() == 2; }));
    monitor->stopNotifier();
    EXPECT_EQ(reported, (std::vector<bool>{false, true}));
    EXPECT_EQ(*lookups, 2) << "a reachable host is not looked up again on a timer";
}

// Runs `body` on a thread of its own inside a fresh network namespace; the
// sources' threads, started from there, watch that namespace too. Answers
// why it could not, or "".
std::string inNewNetworkNamespace(const std::function<void(test::NetlinkTestNetwork&)>& body) {
    std::string skipReason;
    std::thread inside([&] {
        skipReason = test::enterNewNetworkNamespace();
        if (!skipReason.empty()) return;
        test::NetlinkTestNetwork network;
        ASSERT_EQ(network.setLinkUp("lo"), 0);
        body(network);
    });
    inside.join();
    return skipReason;
}

// A link of the kernel's dummy kind, or a bridge where that driver is missing
// (both are links without hardware behind them).
void addTestLink(test::NetlinkTestNetwork& network, const std::string& name) {
    int error = network.addLink(name, "dummy");
    if (error != 0) {
        std::cout << "[ note     ] no dummy links here (" << std::strerror(error)
                  << "); using a bridge\n";
        error = network.addLink(name, "bridge");
    }
    ASSERT_EQ(error, 0) << std::strerror(error);
    ASSERT_EQ(network.setLinkUp(name), 0);
}

// Watches a monitor: its blocks' flags strings in order, its notifications.
struct MonitorLog {
    explicit MonitorLog(Reachability& monitor, ManualMainQueue& queue) : queue(queue) {
        auto record = [this](Reachability& m) {
            std::lock_guard lock(mutex);
            blocks.push_back(m.currentReachabilityFlags());
        };
        monitor.setReachableBlock(record);
        monitor.setUnreachableBlock(record);
    }
    bool waitForNotifications(int count) {
        return queue.runUntil([&] { return notifications >= count; });
    }
    std::vector<std::string> takeBlocks() {
        std::lock_guard lock(mutex);
        return std::exchange(blocks, {});
    }

    ManualMainQueue& queue;
    std::mutex mutex;
    std::vector<std::string> blocks;
    int notifications = 0;
};

TEST(LinuxReachability, AddressAddedAndRemovedInANetworkNamespaceIsReported) {
    const std::string skipped = inNewNetworkNamespace([](test::NetlinkTestNetwork& network) {
        addTestLink(network, "qptest0");
        ManualMainQueue queue;
        NotificationCenter center;
        LinuxReachabilitySources sources;
        const sockaddr_storage neighbour = ipv4("10.77.0.9");
        auto monitor = Reachability::reachabilityWithAddress(asSockaddr(neighbour),
                                                             {&center, &queue, &sources});
        ASSERT_TRUE(monitor);
        MonitorLog log(*monitor, queue);
        std::vector<bool> reachable;
        center.addObserver(
            kReachabilityChangedNotification, monitor.get(), [&](const Notification& n) {
                reachable.push_back(static_cast<const Reachability*>(n.sender)->isReachable());
                ++log.notifications;
            });
        ASSERT_TRUE(monitor->startNotifier());
        ASSERT_TRUE(log.waitForNotifications(1)) << "the first reading is reported";

        ASSERT_EQ(network.addAddress("qptest0", "10.77.0.1", 24), 0);
        ASSERT_TRUE(log.waitForNotifications(2));
        ASSERT_EQ(network.removeAddress("qptest0", "10.77.0.1", 24), 0);
        ASSERT_TRUE(log.waitForNotifications(3));

        EXPECT_EQ(log.takeBlocks(),
                  (std::vector<std::string>{"-- -------", "-R ------d", "-- -------"}));
        EXPECT_EQ(reachable, (std::vector<bool>{false, true, false}));

        monitor->stopNotifier();

        // Answers without a monitor: this machine's own addresses, and a
        // network behind a router on the link.
        auto flagsOf = [&sources](const char* address) {
            const sockaddr_storage target = ipv4(address);
            return reachabilityFlagsString(*sources.sourceForAddress(asSockaddr(target))->flags());
        };
        EXPECT_EQ(flagsOf("127.0.0.1"), "-R -----ld");
        ASSERT_EQ(network.addAddress("qptest0", "10.77.0.1", 24), 0);
        EXPECT_EQ(flagsOf("10.77.0.1"), "-R -----ld");
        EXPECT_EQ(flagsOf("10.99.1.1"), "-- -------");
        ASSERT_EQ(network.addRoute("qptest0", "10.99.0.0", 16, "10.77.0.254"), 0);
        EXPECT_EQ(flagsOf("10.99.1.1"), "-R -------") << "through a gateway: not direct";
    });
    if (!skipped.empty()) GTEST_SKIP() << skipped;
}

TEST(LinuxReachability, DefaultRouteOverACellularLinkIsTheInternetViaWWAN) {
    const std::string skipped = inNewNetworkNamespace([](test::NetlinkTestNetwork& network) {
        addTestLink(network, "wwan7");
        ASSERT_EQ(network.addAddress("wwan7", "10.88.0.2", 24), 0);
        ManualMainQueue queue;
        NotificationCenter center;
        LinuxReachabilitySources sources;
        auto internet =
            Reachability::reachabilityForInternetConnection({&center, &queue, &sources});
        ASSERT_TRUE(internet);
        MonitorLog log(*internet, queue);
        center.addObserver(kReachabilityChangedNotification, nullptr,
                           [&](const Notification&) { ++log.notifications; });
        ASSERT_TRUE(internet->startNotifier());
        ASSERT_TRUE(log.waitForNotifications(1));
        EXPECT_EQ(internet->currentReachabilityStatus(), ReachabilityStatusNone);

        ASSERT_EQ(network.addRoute("wwan7", "0.0.0.0", 0), 0);
        ASSERT_TRUE(log.waitForNotifications(2));
        EXPECT_EQ(log.takeBlocks(), (std::vector<std::string>{"-- -------", "WR ------d"}));
        EXPECT_EQ(internet->currentReachabilityStatus(), ReachabilityStatusCellular);
        internet->setReachableOnWWAN(false);
        EXPECT_FALSE(internet->isReachable());
        internet->stopNotifier();
    });
    if (!skipped.empty()) GTEST_SKIP() << skipped;
}

}  // namespace
}  // namespace qp
