#include "analytics/ReportDelivery.h"

#include <system_error>
#include <thread>

#include "analytics/ReportSender.h"
#include "analytics/SavedSessions.h"
#include "analytics/UsageFileCache.h"
#include "analytics/UsageSession.h"
#include "platform/HttpClient.h"
#include "platform/Log.h"

namespace qp {

ReportDelivery::ReportDelivery(std::shared_ptr<HttpClient> http, std::string reportUrl,
                               std::chrono::milliseconds timeout,
                               std::shared_ptr<SavedSessions> saved,
                               std::shared_ptr<const UsageFileCache> files)
    : m_http(std::move(http)),
      m_saved(std::move(saved)),
      m_files(std::move(files)),
      m_cancellation(std::make_shared<HttpCancellation>()),
      m_sender(std::make_unique<ReportSender>(*m_http, std::move(reportUrl), timeout, *m_saved,
                                              *m_files)) {
    m_sender->setCancellation(m_cancellation);
}

ReportDelivery::~ReportDelivery() = default;

bool ReportDelivery::hasSomethingToSend(const ReportRequest& request) const {
    return request.currentRecord.has_value() || m_saved->size() > 0;
}

void ReportDelivery::request(ReportRequest request) {
    if (!hasSomethingToSend(request)) return;
    {
        std::lock_guard lock(m_mutex);
        if (m_busy) {
            // Only the latest state follows; what the earlier request holds
            // is held until that send returns.
            if (m_followUp) {
                for (auto& hold : m_followUp->holds) request.holds.push_back(std::move(hold));
            }
            m_followUp = std::move(request);
            logLine("UsageAnalytics: A report is on its way; this one follows it.");
            return;
        }
        m_busy = true;
    }
    try {
        std::thread([self = shared_from_this(), request = std::move(request)]() mutable {
            self->run(std::move(request));
        }).detach();
    } catch (const std::system_error& error) {
        // What was to go stays on the device for the next send.
        logf("UsageAnalytics: Could not start a send: {}", error.what());
        std::lock_guard lock(m_mutex);
        m_busy = false;
        m_idle.notify_all();
    }
}

void ReportDelivery::run(ReportRequest request) {
    for (;;) {
        m_sender->send(request.head, request.current, request.currentRecord);
        request = {};
        std::lock_guard lock(m_mutex);
        if (!m_followUp) {
            m_busy = false;
            m_idle.notify_all();
            return;
        }
        request = std::move(*m_followUp);
        m_followUp.reset();
    }
}

bool ReportDelivery::waitUntilIdle(std::optional<std::chrono::milliseconds> limit) {
    std::unique_lock lock(m_mutex);
    const auto idle = [this] { return !m_busy; };
    if (!limit) {
        m_idle.wait(lock, idle);
        return true;
    }
    return m_idle.wait_for(lock, *limit, idle);
}

void ReportDelivery::cancelSends() {
    m_cancellation->cancel();
}

bool ReportDelivery::isIdle() const {
    std::lock_guard lock(m_mutex);
    return !m_busy;
}

}  // namespace qp
