#pragma once
// The analytics store in a PostgreSQL database, for when the reports outgrow
// one file and several service processes share one database. Same layout
// and rules as the SQLite store: one row per session id (a unique key), one
// transaction per report, acknowledged only once committed. Concurrent
// writers of one session, in this process or another, meet on the session's
// row lock, so a fuller copy always wins and nothing is stored twice.
//
// Threads: each call takes a connection of its own from a pool, so reports
// are stored side by side; the pool grows to the number of calls at once.

#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "service/AnalyticsStore.h"
#include "service/PostgresConnection.h"

namespace qp {

class PostgresStore final : public AnalyticsStore {
public:
    struct Options {
        bool readOnly = false;
        int connectSeconds = 10;
        // Runs of a report's transaction when it lost a race with another
        // writer (a deadlock or serialisation failure) before giving up.
        int attempts = 4;
    };

    // Connects and (unless read-only) brings the layout up to date. A
    // read-only opening needs the layout up to date already.
    static Result<std::unique_ptr<PostgresStore>> open(const std::string& url, Options options);
    static Result<std::unique_ptr<PostgresStore>> open(const std::string& url) {
        return open(url, Options{});
    }

    Result<StoreOutcome> storeReport(const PreparedReport& report) override;
    Result<UsageFigures> figures() override;
    Result<std::optional<SessionRecord>> session(const std::string& sessionId) override;

private:
    PostgresStore(std::string url, Options options, PostgresConnection first);

    // A connection for this call, back to the pool when the holder goes.
    class Lease;
    Result<Lease> lease();
    void giveBack(std::unique_ptr<PostgresConnection> connection);

    std::string m_url;
    Options m_options;
    std::mutex m_mutex;
    std::vector<std::unique_ptr<PostgresConnection>> m_idle;
};

}  // namespace qp
