#pragma once
// A throwaway PostgreSQL server on 127.0.0.1 for the store's tests and the
// load test: initdb into a fresh temporary folder, pg_ctl on a free port,
// stopped and removed when the object goes. Run as root (as CI does), both
// run as the postgres user through runuser, since the server refuses root.
// A watchdog process kills the server and removes its folder should this
// process die without running its destructors (a crash, an abort, SIGKILL).
//
// The tests share one server between their processes (CTest runs every test
// in a process of its own, and starting a server per test would cost
// seconds each): see sharedPostgresServer.

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

    // The server the test processes share, started by the first of them.
    static std::unique_ptr<PostgresServer> shared(const std::filesystem::path& binaries,
                                                  std::string& error);

private:
    PostgresServer() = default;
    // initdb and pg_ctl start into `folder`, which the server's user owns.
    bool launch(const std::filesystem::path& folder, Settings settings, std::string& error);
    void stop();

    std::unique_ptr<TempFolder> m_folder;
    std::filesystem::path m_binaries;
    int m_port = 0;
    pid_t m_postmaster = -1;
    pid_t m_watchdog = -1;
    int m_watchdogPipe = -1;
    int m_databases = 0;
};

// One server for every test, started at first use by whichever test process
// comes first and shared by every later one while any of them runs; a
// reaper process stops and removes it a few seconds after the last one
// ended, however it ended (each holds a shared lock on a file for its
// lifetime, which the kernel lets go). Null with the reason when there is none. `skipReason` is
// set only when the server binaries are absent (a test may then skip); any
// other failure to start is in `error` (a test must then fail).
PostgresServer* sharedPostgresServer(std::string& skipReason, std::string& error);

}  // namespace qp::test
