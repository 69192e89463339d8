#include "service/PostgresStore.h"

#include <algorithm>
#include <chrono>
#include <map>

#include "service/PostgresMigrations.h"
#include "service/ServiceErrors.h"

namespace qp {
namespace {

std::int64_t nowMilliseconds() {
    return std::chrono::duration_cast<std::chrono::milliseconds>(
               std::chrono::system_clock::now().time_since_epoch())
        .count();
}

std::string number(std::int64_t value) {
    return std::to_string(value);
}

std::string boolean(bool value) {
    return value ? "t" : "f";
}

// An array literal for unnest(): {"a","b \"quoted\""}. Every element is
// quoted, so no text is read as NULL or split at a comma.
std::string textArray(const std::vector<std::string>& items) {
    std::string literal = "{";
    for (std::size_t i = 0; i < items.size(); ++i) {
        if (i) literal += ',';
        literal += '"';
        for (char c : items[i]) {
            if (c == '"' || c == '\\') literal += '\\';
            literal += c;
        }
        literal += '"';
    }
    return literal + "}";
}

std::string plainArray(const std::vector<std::string>& items) {
    std::string literal = "{";
    for (std::size_t i = 0; i < items.size(); ++i) literal += (i ? "," : "") + items[i];
    return literal + "}";
}

bool isLostRace(const Error& error) {
    const std::string state = sqlState(error);
    return state == kPgSerializationFailure || state == kPgDeadlockDetected;
}

Result<void> insertChildren(PostgresConnection& db, const std::string& sessionRow,
                            const SessionRecord& record) {
    if (!record.eventCounts.empty()) {
        std::vector<std::string> names, counts;
        for (const auto& [name, times] : record.eventCounts) {
            names.push_back(name);
            counts.push_back(number(times));
        }
        Result<void> done = db.execute(
            "INSERT INTO event_counts (session, position, name, count) "
            "SELECT $1, c.ord - 1, c.name, c.count "
            "FROM unnest($2::text[], $3::bigint[]) WITH ORDINALITY AS c(name, count, ord)",
            {sessionRow, textArray(names), plainArray(counts)});
        if (!done.ok()) return done;
    }
    if (record.events.empty()) return {};
    std::vector<std::string> logIds, names, timed, starts, automatic, hasParameters;
    for (const EventRecord& event : record.events) {
        logIds.push_back(number(event.logId));
        names.push_back(event.name);
        timed.push_back(boolean(event.timed));
        starts.push_back(number(event.startMilliseconds));
        automatic.push_back(boolean(event.automaticallyEnded));
        hasParameters.push_back(boolean(event.parameters.has_value()));
    }
    Result<PgRows> inserted = db.run(
        "INSERT INTO events (session, position, log_id, name, timed, started_ms, "
        "ended_automatically, has_parameters) "
        "SELECT $1, e.ord - 1, e.log_id, e.name, e.timed, e.started_ms, e.automatic, e.has "
        "FROM unnest($2::integer[], $3::text[], $4::boolean[], $5::bigint[], $6::boolean[], "
        "$7::boolean[]) WITH ORDINALITY AS e(log_id, name, timed, started_ms, automatic, has, ord) "
        "RETURNING position, id",
        {sessionRow, plainArray(logIds), textArray(names), plainArray(timed), plainArray(starts),
         plainArray(automatic), plainArray(hasParameters)});
    if (!inserted.ok()) return inserted.error();
    std::map<std::int64_t, std::string> eventRowAt;
    for (int row = 0; row < inserted->count(); ++row) {
        eventRowAt[inserted->integer(row, 0)] = inserted->text(row, 1);
    }
    std::vector<std::string> events, positions, keys, values;
    for (std::size_t index = 0; index < record.events.size(); ++index) {
        const std::optional<ParameterList>& parameters = record.events[index].parameters;
        if (!parameters) continue;
        std::int64_t position = 0;
        for (const auto& [key, value] : *parameters) {
            events.push_back(eventRowAt[static_cast<std::int64_t>(index)]);
            positions.push_back(number(position++));
            keys.push_back(key);
            values.push_back(value);
        }
    }
    if (events.empty()) return {};
    return db.execute(
        "INSERT INTO event_parameters (event, position, key, value) "
        "SELECT * FROM unnest($1::bigint[], $2::integer[], $3::text[], $4::text[])",
        {plainArray(events), plainArray(positions), textArray(keys), textArray(values)});
}

PgParameters sessionColumns(const PreparedSession& session, const ReportHead& head,
                            std::int64_t receivedMilliseconds) {
    const SessionRecord& record = session.record;
    return {record.sessionId,
            head.apiKey,
            head.agentVersion,
            record.appVersion,
            number(record.startMilliseconds),
            record.endMilliseconds ? std::optional(number(*record.endMilliseconds)) : std::nullopt,
            number(record.pausedMilliseconds),
            boolean(record.crashed),
            boolean(record.eventLogComplete),
            boolean(record.eventLoggingEnabled),
            number(static_cast<std::int64_t>(record.networkAccess)),
            number(session.fullness.loggedEvents),
            number(session.fullness.countedEvents),
            number(receivedMilliseconds)};
}

constexpr const char* kSessionColumns =
    "session_id, api_key, agent_version, app_version, started_ms, ended_ms, paused_ms, crashed, "
    "event_log_complete, event_logging_enabled, network_access, logged_events, counted_events, "
    "received_ms";

// Stores one session inside the report's transaction; says what it did.
Result<void> storeSession(PostgresConnection& db, const PreparedSession& session,
                          const ReportHead& head, std::int64_t received, StoreOutcome& outcome) {
    const PgParameters columns = sessionColumns(session, head, received);
    // A new id is added outright; a known one waits for, and then holds,
    // the lock on its row while the copies are compared.
    Result<PgRows> added =
        db.run(std::string("INSERT INTO sessions (") + kSessionColumns +
                   ") VALUES ($1, $2, $3, $4, $5, $6, $7, $8, $9, $10, $11, $12, $13, $14) "
                   "ON CONFLICT (session_id) DO NOTHING RETURNING id",
               columns);
    if (!added.ok()) return added.error();
    if (added->count() == 1) {
        ++outcome.added;
        return insertChildren(db, added->text(0, 0), session.record);
    }
    Result<PgRows> stored = db.run(
        "SELECT id, logged_events, counted_events, ended_ms FROM sessions "
        "WHERE session_id = $1 FOR UPDATE",
        {session.record.sessionId});
    if (!stored.ok()) return stored.error();
    if (stored->count() != 1) {
        return serviceError(ServiceErrorCode::StoreUnavailable,
                            "The analytics database lost session " + session.record.sessionId +
                                " while storing it");
    }
    const SessionFullness kept{stored->integer(0, 1), stored->integer(0, 2),
                               stored->optionalInteger(0, 3)};
    if (!isFuller(session.fullness, kept)) {
        ++outcome.kept;
        return {};
    }
    // The row stays (its id is what another writer waits on); its contents go.
    const std::string row = stored->text(0, 0);
    PgParameters update = columns;
    update.push_back(row);
    if (Result<void> done = db.execute(
            "UPDATE sessions SET (" + std::string(kSessionColumns) +
                ") = ($1, $2, $3, $4, $5, $6, $7, $8, $9, $10, $11, $12, $13, $14) WHERE id = $15",
            update);
        !done.ok()) {
        return done;
    }
    if (Result<void> done = db.execute("DELETE FROM events WHERE session = $1", {row}); !done.ok())
        return done;
    if (Result<void> done = db.execute("DELETE FROM event_counts WHERE session = $1", {row});
        !done.ok())
        return done;
    ++outcome.replaced;
    return insertChildren(db, row, session.record);
}

// Rolls back unless committed.
class Transaction {
public:
    explicit Transaction(PostgresConnection& db) : m_db(db) {}
    ~Transaction() {
        if (m_open && !m_db.isBroken()) ignoreResult(m_db.execute("ROLLBACK"));
    }
    Result<void> begin(const char* sql = "BEGIN") {
        Result<void> begun = m_db.execute(sql);
        m_open = begun.ok();
        return begun;
    }
    // A read-only view of one moment: every answer read in it agrees.
    Result<void> beginSnapshot() {
        return begin("BEGIN ISOLATION LEVEL REPEATABLE READ READ ONLY");
    }
    Result<void> commit() {
        m_open = false;
        return m_db.execute("COMMIT");
    }

private:
    PostgresConnection& m_db;
    bool m_open = false;
};

Result<StoreOutcome> storeOnce(PostgresConnection& db, const PreparedReport& report,
                               const std::vector<const PreparedSession*>& inLockOrder) {
    Transaction transaction(db);
    if (Result<void> begun = transaction.begin(); !begun.ok()) return begun.error();
    const std::int64_t received = nowMilliseconds();
    StoreOutcome outcome;
    for (const PreparedSession* session : inLockOrder) {
        if (Result<void> done = storeSession(db, *session, report.head, received, outcome);
            !done.ok()) {
            return done.error();
        }
    }
    if (Result<void> done = transaction.commit(); !done.ok()) return done.error();
    return outcome;
}

Result<PostgresConnection> connect(const std::string& url, const PostgresStore::Options& options) {
    Result<PostgresConnection> db = PostgresConnection::open(url, options.connectSeconds);
    if (!db.ok() || !options.readOnly) return db;
    if (Result<void> set = db->execute("SET default_transaction_read_only = on"); !set.ok()) {
        return set.error();
    }
    return db;
}

Result<void> checkCurrentLayout(PostgresConnection& db, const std::string& url) {
    const Result<int> version = postgresLayoutVersion(db);
    if (!version.ok()) return version.error();
    if (*version == latestPostgresVersion()) return {};
    return serviceError(ServiceErrorCode::StoreUnavailable,
                        "The analytics database " + withoutPassword(url) + " has layout version " +
                            std::to_string(*version) + " where this quillpost reads " +
                            std::to_string(latestPostgresVersion()) +
                            (*version < latestPostgresVersion()
                                 ? "; run 'quillpost analytics serve' on it once to update it"
                                 : "; use a newer quillpost"));
}

}  // namespace

class PostgresStore::Lease {
public:
    Lease(PostgresStore& store, std::unique_ptr<PostgresConnection> connection)
        : m_store(&store), m_connection(std::move(connection)) {}
    Lease(Lease&& other) noexcept = default;
    Lease& operator=(Lease&&) = delete;
    ~Lease() {
        if (m_connection) m_store->giveBack(std::move(m_connection));
    }
    PostgresConnection& operator*() { return *m_connection; }
    PostgresConnection* operator->() { return m_connection.get(); }

private:
    PostgresStore* m_store;
    std::unique_ptr<PostgresConnection> m_connection;
};

PostgresStore::PostgresStore(std::string url, Options options, PostgresConnection first)
    : m_url(std::move(url)), m_options(options) {
    m_idle.push_back(std::make_unique<PostgresConnection>(std::move(first)));
}

Result<std::unique_ptr<PostgresStore>> PostgresStore::open(const std::string& url,
                                                           Options options) {
    Result<PostgresConnection> db = connect(url, options);
    if (!db.ok()) return db.error();
    Result<void> ready = options.readOnly ? checkCurrentLayout(*db, url) : migratePostgres(*db);
    if (!ready.ok()) return ready.error();
    return std::unique_ptr<PostgresStore>(new PostgresStore(url, options, std::move(db).value()));
}

Result<PostgresStore::Lease> PostgresStore::lease() {
    std::unique_ptr<PostgresConnection> connection;
    {
        std::lock_guard lock(m_mutex);
        if (!m_idle.empty()) {
            connection = std::move(m_idle.back());
            m_idle.pop_back();
        }
    }
    // A server that restarted left its old connections broken.
    if (connection && connection->isBroken() && !connection->reconnect()) connection.reset();
    if (!connection) {
        Result<PostgresConnection> fresh = connect(m_url, m_options);
        if (!fresh.ok()) return fresh.error();
        connection = std::make_unique<PostgresConnection>(std::move(fresh).value());
    }
    return Lease(*this, std::move(connection));
}

void PostgresStore::giveBack(std::unique_ptr<PostgresConnection> connection) {
    if (connection->isBroken()) return;
    std::lock_guard lock(m_mutex);
    m_idle.push_back(std::move(connection));
}

Result<StoreOutcome> PostgresStore::storeReport(const PreparedReport& report) {
    // Every writer locks session rows in id order, so two reports sharing
    // sessions wait for each other instead of deadlocking.
    std::vector<const PreparedSession*> inLockOrder;
    for (const PreparedSession& session : report.sessions) inLockOrder.push_back(&session);
    std::sort(inLockOrder.begin(), inLockOrder.end(), [](const auto* a, const auto* b) {
        return a->record.sessionId < b->record.sessionId;
    });
    for (int attempt = 1;; ++attempt) {
        Result<Lease> db = lease();
        if (!db.ok()) return db.error();
        Result<StoreOutcome> stored = storeOnce(**db, report, inLockOrder);
        if (stored.ok() || attempt >= m_options.attempts) return stored;
        // A lost race, or a connection the server dropped (a restart): run
        // it again. Storing is idempotent, so a commit whose answer was
        // lost is simply found kept the second time.
        if (!isLostRace(stored.error()) && !(*db)->isBroken()) return stored;
    }
}

Result<UsageFigures> PostgresStore::figures() {
    Result<Lease> lease = this->lease();
    if (!lease.ok()) return lease.error();
    PostgresConnection& db = **lease;
    // One snapshot: every figure from the same moment.
    Transaction transaction(db);
    if (Result<void> begun = transaction.beginSnapshot(); !begun.ok()) return begun.error();
    const auto namedCounts =
        [&](const std::string& sql,
            const PgParameters& parameters) -> Result<std::vector<NamedCount>> {
        Result<PgRows> rows = db.run(sql, parameters);
        if (!rows.ok()) return rows.error();
        std::vector<NamedCount> counts;
        for (int row = 0; row < rows->count(); ++row) {
            counts.push_back({rows->text(row, 0), rows->integer(row, 1)});
        }
        return counts;
    };
    UsageFigures figures;
    const Result<std::int64_t> sessions = db.integer("SELECT COUNT(*) FROM sessions");
    const Result<std::int64_t> events =
        db.integer("SELECT COALESCE(SUM(count), 0) FROM event_counts");
    if (!sessions.ok()) return sessions.error();
    if (!events.ok()) return events.error();
    figures.sessions = *sessions;
    figures.events = *events;

    // Days as SQLite's date() gives them: whole seconds toward zero, UTC;
    // no day for a start outside the years 0 to 9999.
    Result<std::vector<NamedCount>> perDay = namedCounts(
        "SELECT CASE WHEN started_ms BETWEEN -62167219200000 AND 253402300799999 "
        "THEN to_char(to_timestamp(div(started_ms, 1000)) AT TIME ZONE 'UTC', 'YYYY-MM-DD') END "
        "AS day, COUNT(*) FROM sessions GROUP BY day ORDER BY day NULLS FIRST",
        {});
    // Names compare byte by byte, whatever the database's collation.
    Result<std::vector<NamedCount>> top = namedCounts(
        "SELECT name, SUM(count) AS total FROM event_counts GROUP BY name "
        "ORDER BY total DESC, name COLLATE \"C\" LIMIT " +
            std::to_string(kTopEventCount),
        {});
    const std::string bySession =
        "SELECT p.value, COUNT(DISTINCT e.session) AS total FROM events e "
        "JOIN event_parameters p ON p.event = e.id WHERE e.name = $1 AND p.key = $2 "
        "GROUP BY p.value ORDER BY total DESC, p.value COLLATE \"C\"";
    Result<std::vector<NamedCount>> classes =
        namedCounts(bySession, {kDeviceClassEvent, kDeviceClassParameter});
    Result<std::vector<NamedCount>> versions =
        namedCounts(bySession, {kSystemVersionEvent, kSystemVersionParameter});
    for (const auto* part : {&perDay, &top, &classes, &versions}) {
        if (!part->ok()) return part->error();
    }
    figures.sessionsPerDay = std::move(perDay).value();
    figures.topEvents = std::move(top).value();
    figures.deviceClasses = std::move(classes).value();
    figures.systemVersions = std::move(versions).value();
    return figures;
}

Result<std::optional<SessionRecord>> PostgresStore::session(const std::string& sessionId) {
    Result<Lease> lease = this->lease();
    if (!lease.ok()) return lease.error();
    PostgresConnection& db = **lease;
    Transaction transaction(db);
    if (Result<void> begun = transaction.beginSnapshot(); !begun.ok()) return begun.error();
    Result<PgRows> head = db.run(
        "SELECT id, app_version, started_ms, ended_ms, paused_ms, crashed, event_log_complete, "
        "event_logging_enabled, network_access FROM sessions WHERE session_id = $1",
        {sessionId});
    if (!head.ok()) return head.error();
    if (head->count() == 0) return std::optional<SessionRecord>();
    const auto flag = [](const PgRows& rows, int row, int column) {
        return rows.text(row, column) == "t";
    };
    SessionRecord record;
    const std::string row = head->text(0, 0);
    record.sessionId = sessionId;
    record.appVersion = head->text(0, 1);
    record.startMilliseconds = head->integer(0, 2);
    record.endMilliseconds = head->optionalInteger(0, 3);
    record.pausedMilliseconds = head->integer(0, 4);
    record.crashed = flag(*head, 0, 5);
    record.eventLogComplete = flag(*head, 0, 6);
    record.eventLoggingEnabled = flag(*head, 0, 7);
    record.networkAccess = static_cast<NetworkAccess>(head->integer(0, 8));

    Result<PgRows> counts =
        db.run("SELECT name, count FROM event_counts WHERE session = $1 ORDER BY position", {row});
    if (!counts.ok()) return counts.error();
    for (int i = 0; i < counts->count(); ++i) {
        record.eventCounts.emplace_back(counts->text(i, 0),
                                        static_cast<std::int32_t>(counts->integer(i, 1)));
    }
    Result<PgRows> events = db.run(
        "SELECT id, log_id, name, timed, started_ms, ended_automatically, has_parameters "
        "FROM events WHERE session = $1 ORDER BY position",
        {row});
    Result<PgRows> parameters = db.run(
        "SELECT p.event, p.key, p.value FROM event_parameters p JOIN events e ON e.id = p.event "
        "WHERE e.session = $1 ORDER BY e.position, p.position",
        {row});
    if (!events.ok()) return events.error();
    if (!parameters.ok()) return parameters.error();
    int parameterRow = 0;
    for (int i = 0; i < events->count(); ++i) {
        EventRecord event;
        event.logId = static_cast<std::int32_t>(events->integer(i, 1));
        event.name = events->text(i, 2);
        event.timed = flag(*events, i, 3);
        event.startMilliseconds = events->integer(i, 4);
        event.automaticallyEnded = flag(*events, i, 5);
        if (flag(*events, i, 6)) {
            ParameterList list;
            const std::int64_t id = events->integer(i, 0);
            for (; parameterRow < parameters->count() && parameters->integer(parameterRow, 0) == id;
                 ++parameterRow) {
                list.emplace_back(parameters->text(parameterRow, 1),
                                  parameters->text(parameterRow, 2));
            }
            event.parameters = std::move(list);
        }
        record.events.push_back(std::move(event));
    }
    return std::optional<SessionRecord>(std::move(record));
}

}  // namespace qp
