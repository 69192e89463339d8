#include "service/SqliteStore.h"

#include <sqlite3.h>

#include "service/ServiceErrors.h"
#include "service/SqliteMigrations.h"

namespace qp {
namespace {

std::int64_t nowMilliseconds() {
    return std::chrono::duration_cast<std::chrono::milliseconds>(
               std::chrono::system_clock::now().time_since_epoch())
        .count();
}

Result<void> checkSound(SqliteDatabase& db) {
    Result<SqliteStatement> check = db.prepare("PRAGMA quick_check(1)");
    if (!check.ok()) return check.error();
    if (!check->step()) {
        if (check->failed()) return check->error();
        return db.errorFor(SQLITE_CORRUPT, "check");
    }
    const std::string verdict = check->text(0);
    if (verdict != "ok") {
        return serviceError(ServiceErrorCode::StoreUnavailable,
                            "The analytics database " + db.path().string() + " is damaged (" +
                                verdict + "); move it aside and start with a new file");
    }
    return {};
}

Result<void> prepareForWriting(SqliteDatabase& db) {
    if (db.readOnly()) return db.errorFor(SQLITE_READONLY, "write to");
    // WAL lets reports be read while the service writes.
    {
        Result<SqliteStatement> journal = db.prepare("PRAGMA journal_mode = WAL");
        if (!journal.ok()) return journal.error();
        if (!journal->step()) return journal->error();
        if (journal->text(0) != "wal") return db.errorFor(SQLITE_BUSY, "switch to WAL");
    }
    return migrateSqlite(db);
}

Result<void> checkCurrentLayout(SqliteDatabase& db) {
    const Result<std::int64_t> version = db.integer("PRAGMA user_version");
    if (!version.ok()) return version.error();
    if (*version == latestSqliteVersion()) return {};
    return serviceError(ServiceErrorCode::StoreUnavailable,
                        "The analytics database " + db.path().string() + " has layout version " +
                            std::to_string(*version) + " where this quillpost reads " +
                            std::to_string(latestSqliteVersion()) +
                            (*version < latestSqliteVersion()
                                 ? "; run 'quillpost analytics serve' on it once to update it"
                                 : "; use a newer quillpost"));
}

// Rolls back unless committed.
class Transaction {
public:
    explicit Transaction(SqliteDatabase& db) : m_db(db) {}
    ~Transaction() {
        if (m_open) ignoreResult(m_db.execute("ROLLBACK"));
    }
    Result<void> begin() {
        Result<void> begun = m_db.execute("BEGIN IMMEDIATE");
        m_open = begun.ok();
        return begun;
    }
    Result<void> commit() {
        Result<void> done = m_db.execute("COMMIT");
        if (done.ok()) m_open = false;
        return done;
    }

private:
    SqliteDatabase& m_db;
    bool m_open = false;
};

}  // namespace

Result<std::unique_ptr<SqliteStore>> SqliteStore::open(const std::filesystem::path& path,
                                                       Options options) {
    Result<SqliteDatabase> db = SqliteDatabase::open(path, options.mode, options.busyTimeout);
    if (!db.ok()) return db.error();
    if (Result<void> sound = checkSound(*db); !sound.ok()) return sound.error();
    if (Result<void> keys = db->execute("PRAGMA foreign_keys = ON; PRAGMA synchronous = FULL");
        !keys.ok()) {
        return keys.error();
    }
    Result<void> ready = options.mode == SqliteDatabase::Mode::ReadWrite ? prepareForWriting(*db)
                                                                         : checkCurrentLayout(*db);
    if (!ready.ok()) return ready.error();
    return std::unique_ptr<SqliteStore>(new SqliteStore(std::move(db).value()));
}

Result<StoreOutcome> SqliteStore::storeReport(const PreparedReport& report) {
    std::lock_guard lock(m_mutex);
    Transaction transaction(m_db);
    if (Result<void> begun = transaction.begin(); !begun.ok()) return begun.error();
    Result<SqliteStatement> find = m_db.prepare(
        "SELECT id, logged_events, counted_events, ended_ms FROM sessions WHERE session_id = ?");
    Result<SqliteStatement> remove = m_db.prepare("DELETE FROM sessions WHERE id = ?");
    if (!find.ok()) return find.error();
    if (!remove.ok()) return remove.error();

    const std::int64_t received = nowMilliseconds();
    StoreOutcome outcome;
    for (const PreparedSession& session : report.sessions) {
        find->reset();
        find->bind(1, std::string_view(session.record.sessionId));
        if (find->step()) {
            const SessionFullness stored{find->integer(1), find->integer(2),
                                         find->optionalInteger(3)};
            if (!isFuller(session.fullness, stored)) {
                ++outcome.kept;
                continue;
            }
            remove->bind(1, find->integer(0));
            if (Result<void> removed = remove->run(); !removed.ok()) return removed.error();
            ++outcome.replaced;
        } else if (find->failed()) {
            return find->error();
        } else {
            ++outcome.added;
        }
        if (Result<void> inserted = insertSession(session, report.head, received); !inserted.ok()) {
            return inserted.error();
        }
    }
    if (Result<void> done = transaction.commit(); !done.ok()) return done.error();
    return outcome;
}

Result<void> SqliteStore::insertSession(const PreparedSession& session, const ReportHead& head,
                                        std::int64_t receivedMilliseconds) {
    const SessionRecord& record = session.record;
    Result<SqliteStatement> insert = m_db.prepare(
        "INSERT INTO sessions (session_id, api_key, agent_version, app_version, started_ms, "
        "ended_ms, paused_ms, crashed, event_log_complete, event_logging_enabled, "
        "network_access, logged_events, counted_events, received_ms) "
        "VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?)");
    if (!insert.ok()) return insert.error();
    insert->bind(1, std::string_view(record.sessionId));
    insert->bind(2, std::string_view(head.apiKey));
    insert->bind(3, std::string_view(head.agentVersion));
    insert->bind(4, std::string_view(record.appVersion));
    insert->bind(5, record.startMilliseconds);
    insert->bind(6, record.endMilliseconds);
    insert->bind(7, record.pausedMilliseconds);
    insert->bind(8, std::int64_t{record.crashed});
    insert->bind(9, std::int64_t{record.eventLogComplete});
    insert->bind(10, std::int64_t{record.eventLoggingEnabled});
    insert->bind(11, static_cast<std::int64_t>(record.networkAccess));
    insert->bind(12, session.fullness.loggedEvents);
    insert->bind(13, session.fullness.countedEvents);
    insert->bind(14, receivedMilliseconds);
    if (Result<void> done = insert->run(); !done.ok()) return done;
    const std::int64_t sessionRow = m_db.lastInsertedRow();

    Result<SqliteStatement> count = m_db.prepare(
        "INSERT INTO event_counts (session, position, name, count) VALUES (?, ?, ?, ?)");
    Result<SqliteStatement> event = m_db.prepare(
        "INSERT INTO events (session, position, log_id, name, timed, started_ms, "
        "ended_automatically, has_parameters) VALUES (?, ?, ?, ?, ?, ?, ?, ?)");
    Result<SqliteStatement> parameter = m_db.prepare(
        "INSERT INTO event_parameters (event, position, key, value) VALUES (?, ?, ?, ?)");
    if (!count.ok()) return count.error();
    if (!event.ok()) return event.error();
    if (!parameter.ok()) return parameter.error();

    std::int64_t position = 0;
    for (const auto& [name, times] : record.eventCounts) {
        count->bind(1, sessionRow);
        count->bind(2, position++);
        count->bind(3, std::string_view(name));
        count->bind(4, std::int64_t{times});
        if (Result<void> done = count->run(); !done.ok()) return done;
    }
    position = 0;
    for (const EventRecord& logged : record.events) {
        event->bind(1, sessionRow);
        event->bind(2, position++);
        event->bind(3, std::int64_t{logged.logId});
        event->bind(4, std::string_view(logged.name));
        event->bind(5, std::int64_t{logged.timed});
        event->bind(6, logged.startMilliseconds);
        event->bind(7, std::int64_t{logged.automaticallyEnded});
        event->bind(8, std::int64_t{logged.parameters.has_value()});
        if (Result<void> done = event->run(); !done.ok()) return done;
        if (!logged.parameters) continue;
        const std::int64_t eventRow = m_db.lastInsertedRow();
        std::int64_t index = 0;
        for (const auto& [key, value] : *logged.parameters) {
            parameter->bind(1, eventRow);
            parameter->bind(2, index++);
            parameter->bind(3, std::string_view(key));
            parameter->bind(4, std::string_view(value));
            if (Result<void> done = parameter->run(); !done.ok()) return done;
        }
    }
    return {};
}

Result<std::vector<NamedCount>> SqliteStore::namedCounts(const std::string& sql, const char* first,
                                                         const char* second) {
    Result<SqliteStatement> query = m_db.prepare(sql);
    if (!query.ok()) return query.error();
    if (first) query->bind(1, std::string_view(first));
    if (second) query->bind(2, std::string_view(second));
    std::vector<NamedCount> counts;
    while (query->step()) counts.push_back({query->text(0), query->integer(1)});
    if (query->failed()) return query->error();
    return counts;
}

Result<UsageFigures> SqliteStore::figures() {
    std::lock_guard lock(m_mutex);
    // One read transaction: every figure from the same moment.
    if (Result<void> begun = m_db.execute("BEGIN"); !begun.ok()) return begun.error();
    struct EndRead {
        SqliteDatabase& db;
        ~EndRead() { ignoreResult(db.execute("COMMIT")); }
    } endRead{m_db};

    UsageFigures figures;
    const Result<std::int64_t> sessions = m_db.integer("SELECT COUNT(*) FROM sessions");
    const Result<std::int64_t> events =
        m_db.integer("SELECT COALESCE(SUM(count), 0) FROM event_counts");
    if (!sessions.ok()) return sessions.error();
    if (!events.ok()) return events.error();
    figures.sessions = *sessions;
    figures.events = *events;

    Result<std::vector<NamedCount>> perDay = namedCounts(
        "SELECT date(started_ms / 1000, 'unixepoch') AS day, COUNT(*) FROM sessions "
        "GROUP BY day ORDER BY day");
    Result<std::vector<NamedCount>> top = namedCounts(
        "SELECT name, SUM(count) AS total FROM event_counts GROUP BY name "
        "ORDER BY total DESC, name LIMIT " +
        std::to_string(kTopEventCount));
    const std::string bySession =
        "SELECT p.value, COUNT(DISTINCT e.session) AS total FROM events e "
        "JOIN event_parameters p ON p.event = e.id WHERE e.name = ? AND p.key = ? "
        "GROUP BY p.value ORDER BY total DESC, p.value";
    Result<std::vector<NamedCount>> classes =
        namedCounts(bySession, kDeviceClassEvent, kDeviceClassParameter);
    Result<std::vector<NamedCount>> versions =
        namedCounts(bySession, kSystemVersionEvent, kSystemVersionParameter);
    for (const auto* part : {&perDay, &top, &classes, &versions}) {
        if (!part->ok()) return part->error();
    }
    figures.sessionsPerDay = std::move(perDay).value();
    figures.topEvents = std::move(top).value();
    figures.deviceClasses = std::move(classes).value();
    figures.systemVersions = std::move(versions).value();
    return figures;
}

Result<std::optional<SessionRecord>> SqliteStore::session(const std::string& sessionId) {
    std::lock_guard lock(m_mutex);
    Result<SqliteStatement> head = m_db.prepare(
        "SELECT id, app_version, started_ms, ended_ms, paused_ms, crashed, event_log_complete, "
        "event_logging_enabled, network_access FROM sessions WHERE session_id = ?");
    if (!head.ok()) return head.error();
    head->bind(1, std::string_view(sessionId));
    if (!head->step()) {
        if (head->failed()) return head->error();
        return std::optional<SessionRecord>();
    }
    SessionRecord record;
    const std::int64_t row = head->integer(0);
    record.sessionId = sessionId;
    record.appVersion = head->text(1);
    record.startMilliseconds = head->integer(2);
    record.endMilliseconds = head->optionalInteger(3);
    record.pausedMilliseconds = head->integer(4);
    record.crashed = head->integer(5) != 0;
    record.eventLogComplete = head->integer(6) != 0;
    record.eventLoggingEnabled = head->integer(7) != 0;
    record.networkAccess = static_cast<NetworkAccess>(head->integer(8));

    Result<SqliteStatement> counts =
        m_db.prepare("SELECT name, count FROM event_counts WHERE session = ? ORDER BY position");
    if (!counts.ok()) return counts.error();
    counts->bind(1, row);
    while (counts->step()) {
        record.eventCounts.emplace_back(counts->text(0),
                                        static_cast<std::int32_t>(counts->integer(1)));
    }
    if (counts->failed()) return counts->error();

    Result<SqliteStatement> events = m_db.prepare(
        "SELECT id, log_id, name, timed, started_ms, ended_automatically, has_parameters "
        "FROM events WHERE session = ? ORDER BY position");
    Result<SqliteStatement> parameters =
        m_db.prepare("SELECT key, value FROM event_parameters WHERE event = ? ORDER BY position");
    if (!events.ok()) return events.error();
    if (!parameters.ok()) return parameters.error();
    events->bind(1, row);
    while (events->step()) {
        EventRecord event;
        event.logId = static_cast<std::int32_t>(events->integer(1));
        event.name = events->text(2);
        event.timed = events->integer(3) != 0;
        event.startMilliseconds = events->integer(4);
        event.automaticallyEnded = events->integer(5) != 0;
        if (events->integer(6) != 0) {
            ParameterList list;
            parameters->reset();
            parameters->bind(1, events->integer(0));
            while (parameters->step()) list.emplace_back(parameters->text(0), parameters->text(1));
            if (parameters->failed()) return parameters->error();
            event.parameters = std::move(list);
        }
        record.events.push_back(std::move(event));
    }
    if (events->failed()) return events->error();
    return std::optional<SessionRecord>(std::move(record));
}

}  // namespace qp
