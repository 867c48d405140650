#pragma once

#include "host/db/engine/Connection.h"

#include <atomic>
#include <chrono>
#include <memory>
#include <string>
#include <vector>

struct sqlite3;
class SqliteAuthorizer;
class SqliteStatement;

// A SQLite database file. Foreign keys are on and a busy database is waited for about two
// seconds before a statement fails.
//
// Command time-out: a progress handler runs every 1000 virtual-machine steps while a statement
// runs; once the limit has passed since the statement's first step it interrupts it, and the
// error reads "Query timeout expired" with SQLSTATE "HYT00", as SQL Server's driver reports it.
// The same handler calls the progress callback (at most every 50 ms) so windows stay painted,
// and ends the statement once cancel() was called.
//
// SQL Server owner names ("dbo.x", "[dbo].x") are removed before a statement compiles, outside
// literals and comments; unqualified names resolve in main, then in the attached databases.
class SqliteConnection final : public Connection
{
public:
    enum class OpenMode { ReadWrite, ReadWriteCreate, ReadOnly };

    // nullptr and a one-line error when the file cannot be opened or is not a database.
    static std::unique_ptr<SqliteConnection> open(
        const std::string &path, OpenMode mode, DbError &error);
    ~SqliteConnection() override;

    sqlite3 *handle() const { return m_db; }
    // Makes another database file reachable as `schema.table` (and unqualified after main).
    bool attach(const std::string &path, const std::string &schema);

    // Every statement compiled from now on, and the SQL that running statements compile, is
    // put to `authorizer`; returns the one it replaces (null: none). Null removes it.
    std::unique_ptr<SqliteAuthorizer> setAuthorizer(std::unique_ptr<SqliteAuthorizer> authorizer);
    SqliteAuthorizer *authorizer() const { return m_authorizer.get(); }

    std::unique_ptr<Statement> prepare(std::string_view sql, std::string *tail = nullptr) override;
    bool execute(std::string_view sql) override;

    // Nested calls use savepoints, so a post inside an import's transaction still rolls back
    // alone.
    bool begin() override;
    bool commit() override;
    void rollback() noexcept override;
    bool inTransaction() const override;

    std::int64_t lastInsertId() const override;
    int changes() const override;

    void setCommandTimeout(std::chrono::milliseconds limit) override;
    std::chrono::milliseconds commandTimeout() const override { return m_timeout; }
    void setProgressCallback(std::function<void()> callback) override;
    void cancel() override;

    std::vector<ColumnInfo> tableColumns(std::string_view table) override;
    bool describeColumns(std::string_view sql, std::vector<std::string> &names) override;

    const DbError &lastError() const override { return m_error; }
    std::string engineName() const override { return "SQLite"; }
    std::string_view textCollation() const override { return " COLLATE NOCASE"; }
    std::string fileName() const override { return m_path; }

private:
    friend class SqliteStatement;
    using Clock = std::chrono::steady_clock;

    SqliteConnection(sqlite3 *db, std::string path);
    bool runFixed(const char *sql); // a fixed statement without results, nothing bound
    void installProgressHandler();
    static int progressHandler(void *self);
    static int authorize(void *self, int action, const char *arg1, const char *arg2,
        const char *database, const char *trigger);

    // Called by statements around each step: the deadline the progress handler enforces.
    void enterStep(Clock::time_point deadline, bool limited);
    bool leaveStep(); // true when the step was stopped by the time-out
    DbError errorFromCode(int code, bool timedOut) const;
    void setError(DbError error) { m_error = std::move(error); }

    sqlite3 *m_db;
    std::string m_path;
    DbError m_error;
    std::chrono::milliseconds m_timeout { 0 };
    std::function<void()> m_progress;
    Clock::time_point m_deadline;
    bool m_deadlineActive = false;
    bool m_timedOut = false;
    // cancel() during the step that runs; atomic as cancel() may come from another thread
    std::atomic<bool> m_cancelled { false };
    bool m_interrupted = false; // the last step ended by cancel()
    Clock::time_point m_lastProgress;
    std::vector<bool> m_transactions; // per begin(): true when it is a savepoint
    std::unique_ptr<SqliteAuthorizer> m_authorizer;
};
