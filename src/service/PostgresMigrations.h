#pragma once
// The layout of the PostgreSQL store, as numbered steps that mirror the
// SQLite ones. The table quillpost_layout holds the last step applied; the
// steps run under an advisory lock, so services starting together against
// one database apply each step once.

#include <string>
#include <vector>

#include "platform/Result.h"
#include "service/PostgresConnection.h"

namespace qp {

// Index i holds the SQL that takes a database from version i to i + 1.
const std::vector<std::string>& postgresMigrations();
inline int latestPostgresVersion() {
    return static_cast<int>(postgresMigrations().size());
}

// The layout version of the database; 0 for one we have not touched.
Result<int> postgresLayoutVersion(PostgresConnection& db);

// Brings the database to `targetVersion` (the latest by default), each step
// in its own transaction. A database newer than this program knows is an
// error.
Result<void> migratePostgres(PostgresConnection& db, int targetVersion = latestPostgresVersion());

}  // namespace qp
