#pragma once
// An analytics service stand-in on 127.0.0.1: it keeps every report posted to
// /report and answers with a chosen status, optionally holding its answer
// until the test releases it.

#include <chrono>
#include <condition_variable>
#include <mutex>
#include <string>
#include <vector>

#include "support/LocalHttpServer.h"

namespace qp {

class ReportServer {
public:
    struct Received {
        std::string method;
        std::string contentType;
        std::string body;
    };

    ReportServer() {
        m_http.routes().Post(
            "/report", [this](const httplib::Request& request, httplib::Response& response) {
                std::unique_lock lock(m_mutex);
                m_received.push_back(
                    {request.method, request.get_header_value("Content-Type"), request.body});
                m_arrived.notify_all();
                m_changed.wait_for(lock, std::chrono::seconds(10), [this] { return !m_holding; });
                response.status = m_status;
                response.set_content("ok", "text/plain");
            });
    }
    ~ReportServer() {
        release();
        m_http.stop();
    }

    bool start() { return m_http.start(); }

    std::string url() const { return m_http.url("/report"); }

    void setStatus(int status) {
        std::lock_guard lock(m_mutex);
        m_status = status;
    }
    // Reports that arrive from now on wait for release().
    void hold() {
        std::lock_guard lock(m_mutex);
        m_holding = true;
    }
    void release() {
        {
            std::lock_guard lock(m_mutex);
            m_holding = false;
        }
        m_changed.notify_all();
    }
    // Waits until `count` reports have arrived; false after 10 s.
    bool waitForReports(std::size_t count) {
        std::unique_lock lock(m_mutex);
        return m_arrived.wait_for(lock, std::chrono::seconds(10),
                                  [&] { return m_received.size() >= count; });
    }
    std::vector<Received> received() const {
        std::lock_guard lock(m_mutex);
        return m_received;
    }

private:
    LocalHttpServer m_http;
    mutable std::mutex m_mutex;
    std::condition_variable m_arrived;
    std::condition_variable m_changed;
    std::vector<Received> m_received;
    int m_status = 200;
    bool m_holding = false;
};

}  // namespace qp
