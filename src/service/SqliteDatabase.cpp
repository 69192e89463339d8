#include "service/SqliteDatabase.h"

#include <sqlite3.h>

#include <utility>

#include "service/ServiceErrors.h"

namespace qp {
namespace {

std::string adviceFor(int code) {
    switch (code & 0xff) {
        case SQLITE_BUSY:
        case SQLITE_LOCKED:
            return "another program holds it locked; stop that program or choose another "
                   "file with --db";
        case SQLITE_READONLY:
        case SQLITE_PERM:
            return "it cannot be written; give this user write access to the file and its "
                   "folder, or choose another file with --db";
        case SQLITE_CORRUPT:
        case SQLITE_NOTADB:
            return "it is damaged or not a database; move it aside and start with a new file";
        case SQLITE_CANTOPEN:
            return "it cannot be opened; check that its folder exists and is writable";
        case SQLITE_FULL:
            return "the disk is full";
        default:
            return "";
    }
}

}  // namespace

SqliteStatement::SqliteStatement(SqliteStatement&& other) noexcept
    : m_db(other.m_db),
      m_statement(std::exchange(other.m_statement, nullptr)),
      m_path(std::move(other.m_path)),
      m_failed(other.m_failed),
      m_code(other.m_code) {}

SqliteStatement::~SqliteStatement() {
    sqlite3_finalize(m_statement);
}

void SqliteStatement::bind(int index, std::int64_t value) {
    sqlite3_bind_int64(m_statement, index, value);
}

void SqliteStatement::bind(int index, std::string_view text) {
    sqlite3_bind_text(m_statement, index, text.data(), static_cast<int>(text.size()),
                      SQLITE_TRANSIENT);
}

void SqliteStatement::bind(int index, std::optional<std::int64_t> value) {
    if (value) {
        bind(index, *value);
    } else {
        sqlite3_bind_null(m_statement, index);
    }
}

bool SqliteStatement::step() {
    const int code = sqlite3_step(m_statement);
    if (code == SQLITE_ROW) return true;
    if (code != SQLITE_DONE) {
        m_failed = true;
        m_code = code;
    }
    return false;
}

Result<void> SqliteStatement::run() {
    while (step()) {
    }
    const bool failed = m_failed;
    const Error problem = failed ? error() : Error();
    reset();
    if (failed) return problem;
    return {};
}

void SqliteStatement::reset() {
    sqlite3_reset(m_statement);
    sqlite3_clear_bindings(m_statement);
    m_failed = false;
    m_code = 0;
}

Error SqliteStatement::error() const {
    return SqliteDatabase::errorFor(m_db, m_path, m_code, "use");
}

std::int64_t SqliteStatement::integer(int column) const {
    return sqlite3_column_int64(m_statement, column);
}

std::optional<std::int64_t> SqliteStatement::optionalInteger(int column) const {
    if (sqlite3_column_type(m_statement, column) == SQLITE_NULL) return std::nullopt;
    return integer(column);
}

std::string SqliteStatement::text(int column) const {
    const auto* bytes = sqlite3_column_text(m_statement, column);
    const int size = sqlite3_column_bytes(m_statement, column);
    return bytes ? std::string(reinterpret_cast<const char*>(bytes), static_cast<std::size_t>(size))
                 : std::string();
}

Result<SqliteDatabase> SqliteDatabase::open(const std::filesystem::path& path, Mode mode,
                                            std::chrono::milliseconds busyTimeout) {
    sqlite3* db = nullptr;
    const int flags =
        mode == Mode::ReadOnly ? SQLITE_OPEN_READONLY : SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE;
    const int code = sqlite3_open_v2(path.c_str(), &db, flags | SQLITE_OPEN_NOMUTEX, nullptr);
    SqliteDatabase database(db, path);
    if (code != SQLITE_OK) return database.errorFor(code, "open");
    sqlite3_extended_result_codes(db, 1);
    sqlite3_busy_timeout(db, static_cast<int>(busyTimeout.count()));
    return database;
}

SqliteDatabase::SqliteDatabase(SqliteDatabase&& other) noexcept
    : m_db(std::exchange(other.m_db, nullptr)), m_path(std::move(other.m_path)) {}

SqliteDatabase::~SqliteDatabase() {
    sqlite3_close_v2(m_db);
}

Result<void> SqliteDatabase::execute(const std::string& sql) {
    char* message = nullptr;
    const int code = sqlite3_exec(m_db, sql.c_str(), nullptr, nullptr, &message);
    sqlite3_free(message);
    if (code != SQLITE_OK) return errorFor(code, "write to");
    return {};
}

Result<SqliteStatement> SqliteDatabase::prepare(const std::string& sql) {
    sqlite3_stmt* statement = nullptr;
    const int code =
        sqlite3_prepare_v2(m_db, sql.c_str(), static_cast<int>(sql.size()), &statement, nullptr);
    if (code != SQLITE_OK) return errorFor(code, "read");
    return SqliteStatement(m_db, statement, m_path);
}

Result<std::int64_t> SqliteDatabase::integer(const std::string& sql) {
    Result<SqliteStatement> statement = prepare(sql);
    if (!statement.ok()) return statement.error();
    if (!statement->step()) {
        return errorFor(statement->failed() ? sqlite3_errcode(m_db) : SQLITE_ERROR, "read");
    }
    return statement->integer(0);
}

bool SqliteDatabase::readOnly() const {
    return sqlite3_db_readonly(m_db, "main") == 1;
}

std::int64_t SqliteDatabase::lastInsertedRow() const {
    return sqlite3_last_insert_rowid(m_db);
}

Error SqliteDatabase::errorFor(int code, const std::string& doing) const {
    return errorFor(m_db, m_path, code, doing);
}

Error SqliteDatabase::errorFor(sqlite3* db, const std::filesystem::path& path, int code,
                               const std::string& doing) {
    std::string text = "Cannot " + doing + " the analytics database " + path.string() + ": " +
                       (db ? sqlite3_errmsg(db) : sqlite3_errstr(code));
    const std::string advice = adviceFor(code);
    if (!advice.empty()) text += "; " + advice;
    return serviceError(ServiceErrorCode::StoreUnavailable, text);
}

}  // namespace qp
