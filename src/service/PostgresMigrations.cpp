#include "service/PostgresMigrations.h"

#include "service/ServiceErrors.h"

namespace qp {
namespace {

// Any number will do, as long as it is ours alone in the database.
constexpr const char* kLayoutLock = "SELECT pg_advisory_xact_lock(7164812309)";

}  // namespace

const std::vector<std::string>& postgresMigrations() {
    static const std::vector<std::string> steps = {
        // 1: sessions, their logged events and the events' parameters.
        R"sql(
CREATE TABLE sessions (
    id BIGINT GENERATED ALWAYS AS IDENTITY PRIMARY KEY,
    session_id TEXT NOT NULL UNIQUE,
    api_key TEXT NOT NULL,
    agent_version TEXT NOT NULL,
    app_version TEXT NOT NULL,
    started_ms BIGINT NOT NULL,
    ended_ms BIGINT,
    paused_ms BIGINT NOT NULL,
    crashed BOOLEAN NOT NULL,
    event_log_complete BOOLEAN NOT NULL,
    event_logging_enabled BOOLEAN NOT NULL,
    network_access SMALLINT NOT NULL,
    logged_events BIGINT NOT NULL,
    received_ms BIGINT NOT NULL
);
CREATE TABLE events (
    id BIGINT GENERATED ALWAYS AS IDENTITY PRIMARY KEY,
    session BIGINT NOT NULL REFERENCES sessions(id) ON DELETE CASCADE,
    position INTEGER NOT NULL,
    log_id INTEGER NOT NULL,
    name TEXT NOT NULL,
    timed BOOLEAN NOT NULL,
    started_ms BIGINT NOT NULL,
    ended_automatically BOOLEAN NOT NULL,
    has_parameters BOOLEAN NOT NULL
);
CREATE INDEX events_by_session ON events(session, position);
CREATE TABLE event_parameters (
    event BIGINT NOT NULL REFERENCES events(id) ON DELETE CASCADE,
    position INTEGER NOT NULL,
    key TEXT NOT NULL,
    value TEXT NOT NULL,
    PRIMARY KEY (event, position)
);
)sql",
        // 2: the sessions' count tables, which go on past the 1000 logged
        // events; older sessions get theirs from the events they logged.
        R"sql(
ALTER TABLE sessions ADD COLUMN counted_events BIGINT NOT NULL DEFAULT 0;
CREATE TABLE event_counts (
    session BIGINT NOT NULL REFERENCES sessions(id) ON DELETE CASCADE,
    position INTEGER NOT NULL,
    name TEXT NOT NULL,
    count BIGINT NOT NULL,
    PRIMARY KEY (session, position)
);
INSERT INTO event_counts (session, position, name, count)
    SELECT session, ROW_NUMBER() OVER (PARTITION BY session ORDER BY name COLLATE "C") - 1,
           name, COUNT(*)
    FROM events GROUP BY session, name;
UPDATE sessions SET counted_events = logged_events;
CREATE INDEX sessions_by_start ON sessions(started_ms);
CREATE INDEX events_by_name ON events(name);
)sql",
    };
    return steps;
}

Result<int> postgresLayoutVersion(PostgresConnection& db) {
    Result<std::int64_t> exists = db.integer(
        "SELECT COUNT(*) FROM pg_tables WHERE schemaname = current_schema() "
        "AND tablename = 'quillpost_layout'");
    if (!exists.ok()) return exists.error();
    if (*exists == 0) return 0;
    Result<std::int64_t> version = db.integer("SELECT version FROM quillpost_layout");
    if (!version.ok()) return version.error();
    return static_cast<int>(*version);
}

Result<void> migratePostgres(PostgresConnection& db, int targetVersion) {
    const std::vector<std::string>& steps = postgresMigrations();
    for (;;) {
        if (Result<void> begun = db.execute("BEGIN"); !begun.ok()) return begun;
        // Rolls back whatever is left open when we return early.
        struct EndTransaction {
            PostgresConnection& db;
            bool committed = false;
            ~EndTransaction() {
                if (!committed) ignoreResult(db.execute("ROLLBACK"));
            }
        } end{db};
        if (Result<void> locked = db.execute(kLayoutLock); !locked.ok()) return locked;
        if (Result<void> made = db.execute("CREATE TABLE IF NOT EXISTS quillpost_layout "
                                           "(version INTEGER NOT NULL);"
                                           "INSERT INTO quillpost_layout (version) SELECT 0 "
                                           "WHERE NOT EXISTS (SELECT 1 FROM quillpost_layout)");
            !made.ok()) {
            return made;
        }
        const Result<int> version = postgresLayoutVersion(db);
        if (!version.ok()) return version.error();
        if (*version > static_cast<int>(steps.size())) {
            return serviceError(ServiceErrorCode::StoreUnavailable,
                                "The analytics database has layout version " +
                                    std::to_string(*version) +
                                    ", newer than this quillpost knows (" +
                                    std::to_string(steps.size()) + "); use a newer quillpost");
        }
        if (*version >= targetVersion) return {};
        const std::string step =
            steps[static_cast<std::size_t>(*version)] +
            "UPDATE quillpost_layout SET version = " + std::to_string(*version + 1) + ";";
        if (Result<void> applied = db.execute(step); !applied.ok()) return applied;
        if (Result<void> done = db.execute("COMMIT"); !done.ok()) return done;
        end.committed = true;
    }
}

}  // namespace qp
