#pragma once
// The theme-of-the-day feed: fetches the revision file from the feed's host,
// then the month's themes and the special days, picks today's record and
// downloads its three images, telling the editor with "new COTD images
// loaded" when they are in. Until then, and whenever anything fails, the
// image getters answer the images that ship with the app.
//
// Threads (see README.md): the editor calls in on the main thread; fetches
// run on worker threads of the feed's own. Every shared field is guarded by
// one mutex, the overlay and the notification are handed to the main queue,
// and runs of one step never overlap: a revision fetch asked for while one
// runs is skipped, an image download asked for while one runs is run once
// more after it.

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <thread>

#include "feed/FeedDay.h"
#include "feed/FeedFetch.h"
#include "feed/FeedObserver.h"
#include "feed/ProgressOverlay.h"
#include "imaging/Image.h"
#include "platform/AppState.h"
#include "platform/Clock.h"
#include "platform/HttpClient.h"
#include "platform/MainQueue.h"
#include "platform/NotificationCenter.h"
#include "platform/plist/UserDefaults.h"

namespace qp {

// What the feed works with. References must outlive the feed; pointers may
// be null (no queue: main-thread work runs on the calling thread; no centre,
// overlay, state or observer: that part is left out).
struct FeedServices {
    HttpClient& http;
    UserDefaults& defaults;
    const Clock& clock;
    const TimeZone& timeZone;
    MainQueue* mainQueue = nullptr;
    NotificationCenter* notifications = nullptr;
    ProgressOverlay* overlay = nullptr;
    // Read for currentThemeIsCOTD after a revision file arrives.
    const AppState* state = nullptr;
    // An image that ships with the app, by file name; looked up on each call.
    std::function<std::optional<Image>(const std::string& name)> namedImage;
    FeedObserver* observer = nullptr;
};

struct FeedOptions {
    // The revision file's URL (see revisionFileUrl()).
    std::string revisionUrl;
    FeedLimits limits;
    // Every step runs to its end on the calling thread, main-thread work
    // included: for the command line, which has no event loop.
    bool synchronous = false;
    // Fetch whatever the reachability monitor says.
    bool ignoreReachability = false;
};

// The network check downloads wait for: the monitor's change notification
// (its name and sender) and the question to ask it, on the main thread.
struct FeedReachability {
    std::string notificationName;
    const void* sender = nullptr;
    std::function<bool()> isReachable;
    // Named in the log line of each change.
    std::string probeHost;
};

class COTDHandler {
public:
    COTDHandler(FeedServices services, FeedOptions options);
    // Waits for the running fetches (each ends within the request time-out);
    // their results are dropped.
    ~COTDHandler();
    COTDHandler(const COTDHandler&) = delete;
    COTDHandler& operator=(const COTDHandler&) = delete;

    // Follows `reachability` from now on, and asks it once at once, since a
    // monitor reports only changes. It is asked on a worker thread, its
    // answer stored on the main thread.
    void watchReachability(FeedReachability reachability);
    // Stores whether downloads may be tried; starts none. Main thread.
    void reachabilityChanged(bool reachable);
    bool internetIsReachable() const { return m_internetISreachable.load(); }

    // Seeds the settings ("00-00" when nothing was ever loaded) and fetches
    // the revision file, without asking the reachability monitor.
    void loadTheCOTDdata();
    // Fetches the revision file if it is still missing, then the images.
    void loadTheCOTDimages();

    // Today's record (a special day wins over the month list), or nullopt.
    std::optional<PlistDictionary> getCOTDThemeDictIfAvailable();
    // The downloaded images, else "COTD.jpg" (theme and bottom) and
    // "thumb_COTD.jpg" (thumbnail) as shipped with the app.
    std::optional<Image> getCOTDThemeImageIfAvailable() const;
    std::optional<Image> getCOTDThemeBottomImageIfAvailable() const;
    std::optional<Image> getCOTDThumbIfAvailable() const;

    // The steps, public for the command line and for tests.
    void retryLoadTheRevFile();
    void loadTheLatestRevFile();
    void loadCOTDimagesFromServer();

    // Whether today's theme image was downloaded in this run.
    bool hasDownloadedThemeImage() const;
    // The revision dictionary, when fetched.
    std::optional<PlistDictionary> cotdLatestRevPlist() const;
    std::string lastCOTDtimestamp() const;
    // Today as "MM-dd" in the feed's time zone.
    std::string today() const;
    // Whether a fetch is running on a worker thread.
    bool isBusy() const;
    // Blocks until no fetch runs or `limit` has passed; true when idle. Work
    // the fetches handed to the main queue may still wait there.
    bool waitUntilIdle(std::chrono::milliseconds limit);

private:
    struct ThemeFile;

    void askReachability();
    void loadCOTDrevfileInBackground();
    void revFileLoadedNowCheckVersions();
    void loadThemeFile(const ThemeFile& file);
    void loadMonthOfThemesPlist();
    void loadSpecialDayThemesPlist();
    void loadCOTDimagesFromServerInBackground();
    std::optional<Image> downloadImage(FeedImage which, const PlistDictionary& record,
                                       const char* urlKey);

    // One step's worker: at most one run at a time.
    struct Step {
        std::thread thread;
        bool running = false;  // guarded by m_mutex
        bool again = false;    // guarded by m_mutex
    };
    enum class WhenBusy { Skip, RunOnceMore };
    // Runs `work` on the step's worker, or on the calling thread when
    // synchronous. While a run is under way a new request is skipped or
    // makes the running worker go once more.
    void requestRun(Step& step, WhenBusy whenBusy, std::function<void()> work);
    // Runs `task` on the main thread while the feed lives.
    void onMainThread(std::function<void()> task);
    void problem(const std::string& description);
    std::optional<Image> fallback(const std::optional<Image>& image, const char* name) const;

    FeedServices m_services;
    FeedOptions m_options;
    std::atomic<bool> m_internetISreachable{false};
    FeedReachability m_reachability;
    NotificationCenter::ObserverId m_reachabilityObserver = 0;
    // Cleared when the feed goes: main-queue tasks posted before check it.
    std::shared_ptr<bool> m_alive = std::make_shared<bool>(true);

    mutable std::mutex m_mutex;  // guards the fields below
    std::condition_variable m_stepEnded;
    std::string m_lastCOTDtimestamp;
    std::optional<PlistDictionary> m_cotdLatestRevPlist;
    std::optional<PlistDictionary> m_monthOfThemesPlist;
    std::optional<PlistDictionary> m_specialDayThemesPlist;
    std::optional<PlistDictionary> m_themeDictionary;
    std::optional<Image> m_themeImage;
    std::optional<Image> m_bottomImage;
    std::optional<Image> m_thumbImage;

    std::mutex m_threadsMutex;  // guards the steps' threads and m_closing
    bool m_closing = false;
    Step m_revisionStep;
    Step m_imagesStep;
    Step m_probeStep;
};

}  // namespace qp
