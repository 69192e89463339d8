#pragma once
// The layout of the SQLite store, as numbered steps. A database records the
// last step applied in its user_version; opening it applies the later ones,
// each in its own transaction.

#include <string>
#include <vector>

#include "platform/Result.h"
#include "service/SqliteDatabase.h"

namespace qp {

// Index i holds the SQL that takes a database from version i to i + 1.
const std::vector<std::string>& sqliteMigrations();
inline int latestSqliteVersion() {
    return static_cast<int>(sqliteMigrations().size());
}

// Brings `db` to `targetVersion` (the latest by default). A database newer
// than this program knows is an error; so is one that another program holds
// locked, since the first step takes the write lock.
Result<void> migrateSqlite(SqliteDatabase& db, int targetVersion = latestSqliteVersion());

}  // namespace qp
