#pragma once
// Questions to the kernel's routing table over NETLINK_ROUTE: the route a
// packet to an address would take, and the default route of a family.

#include <sys/socket.h>

#include <optional>

namespace qp {

struct RouteAnswer {
    enum class Kind {
        Unicast,  // leaves over an interface
        Local,    // the address is this machine's own
    };
    Kind kind = Kind::Unicast;
    bool viaGateway = false;
    int outInterface = 0;  // interface index, 0 when the kernel names none
};

// The route to `address` (IPv4 or IPv6); nothing when there is none, the
// route rejects traffic, or the kernel cannot be asked.
std::optional<RouteAnswer> lookupRoute(const sockaddr_storage& address);

// The main table's default route for `family` (AF_INET or AF_INET6), the one
// with the lowest metric; nothing when there is none.
std::optional<RouteAnswer> lookupDefaultRoute(int family);

}  // namespace qp
