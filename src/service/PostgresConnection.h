#pragma once
// One libpq connection to the analytics database, with the few calls the
// store makes: statements with text parameters, their rows as text, and the
// SQLSTATE of a failure so a caller can tell a lost race (worth a retry) from
// a broken server. Used by one thread at a time.

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/Result.h"

struct pg_conn;
struct pg_result;

namespace qp {

// SQLSTATEs a transaction may be run again after.
inline constexpr const char* kPgSerializationFailure = "40001";
inline constexpr const char* kPgDeadlockDetected = "40P01";
inline constexpr const char* kPgUniqueViolation = "23505";

// Text parameters for a statement; nullopt is SQL NULL.
using PgParameters = std::vector<std::optional<std::string>>;

class PgRows {
public:
    PgRows() = default;
    explicit PgRows(pg_result* result);

    int count() const;
    std::string text(int row, int column) const;
    bool isNull(int row, int column) const;
    std::int64_t integer(int row, int column) const;
    std::optional<std::int64_t> optionalInteger(int row, int column) const;

private:
    struct Free {
        void operator()(pg_result* result) const;
    };
    std::unique_ptr<pg_result, Free> m_result;
};

class PostgresConnection {
public:
    // `url` is a postgresql:// URL or a libpq keyword string. A connection
    // that takes longer than `connectSeconds` to set up fails.
    static Result<PostgresConnection> open(const std::string& url, int connectSeconds);

    PostgresConnection(PostgresConnection&&) noexcept = default;
    PostgresConnection& operator=(PostgresConnection&&) noexcept = default;

    // Runs one statement (or, without parameters, several separated by ';').
    Result<PgRows> run(std::string_view sql, const PgParameters& parameters = {});
    Result<void> execute(std::string_view sql, const PgParameters& parameters = {});
    Result<std::int64_t> integer(std::string_view sql, const PgParameters& parameters = {});

    // False once the server went away; reconnect() tries once to come back.
    bool isBroken() const;
    bool reconnect();

    // The server's version, e.g. 150018.
    int serverVersion() const;

private:
    struct Close {
        void operator()(pg_conn* connection) const;
    };
    explicit PostgresConnection(pg_conn* connection);
    Error failure(pg_result* result, std::string_view sql) const;

    std::unique_ptr<pg_conn, Close> m_connection;
};

// The SQLSTATE a store error carries, empty when it has none.
std::string sqlState(const Error& error);

// `url` with any password left out: for logs and messages.
std::string withoutPassword(const std::string& url);

}  // namespace qp
