#pragma once
// An HTTP server on 127.0.0.1 and an ephemeral port, running on its own thread
// for the life of the object. Tests add routes before calling start().

#include <httplib.h>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <condition_variable>
#include <mutex>
#include <string>
#include <thread>

namespace qp {

class LocalHttpServer {
public:
    LocalHttpServer() = default;
    ~LocalHttpServer() { stop(); }

    httplib::Server& routes() { return m_server; }

    // Binds and serves; false when no port could be bound.
    bool start() {
        m_port = m_server.bind_to_any_port("127.0.0.1");
        if (m_port <= 0) return false;
        m_thread = std::thread([this] { m_server.listen_after_bind(); });
        // stop() is lost on a server that has not started listening yet.
        while (!m_server.is_running()) std::this_thread::yield();
        return true;
    }

    void stop() {
        release();
        if (m_thread.joinable()) {
            m_server.stop();
            m_thread.join();
        }
    }

    std::string url(const std::string& path) const {
        return "http://127.0.0.1:" + std::to_string(m_port) + path;
    }

    // Lets handlers that hold back their answer go on (see holdUntilReleased).
    void release() {
        {
            std::lock_guard lock(m_mutex);
            m_released = true;
        }
        m_changed.notify_all();
    }

    // For handlers: waits until release() or `limit`; true when released.
    bool holdUntilReleased(std::chrono::milliseconds limit) {
        std::unique_lock lock(m_mutex);
        return m_changed.wait_for(lock, limit, [this] { return m_released; });
    }

    // A count that handlers raise and tests wait for.
    void signal() {
        {
            std::lock_guard lock(m_mutex);
            ++m_signals;
        }
        m_changed.notify_all();
    }
    // True once signal() has been called at least `count` times in all.
    bool waitForSignals(int count, std::chrono::milliseconds limit) {
        std::unique_lock lock(m_mutex);
        return m_changed.wait_for(lock, limit, [&] { return m_signals >= count; });
    }

private:
    httplib::Server m_server;
    std::thread m_thread;
    int m_port = 0;
    std::mutex m_mutex;
    std::condition_variable m_changed;
    bool m_released = false;
    int m_signals = 0;
};

// A port on 127.0.0.1 that nothing listens on.
inline int closedLoopbackPort() {
    const int fd = socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t length = sizeof address;
    bind(fd, reinterpret_cast<sockaddr*>(&address), length);
    getsockname(fd, reinterpret_cast<sockaddr*>(&address), &length);
    close(fd);
    return ntohs(address.sin_port);
}

}  // namespace qp
