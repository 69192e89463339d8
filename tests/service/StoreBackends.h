#pragma once
// Runs a store test against each kind of store: a SQLite file in a temporary
// folder, and a database on a PostgreSQL server the test starts on
// 127.0.0.1 (skipped, saying why, where the server binaries are absent).

#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "service/AnalyticsStore.h"
#include "service/PostgresServer.h"
#include "service/PostgresStore.h"
#include "service/SqliteStore.h"
#include "support/TempFolder.h"

namespace qp::test {

enum class StoreKind { Sqlite, Postgres };

inline std::string storeKindName(const ::testing::TestParamInfo<StoreKind>& info) {
    return info.param == StoreKind::Sqlite ? "Sqlite" : "Postgres";
}

class StoreBackendTest : public ::testing::TestWithParam<StoreKind> {
protected:
    void SetUp() override {
        if (GetParam() == StoreKind::Postgres) {
            std::string skipReason, error;
            m_server = sharedPostgresServer(skipReason, error);
            if (!skipReason.empty()) GTEST_SKIP() << "No PostgreSQL here: " << skipReason;
            ASSERT_TRUE(m_server) << "The PostgreSQL server did not start: " << error;
        }
        startAfresh();
    }

    // Points open() at a new, empty store.
    void startAfresh() {
        if (GetParam() == StoreKind::Sqlite) {
            m_file = m_folder.path() / ("analytics" + std::to_string(++m_files) + ".sqlite");
            return;
        }
        std::string error;
        m_url = m_server->createDatabase(error);
        ASSERT_FALSE(m_url.empty()) << error;
    }

    // A new connection to the current store, as another service process
    // would open it.
    std::unique_ptr<AnalyticsStore> open() {
        Result<std::unique_ptr<AnalyticsStore>> store = openResult();
        EXPECT_TRUE(store.ok()) << store.error().toString();
        return store.ok() ? std::move(store).value() : nullptr;
    }

    Result<std::unique_ptr<AnalyticsStore>> openResult() {
        if (GetParam() == StoreKind::Sqlite) {
            Result<std::unique_ptr<SqliteStore>> store = SqliteStore::open(m_file);
            if (!store.ok()) return store.error();
            return std::unique_ptr<AnalyticsStore>(std::move(store).value());
        }
        Result<std::unique_ptr<PostgresStore>> store = PostgresStore::open(m_url);
        if (!store.ok()) return store.error();
        return std::unique_ptr<AnalyticsStore>(std::move(store).value());
    }

    PostgresServer* server() const { return m_server; }
    const std::string& url() const { return m_url; }

private:
    TempFolder m_folder;
    int m_files = 0;
    std::filesystem::path m_file;
    PostgresServer* m_server = nullptr;
    std::string m_url;
};

}  // namespace qp::test
