#pragma once
// Listens to the kernel's link, address and route change notifications on a
// NETLINK_ROUTE socket, on a thread of its own, and calls a function once at
// the start, once after each burst of changes, and again after a quiet time
// when the function asks for that.

#include <chrono>
#include <functional>
#include <optional>
#include <thread>

namespace qp {

class NetlinkChangeWatcher {
public:
    // Answers how long to wait for a change before calling again anyway;
    // nothing: wait for changes only.
    using OnChange = std::function<std::optional<std::chrono::milliseconds>()>;

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
