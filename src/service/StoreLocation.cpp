#include "service/StoreLocation.h"

#include <cstdlib>
#include <system_error>

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

Result<StoreLocation> parseStoreUrl(const std::string& url) {
    const std::string scheme = kSqliteScheme;
    if (url.compare(0, scheme.size(), scheme) != 0) {
        return serviceError(ServiceErrorCode::UnknownStore,
                            "'" + url + "' is not a database this quillpost can use; give " +
                                "sqlite:PATH, or sqlite: for " + defaultDatabasePath().string());
    }
    StoreLocation location;
    const std::string path = url.substr(scheme.size());
    location.path = path.empty() ? defaultDatabasePath() : std::filesystem::path(path);
    return location;
}

Result<std::unique_ptr<AnalyticsStore>> openStore(const StoreLocation& location,
                                                  StoreAccess access) {
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
