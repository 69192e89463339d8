#pragma once
// The usage-analytics client: one per process. It starts once with the app's
// key, records events into the current usage session, follows the app's
// lifecycle to pause, resume and end sessions, keeps sessions on the device
// and reports them to the service on threads of their own, one send at a
// time (the delivery rule is written down in ReportDelivery.h).

#include <filesystem>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

#include "analytics/AnalyticsRecorder.h"
#include "analytics/EventLogCounters.h"
#include "analytics/UsageAnalyticsSettings.h"
#include "platform/Clock.h"
#include "platform/MainQueue.h"
#include "platform/NotificationCenter.h"

namespace qp {

class HttpClient;
class ReportDelivery;
class SavedSessions;
class UsageFileCache;
class UsageSession;

// The client's version, part of the usage file names and of every report.
inline constexpr const char* kAgentVersion = "qp1.0";
inline constexpr const char* kSecondStartAlertMessage =
    "startSession has been called already. It should only be called once.";
inline constexpr const char* kSecondStartAlertCancelTitle = "Cancel";

class UsageAnalytics final : public AnalyticsRecorder {
public:
    // Shows the alert of a second start (message, cancel button title); the
    // app wires a real alert, the client itself stays free of widgets.
    using SecondStartAlert =
        std::function<void(const std::string& message, const std::string& cancelTitle)>;

    // `library` is the app's Library folder; the usage files go below it.
    // `reportUrl` empty: nothing is sent and sessions stay on the device.
    // `clock` and `notifications` must outlive the client; `http` is shared
    // with sends, which may outlive it, and may be null without an address.
    UsageAnalytics(const Clock& clock, NotificationCenter& notifications,
                   std::shared_ptr<HttpClient> http, std::filesystem::path library,
                   std::string appVersion, std::string reportUrl,
                   UsageAnalyticsSettings settings = {});
    // Waits for a send on its way at most the settings' quit wait; a send
    // still going then finishes on its own, and what it carries stays on the
    // device unless its answer arrives.
    ~UsageAnalytics() override;

    UsageAnalytics(const UsageAnalytics&) = delete;
    UsageAnalytics& operator=(const UsageAnalytics&) = delete;

    void setSecondStartAlert(SecondStartAlert alert) { m_secondStartAlert = std::move(alert); }
    // With the main queue, a pause's send leaves once the current turn of the
    // loop is through, so a quit right behind the pause (the desktop quits
    // that way) sends the ended session alone instead of both states. The
    // queue must outlive the client; without one the pause sends at once.
    void setMainQueue(MainQueue* queue) { m_mainQueue = queue; }

    void startSession(const std::string& apiKey) override;
    void logEvent(const std::string& eventName) override;
    void logEventWithParameters(const std::string& eventName,
                                const EventParameters& parameters) override;

    // The lifecycle, as the notifications deliver it.
    void pauseSession();
    void resumeSession();
    void endSession();

    // Switches usage reports while the app runs, as the setting does at
    // start: off stops recording and sending at once and deletes the
    // sessions kept on the device; on again starts a fresh session. Before
    // start it only decides what start does.
    void setUsageReportsEnabled(bool enabled);
    bool usageReportsEnabled() const { return m_settings.usageReportsEnabled; }

    bool isStarted() const;
    const std::string& apiKey() const { return m_apiKey; }
    // The current session; null before start.
    std::shared_ptr<const UsageSession> currentSession() const { return m_session; }
    std::size_t savedSessionCount() const;
    // The usage files; null before start.
    const UsageFileCache* files() const { return m_files.get(); }
    // Whether the client holds background running time for a send.
    bool holdsBackgroundTime() const;
    // Blocks until every send asked for so far has returned.
    void waitForSends();
    // The sends; null before start or without a report address. A test may
    // keep it to wait for a send that the client stopped waiting for.
    std::shared_ptr<ReportDelivery> delivery() const { return m_delivery; }

private:
    struct BackgroundTime {};

    void record(const std::string& eventName, const std::optional<EventParameters>& parameters);
    void beginRecording();
    void stopRecording();
    void deleteKeptSessions();
    std::shared_ptr<UsageSession> makeSession() const;
    void joinSavedSessions(const UsageSession& session);
    void recoverCrashedSession();
    // Asks for a send of the saved sessions, and of the current one when asked.
    void sendInBackground(bool includeCurrent,
                          std::shared_ptr<const BackgroundTime> backgroundTime = nullptr);
    void sendPause(std::shared_ptr<const BackgroundTime> backgroundTime);
    void cancelPendingPauseSend();
    void subscribe();

    const Clock& m_clock;
    NotificationCenter& m_notifications;
    std::shared_ptr<HttpClient> m_http;
    std::filesystem::path m_library;
    std::string m_appVersion;
    std::string m_reportUrl;
    UsageAnalyticsSettings m_settings;
    SecondStartAlert m_secondStartAlert;
    MainQueue* m_mainQueue = nullptr;
    std::optional<MainQueue::TaskId> m_pendingPauseSend;

    mutable std::mutex m_startMutex;
    bool m_started = false;

    std::string m_apiKey;
    std::optional<std::int64_t> m_firstUse;
    std::shared_ptr<UsageFileCache> m_files;
    std::shared_ptr<SavedSessions> m_saved;
    std::shared_ptr<ReportDelivery> m_delivery;
    std::shared_ptr<UsageSession> m_session;
    EventLogCounters m_counters;
    std::optional<Clock::Monotonic> m_pausedAt;
    bool m_ended = false;
    std::vector<NotificationCenter::ObserverId> m_observers;
    // Held by the pause's send until it returns; the client only watches it.
    std::weak_ptr<const BackgroundTime> m_backgroundTime;
};

}  // namespace qp
