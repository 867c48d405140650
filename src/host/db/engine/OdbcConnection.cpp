#include "host/db/engine/OdbcConnection.h"

#include "host/db/engine/NameFold.h"
#include "host/db/engine/OdbcStatement.h"
#include "host/db/engine/SqlServerNames.h"
#include "host/db/engine/SqlText.h"

#include <array>
#include <cctype>
#include <condition_variable>
#include <system_error>
#include <thread>

#include <sql.h>
#include <sqlext.h>

namespace {

// Every diagnostic record of a handle: the first one's SQLSTATE and native code, all texts.
DbError diagnostics(SQLSMALLINT type, SQLHANDLE handle)
{
    DbError error;
    for (SQLSMALLINT record = 1;; ++record) {
        std::array<SQLCHAR, 6> state {};
        std::array<SQLCHAR, 2048> text {};
        SQLINTEGER native = 0;
        SQLSMALLINT length = 0;
        if (!SQL_SUCCEEDED(SQLGetDiagRec(
                type, handle, record, state.data(), &native, text.data(), text.size(), &length)))
            break;
        if (record == 1) {
            error.sqlState = reinterpret_cast<const char *>(state.data());
            error.nativeCode = native;
        }
        std::string line = reinterpret_cast<const char *>(text.data());
        while (!line.empty() && std::isspace(static_cast<unsigned char>(line.back())))
            line.pop_back();
        if (!line.empty())
            error.text += (error.text.empty() ? "" : "\n") + line;
    }
    if (!error.isSet())
        error.text = "The ODBC driver reported an error without a description.";
    const std::string &state = error.sqlState;
    // Serialization failures, deadlocks and locks not granted: another connection held the rows.
    error.transient = state == "40001" || state == "40P01" || state == "55P03";
    if (state.starts_with("08"))
        error.text = "The connection to the database server was lost: " + error.text;
    return error;
}

bool succeeded(SQLRETURN rc)
{
    return SQL_SUCCEEDED(rc);
}

} // namespace

std::unique_ptr<OdbcConnection> OdbcConnection::open(
    const std::string &connectionString, DbError &error)
{
    error.clear();
    std::unique_ptr<OdbcConnection> connection(new OdbcConnection());
    if (!succeeded(SQLAllocHandle(SQL_HANDLE_ENV, SQL_NULL_HANDLE, &connection->m_environment))) {
        error = DbError { "The ODBC driver manager could not be started.", 0, "HY001" };
        return nullptr;
    }
    SQLSetEnvAttr(connection->m_environment, SQL_ATTR_ODBC_VERSION,
        reinterpret_cast<SQLPOINTER>(SQL_OV_ODBC3), 0);
    if (!succeeded(
            SQLAllocHandle(SQL_HANDLE_DBC, connection->m_environment, &connection->m_connection))) {
        error = diagnostics(SQL_HANDLE_ENV, connection->m_environment);
        return nullptr;
    }
    if (!connection->connect(connectionString, error))
        return nullptr;
    std::array<char, 128> name {};
    SQLSMALLINT length = 0;
    SQLGetInfo(connection->m_connection, SQL_DBMS_NAME, name.data(), name.size(), &length);
    const std::string dbms = name.data();
    if (dbms.starts_with("PostgreSQL"))
        connection->m_dialect = Dialect::PostgreSql;
    else if (dbms.find("SQL Server") != std::string::npos)
        connection->m_dialect = Dialect::SqlServer;
    else if (dbms.starts_with("SQLite"))
        connection->m_dialect = Dialect::Sqlite;
    // PostgreSQL's driver otherwise holds a whole result in its own memory before the first row
    // is handed over: a million rows would be held twice and read half as fast. A cursor read
    // in blocks is asked for unless the connection string says otherwise.
    if (connection->m_dialect == Dialect::PostgreSql
        && NameFold::fold(connectionString).find("usedeclarefetch") == std::string::npos) {
        SQLDisconnect(connection->m_connection);
        std::string streaming = connectionString;
        if (!streaming.empty() && streaming.back() != ';')
            streaming += ';';
        if (!connection->connect(streaming + std::string(kPostgresStreaming), error))
            return nullptr;
    }
    SQLUINTEGER getData = 0;
    SQLGetInfo(connection->m_connection, SQL_GETDATA_EXTENSIONS, &getData, sizeof getData, nullptr);
    const SQLUINTEGER needed = SQL_GD_ANY_COLUMN | SQL_GD_ANY_ORDER | SQL_GD_BLOCK | SQL_GD_BOUND;
    connection->m_blockGetData = (getData & needed) == needed;
    return connection;
}

bool OdbcConnection::connect(const std::string &connectionString, DbError &error)
{
    const SQLRETURN rc = SQLDriverConnect(m_connection, nullptr,
        reinterpret_cast<SQLCHAR *>(const_cast<char *>(connectionString.c_str())),
        static_cast<SQLSMALLINT>(connectionString.size()), nullptr, 0, nullptr,
        SQL_DRIVER_NOPROMPT);
    if (!succeeded(rc)) {
        error = diagnostics(SQL_HANDLE_DBC, m_connection);
        // The connection string may hold a password: it is not repeated.
        error.text = "Cannot connect through ODBC: " + error.text;
        SQLFreeHandle(SQL_HANDLE_DBC, m_connection);
        m_connection = nullptr;
        return false;
    }
    return true;
}

OdbcConnection::~OdbcConnection()
{
    if (m_connection) {
        if (!m_transactions.empty())
            SQLEndTran(SQL_HANDLE_DBC, m_connection, SQL_ROLLBACK);
        SQLDisconnect(m_connection);
        SQLFreeHandle(SQL_HANDLE_DBC, m_connection);
    }
    if (m_environment)
        SQLFreeHandle(SQL_HANDLE_ENV, m_environment);
}

std::string OdbcConnection::serverText(std::string_view sql) const
{
    switch (m_dialect) {
    case Dialect::PostgreSql:
        return bracketsToDoubleQuotes(sql);
    case Dialect::Sqlite:
        return stripDboQualifiers(sql);
    default:
        return std::string(sql);
    }
}

void OdbcConnection::cancel()
{
    std::lock_guard lock(m_runMutex);
    m_cancelled = true;
    if (m_running)
        SQLCancel(m_running);
}

bool OdbcConnection::enterRun(void *statement, bool starting)
{
    std::lock_guard lock(m_runMutex);
    m_running = statement;
    // A cancel asked for before a statement starts belongs to an earlier one.
    if (starting)
        m_cancelled = false;
    return m_cancelled;
}

bool OdbcConnection::leaveRun()
{
    std::lock_guard lock(m_runMutex);
    m_running = nullptr;
    return m_cancelled.exchange(false);
}

short OdbcConnection::runWatched(const std::function<short()> &call)
{
    if (!m_progress)
        return call();
    std::mutex mutex;
    std::condition_variable finished;
    bool done = false;
    short rc = SQL_ERROR;
    std::thread worker;
    try {
        worker = std::thread([&] {
            const short result = call();
            std::lock_guard lock(mutex);
            rc = result;
            done = true;
            finished.notify_one();
        });
    } catch (const std::system_error &) {
        return call(); // no thread to spare: the callback waits until the call returns
    }
    std::unique_lock lock(mutex);
    while (!finished.wait_for(lock, std::chrono::milliseconds(50), [&] { return done; })) {
        lock.unlock();
        m_progress(); // may call cancel(), which reaches the call through SQLCancel
        lock.lock();
    }
    lock.unlock();
    worker.join();
    return rc;
}

DbError OdbcConnection::statementError(void *statement, bool cancelled) const
{
    DbError error = diagnostics(SQL_HANDLE_STMT, statement);
    // Some drivers report a session the server ended as a general error: the connection
    // itself tells.
    SQLUINTEGER dead = SQL_CD_FALSE;
    if (!error.sqlState.starts_with("08")
        && succeeded(SQLGetConnectAttr(m_connection, SQL_ATTR_CONNECTION_DEAD, &dead, 0, nullptr))
        && dead == SQL_CD_TRUE) {
        error.text = "The connection to the database server was lost: " + error.text;
        error.sqlState = "08S01";
        error.transient = false;
    }
    if (cancelled) {
        error.text = std::string(kCancelledText) + " (" + error.text + ")";
        error.sqlState = "HY008";
        error.transient = false;
    } else if (error.sqlState == "HYT00" || (error.sqlState == "57014" && m_timeout.count() > 0)) {
        // PostgreSQL's driver times out through statement_timeout, which the server reports as
        // a cancel: the time-out path must read it as SQL Server's driver words it.
        error.text = std::string(kQueryTimeoutText) + " (" + error.text + ")";
        error.sqlState = "HYT00";
        error.transient = false;
    }
    return error;
}

std::unique_ptr<Statement> OdbcConnection::prepare(std::string_view sql, std::string *tail)
{
    if (tail)
        tail->clear(); // the server takes the text whole
    std::string text = serverText(sql);
    SQLHSTMT handle = nullptr;
    if (!succeeded(SQLAllocHandle(SQL_HANDLE_STMT, m_connection, &handle))) {
        m_error = diagnostics(SQL_HANDLE_DBC, m_connection);
        return nullptr;
    }
    if (!succeeded(SQLPrepare(handle, reinterpret_cast<SQLCHAR *>(text.data()),
            static_cast<SQLINTEGER>(text.size())))) {
        m_error = statementError(handle, false);
        SQLFreeHandle(SQL_HANDLE_STMT, handle);
        return nullptr;
    }
    auto statement = std::make_unique<OdbcStatement>(*this, handle, std::move(text));
    // Describing makes the server compile the text now (without running it), so a statement
    // that does not compile fails here, as on the embedded engine.
    if (!statement->describe()) {
        m_error = statement->lastError();
        return nullptr;
    }
    m_error.clear();
    return statement;
}

bool OdbcConnection::describeColumns(std::string_view sql, std::vector<std::string> &names)
{
    names.clear();
    const std::unique_ptr<Statement> statement = prepare(sql);
    if (!statement)
        return false;
    for (int column = 0; column < statement->columnCount(); ++column)
        names.push_back(statement->columnName(column));
    return true;
}

bool OdbcConnection::execute(std::string_view sql)
{
    const std::unique_ptr<Statement> statement = prepare(sql);
    if (!statement)
        return false;
    Statement::Step step;
    while ((step = statement->step()) == Statement::Step::Row) { }
    if (step == Statement::Step::Error) {
        m_error = statement->lastError();
        return false;
    }
    m_error.clear();
    return true;
}

bool OdbcConnection::runFixed(const std::string &sql)
{
    SQLHSTMT handle = nullptr;
    if (!succeeded(SQLAllocHandle(SQL_HANDLE_STMT, m_connection, &handle))) {
        m_error = diagnostics(SQL_HANDLE_DBC, m_connection);
        return false;
    }
    const SQLRETURN rc
        = SQLExecDirect(handle, reinterpret_cast<SQLCHAR *>(const_cast<char *>(sql.c_str())),
            static_cast<SQLINTEGER>(sql.size()));
    const bool ok = succeeded(rc) || rc == SQL_NO_DATA;
    if (!ok)
        m_error = statementError(handle, false);
    SQLFreeHandle(SQL_HANDLE_STMT, handle);
    return ok;
}

bool OdbcConnection::setAutocommit(bool on)
{
    const SQLRETURN rc = SQLSetConnectAttr(m_connection, SQL_ATTR_AUTOCOMMIT,
        reinterpret_cast<SQLPOINTER>(on ? SQL_AUTOCOMMIT_ON : SQL_AUTOCOMMIT_OFF), 0);
    if (!succeeded(rc)) {
        m_error = diagnostics(SQL_HANDLE_DBC, m_connection);
        return false;
    }
    return true;
}

namespace {

std::string savepointName(std::size_t depth)
{
    return "qp_" + std::to_string(depth);
}

} // namespace

bool OdbcConnection::begin()
{
    const bool nested = !m_transactions.empty();
    if (!nested) {
        if (!setAutocommit(false))
            return false;
    } else {
        const std::string name = savepointName(m_transactions.size());
        if (!runFixed(
                m_dialect == Dialect::SqlServer ? "SAVE TRANSACTION " + name : "SAVEPOINT " + name))
            return false;
    }
    m_transactions.push_back(nested);
    m_error.clear();
    return true;
}

bool OdbcConnection::commit()
{
    if (m_transactions.empty()) {
        m_error = DbError { "There is no transaction to commit.", 0, "25000" };
        return false;
    }
    if (m_transactions.back()) {
        // SQL Server keeps a savepoint until the whole transaction ends.
        if (m_dialect != Dialect::SqlServer
            && !runFixed("RELEASE SAVEPOINT " + savepointName(m_transactions.size() - 1)))
            return false; // still open: the caller's guard rolls back
        m_transactions.pop_back();
        m_error.clear();
        return true;
    }
    if (!succeeded(SQLEndTran(SQL_HANDLE_DBC, m_connection, SQL_COMMIT))) {
        m_error = diagnostics(SQL_HANDLE_DBC, m_connection);
        return false;
    }
    m_transactions.pop_back();
    setAutocommit(true);
    m_error.clear();
    return true;
}

void OdbcConnection::rollback() noexcept
{
    if (m_transactions.empty())
        return;
    const bool savepoint = m_transactions.back();
    m_transactions.pop_back();
    const DbError kept = m_error; // the failure being rolled back is what the caller reports
    if (savepoint) {
        const std::string name = savepointName(m_transactions.size());
        if (m_dialect == Dialect::SqlServer) {
            runFixed("ROLLBACK TRANSACTION " + name);
        } else {
            runFixed("ROLLBACK TO SAVEPOINT " + name);
            runFixed("RELEASE SAVEPOINT " + name);
        }
    } else {
        SQLEndTran(SQL_HANDLE_DBC, m_connection, SQL_ROLLBACK);
        setAutocommit(true);
    }
    m_error = kept;
}

std::int64_t OdbcConnection::lastInsertId() const
{
    const char *sql = nullptr;
    switch (m_dialect) {
    case Dialect::PostgreSql:
        sql = "SELECT lastval()";
        break;
    case Dialect::Sqlite:
        sql = "SELECT last_insert_rowid()";
        break;
    case Dialect::SqlServer:
        sql = "SELECT CAST(@@IDENTITY AS BIGINT)";
        break;
    case Dialect::Other:
        return 0;
    }
    SQLHSTMT handle = nullptr;
    if (!succeeded(SQLAllocHandle(SQL_HANDLE_STMT, m_connection, &handle)))
        return 0;
    std::int64_t id = 0;
    SQLLEN length = 0;
    if (succeeded(
            SQLExecDirect(handle, reinterpret_cast<SQLCHAR *>(const_cast<char *>(sql)), SQL_NTS))
        && succeeded(SQLFetch(handle))
        && succeeded(SQLGetData(handle, 1, SQL_C_SBIGINT, &id, sizeof id, &length))
        && length == SQL_NULL_DATA)
        id = 0;
    SQLFreeHandle(SQL_HANDLE_STMT, handle);
    return id;
}

bool OdbcConnection::insertWithIdentity(std::string_view insertSql, std::span<const Value> values,
    std::string_view identityColumn, std::int64_t &id, DbError &error)
{
    std::string sql(insertSql);
    if (m_dialect == Dialect::PostgreSql)
        // Bracketed, so the name folds as the statement's own names do ("idAgents" is idagents).
        sql += " RETURNING [" + std::string(identityColumn) + "]";
    else if (m_dialect == Dialect::SqlServer)
        // One batch, one scope: another session's or a trigger's insert cannot answer.
        sql += "; SELECT CAST(SCOPE_IDENTITY() AS BIGINT)";
    else
        return Connection::insertWithIdentity(insertSql, values, identityColumn, id, error);
    id = 0;
    bool read = false;
    const int before = m_changes;
    const bool ok = forEachRow(
        sql, values,
        [&](const Statement &row) {
            read = true;
            id = row.isNull(0) ? 0 : row.asInt64(0);
            return false;
        },
        error);
    if (ok && !read)
        m_changes = before;
    return ok;
}

void OdbcConnection::setCommandTimeout(std::chrono::milliseconds limit)
{
    m_timeout = limit.count() > 0 ? limit : std::chrono::milliseconds(0);
}

void OdbcConnection::setProgressCallback(std::function<void()> callback)
{
    m_progress = std::move(callback);
}

std::string_view OdbcConnection::textCollation() const
{
    return m_dialect == Dialect::Sqlite ? std::string_view(" COLLATE NOCASE") : std::string_view();
}

std::string OdbcConnection::equalsIgnoringCase(std::string_view column) const
{
    if (m_dialect == Dialect::PostgreSql)
        return "lower(" + std::string(column) + ") = lower(?)";
    return Connection::equalsIgnoringCase(column);
}

std::vector<ColumnInfo> OdbcConnection::tableColumns(std::string_view table)
{
    std::string schema;
    std::string name;
    SqlText::splitName(serverText(table), schema, name);
    if (m_dialect == Dialect::Sqlite)
        schema.clear();
    std::vector<ColumnInfo> columns;
    auto text = [](SQLHSTMT handle, SQLUSMALLINT column) {
        std::array<char, 512> value {};
        SQLLEN length = 0;
        if (!succeeded(SQLGetData(handle, column, SQL_C_CHAR, value.data(), value.size(), &length))
            || length == SQL_NULL_DATA)
            return std::string();
        return std::string(value.data());
    };
    auto read = [&](const std::string &tableName) {
        columns.clear();
        SQLHSTMT handle = nullptr;
        if (!succeeded(SQLAllocHandle(SQL_HANDLE_STMT, m_connection, &handle)))
            return false;
        auto *schemaText = reinterpret_cast<SQLCHAR *>(schema.data());
        auto *tableText = reinterpret_cast<SQLCHAR *>(const_cast<char *>(tableName.c_str()));
        bool ok = succeeded(SQLColumns(handle, nullptr, 0, schema.empty() ? nullptr : schemaText,
            schema.empty() ? 0 : SQL_NTS, tableText, SQL_NTS, nullptr, 0));
        while (ok && succeeded(SQLFetch(handle))) {
            ColumnInfo column;
            column.name = text(handle, 4);
            column.declaredType = text(handle, 6);
            SQLSMALLINT dataType = 0;
            SQLSMALLINT nullable = SQL_NULLABLE;
            SQLLEN length = 0;
            SQLGetData(handle, 5, SQL_C_SSHORT, &dataType, 0, &length);
            SQLGetData(handle, 11, SQL_C_SSHORT, &nullable, 0, &length);
            column.type = fieldTypeFromDeclared(column.declaredType);
            if (column.type == FieldType::Other)
                column.type = OdbcStatement::typeOf(dataType);
            column.notNull = nullable == SQL_NO_NULLS;
            const std::string defaultValue = text(handle, 13);
            const std::string type = NameFold::fold(column.declaredType);
            column.identity = type.find("identity") != std::string::npos
                || type.find("serial") != std::string::npos || defaultValue.starts_with("nextval(");
            columns.push_back(std::move(column));
        }
        if (!ok)
            m_error = statementError(handle, false);
        SQLFreeHandle(SQL_HANDLE_STMT, handle);
        if (!ok || columns.empty())
            return ok;
        ok = succeeded(SQLAllocHandle(SQL_HANDLE_STMT, m_connection, &handle))
            && succeeded(SQLPrimaryKeys(handle, nullptr, 0, schema.empty() ? nullptr : schemaText,
                schema.empty() ? 0 : SQL_NTS, tableText, SQL_NTS));
        int keyColumns = 0;
        while (ok && succeeded(SQLFetch(handle))) {
            const std::string key = text(handle, 4);
            for (ColumnInfo &column : columns) {
                if (column.name == key) {
                    column.primaryKey = true;
                    ++keyColumns;
                }
            }
        }
        SQLFreeHandle(SQL_HANDLE_STMT, handle);
        // On SQLite a lone INTEGER PRIMARY KEY is the rowid, filled in on insert.
        for (ColumnInfo &column : columns) {
            if (m_dialect == Dialect::Sqlite && keyColumns == 1 && column.primaryKey)
                column.identity = NameFold::same(column.declaredType, "INTEGER");
        }
        return true;
    };
    if (!read(name))
        return {};
    // An unquoted name is folded to lower case by PostgreSQL.
    const std::string folded = NameFold::fold(name);
    if (columns.empty() && m_dialect == Dialect::PostgreSql && folded != name && !read(folded))
        return {};
    if (columns.empty()) {
        m_error = DbError { "no such table: " + std::string(table), 0, "42S02" };
        return columns;
    }
    m_error.clear();
    return columns;
}
