#pragma once
// An analytics service stand-in on 127.0.0.1: it keeps every report posted to
// /report and answers with a chosen status, or drops the connection instead
// of answering, optionally holding its answer until the test releases it. It
// also notes how many reports it was handling at the same time.

#include <algorithm>
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
                m_maxHandling = std::max(m_maxHandling, ++m_handling);
                m_arrived.notify_all();
                m_changed.wait_for(lock, std::chrono::seconds(10), [this] { return !m_holding; });
                --m_handling;
                m_changed.notify_all();
                response.status = m_status;
                if (m_dropAnswers) {
                    // Headers go out, then the connection closes before the body.
                    response.set_content_provider(
                        2, "text/plain",
                        [](std::size_t, std::size_t, httplib::DataSink&) { return false; });
                    return;
                }
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
    // Reports that arrive from now on get no answer: the connection drops.
    void setDropAnswers(bool drop) {
        std::lock_guard lock(m_mutex);
        m_dropAnswers = drop;
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
    // Waits until no report is being handled; false after 10 s.
    bool waitUntilIdle() {
        std::unique_lock lock(m_mutex);
        return m_changed.wait_for(lock, std::chrono::seconds(10),
                                  [this] { return m_handling == 0; });
    }
    std::vector<Received> received() const {
        std::lock_guard lock(m_mutex);
        return m_received;
    }
    // The most reports handled at the same time so far.
    int maxHandling() const {
        std::lock_guard lock(m_mutex);
        return m_maxHandling;
    }

private:
    LocalHttpServer m_http;
    mutable std::mutex m_mutex;
    std::condition_variable m_arrived;
    std::condition_variable m_changed;
    std::vector<Received> m_received;
    int m_status = 200;
    bool m_dropAnswers = false;
    bool m_holding = false;
    int m_handling = 0;
    int m_maxHandling = 0;
};

}  // namespace qp
