#include "platform/reachability/NetlinkChangeWatcher.h"

#include <linux/netlink.h>
#include <linux/rtnetlink.h>
#include <poll.h>
#include <sys/eventfd.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <cerrno>
#include <cstdint>
#include <limits>
#include <system_error>

namespace qp {

namespace {

constexpr unsigned kChangeGroups =
    RTMGRP_LINK | RTMGRP_IPV4_IFADDR | RTMGRP_IPV6_IFADDR | RTMGRP_IPV4_ROUTE | RTMGRP_IPV6_ROUTE;

int openChangeSocket() {
    const int fd = ::socket(AF_NETLINK, SOCK_RAW | SOCK_CLOEXEC | SOCK_NONBLOCK, NETLINK_ROUTE);
    if (fd < 0) return -1;
    sockaddr_nl local{};
    local.nl_family = AF_NETLINK;
    local.nl_groups = kChangeGroups;
    if (::bind(fd, reinterpret_cast<const sockaddr*>(&local), sizeof local) != 0) {
        ::close(fd);
        return -1;
    }
    return fd;
}

// Reads everything waiting; the messages themselves do not matter, only
// that something changed. An overrun (ENOBUFS) lost some: still a change.
void drain(int fd) {
    std::array<char, 16 * 1024> buffer;
    for (;;) {
        const ssize_t received = ::recv(fd, buffer.data(), buffer.size(), 0);
        if (received >= 0 || errno == EINTR || errno == ENOBUFS) continue;
        return;  // EAGAIN: empty
    }
}

}  // namespace

NetlinkChangeWatcher::~NetlinkChangeWatcher() {
    stop();
}

bool NetlinkChangeWatcher::start(OnChange onChange) {
    stop();
    m_socket = openChangeSocket();
    m_wake = ::eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK);
    if (m_socket < 0 || m_wake < 0) {
        closeDescriptors();
        return false;
    }
    m_onChange = std::move(onChange);
    try {
        m_thread = std::thread([this] { run(); });
    } catch (const std::system_error&) {
        closeDescriptors();
        return false;
    }
    return true;
}

void NetlinkChangeWatcher::stop() {
    if (m_thread.joinable()) {
        const std::uint64_t one = 1;
        [[maybe_unused]] const ssize_t written = ::write(m_wake, &one, sizeof one);
        m_thread.join();
    }
    closeDescriptors();
    m_onChange = nullptr;
}

void NetlinkChangeWatcher::closeDescriptors() {
    if (m_socket >= 0) ::close(m_socket);
    if (m_wake >= 0) ::close(m_wake);
    m_socket = -1;
    m_wake = -1;
}

void NetlinkChangeWatcher::run() {
    std::optional<std::chrono::milliseconds> recheck = m_onChange();
    for (;;) {
        pollfd waits[2] = {{m_wake, POLLIN, 0}, {m_socket, POLLIN, 0}};
        const int timeout = recheck ? static_cast<int>(std::min<std::chrono::milliseconds::rep>(
                                          recheck->count(), std::numeric_limits<int>::max()))
                                    : -1;
        const int ready = ::poll(waits, 2, timeout);
        if (ready < 0) {
            if (errno == EINTR) continue;
            return;
        }
        if (waits[0].revents != 0 || (waits[1].revents & POLLNVAL)) return;
        // An overrun shows as POLLERR; reading clears it.
        if (ready > 0) drain(m_socket);
        recheck = m_onChange();
    }
}

}  // namespace qp
