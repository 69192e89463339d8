#include "cli/AnalyticsCommand.h"

#include <QGuiApplication>

#include <fmt/format.h>
#include <pthread.h>
#include <signal.h>

#include <atomic>
#include <chrono>
#include <csignal>
#include <cstdlib>
#include <memory>
#include <thread>

#include "cli/AnalyticsReportText.h"
#include "cli/ConsoleOutput.h"
#include "cli/FontSystem.h"
#include "cli/TerminalText.h"
#include "service/ListenAddress.h"
#include "service/ReportIngestServer.h"
#include "service/StoreLocation.h"
#include "service/UsageChart.h"
#include "service/UsageFiguresJson.h"

namespace qp {
namespace {

constexpr const char* kServeName = "quillpost analytics serve";
constexpr const char* kReportName = "quillpost analytics report";

CLI::Validator listenCheck() {
    return CLI::Validator(
        [](std::string& text) -> std::string {
            Result<ListenAddress> address = parseListenAddress(text);
            return address.ok() ? std::string() : address.error().description();
        },
        "HOST:PORT");
}

CLI::Validator databaseCheck() {
    return CLI::Validator(
        [](std::string& text) -> std::string {
            Result<StoreLocation> location = parseStoreUrl(text);
            return location.ok() ? std::string() : location.error().description();
        },
        "URL");
}

// Blocks SIGINT and SIGTERM in this thread and every thread it starts from
// now on, so that only sigwait() sees them.
sigset_t blockStopSignals() {
    sigset_t stopSet;
    sigemptyset(&stopSet);
    sigaddset(&stopSet, SIGINT);
    sigaddset(&stopSet, SIGTERM);
    pthread_sigmask(SIG_BLOCK, &stopSet, nullptr);
    return stopSet;
}

}  // namespace

AnalyticsChecks analyticsChecks() {
    return {listenCheck(), databaseCheck()};
}

int runAnalyticsServe(const AnalyticsOptions& options, std::FILE* out, std::FILE* err) {
    const sigset_t stopSignals = blockStopSignals();
    // A sender that hangs up before its answer must cost that answer, never
    // the service, whichever way the HTTP library writes to the socket.
    std::signal(SIGPIPE, SIG_IGN);
    // Both were checked while the command line was read.
    const Result<ListenAddress> address = parseListenAddress(options.listen);
    const Result<StoreLocation> location = parseStoreUrl(options.database);
    if (!address.ok() || !location.ok()) return kAnalyticsFailed;

    Result<std::unique_ptr<AnalyticsStore>> store = openStore(*location, StoreAccess::ReadWrite);
    if (!store.ok()) {
        writeDiagnostic(err, fmt::format("{}: {}\n", kServeName, store.error().description()));
        return kAnalyticsFailed;
    }
    ReportIngestServer server(**store);
    server.setReportObserver([err](int status, const std::string& line) {
        writeDiagnostic(err, fmt::format("{} {}\n", status, printable(line)));
    });
    const Result<int> port = server.bind(address->host, address->port);
    if (!port.ok()) {
        writeDiagnostic(err, fmt::format("{}: {}\n", kServeName, port.error().description()));
        return kAnalyticsFailed;
    }
    const std::string host =
        address->host.find(':') == std::string::npos ? address->host : "[" + address->host + "]";
    ReliableOutput output(out);
    output.write(fmt::format("Listening on http://{}:{}{}, storing in {}\n", host, *port,
                             kReportPath, printable(describeStoreLocation(*location))));

    std::atomic<bool> served{false};
    std::thread stopper([&] {
        int signal = 0;
        sigwait(&stopSignals, &signal);
        // A stop that comes before the server runs would be lost: repeat
        // it until the accept loop has ended.
        while (!served.load()) {
            server.stop();
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        }
    });
    const bool listened = server.listen();
    served = true;
    // Wakes the stopper when the loop ended by itself.
    pthread_kill(stopper.native_handle(), SIGTERM);
    stopper.join();
    if (!listened) {
        writeDiagnostic(err, fmt::format("{}: the server stopped unexpectedly\n", kServeName));
        return kAnalyticsFailed;
    }
    output.write("Stopped; every report answered is stored.\n");
    return kAnalyticsDone;
}

int runAnalyticsReport(const AnalyticsOptions& options, std::FILE* out, std::FILE* err) {
    const Result<StoreLocation> location = parseStoreUrl(options.database);
    if (!location.ok()) return kAnalyticsFailed;
    Result<std::unique_ptr<AnalyticsStore>> store = openStore(*location, StoreAccess::ReadOnly);
    Result<UsageFigures> figures =
        store.ok() ? (*store)->figures() : Result<UsageFigures>(store.error());
    if (!figures.ok()) {
        writeDiagnostic(err, fmt::format("{}: {}\n", kReportName, figures.error().description()));
        return kAnalyticsFailed;
    }
    if (!options.chart.empty()) {
        const std::unique_ptr<QGuiApplication> fontSystem = makeFontSystem();
        if (Result<void> drawn = writeUsageChart(*figures, options.chart); !drawn.ok()) {
            writeDiagnostic(err, fmt::format("{}: {}\n", kReportName, drawn.error().description()));
            return kAnalyticsFailed;
        }
    }
    ReliableOutput output(out);
    output.write(options.json ? usageFiguresJson(*figures) : usageFiguresText(*figures));
    if (output.failed()) {
        writeDiagnostic(err, fmt::format("{}: {}\n", kReportName, output.failure()));
        return kAnalyticsFailed;
    }
    return kAnalyticsDone;
}

}  // namespace qp
