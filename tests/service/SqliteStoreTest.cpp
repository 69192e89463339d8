// The SQLite store's own side: its journal, migrations from an empty and an
// older file, and files it must refuse at opening rather than lose data
// later. What every store does is in AnalyticsStoreTest.

#include <gtest/gtest.h>

#include <sqlite3.h>
#include <sys/stat.h>

#include <fstream>

#include "service/ServiceErrors.h"
#include "service/ServiceSamples.h"
#include "service/SqliteMigrations.h"
#include "service/SqliteStore.h"
#include "support/TempFolder.h"

using namespace qp;
using namespace qp::test;
namespace fs = std::filesystem;

namespace {

class SqliteStoreTest : public ::testing::Test {
protected:
    fs::path file() const { return m_folder.path() / "analytics.sqlite"; }

    std::unique_ptr<SqliteStore> open(SqliteStore::Options options = {}) {
        Result<std::unique_ptr<SqliteStore>> store = SqliteStore::open(file(), options);
        EXPECT_TRUE(store.ok()) << store.error().toString();
        return store.ok() ? std::move(store).value() : nullptr;
    }

    std::string openingError(SqliteStore::Options options = {}) {
        Result<std::unique_ptr<SqliteStore>> store = SqliteStore::open(file(), options);
        EXPECT_FALSE(store.ok());
        return store.ok() ? std::string() : store.error().description();
    }

    // Runs raw SQL on the file, as another program would.
    void sql(const std::string& text) {
        sqlite3* db = nullptr;
        ASSERT_EQ(sqlite3_open(file().c_str(), &db), SQLITE_OK);
        char* message = nullptr;
        const int code = sqlite3_exec(db, text.c_str(), nullptr, nullptr, &message);
        EXPECT_EQ(code, SQLITE_OK) << (message ? message : "");
        sqlite3_free(message);
        sqlite3_close(db);
    }

    static StoreOutcome store(SqliteStore& store, const std::vector<SessionRecord>& sessions) {
        Result<StoreOutcome> outcome = store.storeReport(prepared(sessions));
        EXPECT_TRUE(outcome.ok()) << outcome.error().toString();
        return outcome.ok() ? *outcome : StoreOutcome{};
    }

    static std::optional<SessionRecord> stored(SqliteStore& store, const std::string& id) {
        Result<std::optional<SessionRecord>> found = store.session(id);
        EXPECT_TRUE(found.ok()) << found.error().toString();
        return found.ok() ? *found : std::nullopt;
    }

private:
    TempFolder m_folder;
};

}  // namespace

TEST_F(SqliteStoreTest, UsesAWriteAheadLogAndTheLatestLayout) {
    open();
    sqlite3* raw = nullptr;
    ASSERT_EQ(sqlite3_open(file().c_str(), &raw), SQLITE_OK);
    sqlite3_stmt* statement = nullptr;
    sqlite3_prepare_v2(raw, "PRAGMA journal_mode", -1, &statement, nullptr);
    ASSERT_EQ(sqlite3_step(statement), SQLITE_ROW);
    EXPECT_STREQ(reinterpret_cast<const char*>(sqlite3_column_text(statement, 0)), "wal");
    sqlite3_finalize(statement);
    sqlite3_prepare_v2(raw, "PRAGMA user_version", -1, &statement, nullptr);
    ASSERT_EQ(sqlite3_step(statement), SQLITE_ROW);
    EXPECT_EQ(sqlite3_column_int(statement, 0), latestSqliteVersion());
    sqlite3_finalize(statement);
    sqlite3_close(raw);
}

TEST_F(SqliteStoreTest, BringsAnOlderFileUpToDateKeepingItsSessions) {
    {
        Result<SqliteDatabase> db = SqliteDatabase::open(file(), SqliteDatabase::Mode::ReadWrite,
                                                         std::chrono::milliseconds(0));
        ASSERT_TRUE(db.ok());
        ASSERT_TRUE(migrateSqlite(*db, 1).ok());
    }
    // A session as the first layout kept it: events and parameters, no counts.
    sql("INSERT INTO sessions VALUES (1, 'old', 'KEY', 'qp-0.1', '0.1.0', " +
        std::to_string(kDecemberFirst) +
        ", NULL, 0, 0, 1, 1, 0, 3, 1);"
        "INSERT INTO events VALUES (1, 1, 0, 1, 'tap', 0, 1, 0, 0);"
        "INSERT INTO events VALUES (2, 1, 1, 2, 'tap', 0, 2, 0, 0);"
        "INSERT INTO events VALUES (3, 1, 2, 3, '3-Device Class:', 0, 3, 0, 1);"
        "INSERT INTO event_parameters VALUES (3, 0, 'Device Class', 'iPad');");
    auto db = open();
    ASSERT_TRUE(db);
    const std::optional<SessionRecord> old = stored(*db, "old");
    ASSERT_TRUE(old);
    EXPECT_EQ(old->eventCounts, (std::vector<std::pair<std::string, std::int32_t>>{
                                    {"3-Device Class:", 1}, {"tap", 2}}));
    const UsageFigures figures = db->figures().value();
    EXPECT_EQ(figures.events, 3);
    EXPECT_EQ(figures.topEvents, (std::vector<NamedCount>{{"tap", 2}, {"3-Device Class:", 1}}));
    // Its counts now weigh in: a copy with the same three events is no fuller.
    SessionRecord same = session("old", 3);
    EXPECT_EQ(store(*db, {same}), (StoreOutcome{0, 0, 1}));
}

TEST_F(SqliteStoreTest, RefusesFilesItCannotUseSafely) {
    struct Case {
        const char* what;
        std::function<void(const fs::path&)> make;
        const char* says;
    };
    const std::vector<Case> cases = {
        {"not a database", [](const fs::path& f) { std::ofstream(f) << std::string(4096, 'x'); },
         "not a database"},
        {"newer layout", [this](const fs::path&) { sql("PRAGMA user_version = 99"); },
         "newer quillpost"},
        {"read-only file",
         [this](const fs::path& f) {
             sql("CREATE TABLE t (x)");
             chmod(f.c_str(), 0444);
         },
         "cannot be written"},
        {"missing folder", [](const fs::path&) {}, "cannot be opened"},
        {"damaged page",
         [](const fs::path& f) {
             {
                 auto db = SqliteStore::open(f).value();
                 ASSERT_TRUE(db->storeReport(prepared({session("a", 30), session("b", 30)})).ok());
             }
             std::fstream bytes(f, std::ios::in | std::ios::out | std::ios::binary);
             bytes.seekp(4096);
             bytes << std::string(4096, '\xff');
         },
         "damaged"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        if (geteuid() == 0 && std::string(c.what) == "read-only file") continue;  // root writes all
        fs::remove(file());
        c.make(file());
        SqliteStore::Options options;
        options.busyTimeout = std::chrono::milliseconds(0);
        const fs::path path =
            std::string(c.what) == "missing folder" ? file().parent_path() / "no" / "db" : file();
        Result<std::unique_ptr<SqliteStore>> store = SqliteStore::open(path, options);
        ASSERT_FALSE(store.ok());
        EXPECT_NE(store.error().description().find(c.says), std::string::npos)
            << store.error().description();
        EXPECT_NE(store.error().description().find(path.string()), std::string::npos);
        chmod(file().c_str(), 0644);
    }
}

TEST_F(SqliteStoreTest, ALockedFileIsAnErrorAtOpeningNotALaterLoss) {
    open();
    sqlite3* other = nullptr;
    ASSERT_EQ(sqlite3_open(file().c_str(), &other), SQLITE_OK);
    ASSERT_EQ(sqlite3_exec(other, "BEGIN EXCLUSIVE", nullptr, nullptr, nullptr), SQLITE_OK);
    SqliteStore::Options options;
    options.busyTimeout = std::chrono::milliseconds(0);
    EXPECT_NE(openingError(options).find("locked"), std::string::npos);
    sqlite3_exec(other, "ROLLBACK", nullptr, nullptr, nullptr);
    sqlite3_close(other);
    EXPECT_TRUE(open(options));
}

TEST_F(SqliteStoreTest, ReadingNeedsAnUpToDateLayout) {
    SqliteStore::Options reading;
    reading.mode = SqliteDatabase::Mode::ReadOnly;
    {
        Result<SqliteDatabase> db = SqliteDatabase::open(file(), SqliteDatabase::Mode::ReadWrite,
                                                         std::chrono::milliseconds(0));
        ASSERT_TRUE(db.ok());
        ASSERT_TRUE(migrateSqlite(*db, 1).ok());
    }
    EXPECT_NE(openingError(reading).find("analytics serve"), std::string::npos);
    open();
    auto db = open(reading);
    ASSERT_TRUE(db);
    EXPECT_EQ(db->figures().value().sessions, 0);
}
