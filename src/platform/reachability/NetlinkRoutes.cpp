#include "platform/reachability/NetlinkRoutes.h"

#include <linux/netlink.h>
#include <linux/rtnetlink.h>
#include <netinet/in.h>
#include <sys/time.h>
#include <unistd.h>

#include <array>
#include <atomic>
#include <cerrno>
#include <cstdint>
#include <cstring>
#include <limits>
#include <vector>

namespace qp {

namespace {

// The kernel answers at once; the limit only guards against a socket that never does.
constexpr timeval kAnswerTimeout{2, 0};
constexpr std::size_t kReceiveBufferSize = 32 * 1024;

class NetlinkSocket {
public:
    NetlinkSocket() : m_fd(::socket(AF_NETLINK, SOCK_RAW | SOCK_CLOEXEC, NETLINK_ROUTE)) {
        if (m_fd >= 0) {
            ::setsockopt(m_fd, SOL_SOCKET, SO_RCVTIMEO, &kAnswerTimeout, sizeof kAnswerTimeout);
        }
    }
    ~NetlinkSocket() {
        if (m_fd >= 0) ::close(m_fd);
    }
    NetlinkSocket(const NetlinkSocket&) = delete;
    NetlinkSocket& operator=(const NetlinkSocket&) = delete;

    bool isOpen() const { return m_fd >= 0; }
    int fd() const { return m_fd; }

private:
    int m_fd;
};

struct RouteRequest {
    nlmsghdr header;
    rtmsg route;
    std::array<char, 64> attributes;
};

void addAttribute(RouteRequest& request, unsigned short type, const void* data, std::size_t size) {
    auto* attribute = reinterpret_cast<rtattr*>(reinterpret_cast<char*>(&request) +
                                                NLMSG_ALIGN(request.header.nlmsg_len));
    attribute->rta_type = type;
    attribute->rta_len = static_cast<unsigned short>(RTA_LENGTH(size));
    std::memcpy(RTA_DATA(attribute), data, size);
    request.header.nlmsg_len =
        NLMSG_ALIGN(request.header.nlmsg_len) + RTA_ALIGN(attribute->rta_len);
}

bool send(const NetlinkSocket& socket, const RouteRequest& request) {
    sockaddr_nl kernel{};
    kernel.nl_family = AF_NETLINK;
    const ssize_t sent = ::sendto(socket.fd(), &request, request.header.nlmsg_len, 0,
                                  reinterpret_cast<const sockaddr*>(&kernel), sizeof kernel);
    return sent == static_cast<ssize_t>(request.header.nlmsg_len);
}

struct ParsedRoute {
    RouteAnswer answer;
    bool usable = false;
    unsigned table = 0;
    unsigned char destinationLength = 0;
    std::uint32_t priority = 0;
};

ParsedRoute parseRoute(const nlmsghdr* message) {
    ParsedRoute parsed;
    const auto* route = static_cast<const rtmsg*>(NLMSG_DATA(message));
    parsed.destinationLength = route->rtm_dst_len;
    parsed.table = route->rtm_table;
    if (route->rtm_type == RTN_UNICAST) {
        parsed.answer.kind = RouteAnswer::Kind::Unicast;
        parsed.usable = true;
    } else if (route->rtm_type == RTN_LOCAL) {
        parsed.answer.kind = RouteAnswer::Kind::Local;
        parsed.usable = true;
    }
    int length = static_cast<int>(RTM_PAYLOAD(message));
    for (const rtattr* attribute = RTM_RTA(route); RTA_OK(attribute, length);
         attribute = RTA_NEXT(attribute, length)) {
        switch (attribute->rta_type) {
            case RTA_OIF:
                std::memcpy(&parsed.answer.outInterface, RTA_DATA(attribute), sizeof(int));
                break;
            case RTA_GATEWAY:
            case RTA_VIA:
            case RTA_MULTIPATH:
                parsed.answer.viaGateway = true;
                break;
            case RTA_TABLE:
                std::memcpy(&parsed.table, RTA_DATA(attribute), sizeof(unsigned));
                break;
            case RTA_PRIORITY:
                std::memcpy(&parsed.priority, RTA_DATA(attribute), sizeof(std::uint32_t));
                break;
            default:
                break;
        }
    }
    return parsed;
}

// Reads answers to `sequence` and hands each route to `onRoute` until the
// kernel is done (or fails). False when the exchange broke off.
template <typename OnRoute>
bool receiveRoutes(const NetlinkSocket& socket, std::uint32_t sequence, OnRoute onRoute) {
    std::vector<char> buffer(kReceiveBufferSize);
    for (;;) {
        const ssize_t received = ::recv(socket.fd(), buffer.data(), buffer.size(), 0);
        if (received < 0 && errno == EINTR) continue;
        if (received <= 0) return false;
        int length = static_cast<int>(received);
        for (auto* message = reinterpret_cast<const nlmsghdr*>(buffer.data());
             NLMSG_OK(message, static_cast<unsigned>(length));
             message = NLMSG_NEXT(message, length)) {
            if (message->nlmsg_seq != sequence) continue;
            if (message->nlmsg_type == NLMSG_DONE) return true;
            if (message->nlmsg_type == NLMSG_ERROR) {
                // An error of 0 acknowledges; anything else (no route) ends the answer.
                const auto* error = static_cast<const nlmsgerr*>(NLMSG_DATA(message));
                return error->error == 0;
            }
            if (message->nlmsg_type == RTM_NEWROUTE) {
                if (!onRoute(parseRoute(message))) return true;
            }
        }
    }
}

std::uint32_t nextSequence() {
    static std::atomic<std::uint32_t> sequence{1};
    return sequence.fetch_add(1);
}

}  // namespace

std::optional<RouteAnswer> lookupRoute(const sockaddr_storage& address) {
    RouteRequest request{};
    request.header.nlmsg_len = NLMSG_LENGTH(sizeof(rtmsg));
    request.header.nlmsg_type = RTM_GETROUTE;
    request.header.nlmsg_flags = NLM_F_REQUEST;
    request.header.nlmsg_seq = nextSequence();
    request.route.rtm_family = static_cast<unsigned char>(address.ss_family);
    if (address.ss_family == AF_INET) {
        const auto& v4 = reinterpret_cast<const sockaddr_in&>(address);
        request.route.rtm_dst_len = 32;
        addAttribute(request, RTA_DST, &v4.sin_addr, sizeof v4.sin_addr);
    } else if (address.ss_family == AF_INET6) {
        const auto& v6 = reinterpret_cast<const sockaddr_in6&>(address);
        request.route.rtm_dst_len = 128;
        addAttribute(request, RTA_DST, &v6.sin6_addr, sizeof v6.sin6_addr);
    } else {
        return std::nullopt;
    }

    NetlinkSocket socket;
    if (!socket.isOpen() || !send(socket, request)) return std::nullopt;
    std::optional<RouteAnswer> answer;
    receiveRoutes(socket, request.header.nlmsg_seq, [&](const ParsedRoute& route) {
        if (route.usable) answer = route.answer;
        return false;  // a lookup has one answer
    });
    return answer;
}

std::optional<RouteAnswer> lookupDefaultRoute(int family) {
    if (family != AF_INET && family != AF_INET6) return std::nullopt;
    RouteRequest request{};
    request.header.nlmsg_len = NLMSG_LENGTH(sizeof(rtmsg));
    request.header.nlmsg_type = RTM_GETROUTE;
    request.header.nlmsg_flags = NLM_F_REQUEST | NLM_F_DUMP;
    request.header.nlmsg_seq = nextSequence();
    request.route.rtm_family = static_cast<unsigned char>(family);

    NetlinkSocket socket;
    if (!socket.isOpen() || !send(socket, request)) return std::nullopt;
    std::optional<RouteAnswer> best;
    std::uint32_t bestPriority = std::numeric_limits<std::uint32_t>::max();
    receiveRoutes(socket, request.header.nlmsg_seq, [&](const ParsedRoute& route) {
        const bool isDefault = route.usable && route.destinationLength == 0 &&
                               route.table == RT_TABLE_MAIN &&
                               route.answer.kind == RouteAnswer::Kind::Unicast;
        if (isDefault && (!best || route.priority < bestPriority)) {
            best = route.answer;
            bestPriority = route.priority;
        }
        return true;  // read the whole table
    });
    return best;
}

}  // namespace qp
