#pragma once
// A throwaway PostgreSQL server on 127.0.0.1 for the store's tests and the
// load test: initdb into a fresh temporary folder, pg_ctl on a free port,
// stopped and removed when the object goes. Run as root (as CI does), both
// run as the postgres user through runuser, since the server refuses root.
// A watchdog process kills the server and removes its folder should this
// process die without running its destructors (a crash, an abort, SIGKILL).

#include <sys/types.h>

#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "support/TempFolder.h"

namespace qp::test {

class PostgresServer {
public:
    struct Settings {
        // Off: no fsync at commit, for quick tests. On: as a real server runs.
        bool durable = false;
        int maxConnections = 100;
    };

    // The folder holding initdb and pg_ctl: $QP_POSTGRES_BIN, else the newest
    // /usr/lib/postgresql/<version>/bin; none, with the reason, when absent.
    static std::optional<std::filesystem::path> findBinaries(std::string& whyNot);

    // Starts a new server; null with the reason in `error` when it cannot.
    static std::unique_ptr<PostgresServer> start(const std::filesystem::path& binaries,
                                                 Settings settings, std::string& error);
    ~PostgresServer();
    PostgresServer(const PostgresServer&) = delete;
    PostgresServer& operator=(const PostgresServer&) = delete;

    int port() const { return m_port; }
    // postgresql://postgres@127.0.0.1:PORT/DATABASE
    std::string url(const std::string& database = "postgres") const;

    // Makes an empty database with a name never used before on this server
    // and gives its URL; empty with the reason in `error` when it fails.
    std::string createDatabase(std::string& error);
    // Runs SQL (several statements allowed) on `database`; the error, or empty.
    std::string execute(const std::string& database, const std::string& sql) const;

private:
    PostgresServer() = default;
    bool run(const std::string& tool, const std::vector<std::string>& arguments,
             std::string& error) const;
    void stop();

    std::unique_ptr<TempFolder> m_folder;
    std::filesystem::path m_binaries;
    int m_port = 0;
    pid_t m_postmaster = -1;
    pid_t m_watchdog = -1;
    int m_watchdogPipe = -1;
    int m_databases = 0;
};

// One server for every test of this process, started at first use and
// stopped at exit; null with the reason when there is none. `skipReason` is
// set only when the server binaries are absent (a test may then skip); any
// other failure to start is in `error` (a test must then fail).
PostgresServer* sharedPostgresServer(std::string& skipReason, std::string& error);

}  // namespace qp::test
