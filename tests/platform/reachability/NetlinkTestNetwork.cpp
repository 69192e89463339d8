#include "NetlinkTestNetwork.h"

#include <arpa/inet.h>
#include <linux/if_link.h>
#include <linux/netlink.h>
#include <linux/rtnetlink.h>
#include <net/if.h>
#include <sched.h>
#include <sys/socket.h>
#include <unistd.h>

#include <array>
#include <cerrno>
#include <cstring>

namespace qp::test {

namespace {

struct Request {
    nlmsghdr header;
    std::array<char, 512> body;

    explicit Request(int type, int flags) : header{}, body{} {
        header.nlmsg_len = NLMSG_LENGTH(0);
        header.nlmsg_type = static_cast<unsigned short>(type);
        header.nlmsg_flags = static_cast<unsigned short>(NLM_F_REQUEST | NLM_F_ACK | flags);
    }
    char* end() { return reinterpret_cast<char*>(this) + NLMSG_ALIGN(header.nlmsg_len); }
    template <typename T>
    T* add(const T& value) {
        auto* at = reinterpret_cast<T*>(end());
        std::memcpy(at, &value, sizeof value);
        header.nlmsg_len = NLMSG_ALIGN(header.nlmsg_len) + NLMSG_ALIGN(sizeof value);
        return at;
    }
    rtattr* attribute(unsigned short type, const void* data, std::size_t size) {
        auto* at = reinterpret_cast<rtattr*>(end());
        at->rta_type = type;
        at->rta_len = static_cast<unsigned short>(RTA_LENGTH(size));
        if (size) std::memcpy(RTA_DATA(at), data, size);
        header.nlmsg_len = NLMSG_ALIGN(header.nlmsg_len) + RTA_ALIGN(at->rta_len);
        return at;
    }
    // Closes a nested attribute opened with attribute(type, nullptr, 0).
    void close(rtattr* nest) {
        nest->rta_len = static_cast<unsigned short>(end() - reinterpret_cast<char*>(nest));
    }
};

int exchange(int fd, Request& request) {
    if (fd < 0) return EBADF;
    sockaddr_nl kernel{};
    kernel.nl_family = AF_NETLINK;
    if (::sendto(fd, &request, request.header.nlmsg_len, 0,
                 reinterpret_cast<const sockaddr*>(&kernel), sizeof kernel) < 0) {
        return errno;
    }
    std::array<char, 4096> answer;
    const ssize_t received = ::recv(fd, answer.data(), answer.size(), 0);
    if (received < 0) return errno;
    const auto* message = reinterpret_cast<const nlmsghdr*>(answer.data());
    if (message->nlmsg_type != NLMSG_ERROR) return EPROTO;
    return -static_cast<const nlmsgerr*>(NLMSG_DATA(message))->error;
}

int indexOf(const std::string& link) {
    return static_cast<int>(::if_nametoindex(link.c_str()));
}

}  // namespace

std::string enterNewNetworkNamespace() {
    if (::unshare(CLONE_NEWNET) == 0) return {};
    return std::string("cannot create a network namespace here (unshare: ") + std::strerror(errno) +
           "); it needs CAP_SYS_ADMIN";
}

NetlinkTestNetwork::NetlinkTestNetwork()
    : m_fd(::socket(AF_NETLINK, SOCK_RAW | SOCK_CLOEXEC, NETLINK_ROUTE)) {}

NetlinkTestNetwork::~NetlinkTestNetwork() {
    if (m_fd >= 0) ::close(m_fd);
}

int NetlinkTestNetwork::addLink(const std::string& name, const std::string& kind) {
    Request request(RTM_NEWLINK, NLM_F_CREATE | NLM_F_EXCL);
    request.add(ifinfomsg{});
    request.attribute(IFLA_IFNAME, name.c_str(), name.size() + 1);
    rtattr* info = request.attribute(IFLA_LINKINFO, nullptr, 0);
    request.attribute(IFLA_INFO_KIND, kind.c_str(), kind.size());
    request.close(info);
    return exchange(m_fd, request);
}

int NetlinkTestNetwork::setLinkUp(const std::string& name) {
    Request request(RTM_NEWLINK, 0);
    ifinfomsg link{};
    link.ifi_index = indexOf(name);
    link.ifi_flags = IFF_UP;
    link.ifi_change = IFF_UP;
    request.add(link);
    return exchange(m_fd, request);
}

int NetlinkTestNetwork::changeAddress(int type, const std::string& link, const std::string& ipv4,
                                      int prefixLength) {
    in_addr address{};
    if (::inet_pton(AF_INET, ipv4.c_str(), &address) != 1) return EINVAL;
    Request request(type, type == RTM_NEWADDR ? NLM_F_CREATE | NLM_F_EXCL : 0);
    ifaddrmsg message{};
    message.ifa_family = AF_INET;
    message.ifa_prefixlen = static_cast<unsigned char>(prefixLength);
    message.ifa_index = static_cast<unsigned>(indexOf(link));
    request.add(message);
    request.attribute(IFA_LOCAL, &address, sizeof address);
    request.attribute(IFA_ADDRESS, &address, sizeof address);
    return exchange(m_fd, request);
}

int NetlinkTestNetwork::addAddress(const std::string& link, const std::string& ipv4,
                                   int prefixLength) {
    return changeAddress(RTM_NEWADDR, link, ipv4, prefixLength);
}

int NetlinkTestNetwork::removeAddress(const std::string& link, const std::string& ipv4,
                                      int prefixLength) {
    return changeAddress(RTM_DELADDR, link, ipv4, prefixLength);
}

int NetlinkTestNetwork::addRoute(const std::string& link, const std::string& destination,
                                 int prefixLength, const std::string& gateway) {
    in_addr to{};
    in_addr via{};
    if (::inet_pton(AF_INET, destination.c_str(), &to) != 1) return EINVAL;
    if (!gateway.empty() && ::inet_pton(AF_INET, gateway.c_str(), &via) != 1) return EINVAL;
    Request request(RTM_NEWROUTE, NLM_F_CREATE | NLM_F_EXCL);
    rtmsg route{};
    route.rtm_family = AF_INET;
    route.rtm_dst_len = static_cast<unsigned char>(prefixLength);
    route.rtm_table = RT_TABLE_MAIN;
    route.rtm_protocol = RTPROT_STATIC;
    route.rtm_scope = gateway.empty() ? RT_SCOPE_LINK : RT_SCOPE_UNIVERSE;
    route.rtm_type = RTN_UNICAST;
    request.add(route);
    if (prefixLength > 0) request.attribute(RTA_DST, &to, sizeof to);
    if (!gateway.empty()) request.attribute(RTA_GATEWAY, &via, sizeof via);
    const int index = indexOf(link);
    request.attribute(RTA_OIF, &index, sizeof index);
    return exchange(m_fd, request);
}

}  // namespace qp::test
