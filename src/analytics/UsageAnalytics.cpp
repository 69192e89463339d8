#include "analytics/UsageAnalytics.h"

#include "analytics/KeyHash.h"
#include "analytics/ReportCodec.h"
#include "analytics/ReportDelivery.h"
#include "analytics/ReportWriter.h"
#include "analytics/SavedSessions.h"
#include "analytics/UsageFileCache.h"
#include "analytics/UsageSession.h"
#include "platform/Log.h"

namespace qp {

UsageAnalytics::UsageAnalytics(const Clock& clock, NotificationCenter& notifications,
                               std::shared_ptr<HttpClient> http, std::filesystem::path library,
                               std::string appVersion, std::string reportUrl,
                               UsageAnalyticsSettings settings)
    : m_clock(clock),
      m_notifications(notifications),
      m_http(std::move(http)),
      m_library(std::move(library)),
      m_appVersion(std::move(appVersion)),
      m_reportUrl(std::move(reportUrl)),
      m_settings(settings) {}

UsageAnalytics::~UsageAnalytics() {
    for (const NotificationCenter::ObserverId id : m_observers) m_notifications.removeObserver(id);
    cancelPendingPauseSend();
    // Quitting must not hang on a slow service: a send still going is
    // cancelled; the sessions it carries are on the device already. A
    // cancelled transfer ends within milliseconds, so nothing of the client
    // runs on while the process winds down.
    if (m_delivery && !m_delivery->waitUntilIdle(m_settings.quitSendWait)) {
        m_delivery->cancelSends();
        logLine("UsageAnalytics: A report is still on its way; its sessions stay on the device.");
        if (!m_delivery->waitUntilIdle(kCancelledSendWait)) {
            logLine("UsageAnalytics: A cancelled report did not stop in time.");
        }
    }
}

void UsageAnalytics::startSession(const std::string& apiKey) {
    {
        std::lock_guard lock(m_startMutex);
        if (m_started) {
            logLine("UsageAnalytics: startSession called already. Returning.");
            if (m_secondStartAlert)
                m_secondStartAlert(kSecondStartAlertMessage, kSecondStartAlertCancelTitle);
            return;
        }
        m_started = true;
        logLine("UsageAnalytics: startSession called for the first time");
    }

    m_apiKey = removeSpaces(apiKey);
    if (!m_settings.usageReportsEnabled) {
        deleteKeptSessions();
        return;
    }
    beginRecording();
}

void UsageAnalytics::deleteKeptSessions() {
    // Nothing kept from earlier runs may stay behind to be sent later.
    std::error_code ec;
    std::filesystem::remove_all(UsageFileCache::folderIn(m_library), ec);
    if (ec) logf("UsageAnalytics: Cannot delete the kept sessions: {}", ec.message());
    logLine(
        "UsageAnalytics: Usage reports are off; no session is recorded and those kept on "
        "this device are deleted.");
}

void UsageAnalytics::beginRecording() {
    m_files = std::make_shared<UsageFileCache>(UsageFileCache::folderIn(m_library),
                                               usageKeyHash(m_apiKey), kAgentVersion);
    if (Result<void> made = m_files->createFolder(); !made.ok()) {
        logf("UsageAnalytics: {}", made.error().toString());
    }
    m_saved = std::make_shared<SavedSessions>(*m_files, m_settings.maxSavedSessions);
    m_saved->load();

    m_firstUse = m_files->readInitialTimestamp();
    if (!m_firstUse) {
        m_firstUse = timestampMilliseconds(m_clock.now());
        ignoreResult(m_files->writeInitialTimestamp(*m_firstUse));
    }

    recoverCrashedSession();
    m_session = makeSession();
    if (!m_reportUrl.empty()) {
        m_delivery = std::make_shared<ReportDelivery>(m_http, m_reportUrl, m_settings.sendTimeout,
                                                      m_saved, m_files);
    } else {
        logLine("UsageAnalytics: No report address; sessions stay on the device.");
    }
    sendInBackground(false);
    subscribe();
}

void UsageAnalytics::stopRecording() {
    for (const NotificationCenter::ObserverId id : m_observers) m_notifications.removeObserver(id);
    m_observers.clear();
    cancelPendingPauseSend();
    // A send on its way would carry what the user no longer wants sent.
    if (m_delivery) {
        m_delivery->cancelSends();
        if (!m_delivery->waitUntilIdle(kCancelledSendWait)) {
            logLine("UsageAnalytics: A cancelled report did not stop in time.");
        }
    }
    m_delivery.reset();
    m_session.reset();
    m_saved.reset();
    m_files.reset();
    m_firstUse.reset();
    m_pausedAt.reset();
    m_counters.reset();
}

void UsageAnalytics::setUsageReportsEnabled(bool enabled) {
    if (enabled == m_settings.usageReportsEnabled) return;
    m_settings.usageReportsEnabled = enabled;
    if (!isStarted() || m_ended) return;
    if (enabled) {
        logLine("UsageAnalytics: Usage reports are on again; a new session starts.");
        beginRecording();
    } else {
        stopRecording();
        deleteKeptSessions();
    }
}

void UsageAnalytics::recoverCrashedSession() {
    if (!m_files->hasCurrentSession()) return;
    // A damaged file has been set aside by the read and counts as absent.
    if (std::optional<SessionRecord> left = m_files->readCurrentSession()) {
        left->crashed = true;
        m_saved->add(encodeSessionRecord(*left));
        logf("UsageAnalytics: Session {} of an earlier run kept as crashed", left->sessionId);
    }
    // Recovered once; leaving it would count the same crash at every start.
    m_files->removeCurrentSession();
}

std::shared_ptr<UsageSession> UsageAnalytics::makeSession() const {
    auto session =
        std::make_shared<UsageSession>(UsageSession::makeSessionId(), m_appVersion, m_clock.now());
    session->setEventLoggingEnabled(m_settings.eventLoggingEnabled);
    return session;
}

void UsageAnalytics::subscribe() {
    m_observers.push_back(
        m_notifications.addObserver(kApplicationWillTerminateNotification, nullptr,
                                    [this](const Notification&) { endSession(); }));
    m_observers.push_back(
        m_notifications.addObserver(kApplicationWillResignActiveNotification, nullptr,
                                    [this](const Notification&) { pauseSession(); }));
    m_observers.push_back(
        m_notifications.addObserver(kApplicationDidBecomeActiveNotification, nullptr,
                                    [this](const Notification&) { resumeSession(); }));
}

void UsageAnalytics::logEvent(const std::string& eventName) {
    record(eventName, std::nullopt);
}

void UsageAnalytics::logEventWithParameters(const std::string& eventName,
                                            const EventParameters& parameters) {
    record(eventName, parameters);
}

void UsageAnalytics::record(const std::string& eventName,
                            const std::optional<EventParameters>& parameters) {
    const std::string described = describeParameters(parameters);
    logf("UsageAnalytics: Recording event eventName[{}] with parameters[{}]", eventName, described);
    if (m_session && !m_ended) {
        m_session->logEvent(eventName, parameters, m_clock.now(), m_counters);
    } else {
        logf("UsageAnalytics: Event eventName[{}] with parameters[{}] not recorded", eventName,
             described);
    }
    logf("UsageAnalytics: Recording event eventName[{}] with parameters[{}] complete", eventName,
         described);
}

void UsageAnalytics::pauseSession() {
    if (!m_session || m_ended) return;
    const Clock::Monotonic now = m_clock.monotonicNow();
    m_pausedAt = now;
    m_session->pause(m_clock.now(), now);
    if (Result<void> written = m_files->writeCurrentSession(m_session->record()); !written.ok()) {
        logf("UsageAnalytics: Could not save the current session: {}", written.error().toString());
    }
    if (m_settings.reportOnPause && m_delivery) {
        // A new request for background time lets go of the earlier one.
        auto backgroundTime = std::make_shared<const BackgroundTime>();
        m_backgroundTime = backgroundTime;
        sendPause(std::move(backgroundTime));
    }
}

void UsageAnalytics::sendPause(std::shared_ptr<const BackgroundTime> backgroundTime) {
    if (!m_mainQueue) {
        sendInBackground(true, std::move(backgroundTime));
        return;
    }
    cancelPendingPauseSend();
    m_pendingPauseSend =
        m_mainQueue->post([this, backgroundTime = std::move(backgroundTime)]() mutable {
            m_pendingPauseSend.reset();
            sendInBackground(true, std::move(backgroundTime));
        });
}

void UsageAnalytics::cancelPendingPauseSend() {
    if (!m_pendingPauseSend) return;
    m_mainQueue->cancel(*m_pendingPauseSend);
    m_pendingPauseSend.reset();
}

void UsageAnalytics::resumeSession() {
    if (!m_session || m_ended || !m_pausedAt) return;
    const Clock::Monotonic now = m_clock.monotonicNow();
    const auto away = std::chrono::duration_cast<std::chrono::milliseconds>(now - *m_pausedAt);
    m_pausedAt.reset();
    if (away > m_settings.sessionContinueInterval) {
        joinSavedSessions(*m_session);
        m_counters.reset();
        m_session = makeSession();
        sendInBackground(false);
    } else {
        m_session->resume(now);
    }
}

void UsageAnalytics::endSession() {
    if (!m_session || m_ended) return;
    m_ended = true;
    // The end's send carries the latest state; the pause's would only go before it.
    cancelPendingPauseSend();
    m_session->end(m_clock.now());
    // The ended session joins the saved ones before the send: it stays on the
    // device until a report carrying this state is acknowledged, and goes at
    // the next launch if quitting does not wait that long.
    joinSavedSessions(*m_session);
    if (m_settings.reportOnClose) sendInBackground(false);
}

void UsageAnalytics::joinSavedSessions(const UsageSession& session) {
    m_saved->add(encodeSessionRecord(session.record()));
    // Its paused copy on disk is no longer the current session, and must not
    // come back as a crash at the next start.
    m_files->removeCurrentSession();
}

void UsageAnalytics::sendInBackground(bool includeCurrent,
                                      std::shared_ptr<const BackgroundTime> backgroundTime) {
    if (!m_delivery) return;
    ReportRequest request;
    request.head = {m_apiKey, kAgentVersion, timestampMilliseconds(m_clock.now()),
                    m_firstUse.value_or(0)};
    request.current = m_session;
    if (includeCurrent) request.currentRecord = encodeSessionRecord(m_session->record());
    if (backgroundTime) request.holds.push_back(std::move(backgroundTime));
    m_delivery->request(std::move(request));
}

bool UsageAnalytics::isStarted() const {
    std::lock_guard lock(m_startMutex);
    return m_started;
}

std::size_t UsageAnalytics::savedSessionCount() const {
    return m_saved ? m_saved->size() : 0;
}

bool UsageAnalytics::holdsBackgroundTime() const {
    return !m_backgroundTime.expired();
}

void UsageAnalytics::waitForSends() {
    if (m_delivery) m_delivery->waitUntilIdle();
}

}  // namespace qp
