#include "feed/COTDHandler.h"

#include <fmt/format.h>

#include "feed/FeedKeys.h"
#include "feed/FeedUrl.h"
#include "feed/PlistDescription.h"
#include "feed/TodaysTheme.h"
#include "platform/Log.h"

namespace qp {

// The twin theme files: which revision keys name them and where they go.
struct COTDHandler::ThemeFile {
    const char* versionKey;
    const char* urlKey;
    std::optional<PlistDictionary> COTDHandler::*field;
    const char* alreadyLoadedFormat;
    const char* loadedFormat;
    const char* failedLine;
    std::vector<std::string> (*shapeProblems)(const PlistDictionary&);
};

namespace {

void logWithBlank(std::string_view line) {
    logLine(line);
    logLine(kLogBlankLine);
}

// A settings or revision value that can take part in a version comparison.
std::optional<std::string> versionText(const std::optional<PlistValue>& value) {
    if (!value || !value->isString()) return std::nullopt;
    return value->stringValue();
}

std::optional<std::string> stringEntry(const PlistDictionary& dictionary, const char* key) {
    const auto it = dictionary.find(key);
    if (it == dictionary.end() || !it->second.isString()) return std::nullopt;
    return it->second.stringValue();
}

}  // namespace

COTDHandler::COTDHandler(FeedServices services, FeedOptions options)
    : m_services(std::move(services)), m_options(std::move(options)) {
    if (!m_options.limits.cancellation)
        m_options.limits.cancellation = std::make_shared<HttpCancellation>();
}

COTDHandler::~COTDHandler() {
    if (m_reachabilityObserver && m_services.notifications)
        m_services.notifications->removeObserver(m_reachabilityObserver);
    std::thread workers[3];
    {
        std::lock_guard threads(m_threadsMutex);
        m_closing = true;
        workers[0] = std::move(m_revisionStep.thread);
        workers[1] = std::move(m_imagesStep.thread);
        workers[2] = std::move(m_probeStep.thread);
    }
    // A stalled server must not hold up the app's end: downloads on their
    // way stop now, and what they would have brought is simply not there.
    m_options.limits.cancellation->cancel();
    for (std::thread& worker : workers) {
        if (worker.joinable()) worker.join();
    }
    m_alive.reset();
}

// --- threads --------------------------------------------------------------------

void COTDHandler::requestRun(Step& step, WhenBusy whenBusy, std::function<void()> work) {
    {
        std::lock_guard lock(m_mutex);
        if (step.running) {
            if (whenBusy == WhenBusy::RunOnceMore) step.again = true;
            return;
        }
        step.running = true;
    }
    auto runs = [this, &step, work = std::move(work)] {
        for (;;) {
            work();
            std::lock_guard lock(m_mutex);
            if (!step.again) {
                step.running = false;
                m_stepEnded.notify_all();
                return;
            }
            step.again = false;
        }
    };
    if (m_options.synchronous) {
        runs();
        return;
    }
    std::lock_guard threads(m_threadsMutex);
    if (m_closing) {
        std::lock_guard lock(m_mutex);
        step.running = false;
        return;
    }
    // The previous run has ended (or is returning): its thread joins at once.
    if (step.thread.joinable()) step.thread.join();
    step.thread = std::thread(std::move(runs));
}

void COTDHandler::onMainThread(std::function<void()> task) {
    if (m_options.synchronous || !m_services.mainQueue) {
        task();
        return;
    }
    m_services.mainQueue->post([alive = std::weak_ptr<bool>(m_alive), task = std::move(task)] {
        if (alive.lock()) task();
    });
}

bool COTDHandler::isBusy() const {
    std::lock_guard lock(m_mutex);
    return m_revisionStep.running || m_imagesStep.running || m_probeStep.running;
}

bool COTDHandler::waitUntilIdle(std::chrono::milliseconds limit) {
    std::unique_lock lock(m_mutex);
    return m_stepEnded.wait_for(lock, limit, [this] {
        return !m_revisionStep.running && !m_imagesStep.running && !m_probeStep.running;
    });
}

void COTDHandler::problem(const std::string& description) {
    if (m_services.observer) m_services.observer->feedProblem(description);
}

// --- reachability ------------------------------------------------------------------

void COTDHandler::watchReachability(FeedReachability reachability) {
    m_reachability = std::move(reachability);
    if (!m_reachability.isReachable) return;
    if (m_services.notifications) {
        m_reachabilityObserver = m_services.notifications->addObserver(
            m_reachability.notificationName, m_reachability.sender,
            [this](const Notification&) { askReachability(); });
    }
    // The monitor reports changes only, so it is asked once now.
    askReachability();
}

void COTDHandler::askReachability() {
    // The answer may wait for a name lookup, which the main thread must not.
    requestRun(m_probeStep, WhenBusy::RunOnceMore, [this] {
        const bool reachable = m_reachability.isReachable();
        onMainThread([this, reachable] { reachabilityChanged(reachable); });
    });
}

void COTDHandler::reachabilityChanged(bool reachable) {
    m_internetISreachable.store(reachable);
    const std::string host = m_reachability.probeHost.empty() ? std::string("the feed's host")
                                                              : m_reachability.probeHost;
    logLine(
        fmt::format(fmt::runtime(reachable ? kLogReachableFormat : kLogUnreachableFormat), host));
}

// --- entry points ---------------------------------------------------------------------

void COTDHandler::loadTheCOTDdata() {
    logLine(kLogLoadTheCOTDdata);
    const std::optional<PlistValue> stored = m_services.defaults.objectForKey(kDateCOTDLoadedKey);
    {
        std::lock_guard lock(m_mutex);
        m_lastCOTDtimestamp = versionText(stored).value_or(std::string());
    }
    if (!stored) {
        for (const char* key :
             {kDateCOTDLoadedKey, kMonthOfThemesVersionKey, kSpecialDayVersionKey})
            m_services.defaults.setString(kNeverLoadedDate, key);
    }
    loadTheLatestRevFile();
}

void COTDHandler::loadTheCOTDimages() {
    logLine(kLogLoadTheCOTDimages);
    bool haveRevision = false;
    {
        std::lock_guard lock(m_mutex);
        haveRevision = m_cotdLatestRevPlist.has_value();
    }
    if (!haveRevision) retryLoadTheRevFile();
    loadCOTDimagesFromServer();
}

void COTDHandler::retryLoadTheRevFile() {
    if (m_options.ignoreReachability || m_internetISreachable.load()) loadTheLatestRevFile();
}

void COTDHandler::loadTheLatestRevFile() {
    logLine(kLogLoadTheLatestRevFile);
    // A fetch under way will answer this request too.
    requestRun(m_revisionStep, WhenBusy::Skip, [this] { loadCOTDrevfileInBackground(); });
}

// --- the revision file and the theme files ---------------------------------------------

void COTDHandler::loadCOTDrevfileInBackground() {
    Result<PlistDictionary> revision = fetchPropertyListDictionary(
        m_services.http, m_services.clock, m_options.limits, m_options.revisionUrl);
    if (!revision.ok()) problem("revision file: " + revision.error().description());
    {
        std::lock_guard lock(m_mutex);
        if (revision.ok()) {
            m_cotdLatestRevPlist = std::move(revision).value();
        } else {
            m_cotdLatestRevPlist.reset();
        }
    }
    revFileLoadedNowCheckVersions();
}

void COTDHandler::revFileLoadedNowCheckVersions() {
    logLine(kLogRevFileLoadedNowCheckVersions);
    std::optional<PlistDictionary> revision = cotdLatestRevPlist();
    if (!revision) {
        logWithBlank(kLogRevisionsFileFailed);
        return;
    }
    logWithBlank(fmt::format(fmt::runtime(kLogPlistFormat), describePlist(PlistValue(*revision))));

    const std::string day = today();
    const std::optional<std::string> stored =
        versionText(m_services.defaults.objectForKey(kDateCOTDLoadedKey));
    if (!stored || *stored != day) {
        // A new day needs new images.
        std::lock_guard lock(m_mutex);
        m_themeImage.reset();
        m_bottomImage.reset();
        m_thumbImage.reset();
    }
    m_services.defaults.setString(day, kDateCOTDLoadedKey);
    logWithBlank(fmt::format(fmt::runtime(kLogRevisionLoadedFormat), day));

    loadMonthOfThemesPlist();
    loadSpecialDayThemesPlist();

    if (m_services.state && m_services.state->currentThemeIsCOTD()) {
        static_cast<void>(getCOTDThemeDictIfAvailable());
        loadCOTDimagesFromServer();
    }
}

void COTDHandler::loadMonthOfThemesPlist() {
    static const ThemeFile month{kMonthOfThemesVersionKey,
                                 kMonthOfThemesUrlKey,
                                 &COTDHandler::m_monthOfThemesPlist,
                                 kLogMonthAlreadyLoadedFormat,
                                 kLogMonthLoadedFormat,
                                 kLogMonthFileFailed,
                                 monthFileProblems};
    loadThemeFile(month);
}

void COTDHandler::loadSpecialDayThemesPlist() {
    static const ThemeFile special{kSpecialDayVersionKey,
                                   kSpecialDayUrlKey,
                                   &COTDHandler::m_specialDayThemesPlist,
                                   kLogSpecialDayAlreadyLoadedFormat,
                                   kLogSpecialDayLoadedFormat,
                                   kLogSpecialDayFileFailed,
                                   specialDayFileProblems};
    loadThemeFile(special);
}

void COTDHandler::loadThemeFile(const ThemeFile& file) {
    const std::optional<std::string> stored =
        versionText(m_services.defaults.objectForKey(file.versionKey));
    std::optional<std::string> current;
    std::string url;
    {
        std::lock_guard lock(m_mutex);
        if (!m_cotdLatestRevPlist) return;
        current = stringEntry(*m_cotdLatestRevPlist, file.versionKey);
        url = stringEntry(*m_cotdLatestRevPlist, file.urlKey).value_or(std::string());
        // An absent version on either side never counts as the same.
        if (stored && current && *stored == *current && (this->*file.field).has_value()) {
            logWithBlank(fmt::format(fmt::runtime(file.alreadyLoadedFormat), *current));
            return;
        }
        (this->*file.field).reset();
    }
    Result<PlistDictionary> fetched =
        fetchPropertyListDictionary(m_services.http, m_services.clock, m_options.limits, url);
    if (!fetched.ok()) {
        problem(fmt::format("\"{}\": {}", file.urlKey, fetched.error().description()));
        logWithBlank(file.failedLine);
        return;
    }
    for (const std::string& shape : file.shapeProblems(*fetched)) problem(url + ": " + shape);
    {
        std::lock_guard lock(m_mutex);
        this->*file.field = std::move(fetched).value();
    }
    if (current) m_services.defaults.setString(*current, file.versionKey);
    logWithBlank(fmt::format(fmt::runtime(file.loadedFormat), current.value_or(std::string())));
}

// --- today's record -------------------------------------------------------------------

std::optional<PlistDictionary> COTDHandler::getCOTDThemeDictIfAvailable() {
    const std::string day = today();
    DayTheme theme;
    std::optional<PlistDictionary> record;
    {
        std::lock_guard lock(m_mutex);
        theme = themeForDay(m_monthOfThemesPlist, m_specialDayThemesPlist, day);
        m_themeDictionary = std::move(theme.record);
        record = m_themeDictionary;
    }
    for (const std::string& why : theme.problems) problem(why);
    return record;
}

std::string COTDHandler::today() const {
    return monthDayText(m_services.clock.now(), m_services.timeZone);
}

// --- images -------------------------------------------------------------------------------

void COTDHandler::loadCOTDimagesFromServer() {
    logLine(kLogLoadCOTDimagesFromServer);
    if (!m_options.ignoreReachability && !m_internetISreachable.load()) return;
    requestRun(m_imagesStep, WhenBusy::RunOnceMore,
               [this] { loadCOTDimagesFromServerInBackground(); });
}

void COTDHandler::loadCOTDimagesFromServerInBackground() {
    std::optional<PlistDictionary> record;
    bool haveImages = false;
    {
        std::lock_guard lock(m_mutex);
        record = m_themeDictionary;
        haveImages = m_themeImage.has_value();
    }
    const std::optional<std::string> imageUrl =
        record ? stringEntry(*record, kImageUrlKey) : std::nullopt;
    if (!imageUrl) {
        if (record) problem(fmt::format("today's record has no \"{}\"", kImageUrlKey));
        return;
    }
    if (!isFeedUrl(*imageUrl)) {
        logLine(kLogImageUrlScrewedUp);
        problem(fmt::format("today's \"{}\" \"{}\" is not an http or https URL", kImageUrlKey,
                            *imageUrl));
        return;
    }
    // The images of this run stay.
    if (haveImages) return;

    onMainThread([this] {
        if (!m_services.overlay) return;
        m_services.overlay->setTitle(kLoadingContentTitle);
        m_services.overlay->show();
    });
    logLine(fmt::format(fmt::runtime(kLogImageUrlFormat), *imageUrl));

    std::optional<Image> theme = downloadImage(FeedImage::Theme, *record, kImageUrlKey);
    std::optional<Image> bottom = downloadImage(FeedImage::Bottom, *record, kBottomImageUrlKey);
    std::optional<Image> thumb = downloadImage(FeedImage::Thumb, *record, kThumbImageUrlKey);
    if (!thumb) thumb = theme;
    {
        std::lock_guard lock(m_mutex);
        m_themeImage = std::move(theme);
        m_bottomImage = std::move(bottom);
        m_thumbImage = std::move(thumb);
    }

    onMainThread([this] {
        if (m_services.notifications)
            m_services.notifications->post(kNewCOTDImagesLoadedNotification, this);
        if (m_services.overlay) m_services.overlay->dismiss();
    });
    logWithBlank(kLogNewImagesLoaded);
}

std::optional<Image> COTDHandler::downloadImage(FeedImage which, const PlistDictionary& record,
                                                const char* urlKey) {
    const std::optional<std::string> url = stringEntry(record, urlKey);
    if (!url) {
        // Without a thumbnail of its own the theme image serves; a missing
        // bottom image leaves the bundled one in an empty photo slot.
        if (which == FeedImage::Bottom)
            problem(fmt::format("today's record has no \"{}\"", urlKey));
        return std::nullopt;
    }
    Result<Image> image = fetchImage(m_services.http, m_services.clock, m_options.limits, *url);
    if (!image.ok()) {
        problem(fmt::format("\"{}\": {}", urlKey, image.error().description()));
        return std::nullopt;
    }
    if (m_services.observer) m_services.observer->feedImageLoaded(which, *url, *image);
    return std::move(image).value();
}

std::optional<Image> COTDHandler::fallback(const std::optional<Image>& image,
                                           const char* name) const {
    if (image) return image;
    return m_services.namedImage ? m_services.namedImage(name) : std::nullopt;
}

std::optional<Image> COTDHandler::getCOTDThemeImageIfAvailable() const {
    std::optional<Image> image;
    {
        std::lock_guard lock(m_mutex);
        image = m_themeImage;
    }
    return fallback(image, kCOTDFallbackImageName);
}

std::optional<Image> COTDHandler::getCOTDThemeBottomImageIfAvailable() const {
    std::optional<Image> image;
    {
        std::lock_guard lock(m_mutex);
        image = m_bottomImage;
    }
    return fallback(image, kCOTDFallbackImageName);
}

std::optional<Image> COTDHandler::getCOTDThumbIfAvailable() const {
    std::optional<Image> image;
    {
        std::lock_guard lock(m_mutex);
        image = m_thumbImage;
    }
    return fallback(image, kCOTDFallbackThumbName);
}

// --- state ---------------------------------------------------------------------------------

bool COTDHandler::hasDownloadedThemeImage() const {
    std::lock_guard lock(m_mutex);
    return m_themeImage.has_value();
}

std::optional<PlistDictionary> COTDHandler::cotdLatestRevPlist() const {
    std::lock_guard lock(m_mutex);
    return m_cotdLatestRevPlist;
}

std::string COTDHandler::lastCOTDtimestamp() const {
    std::lock_guard lock(m_mutex);
    return m_lastCOTDtimestamp;
}

}  // namespace qp
