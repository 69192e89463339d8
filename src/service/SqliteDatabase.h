#pragma once
// A thin owner of one SQLite connection and its prepared statements, turning
// SQLite's result codes into qp::Error values that say what to do.

#include <chrono>
#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <utility>

#include "platform/Result.h"

struct sqlite3;
struct sqlite3_stmt;

namespace qp {

class SqliteStatement {
public:
    SqliteStatement(sqlite3* db, sqlite3_stmt* statement, std::filesystem::path path)
        : m_db(db), m_statement(statement), m_path(std::move(path)) {}
    SqliteStatement(SqliteStatement&& other) noexcept;
    SqliteStatement& operator=(SqliteStatement&&) = delete;
    SqliteStatement(const SqliteStatement&) = delete;
    ~SqliteStatement();

    // Parameters are numbered from 1, as in SQL's "?".
    void bind(int index, std::int64_t value);
    void bind(int index, std::string_view text);
    void bind(int index, std::optional<std::int64_t> value);  // none binds NULL

    // True while a row is there to read; false at the end or on error (see failed()).
    bool step();
    // Runs a statement that gives no rows; resets it for the next use.
    Result<void> run();
    void reset();
    bool failed() const { return m_failed; }
    Error error() const;

    std::int64_t integer(int column) const;
    std::optional<std::int64_t> optionalInteger(int column) const;
    std::string text(int column) const;

private:
    sqlite3* m_db;
    sqlite3_stmt* m_statement;
    std::filesystem::path m_path;
    bool m_failed = false;
    int m_code = 0;
};

class SqliteDatabase {
public:
    enum class Mode { ReadWrite, ReadOnly };

    // Opens (ReadWrite: creating when missing) the file at `path`.
    // `busyTimeout` is how long a statement waits for another program's lock.
    static Result<SqliteDatabase> open(const std::filesystem::path& path, Mode mode,
                                       std::chrono::milliseconds busyTimeout);

    SqliteDatabase(SqliteDatabase&& other) noexcept;
    SqliteDatabase& operator=(SqliteDatabase&&) = delete;
    SqliteDatabase(const SqliteDatabase&) = delete;
    ~SqliteDatabase();

    // Runs one or more statements that give no rows.
    Result<void> execute(const std::string& sql);
    Result<SqliteStatement> prepare(const std::string& sql);
    // The single integer that `sql` gives (a PRAGMA, a count).
    Result<std::int64_t> integer(const std::string& sql);

    const std::filesystem::path& path() const { return m_path; }
    bool readOnly() const;
    std::int64_t lastInsertedRow() const;
    // An error for SQLite's code `code`, naming the file and what to do.
    Error errorFor(int code, const std::string& doing) const;
    static Error errorFor(sqlite3* db, const std::filesystem::path& path, int code,
                          const std::string& doing);

private:
    SqliteDatabase(sqlite3* db, std::filesystem::path path) : m_db(db), m_path(std::move(path)) {}

    sqlite3* m_db;
    std::filesystem::path m_path;
};

}  // namespace qp
