#pragma once
// Reachability watches whether a network target (a host name, an address, the
// internet as a whole or the local link) can be reached, tells a cellular
// route from any other, and reports every change twice: by calling the
// reachable or unreachable block on its own serial queue, then by posting
// kReachabilityChangedNotification from the main thread with itself as sender.
//
// With the Linux source, for a host:
//
//     ReachabilityEnvironment env{&notifications, &mainQueue, &linuxReachabilitySources()};
//     std::shared_ptr<Reachability> monitor = Reachability::reachabilityWithHostname(host, env);
//     if (monitor) monitor->startNotifier();  // it now keeps itself alive
//
// Observers cast the notification's sender:
//
//     notifications.addObserver(kReachabilityChangedNotification, nullptr,
//         [](const Notification& n) {
//             bool up = static_cast<const Reachability*>(n.sender)->isReachable(); ...
//         });
//
// In tests, a ScriptedReachability (tests/support) takes the place of
// linuxReachabilitySources(); its setFlags() makes every monitor it serves
// answer those flags and report the change:
//
//     ScriptedReachability network;
//     auto monitor = Reachability::reachabilityWithHostname("h", {&center, &queue, &network});
//     monitor->startNotifier();
//     network.setFlags(kReachabilityFlagReachable);  // block, then notification on `queue`

#include <atomic>
#include <functional>
#include <memory>
#include <mutex>
#include <string>

#include "platform/reachability/ReachabilityFlags.h"
#include "platform/reachability/ReachabilityFlagsSource.h"

namespace qp {

class MainQueue;
class NotificationCenter;
class SerialQueue;

// Posted from the main thread after each change; the sender is the monitor.
inline constexpr const char* kReachabilityChangedNotification = "kReachabilityChangedNotification";

// What a monitor needs around it.
struct ReachabilityEnvironment {
    ReachabilityEnvironment() = default;
    ReachabilityEnvironment(NotificationCenter* notifications, MainQueue* mainQueue,
                            ReachabilitySourceFactory* sources,
                            std::function<std::string(const std::string&)> localize = {})
        : notifications(notifications),
          mainQueue(mainQueue),
          sources(sources),
          localize(std::move(localize)) {}

    // Where kReachabilityChangedNotification is posted; none: not posted.
    NotificationCenter* notifications = nullptr;
    // The main thread it is posted from. The monitor stays alive until the
    // posting has run. Without a queue the centre's postOnMainQueue() is used.
    MainQueue* mainQueue = nullptr;
    // Makes the flags source for the target: linuxReachabilitySources() or a
    // scripted one. None: every constructor answers nothing.
    ReachabilitySourceFactory* sources = nullptr;
    // Translates a display text (the text is its own key); none, or an empty
    // answer, leaves the text as it is.
    std::function<std::string(const std::string& text)> localize;
};

class Reachability : public std::enable_shared_from_this<Reachability> {
public:
    // Takes the monitor; runs on the monitor's serial queue.
    using Block = std::function<void(Reachability& monitor)>;

    // Each answers a new monitor that is not notifying yet, or nothing when
    // the source rejects the target.
    static std::shared_ptr<Reachability> reachabilityWithHostname(
        const std::string& hostname, const ReachabilityEnvironment& environment);
    static std::shared_ptr<Reachability> reachabilityWithAddress(
        const sockaddr* address, const ReachabilityEnvironment& environment);
    // The default route: 0.0.0.0.
    static std::shared_ptr<Reachability> reachabilityForInternetConnection(
        const ReachabilityEnvironment& environment);
    // The link-local network: 169.254.0.0.
    static std::shared_ptr<Reachability> reachabilityForLocalWiFi(
        const ReachabilityEnvironment& environment);
    // Wraps a source made elsewhere; nothing when `source` is empty.
    static std::shared_ptr<Reachability> initWithReachabilityRef(
        std::unique_ptr<ReachabilityFlagsSource> source,
        const ReachabilityEnvironment& environment);

    ~Reachability();
    Reachability(const Reachability&) = delete;
    Reachability& operator=(const Reachability&) = delete;

    // Starts reporting changes and keeps the monitor alive until
    // stopNotifier(). False, with nothing registered, when it cannot start.
    bool startNotifier();
    // Stops reporting; the monitor may end here if nobody else holds it.
    void stopNotifier();

    // Queries read the flags afresh; flags that cannot be read count as none.
    bool isReachableWithFlags(ReachabilityFlags flags) const;
    bool isReachable() const;
    bool isReachableViaWWAN() const;
    bool isReachableViaWiFi() const;
    bool connectionRequired() const;
    bool isConnectionRequired() const;
    bool isConnectionOnDemand() const;
    bool isInterventionRequired() const;
    ReachabilityStatus currentReachabilityStatus() const;
    ReachabilityFlags reachabilityFlags() const;
    // "No Connection", "Cellular" or "WiFi", translated.
    std::string currentReachabilityString() const;
    // The flags in their ten-character diagnostic form.
    std::string currentReachabilityFlags() const;

    // True after construction; when false a cellular route counts as unreachable.
    bool reachableOnWWAN() const { return m_reachableOnWWAN.load(); }
    void setReachableOnWWAN(bool value) { m_reachableOnWWAN.store(value); }

    Block reachableBlock() const;
    void setReachableBlock(Block block);
    Block unreachableBlock() const;
    void setUnreachableBlock(Block block);

    // The flags source; owned by the monitor.
    ReachabilityFlagsSource* reachabilityRef() const { return m_reachabilityRef.get(); }
    // The queue changes arrive on; exists only while notifying. A stop may
    // release it at any time, except while one of its own tasks runs.
    SerialQueue* reachabilitySerialQueue() const;
    // The monitor itself while notifying, else nothing.
    std::shared_ptr<Reachability> reachabilityObject() const;

    // Reports new flags: the matching block on the calling (serial) queue,
    // then the notification from the main thread.
    void reachabilityChanged(ReachabilityFlags flags);

private:
    struct Token {};

public:
    // For the constructors above only (make_shared needs it public).
    Reachability(Token, std::unique_ptr<ReachabilityFlagsSource> source,
                 ReachabilityEnvironment environment);

private:
    static std::shared_ptr<Reachability> withIPv4Address(std::uint32_t hostOrderAddress,
                                                         const ReachabilityEnvironment& env);
    void postChangedNotification();

    std::unique_ptr<ReachabilityFlagsSource> m_reachabilityRef;
    ReachabilityEnvironment m_environment;
    std::atomic<bool> m_reachableOnWWAN{true};

    mutable std::mutex m_mutex;  // guards the fields below
    std::unique_ptr<SerialQueue> m_reachabilitySerialQueue;
    std::shared_ptr<Reachability> m_reachabilityObject;
    Block m_reachableBlock;
    Block m_unreachableBlock;
};

// Starts a monitor for `hostname` and lets it keep itself alive. No host, no
// monitor: nothing is resolved and nothing answers.
std::shared_ptr<Reachability> startMonitoringHost(const std::string& hostname,
                                                  const ReachabilityEnvironment& environment);

}  // namespace qp
