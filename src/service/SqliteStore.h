#pragma once
// The analytics store in one SQLite file: write-ahead log, full sync at every
// commit (an acknowledged report survives a power cut), migrations applied at
// opening. One connection, used by one thread at a time under a lock.

#include <chrono>
#include <filesystem>
#include <memory>
#include <mutex>

#include "service/AnalyticsStore.h"
#include "service/SqliteDatabase.h"

namespace qp {

class SqliteStore final : public AnalyticsStore {
public:
    struct Options {
        SqliteDatabase::Mode mode = SqliteDatabase::Mode::ReadWrite;
        // How long to wait for another program's lock before giving up.
        std::chrono::milliseconds busyTimeout{5000};
    };

    // Opens the file, checks it is a sound database that this user may use
    // as asked, and (ReadWrite) brings its layout up to date. A read-only
    // opening needs the layout up to date already.
    static Result<std::unique_ptr<SqliteStore>> open(const std::filesystem::path& path,
                                                     Options options);
    static Result<std::unique_ptr<SqliteStore>> open(const std::filesystem::path& path) {
        return open(path, Options{});
    }

    Result<StoreOutcome> storeReport(const PreparedReport& report) override;
    Result<UsageFigures> figures() override;
    Result<std::optional<SessionRecord>> session(const std::string& sessionId) override;

private:
    explicit SqliteStore(SqliteDatabase db) : m_db(std::move(db)) {}

    Result<void> insertSession(const PreparedSession& session, const ReportHead& head,
                               std::int64_t receivedMilliseconds);
    Result<std::vector<NamedCount>> namedCounts(const std::string& sql, const char* first = nullptr,
                                                const char* second = nullptr);

    std::mutex m_mutex;
    SqliteDatabase m_db;
};

}  // namespace qp
