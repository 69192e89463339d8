#pragma once
// A feed wired to a FeedServer, a manual main queue and clock, settings in
// memory and an overlay that records what it was told.

#include <gtest/gtest.h>

#include <QImage>

#include <atomic>
#include <chrono>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "feed/COTDHandler.h"
#include "feed/FeedServer.h"
#include "platform/AppState.h"
#include "platform/NotificationCenter.h"
#include "platform/curl/CurlHttpClient.h"
#include "support/LogCapture.h"
#include "support/ManualMainQueue.h"
#include "support/MemoryUserDefaults.h"

namespace qp::test {

// The width of the bundled stand-in images, unlike any served one.
inline constexpr int kBundledWidth = 2;

class RecordingOverlay final : public ProgressOverlay {
public:
    explicit RecordingOverlay(const MainQueue& queue) : m_queue(queue) {}
    void setTitle(const std::string& title) override { record("title " + title); }
    void show() override { record("show"); }
    void dismiss() override { record("dismiss"); }
    std::vector<std::string> calls() const {
        std::lock_guard lock(m_mutex);
        return m_calls;
    }
    bool allOnMainThread() const { return m_allOnMain.load(); }

private:
    void record(std::string call) {
        if (!m_queue.isMainThread()) m_allOnMain = false;
        std::lock_guard lock(m_mutex);
        m_calls.push_back(std::move(call));
    }
    const MainQueue& m_queue;
    mutable std::mutex m_mutex;
    std::vector<std::string> m_calls;
    std::atomic<bool> m_allOnMain{true};
};

class FeedTest : public ::testing::Test {
protected:
    FeedTest() : queue(clock), center(&queue), http(queue), overlay(queue) {
        setToday(5, 17);
        state.setCurrentThemeIsCOTD(true);
        center.addObserver(kNewCOTDImagesLoadedNotification, nullptr,
                           [this](const Notification& n) {
                               ++posted;
                               lastSender = n.sender;
                               if (!queue.isMainThread()) postedOffMain = true;
                           });
    }

    void setToday(int month, int day) {
        using namespace std::chrono;
        // Noon UTC; the feed's zone is UTC unless a test says otherwise.
        clock.setNow(sys_days(year{2013} / month / day) + hours(12));
    }

    COTDHandler& makeFeed(FeedOptions options = {}) {
        if (options.revisionUrl.empty()) options.revisionUrl = server.revisionUrl();
        FeedServices services{
            .http = http,
            .defaults = defaults,
            .clock = clock,
            .timeZone = zone,
            .mainQueue = &queue,
            .notifications = &center,
            .overlay = &overlay,
            .state = &state,
            .namedImage = [](const std::string& name) -> std::optional<Image> {
                QImage bitmap(kBundledWidth, name == kCOTDFallbackThumbName ? 1 : 2,
                              QImage::Format_RGB32);
                bitmap.fill(Qt::white);
                return Image(bitmap);
            },
            .observer = nullptr,
        };
        feed.reset();
        feed = std::make_unique<COTDHandler>(std::move(services), std::move(options));
        return *feed;
    }

    COTDHandler& makeReachableFeed(FeedOptions options = {}) {
        COTDHandler& made = makeFeed(std::move(options));
        made.reachabilityChanged(true);
        return made;
    }

    // Runs the main queue until the feed's workers have ended and what they
    // handed over has run.
    void settle() {
        ASSERT_TRUE(feed->waitUntilIdle(std::chrono::seconds(10)));
        queue.runPending();
    }

    // Opens the theme of the day and waits until the images are announced.
    void openAndWaitForImages() {
        feed->loadTheCOTDimages();
        ASSERT_TRUE(queue.runUntil([&] { return posted.load() > 0; }));
        settle();
    }

    static int widthOf(const std::optional<Image>& image) { return image ? image->width() : -1; }

    std::string recordName() {
        const auto record = feed->getCOTDThemeDictIfAvailable();
        if (!record) return "(none)";
        auto it = record->find("theme name");
        return it == record->end() ? "(unnamed)" : it->second.stringValue();
    }

    LogCapture log;
    FeedServer server;
    ManualClock clock;
    ManualMainQueue queue;
    FixedOffsetTimeZone zone;
    NotificationCenter center;
    CurlHttpClient http;
    MemoryUserDefaults defaults;
    AppState state;
    RecordingOverlay overlay;
    std::atomic<int> posted{0};
    std::atomic<bool> postedOffMain{false};
    const void* lastSender = nullptr;
    std::unique_ptr<COTDHandler> feed;
};

}  // namespace qp::test
