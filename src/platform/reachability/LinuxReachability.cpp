#include "platform/reachability/LinuxReachability.h"

#include <netdb.h>
#include <netinet/in.h>

#include <atomic>
#include <cstring>
#include <mutex>
#include <optional>

#include "platform/reachability/HostLookup.h"
#include "platform/reachability/NetlinkChangeWatcher.h"
#include "platform/reachability/NetlinkRoutes.h"
#include "platform/reachability/RouteFlags.h"
#include "platform/reachability/SerialQueue.h"

namespace qp {

namespace {

// The longest host name DNS can carry.
constexpr std::size_t kMaxHostnameLength = 253;

bool isUnspecified(const sockaddr_storage& address) {
    if (address.ss_family == AF_INET) {
        return reinterpret_cast<const sockaddr_in&>(address).sin_addr.s_addr == INADDR_ANY;
    }
    const auto& v6 = reinterpret_cast<const sockaddr_in6&>(address);
    return IN6_IS_ADDR_UNSPECIFIED(&v6.sin6_addr);
}

// Watches one host or one address.
class LinuxFlagsSource final : public ReachabilityFlagsSource {
public:
    LinuxFlagsSource(const std::string& hostname, const LinuxReachabilityOptions& options)
        : m_sysClassNet(options.sysClassNet),
          m_unreachableHostRecheck(options.unreachableHostRecheck),
          m_lookup(std::in_place, hostname,
                   options.resolve ? options.resolve : HostLookup::Resolver(resolveWithSystem),
                   options.lookupTimeout) {}

    LinuxFlagsSource(const sockaddr_storage& address, const LinuxReachabilityOptions& options)
        : m_sysClassNet(options.sysClassNet),
          m_unreachableHostRecheck(options.unreachableHostRecheck),
          m_address(address) {}

    ~LinuxFlagsSource() override { stopWatching(); }

    std::optional<ReachabilityFlags> flags() override {
        if (!m_lookup) return flagsForAddress(*m_address);
        std::optional<HostLookup::Addresses> watched;
        bool watching = false;
        {
            // The watcher keeps the addresses fresh; a query never waits for DNS then.
            std::lock_guard lock(m_mutex);
            watching = m_watching;
            watched = m_watchedAddresses;
        }
        return flagsForHost(watching ? watched : m_lookup->resolve());
    }

    bool setCallback(Callback callback) override {
        std::lock_guard lock(m_mutex);
        m_callback = std::move(callback);
        return true;
    }

    bool setDispatchQueue(SerialQueue* queue) override {
        {
            std::lock_guard lock(m_mutex);
            m_queue = nullptr;
        }
        stopWatching();
        if (!queue) return true;
        {
            std::lock_guard lock(m_mutex);
            m_queue = queue;
            m_watching = true;
            m_lastDelivered.reset();
            m_watchedAddresses.reset();
        }
        m_stopping = false;
        if (m_watcher.start([this] { return evaluateAndDeliver(); })) return true;
        std::lock_guard lock(m_mutex);
        m_queue = nullptr;
        m_watching = false;
        return false;
    }

private:
    void stopWatching() {
        {
            std::lock_guard lock(m_mutex);
            m_watching = false;
        }
        m_stopping = true;
        if (m_lookup) m_lookup->wakeWaiters();
        m_watcher.stop();
    }

    // On the watcher thread: the first answer, and every one that differs
    // from the last, goes to the callback on the queue. Answers when to look
    // again without a change: routes always announce their changes, names do not.
    std::optional<std::chrono::milliseconds> evaluateAndDeliver() {
        ReachabilityFlags flags = 0;
        if (m_lookup) {
            // A lookup that does not finish in time leaves the host unreachable.
            std::optional<HostLookup::Addresses> addresses = m_lookup->resolve(&m_stopping);
            if (m_stopping) return std::nullopt;
            {
                std::lock_guard lock(m_mutex);
                m_watchedAddresses = addresses;
            }
            flags = flagsForHost(addresses);
        } else {
            flags = flagsForAddress(*m_address);
        }
        deliverIfChanged(flags);
        if (m_lookup && !(flags & kReachabilityFlagReachable)) return m_unreachableHostRecheck;
        return std::nullopt;
    }

    void deliverIfChanged(ReachabilityFlags flags) {
        std::lock_guard lock(m_mutex);
        if (m_lastDelivered == flags) return;
        m_lastDelivered = flags;
        if (m_callback && m_queue) {
            m_queue->async([callback = m_callback, flags] { callback(flags); });
        }
    }

    ReachabilityFlags flagsForHost(const std::optional<HostLookup::Addresses>& addresses) const {
        if (!addresses) return 0;
        for (const sockaddr_storage& address : *addresses) {
            const ReachabilityFlags flags = flagsForAddress(address);
            if (flags & kReachabilityFlagReachable) return flags;
        }
        return 0;
    }

    ReachabilityFlags flagsForAddress(const sockaddr_storage& address) const {
        const std::optional<RouteAnswer> route =
            isUnspecified(address) ? lookupDefaultRoute(address.ss_family) : lookupRoute(address);
        bool cellular = false;
        if (route && route->kind == RouteAnswer::Kind::Unicast) {
            const std::string name = interfaceName(route->outInterface);
            cellular = isCellularInterface(name, interfaceDeviceType(m_sysClassNet, name));
        }
        return flagsForRoute(route, cellular);
    }

    const std::string m_sysClassNet;
    const std::chrono::milliseconds m_unreachableHostRecheck;
    std::optional<HostLookup> m_lookup;         // for a host
    std::optional<sockaddr_storage> m_address;  // for an address
    NetlinkChangeWatcher m_watcher;
    std::atomic<bool> m_stopping{false};

    std::mutex m_mutex;  // guards the fields below
    Callback m_callback;
    SerialQueue* m_queue = nullptr;
    bool m_watching = false;  // the watcher runs (or is starting)
    std::optional<ReachabilityFlags> m_lastDelivered;
    std::optional<HostLookup::Addresses> m_watchedAddresses;
};

}  // namespace

LinuxReachabilitySources::LinuxReachabilitySources(LinuxReachabilityOptions options)
    : m_options(std::move(options)) {}

std::unique_ptr<ReachabilityFlagsSource> LinuxReachabilitySources::sourceForHostname(
    const std::string& hostname) {
    if (hostname.empty() || hostname.size() > kMaxHostnameLength ||
        hostname.find('\0') != std::string::npos) {
        return nullptr;
    }
    return std::make_unique<LinuxFlagsSource>(hostname, m_options);
}

std::unique_ptr<ReachabilityFlagsSource> LinuxReachabilitySources::sourceForAddress(
    const sockaddr* address) {
    if (!address) return nullptr;
    sockaddr_storage copy{};
    if (address->sa_family == AF_INET) {
        std::memcpy(&copy, address, sizeof(sockaddr_in));
    } else if (address->sa_family == AF_INET6) {
        std::memcpy(&copy, address, sizeof(sockaddr_in6));
    } else {
        return nullptr;
    }
    return std::make_unique<LinuxFlagsSource>(copy, m_options);
}

LinuxReachabilitySources& linuxReachabilitySources() {
    static LinuxReachabilitySources sources;
    return sources;
}

std::vector<sockaddr_storage> resolveWithSystem(const std::string& hostname) {
    addrinfo hints{};
    hints.ai_family = AF_UNSPEC;
    hints.ai_socktype = SOCK_STREAM;
    addrinfo* found = nullptr;
    std::vector<sockaddr_storage> addresses;
    if (::getaddrinfo(hostname.c_str(), nullptr, &hints, &found) != 0) return addresses;
    for (const addrinfo* a = found; a; a = a->ai_next) {
        if ((a->ai_family != AF_INET && a->ai_family != AF_INET6) ||
            a->ai_addrlen > sizeof(sockaddr_storage)) {
            continue;
        }
        sockaddr_storage address{};
        std::memcpy(&address, a->ai_addr, a->ai_addrlen);
        addresses.push_back(address);
    }
    ::freeaddrinfo(found);
    return addresses;
}

}  // namespace qp
