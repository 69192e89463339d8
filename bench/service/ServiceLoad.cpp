// Load test of the analytics service, run by hand (not in CI):
//   qp_service_load [--clients N] [--reports M] [--time-limit SECONDS]
//                   [--quillpost PATH] [--only NAME]
// N clients with the app's own session store and report sender send M
// sessions of realistic size, one new session per report, to `quillpost
// analytics serve` processes on 127.0.0.1: SQLite with one process,
// PostgreSQL with one and two, then the same with a service SIGKILLed
// mid-run and started again, and a client that sends to a dead service.
// Each scenario prints throughput, median and p99 latency, and checks that
// the rows stored equal the sessions acknowledged. The PostgreSQL server is
// started here, durable (fsync at every commit), in a temporary folder.

#include <fmt/format.h>

#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "platform/Log.h"
#include "service/LoadClients.h"
#include "service/PostgresServer.h"
#include "service/ServiceProcess.h"
#include "service/StoreLocation.h"
#include "support/TempFolder.h"

using namespace qp;
using namespace qp::bench;

namespace {

struct Options {
    int clients = 50;
    std::size_t reports = 5000;
    int timeLimitSeconds = 600;
    std::string quillpost = QP_QUILLPOST_EXECUTABLE;
    std::string only;
};

struct Scenario {
    std::string name;
    bool postgres = false;
    int processes = 1;
    bool killMidRun = false;
};

std::string load() {
    std::ifstream in("/proc/loadavg");
    std::string one, five, fifteen;
    in >> one >> five >> fifteen;
    return one + " " + five + " " + fifteen;
}

std::optional<std::int64_t> rowsStored(const std::string& databaseUrl, std::string& error) {
    const Result<StoreLocation> location = parseStoreUrl(databaseUrl);
    if (!location.ok()) return std::nullopt;
    Result<std::unique_ptr<AnalyticsStore>> store = openStore(*location, StoreAccess::ReadOnly);
    Result<UsageFigures> figures =
        store.ok() ? (*store)->figures() : Result<UsageFigures>(store.error());
    if (!figures.ok()) {
        error = figures.error().description();
        return std::nullopt;
    }
    return figures->sessions;
}

class Bench {
public:
    explicit Bench(Options options) : m_options(std::move(options)) {}

    int run() {
        std::printf(
            "quillpost analytics service load test: %d clients, %zu reports each scenario\n"
            "service: %s analytics serve\nload average at start: %s\n\n",
            m_options.clients, m_options.reports, m_options.quillpost.c_str(), load().c_str());
        std::printf("%-40s %8s %8s %8s %6s %9s %9s %9s %9s %7s %s\n", "scenario", "acked", "stored",
                    "left", "ok", "seconds", "reports/s", "median ms", "p99 ms", "failed",
                    "load (1 5 15 min)");
        const std::vector<Scenario> scenarios = {
            {"SQLite, 1 process", false, 1, false},
            {"PostgreSQL, 1 process", true, 1, false},
            {"PostgreSQL, 2 processes", true, 2, false},
            {"SQLite, 1 process, SIGKILL mid-run", false, 1, true},
            {"PostgreSQL, 2 processes, SIGKILL mid-run", true, 2, true},
        };
        for (const Scenario& scenario : scenarios) {
            if (!m_options.only.empty() && scenario.name.find(m_options.only) == std::string::npos)
                continue;
            if (!runScenario(scenario)) m_failed = true;
        }
        if (m_options.only.empty() || std::string("dead service").find(m_options.only) == 0) {
            if (!runDeadService()) m_failed = true;
        }
        std::printf("\nload average at end: %s\n%s\n", load().c_str(),
                    m_failed ? "SOME CHECKS FAILED" : "every check passed");
        return m_failed ? 1 : 0;
    }

private:
    // A new, empty database for one scenario.
    std::optional<std::string> freshDatabase(bool postgres) {
        if (!postgres)
            return "sqlite:" + (m_folder.path() / fmt::format("s{}.sqlite", ++m_runs)).string();
        if (!m_postgres) {
            std::string why;
            const auto binaries = test::PostgresServer::findBinaries(why);
            if (binaries) {
                test::PostgresServer::Settings settings;
                settings.durable = true;
                settings.maxConnections = 300;
                m_postgres = test::PostgresServer::start(*binaries, settings, why);
            }
            if (!m_postgres) {
                std::printf("PostgreSQL: %s\n", why.c_str());
                return std::nullopt;
            }
        }
        std::string error;
        ++m_runs;
        const std::string url = m_postgres->createDatabase(error);
        if (url.empty()) std::printf("PostgreSQL: %s\n", error.c_str());
        return url.empty() ? std::nullopt : std::optional(url);
    }

    std::vector<std::unique_ptr<ServiceProcess>> startServices(const std::string& db, int count) {
        std::vector<std::unique_ptr<ServiceProcess>> services;
        for (int i = 0; i < count; ++i) {
            auto service = std::make_unique<ServiceProcess>(
                std::vector<std::string>{m_options.quillpost, "analytics", "serve"}, db,
                m_folder.path() / fmt::format("service{}-{}.log", m_runs, i));
            std::string error;
            if (!service->start(error)) {
                std::printf("cannot start the service: %s\n", error.c_str());
                return {};
            }
            services.push_back(std::move(service));
        }
        return services;
    }

    bool runScenario(const Scenario& scenario) {
        const std::optional<std::string> db = freshDatabase(scenario.postgres);
        if (!db) return false;
        auto services = startServices(*db, scenario.processes);
        if (services.empty()) return false;

        LoadPlan plan;
        plan.clients = m_options.clients;
        plan.sessions = m_options.reports;
        plan.timeLimit = std::chrono::seconds(m_options.timeLimitSeconds);
        plan.run = static_cast<std::uint64_t>(m_runs);
        plan.folder = m_folder.path() / fmt::format("clients{}", m_runs);
        for (const auto& service : services) plan.urls.push_back(service->reportUrl());
        std::atomic<bool> killed{false};
        std::atomic<std::size_t> acknowledgedAtKill{0};
        std::string restartError;
        if (scenario.killMidRun) {
            // The first client past 40 % kills the first service outright and
            // starts it again on its port; the others go on sending meanwhile.
            plan.progress = [&](std::size_t acknowledged) {
                if (acknowledged < m_options.reports * 2 / 5 || killed.exchange(true)) return;
                ServiceProcess& victim = *services.front();
                const int port = victim.port();
                victim.kill();
                acknowledgedAtKill = acknowledged;
                if (!victim.start(restartError, port))
                    std::printf("restart: %s\n", restartError.c_str());
            };
        }
        std::set<std::string> acknowledged;
        const LoadFigures figures = runLoad(plan, acknowledged);
        int stopStatus = 0;
        for (auto& service : services) stopStatus |= service->stop();

        std::string error;
        const std::optional<std::int64_t> rows = rowsStored(*db, error);
        const bool same = rows && static_cast<std::size_t>(*rows) == acknowledged.size();
        const bool allDelivered =
            figures.sessionsLeftOnClients == 0 && acknowledged.size() == figures.sessionsMade;
        const bool ok = same && allDelivered && stopStatus == 0 && figures.sessionsMade > 0 &&
                        (!scenario.killMidRun || killed);
        std::printf("%-40s %8zu %8s %8zu %6s %9.2f %9.0f %9.2f %9.2f %7zu %s\n",
                    scenario.name.c_str(), acknowledged.size(),
                    rows ? std::to_string(*rows).c_str() : "?", figures.sessionsLeftOnClients,
                    ok ? "yes" : "NO", figures.seconds,
                    double(figures.sendsAcknowledged) / figures.seconds, figures.percentile(50),
                    figures.percentile(99), figures.sendsFailed, load().c_str());
        if (scenario.killMidRun) {
            std::printf(
                "    killed at %zu acknowledged; every one acknowledged before and after "
                "is stored: %s\n",
                acknowledgedAtKill.load(), same ? "yes" : "NO");
        }
        if (figures.stoppedByTimeLimit) std::printf("    stopped by the time limit\n");
        if (!rows) std::printf("    cannot count the rows: %s\n", error.c_str());
        if (stopStatus != 0) std::printf("    a service ended with status %d\n", stopStatus);
        std::fflush(stdout);
        return ok;
    }

    // A client whose service is down keeps its sessions on disk, and its
    // next launch delivers them once the service is back.
    bool runDeadService() {
        const std::optional<std::string> db = freshDatabase(false);
        if (!db) return false;
        auto services = startServices(*db, 1);
        if (services.empty()) return false;
        const int port = services.front()->port();
        services.front()->stop();

        LoadPlan plan;
        plan.clients = 1;
        plan.sessions = 5;
        plan.run = static_cast<std::uint64_t>(m_runs);
        plan.folder = m_folder.path() / "dead-service-client";
        plan.urls = {services.front()->reportUrl()};
        std::set<std::string> acknowledged;
        const LoadFigures down = runLoad(plan, acknowledged, std::chrono::seconds(0));

        std::string error;
        if (!services.front()->start(error, port)) {
            std::printf("cannot start the service again: %s\n", error.c_str());
            return false;
        }
        plan.sessions = 0;  // the next launch makes nothing new, only delivers
        const LoadFigures up = runLoad(plan, acknowledged);
        services.front()->stop();
        const std::optional<std::int64_t> rows = rowsStored(*db, error);
        const bool ok = down.sendsFailed == 5 && down.sessionsLeftOnClients == 5 &&
                        up.sessionsLeftOnClients == 0 && acknowledged.size() == 5 && rows &&
                        *rows == 5;
        std::printf(
            "\ndead service: 5 sends failed and kept %zu sessions on the client; after the "
            "service came back, %zu sends delivered %zu, %s stored: %s\n",
            down.sessionsLeftOnClients, up.sendsAcknowledged, acknowledged.size(),
            rows ? std::to_string(*rows).c_str() : "?", ok ? "yes" : "NO");
        return ok;
    }

    Options m_options;
    TempFolder m_folder;
    std::unique_ptr<test::PostgresServer> m_postgres;
    int m_runs = 0;
    bool m_failed = false;
};

}  // namespace

int main(int argc, char** argv) {
    Options options;
    for (int i = 1; i < argc; ++i) {
        const std::string flag = argv[i];
        const bool hasValue = i + 1 < argc;
        if (flag == "--clients" && hasValue) {
            options.clients = std::atoi(argv[++i]);
        } else if (flag == "--reports" && hasValue) {
            options.reports = static_cast<std::size_t>(std::atoll(argv[++i]));
        } else if (flag == "--time-limit" && hasValue) {
            options.timeLimitSeconds = std::atoi(argv[++i]);
        } else if (flag == "--quillpost" && hasValue) {
            options.quillpost = argv[++i];
        } else if (flag == "--only" && hasValue) {
            options.only = argv[++i];
        } else {
            std::fprintf(stderr,
                         "usage: qp_service_load [--clients N] [--reports M] [--time-limit SECONDS]"
                         " [--quillpost PATH] [--only SCENARIO]\n");
            return 2;
        }
    }
    if (options.clients < 1 || options.reports < 1 || options.timeLimitSeconds < 1) {
        std::fprintf(stderr, "qp_service_load: clients, reports and time limit must be positive\n");
        return 2;
    }
    // The clients' own log lines (a failed send, sessions sent) would bury the table.
    Log::setStderrEnabled(false);
    return Bench(options).run();
}
