#include "service/SqliteMigrations.h"

#include "service/ServiceErrors.h"

namespace qp {

const std::vector<std::string>& sqliteMigrations() {
    static const std::vector<std::string> steps = {
        // 1: sessions, their logged events and the events' parameters.
        R"sql(
CREATE TABLE sessions (
    id INTEGER PRIMARY KEY,
    session_id TEXT NOT NULL UNIQUE,
    api_key TEXT NOT NULL,
    agent_version TEXT NOT NULL,
    app_version TEXT NOT NULL,
    started_ms INTEGER NOT NULL,
    ended_ms INTEGER,
    paused_ms INTEGER NOT NULL,
    crashed INTEGER NOT NULL,
    event_log_complete INTEGER NOT NULL,
    event_logging_enabled INTEGER NOT NULL,
    network_access INTEGER NOT NULL,
    logged_events INTEGER NOT NULL,
    received_ms INTEGER NOT NULL
);
CREATE TABLE events (
    id INTEGER PRIMARY KEY,
    session INTEGER NOT NULL REFERENCES sessions(id) ON DELETE CASCADE,
    position INTEGER NOT NULL,
    log_id INTEGER NOT NULL,
    name TEXT NOT NULL,
    timed INTEGER NOT NULL,
    started_ms INTEGER NOT NULL,
    ended_automatically INTEGER NOT NULL,
    has_parameters INTEGER NOT NULL
);
CREATE INDEX events_by_session ON events(session, position);
CREATE TABLE event_parameters (
    event INTEGER NOT NULL REFERENCES events(id) ON DELETE CASCADE,
    position INTEGER NOT NULL,
    key TEXT NOT NULL,
    value TEXT NOT NULL,
    PRIMARY KEY (event, position)
);
)sql",
        // 2: the sessions' count tables, which go on past the 1000 logged
        // events; older sessions get theirs from the events they logged.
        R"sql(
ALTER TABLE sessions ADD COLUMN counted_events INTEGER NOT NULL DEFAULT 0;
CREATE TABLE event_counts (
    session INTEGER NOT NULL REFERENCES sessions(id) ON DELETE CASCADE,
    position INTEGER NOT NULL,
    name TEXT NOT NULL,
    count INTEGER NOT NULL,
    PRIMARY KEY (session, position)
);
INSERT INTO event_counts (session, position, name, count)
    SELECT session, ROW_NUMBER() OVER (PARTITION BY session ORDER BY name) - 1, name, COUNT(*)
    FROM events GROUP BY session, name;
UPDATE sessions SET counted_events = logged_events;
CREATE INDEX sessions_by_start ON sessions(started_ms);
CREATE INDEX events_by_name ON events(name);
)sql",
    };
    return steps;
}

Result<void> migrateSqlite(SqliteDatabase& db, int targetVersion) {
    const std::vector<std::string>& steps = sqliteMigrations();
    for (;;) {
        // The write lock first, so two services starting together do not
        // both apply a step.
        if (Result<void> begun = db.execute("BEGIN IMMEDIATE"); !begun.ok()) return begun;
        const Result<std::int64_t> version = db.integer("PRAGMA user_version");
        if (!version.ok() || *version > static_cast<std::int64_t>(steps.size()) ||
            *version >= targetVersion) {
            ignoreResult(db.execute("ROLLBACK"));
            if (!version.ok()) return version.error();
            if (*version > static_cast<std::int64_t>(steps.size())) {
                return serviceError(ServiceErrorCode::StoreUnavailable,
                                    "The analytics database " + db.path().string() +
                                        " has layout version " + std::to_string(*version) +
                                        ", newer than this quillpost knows (" +
                                        std::to_string(steps.size()) + "); use a newer quillpost");
            }
            return {};
        }
        const std::string step = steps[static_cast<std::size_t>(*version)] +
                                 "PRAGMA user_version = " + std::to_string(*version + 1) + ";";
        if (Result<void> applied = db.execute(step); !applied.ok()) {
            ignoreResult(db.execute("ROLLBACK"));
            return applied;
        }
        if (Result<void> done = db.execute("COMMIT"); !done.ok()) {
            ignoreResult(db.execute("ROLLBACK"));
            return done;
        }
    }
}

}  // namespace qp
