#pragma once

#include "host/db/engine/Connection.h"

#include <atomic>
#include <chrono>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

class OdbcStatement;

// A database reached through an ODBC driver, named by a DSN ("DSN=payroll;UID=...") or a whole
// connection string ("DRIVER=...;SERVER=...").
//
// What the server speaks is read once from the driver (SQL_DBMS_NAME) and decides how IQ
// statements written for SQL Server are adapted: on PostgreSQL [names] become "names"; on
// SQLite the owner "dbo." is removed as the native engine does; SQL Server takes them as written.
//
// Command time-out: SQL_ATTR_QUERY_TIMEOUT in whole seconds (a limit under a second counts as
// one). The driver's own time-out error (HYT00, or PostgreSQL's statement_timeout 57014) becomes
// "Query timeout expired" followed by the driver's words, with SQLSTATE "HYT00".
class OdbcConnection final : public Connection
{
public:
    enum class Dialect { PostgreSql, SqlServer, Sqlite, Other };

    // nullptr and the driver's error when the connection cannot be made.
    static std::unique_ptr<OdbcConnection> open(
        const std::string &connectionString, DbError &error);
    ~OdbcConnection() override;
    OdbcConnection(const OdbcConnection &) = delete;
    OdbcConnection &operator=(const OdbcConnection &) = delete;

    // Added to a PostgreSQL connection string that does not choose for itself: results are read
    // from a server cursor, a block at a time, instead of all at once into the driver's memory.
    static constexpr std::string_view kPostgresStreaming = "UseDeclareFetch=1;Fetch=1024;";

    Dialect dialect() const { return m_dialect; }
    // The statement as the server is given it (names adapted to its dialect).
    std::string serverText(std::string_view sql) const;

    std::unique_ptr<Statement> prepare(std::string_view sql, std::string *tail = nullptr) override;
    bool execute(std::string_view sql) override;

    // Autocommit is off between begin() and the matching commit() or rollback(); nested calls
    // use savepoints where the server has them.
    bool begin() override;
    bool commit() override;
    void rollback() noexcept override;
    bool inTransaction() const override { return !m_transactions.empty(); }

    // Asks the server for the identity its last insert on this connection assigned (lastval()
    // on PostgreSQL, last_insert_rowid() on SQLite, SCOPE_IDENTITY() on SQL Server); 0 when
    // there is none. insertWithIdentity is the reliable way on a server.
    std::int64_t lastInsertId() const override;
    bool insertWithIdentity(std::string_view insertSql, std::span<const Value> values,
        std::string_view identityColumn, std::int64_t &id, DbError &error) override;
    int changes() const override { return m_changes; }

    void setCommandTimeout(std::chrono::milliseconds limit) override;
    std::chrono::milliseconds commandTimeout() const override { return m_timeout; }
    void setProgressCallback(std::function<void()> callback) override;
    // Stops the statement that is running on this connection, or whose rows are being read,
    // through SQLCancel; safe from any thread, and from the progress callback. The statement
    // fails with SQLSTATE "HY008".
    void cancel() override;

    std::vector<ColumnInfo> tableColumns(std::string_view table) override;
    bool describeColumns(std::string_view sql, std::vector<std::string> &names) override;

    const DbError &lastError() const override { return m_error; }
    std::string engineName() const override { return "ODBC"; }
    std::string_view textCollation() const override;
    // PostgreSQL compares through lower() on both sides, as its unique indexes on codes and
    // names are made.
    std::string equalsIgnoringCase(std::string_view column) const override;
    std::string fileName() const override { return {}; }

private:
    friend class OdbcStatement;

    OdbcConnection() = default;
    bool connect(const std::string &connectionString, DbError &error);
    bool setAutocommit(bool on);
    bool runFixed(const std::string &sql); // no results, nothing bound

    // Statements register the handle they run on, so that cancel() reaches it; `starting` at
    // the execute, not at the fetches after it. True when a cancel is already pending.
    bool enterRun(void *statement, bool starting);
    bool leaveRun(); // true when cancel() was called while it ran
    // Makes `call` (one or more ODBC calls on a registered statement; returns an SQLRETURN).
    // With a progress callback the call runs on a thread of its own while this one calls the
    // callback every 50 ms, so that the progress window stays painted and its Cancel reaches
    // the server while a statement runs, not only between blocks of rows.
    short runWatched(const std::function<short()> &call);
    DbError statementError(void *statement, bool cancelled) const;
    void setError(DbError error) { m_error = std::move(error); }
    void setChanges(int changes) { m_changes = changes; }

    void *m_environment = nullptr;
    void *m_connection = nullptr;
    Dialect m_dialect = Dialect::Other;
    bool m_blockGetData = false; // SQLGetData may read any row of a block (SQL_GD_BLOCK)
    DbError m_error;
    std::chrono::milliseconds m_timeout { 0 };
    std::function<void()> m_progress;
    int m_changes = 0;
    std::vector<bool> m_transactions; // per begin(): true when it is a savepoint

    std::mutex m_runMutex; // guards m_running against a cancel() on another thread
    void *m_running = nullptr;
    std::atomic<bool> m_cancelled { false };
};
