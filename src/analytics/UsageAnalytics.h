#pragma once
// The usage-analytics client: one per process. It starts once with the app's
// key, records events into the current usage session, follows the app's
// lifecycle to pause, resume and end sessions, keeps sessions on the device
// and reports them to the service on threads of their own.

#include <atomic>
#include <filesystem>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "analytics/AnalyticsRecorder.h"
#include "analytics/EventLogCounters.h"
#include "analytics/UsageAnalyticsSettings.h"
#include "platform/Clock.h"
#include "platform/NotificationCenter.h"

namespace qp {

class HttpClient;
class ReportSender;
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
    // `clock`, `notifications` and `http` must outlive the client.
    UsageAnalytics(const Clock& clock, NotificationCenter& notifications, HttpClient& http,
                   std::filesystem::path library, std::string appVersion, std::string reportUrl,
                   UsageAnalyticsSettings settings = {});
    // Waits for sends still on their way.
    ~UsageAnalytics() override;

    UsageAnalytics(const UsageAnalytics&) = delete;
    UsageAnalytics& operator=(const UsageAnalytics&) = delete;

    void setSecondStartAlert(SecondStartAlert alert) { m_secondStartAlert = std::move(alert); }

    void startSession(const std::string& apiKey) override;
    void logEvent(const std::string& eventName) override;
    void logEventWithParameters(const std::string& eventName,
                                const EventParameters& parameters) override;

    // The lifecycle, as the notifications deliver it.
    void pauseSession();
    void resumeSession();
    void endSession();

    bool isStarted() const;
    const std::string& apiKey() const { return m_apiKey; }
    // The current session; null before start.
    std::shared_ptr<const UsageSession> currentSession() const { return m_session; }
    std::size_t savedSessionCount() const;
    // The usage files; null before start.
    const UsageFileCache* files() const { return m_files.get(); }
    // Whether the client holds background running time for a send.
    bool holdsBackgroundTime() const;
    // Blocks until every send started so far has returned.
    void waitForSends();

private:
    struct BackgroundTime {};
    struct SendThread {
        std::thread thread;
        std::shared_ptr<std::atomic<bool>> finished;
    };

    void record(const std::string& eventName, const std::optional<EventParameters>& parameters);
    std::shared_ptr<UsageSession> makeSession() const;
    void joinSavedSessions(const UsageSession& session);
    void recoverCrashedSession();
    // Starts a send of the saved sessions, and of the current one when asked.
    void sendInBackground(bool includeCurrent,
                          std::shared_ptr<BackgroundTime> backgroundTime = nullptr);
    void releaseBackgroundTime(const std::shared_ptr<BackgroundTime>& backgroundTime);
    void subscribe();

    const Clock& m_clock;
    NotificationCenter& m_notifications;
    HttpClient& m_http;
    std::filesystem::path m_library;
    std::string m_appVersion;
    std::string m_reportUrl;
    UsageAnalyticsSettings m_settings;
    SecondStartAlert m_secondStartAlert;

    mutable std::mutex m_startMutex;
    bool m_started = false;

    std::string m_apiKey;
    std::optional<std::int64_t> m_firstUse;
    std::unique_ptr<UsageFileCache> m_files;
    std::unique_ptr<SavedSessions> m_saved;
    std::unique_ptr<ReportSender> m_sender;
    std::shared_ptr<UsageSession> m_session;
    EventLogCounters m_counters;
    std::optional<Clock::Monotonic> m_pausedAt;
    bool m_ended = false;
    std::vector<NotificationCenter::ObserverId> m_observers;

    mutable std::mutex m_sendMutex;
    std::vector<SendThread> m_sendThreads;
    std::shared_ptr<BackgroundTime> m_backgroundTime;
};

}  // namespace qp
