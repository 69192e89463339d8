#pragma once
// Reachability sources on Linux's own network notifications. Each watching
// source listens on a NETLINK_ROUTE socket (link, address and route changes)
// on a thread of its own; after each change it looks up the route to its
// target and reports new flags: Reachable when a route exists, IsLocalAddress
// for an address of this machine, IsDirect when no gateway is on the way,
// IsWWAN when the route leaves over a cellular interface. A host name is
// resolved off the calling thread; a lookup that does not finish within the
// time-out counts as unreachable.

#include <sys/socket.h>

#include <chrono>
#include <functional>
#include <string>
#include <vector>

#include "platform/reachability/ReachabilityFlagsSource.h"

namespace qp {

struct LinuxReachabilityOptions {
    using Resolver = std::function<std::vector<sockaddr_storage>(const std::string& hostname)>;

    // How long a host name lookup may take before the host counts as unreachable.
    std::chrono::milliseconds lookupTimeout{5000};
    // While a watched host is unreachable, how often it is looked up again
    // without a network change: the resolver's configuration often settles
    // only after the link has come up, and DNS has no change notifications.
    std::chrono::milliseconds unreachableHostRecheck{30000};
    // Answers the addresses of a host, none when it has none; may block, as
    // it runs on a thread of its own. Empty: the system resolver.
    Resolver resolve;
    // Where the interfaces' device types are read (tests point it elsewhere).
    std::string sysClassNet = "/sys/class/net";
};

class LinuxReachabilitySources final : public ReachabilitySourceFactory {
public:
    explicit LinuxReachabilitySources(LinuxReachabilityOptions options = {});

    std::unique_ptr<ReachabilityFlagsSource> sourceForHostname(
        const std::string& hostname) override;
    std::unique_ptr<ReachabilityFlagsSource> sourceForAddress(const sockaddr* address) override;

private:
    LinuxReachabilityOptions m_options;
};

// The process-wide Linux sources with the default options.
LinuxReachabilitySources& linuxReachabilitySources();

// The system resolver: the IPv4 and IPv6 addresses of `hostname`.
std::vector<sockaddr_storage> resolveWithSystem(const std::string& hostname);

}  // namespace qp
