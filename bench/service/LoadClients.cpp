#include "service/LoadClients.h"

#include <fmt/format.h>

#include <algorithm>
#include <random>
#include <thread>

#include "analytics/ReportCodec.h"
#include "analytics/ReportSender.h"
#include "analytics/SavedSessions.h"
#include "analytics/UsageFileCache.h"
#include "platform/curl/CurlHttpClient.h"
#include "support/ManualMainQueue.h"

namespace qp::bench {
namespace {

using Clock = std::chrono::steady_clock;

constexpr std::size_t kMaxKeptSessions = 1000;
constexpr std::chrono::milliseconds kSendTimeout{20000};

const std::vector<std::string> kEventNames = {"Photo chosen", "Theme chosen",  "Message typed",
                                              "Photo moved",  "Photo zoomed",  "Saved",
                                              "Shared",       "Mailed",        "Tweeted",
                                              "Posted",       "Category open", "Feed theme used"};

double millisecondsSince(Clock::time_point start) {
    return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

}  // namespace

SessionRecord realisticSession(std::uint64_t run, std::uint64_t index) {
    std::mt19937_64 random(run * 1000003 + index);
    SessionRecord record;
    record.sessionId = fmt::format("{:016x}{:016x}", run, index);
    record.appVersion = "1.4.2";
    record.startMilliseconds = 1796083200000 + static_cast<std::int64_t>(random() % 2592000000);
    record.pausedMilliseconds = static_cast<std::int64_t>(random() % 60000);
    record.networkAccess = NetworkAccess::Reached;
    const std::vector<std::pair<std::string, ParameterList>> device = {
        {"1-Device:", {{"Device Type", "iPhone5,2"}}},
        {"2-iOS:", {{"iOS version", random() % 2 ? "6.1.4" : "7.0.2"}}},
        {"3-Device Class:", {{"Device Class", random() % 3 ? "iPhone" : "iPad"}}},
        {"4-iOS Class:", {{"iOS Class", "6.x"}}},
    };
    std::map<std::string, std::int32_t> counts;
    std::int64_t at = record.startMilliseconds;
    const auto log = [&](const std::string& name, std::optional<ParameterList> parameters) {
        EventRecord event;
        event.logId = static_cast<std::int32_t>(record.events.size()) + 1;
        event.name = name;
        event.startMilliseconds = at;
        event.parameters = std::move(parameters);
        at += static_cast<std::int64_t>(random() % 20000);
        record.events.push_back(std::move(event));
        ++counts[name];
    };
    for (const auto& [name, parameters] : device) log(name, parameters);
    const int edits = 10 + static_cast<int>(random() % 31);
    for (int i = 0; i < edits; ++i) {
        const std::string& name = kEventNames[random() % kEventNames.size()];
        if (random() % 3 == 0) {
            log(name, ParameterList{{"Theme", fmt::format("Classic {}", random() % 7)},
                                    {"Source", random() % 2 ? "Library" : "Camera"}});
        } else {
            log(name, std::nullopt);
        }
    }
    for (const auto& [name, count] : counts) record.eventCounts.emplace_back(name, count);
    record.endMilliseconds = at;
    return record;
}

double LoadFigures::percentile(double p) const {
    if (latenciesMilliseconds.empty()) return 0;
    const auto rank =
        static_cast<std::size_t>(p / 100.0 * double(latenciesMilliseconds.size() - 1));
    return latenciesMilliseconds[rank];
}

LoadFigures runLoad(const LoadPlan& plan, std::set<std::string>& acknowledged,
                    std::chrono::seconds drainLimit) {
    std::atomic<std::size_t> nextSession{0};
    std::atomic<std::size_t> acknowledgedCount{0};
    std::mutex mutex;
    LoadFigures figures;
    const Clock::time_point start = Clock::now();
    const Clock::time_point deadline = start + plan.timeLimit;
    std::atomic<bool> timedOut{false};

    const auto client = [&](int index) {
        ManualMainQueue queue;  // sends block on this thread; the queue stays idle
        CurlHttpClient http(queue);
        const UsageFileCache files(plan.folder / fmt::format("client{}", index), 1234,
                                   "qp-load-1.0");
        ignoreResult(files.createFolder());
        SavedSessions saved(files, kMaxKeptSessions);
        // As the app at launch: what an earlier run kept goes with the next send.
        saved.load();
        ReportSender sender(http, plan.urls[static_cast<std::size_t>(index) % plan.urls.size()],
                            kSendTimeout, saved, files);
        const ReportHead head{"LOADTEST0123456789AB", "qp-load-1.0", 0, 0};
        std::vector<std::string> kept;  // ids of the sessions the client holds
        for (const std::string& encoded : saved.snapshot()) {
            if (Result<SessionRecord> record = decodeSessionRecord(encoded); record.ok())
                kept.push_back(record->sessionId);
        }
        LoadFigures mine;

        const auto sendKept = [&] {
            std::size_t bytes = 0;
            for (const std::string& encoded : saved.snapshot()) bytes += encoded.size();
            const Clock::time_point sent = Clock::now();
            const ReportSender::Outcome outcome = sender.send(head, nullptr, std::nullopt);
            if (outcome != ReportSender::Outcome::Sent) {
                ++mine.sendsFailed;
                return false;
            }
            mine.latenciesMilliseconds.push_back(millisecondsSince(sent));
            ++mine.sendsAcknowledged;
            mine.bytesSent += bytes;
            mine.sessionsAcknowledged += kept.size();
            std::size_t total = 0;
            {
                std::lock_guard lock(mutex);
                acknowledged.insert(kept.begin(), kept.end());
                total = acknowledgedCount += kept.size();
            }
            kept.clear();
            if (plan.progress) plan.progress(total);
            return true;
        };

        for (;;) {
            if (Clock::now() >= deadline) {
                timedOut = true;
                break;
            }
            const std::size_t number = nextSession++;
            if (number >= plan.sessions) break;
            const SessionRecord record = realisticSession(plan.run, number);
            saved.add(encodeSessionRecord(record));
            kept.push_back(record.sessionId);
            ++mine.sessionsMade;
            sendKept();
        }
        // What a failed send left behind goes once the service takes it.
        const Clock::time_point drainEnd = Clock::now() + drainLimit;
        while (!kept.empty() && Clock::now() < drainEnd) {
            if (!sendKept()) std::this_thread::sleep_for(std::chrono::milliseconds(50));
        }
        mine.sessionsLeftOnClients = saved.size();

        std::lock_guard lock(mutex);
        figures.sessionsMade += mine.sessionsMade;
        figures.sessionsAcknowledged += mine.sessionsAcknowledged;
        figures.sessionsLeftOnClients += mine.sessionsLeftOnClients;
        figures.sendsAcknowledged += mine.sendsAcknowledged;
        figures.sendsFailed += mine.sendsFailed;
        figures.bytesSent += mine.bytesSent;
        figures.latenciesMilliseconds.insert(figures.latenciesMilliseconds.end(),
                                             mine.latenciesMilliseconds.begin(),
                                             mine.latenciesMilliseconds.end());
    };
    std::vector<std::thread> threads;
    for (int i = 0; i < plan.clients; ++i) threads.emplace_back(client, i);
    for (std::thread& thread : threads) thread.join();
    figures.seconds = millisecondsSince(start) / 1000.0;
    figures.stoppedByTimeLimit = timedOut;
    std::sort(figures.latenciesMilliseconds.begin(), figures.latenciesMilliseconds.end());
    return figures;
}

}  // namespace qp::bench
