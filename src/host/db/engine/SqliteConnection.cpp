#include "host/db/engine/SqliteConnection.h"

#include "host/db/engine/NameFold.h"
#include "host/db/engine/SqlServerNames.h"
#include "host/db/engine/SqlText.h"
#include "host/db/engine/SqliteAuthorizer.h"
#include "host/db/engine/SqliteStatement.h"

#include <algorithm>
#include <cctype>
#include <string>

#include <sqlite3.h>

namespace {

constexpr int kBusyTimeoutMs = 2000;
constexpr int kProgressSteps = 1000;
constexpr auto kProgressInterval = std::chrono::milliseconds(50);

bool isTransientCode(int code)
{
    const int primary = code & 0xff;
    return primary == SQLITE_BUSY || primary == SQLITE_LOCKED;
}

} // namespace

SqliteConnection::SqliteConnection(sqlite3 *db, std::string path)
    : m_db(db)
    , m_path(std::move(path))
{
}

SqliteConnection::~SqliteConnection()
{
    sqlite3_set_authorizer(m_db, nullptr, nullptr);
    // close_v2: statements still alive keep the handle until they are finalized.
    sqlite3_close_v2(m_db);
}

std::unique_ptr<SqliteConnection> SqliteConnection::open(
    const std::string &path, OpenMode mode, DbError &error)
{
    error.clear();
    // Connections live on the thread that opened them: no per-call locking.
    int flags = SQLITE_OPEN_URI | SQLITE_OPEN_NOMUTEX;
    switch (mode) {
    case OpenMode::ReadWrite:
        flags |= SQLITE_OPEN_READWRITE;
        break;
    case OpenMode::ReadWriteCreate:
        flags |= SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE;
        break;
    case OpenMode::ReadOnly:
        flags |= SQLITE_OPEN_READONLY;
        break;
    }
    sqlite3 *db = nullptr;
    const int rc = sqlite3_open_v2(path.c_str(), &db, flags, nullptr);
    auto fail = [&](int code) {
        error.nativeCode = code;
        error.text = "Cannot open the database \"" + path
            + "\": " + (db ? sqlite3_errmsg(db) : sqlite3_errstr(code));
        error.transient = isTransientCode(code);
        sqlite3_close_v2(db);
        return nullptr;
    };
    if (rc != SQLITE_OK)
        return fail(rc);
    sqlite3_extended_result_codes(db, 1);
    sqlite3_busy_timeout(db, kBusyTimeoutMs);
    // Opening is lazy: reading the schema is what finds a file that is not a database.
    const int check
        = sqlite3_exec(db, "SELECT count(*) FROM sqlite_master", nullptr, nullptr, nullptr);
    if (check != SQLITE_OK)
        return fail(check);
    const int keys = sqlite3_exec(db, "PRAGMA foreign_keys = ON", nullptr, nullptr, nullptr);
    if (keys != SQLITE_OK)
        return fail(keys);
    return std::unique_ptr<SqliteConnection>(new SqliteConnection(db, path));
}

bool SqliteConnection::attach(const std::string &path, const std::string &schema)
{
    DbError error;
    if (!run("ATTACH DATABASE ?1 AS ?2", { Value(path), Value(schema) }, error)) {
        m_error = error;
        return false;
    }
    // An empty or foreign file attaches without complaint; reading its schema tells.
    const std::string check = "SELECT count(*) FROM \"" + schema + "\".sqlite_master";
    auto probe = prepare(check);
    if (!probe || probe->step() == Statement::Step::Error) {
        error = probe ? probe->lastError() : m_error;
        probe.reset();
        runFixed(("DETACH DATABASE \"" + schema + "\"").c_str());
        m_error = error;
        return false;
    }
    m_error.clear();
    return true;
}

std::unique_ptr<SqliteAuthorizer> SqliteConnection::setAuthorizer(
    std::unique_ptr<SqliteAuthorizer> authorizer)
{
    std::swap(m_authorizer, authorizer);
    if (m_authorizer)
        sqlite3_set_authorizer(m_db, &SqliteConnection::authorize, this);
    else
        sqlite3_set_authorizer(m_db, nullptr, nullptr);
    return authorizer;
}

int SqliteConnection::authorize(void *self, int action, const char *arg1, const char *arg2,
    const char *database, const char *trigger)
{
    auto *connection = static_cast<SqliteConnection *>(self);
    return connection->m_authorizer
        ? connection->m_authorizer->authorize(action, arg1, arg2, database, trigger)
        : SQLITE_OK;
}

std::unique_ptr<Statement> SqliteConnection::prepare(std::string_view sql, std::string *tail)
{
    std::vector<RemovedText> removed;
    const std::string text = stripDboQualifiers(sql, &removed);
    sqlite3_stmt *statement = nullptr;
    const char *rest = nullptr;
    const int rc
        = sqlite3_prepare_v2(m_db, text.c_str(), static_cast<int>(text.size()), &statement, &rest);
    if (tail) {
        const std::size_t used = rest ? static_cast<std::size_t>(rest - text.c_str()) : text.size();
        const std::size_t original = std::min(originalOffset(used, removed), sql.size());
        *tail = std::string(sql.substr(original));
    }
    if (rc != SQLITE_OK) {
        sqlite3_finalize(statement);
        m_error = errorFromCode(rc, false);
        return nullptr;
    }
    if (!statement) {
        m_error = DbError { "The statement is empty.", SQLITE_MISUSE, "42000" };
        return nullptr;
    }
    m_error.clear();
    return std::make_unique<SqliteStatement>(*this, statement);
}

bool SqliteConnection::describeColumns(std::string_view sql, std::vector<std::string> &names)
{
    names.clear();
    // Compiled through prepare(), so owner names and the connection's guard apply; the statement
    // is finalized unstepped when it goes out of scope.
    const std::unique_ptr<Statement> statement = prepare(sql);
    if (!statement)
        return false;
    const int count = statement->columnCount();
    names.reserve(count);
    for (int column = 0; column < count; ++column)
        names.push_back(statement->columnName(column));
    return true;
}

bool SqliteConnection::execute(std::string_view sql)
{
    const std::string text = stripDboQualifiers(sql);
    enterStep(Clock::now() + m_timeout, m_timeout.count() > 0);
    const int rc = sqlite3_exec(m_db, text.c_str(), nullptr, nullptr, nullptr);
    const bool timedOut = leaveStep();
    if (rc != SQLITE_OK) {
        m_error = errorFromCode(rc, timedOut);
        return false;
    }
    m_error.clear();
    return true;
}

bool SqliteConnection::runFixed(const char *sql)
{
    const int rc = sqlite3_exec(m_db, sql, nullptr, nullptr, nullptr);
    if (rc != SQLITE_OK) {
        m_error = errorFromCode(rc, false);
        return false;
    }
    return true;
}

bool SqliteConnection::begin()
{
    const bool nested = !sqlite3_get_autocommit(m_db);
    const std::string sql
        = nested ? "SAVEPOINT qp_" + std::to_string(m_transactions.size()) : std::string("BEGIN");
    if (!runFixed(sql.c_str()))
        return false;
    m_transactions.push_back(nested);
    m_error.clear();
    return true;
}

bool SqliteConnection::commit()
{
    if (m_transactions.empty()) {
        m_error = DbError { "There is no transaction to commit.", SQLITE_MISUSE, "25000" };
        return false;
    }
    if (sqlite3_get_autocommit(m_db)) {
        // The engine already rolled the transaction back (an interrupt or a full disk).
        m_transactions.clear();
        m_error = DbError { "The transaction was rolled back.", SQLITE_ABORT, "40000" };
        return false;
    }
    const bool savepoint = m_transactions.back();
    const std::string sql = savepoint ? "RELEASE qp_" + std::to_string(m_transactions.size() - 1)
                                      : std::string("COMMIT");
    if (!runFixed(sql.c_str()))
        return false; // still open: the caller's guard rolls back
    m_transactions.pop_back();
    m_error.clear();
    return true;
}

void SqliteConnection::rollback() noexcept
{
    if (m_transactions.empty())
        return;
    if (sqlite3_get_autocommit(m_db)) {
        m_transactions.clear();
        return;
    }
    const bool savepoint = m_transactions.back();
    m_transactions.pop_back();
    if (savepoint) {
        const std::string name = "qp_" + std::to_string(m_transactions.size());
        const std::string sql = "ROLLBACK TO " + name + "; RELEASE " + name;
        sqlite3_exec(m_db, sql.c_str(), nullptr, nullptr, nullptr);
    } else {
        sqlite3_exec(m_db, "ROLLBACK", nullptr, nullptr, nullptr);
    }
}

bool SqliteConnection::inTransaction() const
{
    return !sqlite3_get_autocommit(m_db);
}

std::int64_t SqliteConnection::lastInsertId() const
{
    return sqlite3_last_insert_rowid(m_db);
}

int SqliteConnection::changes() const
{
    return sqlite3_changes(m_db);
}

void SqliteConnection::setCommandTimeout(std::chrono::milliseconds limit)
{
    m_timeout = limit.count() > 0 ? limit : std::chrono::milliseconds(0);
    installProgressHandler();
}

void SqliteConnection::setProgressCallback(std::function<void()> callback)
{
    m_progress = std::move(callback);
    installProgressHandler();
}

void SqliteConnection::installProgressHandler()
{
    // Without a limit or a callback the handler would only cost time.
    if (m_timeout.count() > 0 || m_progress)
        sqlite3_progress_handler(m_db, kProgressSteps, &SqliteConnection::progressHandler, this);
    else
        sqlite3_progress_handler(m_db, 0, nullptr, nullptr);
}

int SqliteConnection::progressHandler(void *self)
{
    auto *connection = static_cast<SqliteConnection *>(self);
    const Clock::time_point now = Clock::now();
    if (connection->m_deadlineActive && now >= connection->m_deadline) {
        connection->m_timedOut = true;
        return 1;
    }
    if (connection->m_progress && now - connection->m_lastProgress >= kProgressInterval) {
        connection->m_lastProgress = now;
        connection->m_progress();
    }
    return connection->m_cancelled ? 1 : 0;
}

void SqliteConnection::cancel()
{
    m_cancelled = true;
    sqlite3_interrupt(m_db);
}

void SqliteConnection::enterStep(Clock::time_point deadline, bool limited)
{
    m_deadline = deadline;
    m_deadlineActive = limited;
    m_timedOut = false;
    // Relaxed, here and in leaveStep: twice per row of a result, where a locked instruction
    // would cost a few per cent of the whole load; cancel() reaches the engine through its own
    // interrupt, and the flag only says afterwards that it was ours.
    m_cancelled.store(false, std::memory_order_relaxed);
}

bool SqliteConnection::leaveStep()
{
    m_deadlineActive = false;
    const bool timedOut = m_timedOut;
    m_timedOut = false;
    m_interrupted = m_cancelled.load(std::memory_order_relaxed);
    if (m_interrupted)
        m_cancelled.store(false, std::memory_order_relaxed);
    return timedOut;
}

DbError SqliteConnection::errorFromCode(int code, bool timedOut) const
{
    DbError error;
    error.nativeCode = code;
    if (timedOut && (code & 0xff) == SQLITE_INTERRUPT) {
        error.text = kQueryTimeoutText;
        error.sqlState = "HYT00";
        return error;
    }
    if (m_interrupted && (code & 0xff) == SQLITE_INTERRUPT) {
        error.text = kCancelledText;
        error.sqlState = "HY008";
        return error;
    }
    const int current = sqlite3_errcode(m_db);
    error.text = current == code ? sqlite3_errmsg(m_db) : sqlite3_errstr(code);
    error.transient = isTransientCode(code);
    if (error.transient)
        error.sqlState = "40001";
    return error;
}

std::vector<ColumnInfo> SqliteConnection::tableColumns(std::string_view table)
{
    std::string schema;
    std::string name;
    SqlText::splitName(stripDboQualifiers(table), schema, name);
    std::vector<ColumnInfo> columns;
    int keyColumns = 0;
    DbError error;
    const bool read = forEachRow(
        "SELECT name, type, pk, \"notnull\" FROM pragma_table_info(?1, ?2)",
        { Value(name), schema.empty() ? Value() : Value(schema) },
        [&](const Statement &row) {
            ColumnInfo column;
            column.name = std::string(row.asText(0));
            column.declaredType = std::string(row.asText(1));
            column.type = fieldTypeFromDeclared(column.declaredType);
            column.primaryKey = row.asInt64(2) > 0;
            column.notNull = row.asInt64(3) != 0;
            keyColumns += column.primaryKey ? 1 : 0;
            columns.push_back(std::move(column));
            return true;
        },
        error);
    if (!read) {
        m_error = error;
        return {};
    }
    if (columns.empty()) {
        m_error = DbError { "no such table: " + std::string(table), SQLITE_ERROR, "42S02" };
        return columns;
    }
    // Only a lone INTEGER PRIMARY KEY is the rowid, which the engine fills in on insert.
    if (keyColumns == 1) {
        for (ColumnInfo &column : columns) {
            if (column.primaryKey)
                column.identity = NameFold::same(column.declaredType, "INTEGER");
        }
    }
    m_error.clear();
    return columns;
}
