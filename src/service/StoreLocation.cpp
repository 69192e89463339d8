#include "service/StoreLocation.h"

#include <cstdlib>
#include <system_error>

#include "service/PostgresConnection.h"
#include "service/PostgresStore.h"
#include "service/ServiceErrors.h"
#include "service/SqliteStore.h"

namespace qp {

std::filesystem::path defaultDatabasePath() {
    const char* dataHome = std::getenv("XDG_DATA_HOME");
    std::filesystem::path folder;
    if (dataHome && *dataHome) {
        folder = dataHome;
    } else {
        const char* home = std::getenv("HOME");
        folder = std::filesystem::path(home && *home ? home : ".") / ".local" / "share";
    }
    return folder / "quillpost" / kDefaultDatabaseName;
}

namespace {

bool startsWith(const std::string& text, const std::string& prefix) {
    return text.compare(0, prefix.size(), prefix) == 0;
}

}  // namespace

Result<StoreLocation> parseStoreUrl(const std::string& url) {
    StoreLocation location;
    if (startsWith(url, kPostgresScheme) || startsWith(url, kPostgresShortScheme)) {
        location.kind = StoreLocation::Kind::Postgres;
        location.url = url;
        return location;
    }
    const std::string scheme = kSqliteScheme;
    if (!startsWith(url, scheme)) {
        return serviceError(ServiceErrorCode::UnknownStore,
                            "'" + withoutPassword(url) +
                                "' is not a database this quillpost can use; give sqlite:PATH, " +
                                "sqlite: for " + defaultDatabasePath().string() +
                                ", or postgresql://USER@HOST:PORT/DATABASE");
    }
    const std::string path = url.substr(scheme.size());
    location.path = path.empty() ? defaultDatabasePath() : std::filesystem::path(path);
    return location;
}

std::string describeStoreLocation(const StoreLocation& location) {
    return location.kind == StoreLocation::Kind::Postgres ? withoutPassword(location.url)
                                                          : location.path.string();
}

Result<std::unique_ptr<AnalyticsStore>> openStore(const StoreLocation& location,
                                                  StoreAccess access) {
    if (location.kind == StoreLocation::Kind::Postgres) {
        PostgresStore::Options options;
        options.readOnly = access == StoreAccess::ReadOnly;
        Result<std::unique_ptr<PostgresStore>> store = PostgresStore::open(location.url, options);
        if (!store.ok()) return store.error();
        return std::unique_ptr<AnalyticsStore>(std::move(store).value());
    }
    SqliteStore::Options options;
    if (access == StoreAccess::ReadOnly) {
        options.mode = SqliteDatabase::Mode::ReadOnly;
        std::error_code ec;
        if (!std::filesystem::exists(location.path, ec)) {
            return serviceError(ServiceErrorCode::StoreUnavailable,
                                "No analytics database at " + location.path.string() +
                                    "; start 'quillpost analytics serve' to make one, or " +
                                    "point --db at another");
        }
    } else if (location.path == defaultDatabasePath()) {
        std::error_code ec;
        std::filesystem::create_directories(location.path.parent_path(), ec);
    }
    Result<std::unique_ptr<SqliteStore>> store = SqliteStore::open(location.path, options);
    if (!store.ok()) return store.error();
    return std::unique_ptr<AnalyticsStore>(std::move(store).value());
}

}  // namespace qp
