#pragma once
// The --db URL of `quillpost analytics`: which store, and where.
// "sqlite:PATH", "sqlite:" for the file in the user's data folder, or a
// PostgreSQL URL, postgresql://USER@HOST:PORT/DATABASE (libpq's syntax).

#include <filesystem>
#include <memory>
#include <string>

#include "platform/Result.h"
#include "service/AnalyticsStore.h"

namespace qp {

inline constexpr const char* kSqliteScheme = "sqlite:";
inline constexpr const char* kDefaultDatabaseName = "analytics.sqlite";
inline constexpr const char* kPostgresScheme = "postgresql://";
inline constexpr const char* kPostgresShortScheme = "postgres://";

struct StoreLocation {
    enum class Kind { Sqlite, Postgres };
    Kind kind = Kind::Sqlite;
    std::filesystem::path path;  // Sqlite
    std::string url;             // Postgres, as given
};

// Where the store is, for messages: the file, or the URL without a password.
std::string describeStoreLocation(const StoreLocation& location);

// $XDG_DATA_HOME/quillpost/analytics.sqlite, else under ~/.local/share.
std::filesystem::path defaultDatabasePath();

// An UnknownStore error for a URL of another kind, naming the kinds we take.
Result<StoreLocation> parseStoreUrl(const std::string& url);

enum class StoreAccess { ReadWrite, ReadOnly };

// Opens the store; ReadWrite creates the default file's folder when missing.
Result<std::unique_ptr<AnalyticsStore>> openStore(const StoreLocation& location,
                                                  StoreAccess access);

}  // namespace qp
