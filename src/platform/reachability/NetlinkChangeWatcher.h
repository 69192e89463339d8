#pragma once
// Listens to the kernel's link, address and route change notifications on a
// NETLINK_ROUTE socket, on a thread of its own, and calls a function once at
// the start and once after each burst of changes.

#include <functional>
#include <thread>

namespace qp {

class NetlinkChangeWatcher {
public:
    using OnChange = std::function<void()>;

    NetlinkChangeWatcher() = default;
    ~NetlinkChangeWatcher();

    NetlinkChangeWatcher(const NetlinkChangeWatcher&) = delete;
    NetlinkChangeWatcher& operator=(const NetlinkChangeWatcher&) = delete;

    // False when the socket or the thread cannot be made (nothing then runs).
    bool start(OnChange onChange);
    // Ends the thread and waits for it; not to be called from `onChange`.
    void stop();

private:
    void run();
    void closeDescriptors();

    OnChange m_onChange;
    int m_socket = -1;
    int m_wake = -1;  // an eventfd that stop() writes to
    std::thread m_thread;
};

}  // namespace qp
