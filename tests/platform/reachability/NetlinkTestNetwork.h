#pragma once
// Changes to the network of the calling thread's namespace, made with
// NETLINK_ROUTE requests, for tests that watch a real kernel: links (with
// their kind), their state, IPv4 addresses and routes.

#include <string>

namespace qp::test {

// Moves the calling thread into a network namespace of its own (only the
// loopback link, down). "" on success, else why it cannot.
std::string enterNewNetworkNamespace();

class NetlinkTestNetwork {
public:
    NetlinkTestNetwork();
    ~NetlinkTestNetwork();
    NetlinkTestNetwork(const NetlinkTestNetwork&) = delete;
    NetlinkTestNetwork& operator=(const NetlinkTestNetwork&) = delete;

    // Each answers 0 or the errno the kernel gave.
    int addLink(const std::string& name, const std::string& kind);
    int setLinkUp(const std::string& name);
    int addAddress(const std::string& link, const std::string& ipv4, int prefixLength);
    int removeAddress(const std::string& link, const std::string& ipv4, int prefixLength);
    // A route to `destination`/`prefixLength` leaving over `link`, through
    // `gateway` unless that is empty.
    int addRoute(const std::string& link, const std::string& destination, int prefixLength,
                 const std::string& gateway = {});

private:
    int changeAddress(int type, const std::string& link, const std::string& ipv4, int prefixLength);
    int m_fd;
};

}  // namespace qp::test
