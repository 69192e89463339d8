#pragma once
// The theme-of-the-day feed run once, synchronously, for the command line:
// revision file, theme lists, the day's record and its images, with settings
// that are thrown away and without the reachability gate.

#include <chrono>
#include <filesystem>
#include <memory>
#include <optional>
#include <string>

#include "feed/COTDHandler.h"
#include "platform/AppState.h"
#include "platform/curl/CurlHttpClient.h"
#include "platform/plist/InMemoryUserDefaults.h"
#include "platform/qt/QtMainQueue.h"

namespace qp {

struct CommandLineFeedSetup {
    // The feed's host, or the revision file's own URL.
    std::string feedUrl;
    // "MM-dd"; empty: today in the system's time zone.
    std::string day;
    // All requests together end within this; none: each has its own time-out.
    std::optional<std::chrono::milliseconds> overallLimit;
    // Where the bundled stand-in images are found.
    std::filesystem::path resources;
    FeedObserver* observer = nullptr;
};

class CommandLineFeed {
public:
    explicit CommandLineFeed(const CommandLineFeedSetup& setup);
    ~CommandLineFeed();

    // Runs every step to its end on this thread.
    void run();

    COTDHandler& handler() { return *m_handler; }
    const std::string& revisionUrl() const { return m_revisionUrl; }

private:
    class DayClock;

    std::string m_revisionUrl;
    QtMainQueue m_queue;  // required by the HTTP client; nothing is posted
    CurlHttpClient m_http;
    InMemoryUserDefaults m_settings;
    AppState m_state;
    std::unique_ptr<Clock> m_clock;
    std::unique_ptr<TimeZone> m_zone;
    std::unique_ptr<COTDHandler> m_handler;
};

}  // namespace qp
