#pragma once

#include "host/db/engine/DbError.h"
#include "host/db/engine/FieldType.h"
#include "host/db/engine/Statement.h"
#include "host/db/engine/Value.h"

#include <chrono>
#include <cstdint>
#include <functional>
#include <initializer_list>
#include <memory>
#include <span>
#include <string>
#include <string_view>
#include <vector>

// A column of a table as the engine describes it.
struct ColumnInfo
{
    std::string name;
    std::string declaredType; // as written in the table's definition, "VARCHAR(10)"
    FieldType type = FieldType::Other;
    bool primaryKey = false;
    bool notNull = false;
    bool identity = false; // the engine assigns it on insert (INTEGER PRIMARY KEY, IDENTITY)
};

// An open database. Statements run as text exactly as the callers give them; user values are bound.
class Connection
{
public:
    virtual ~Connection() = default;

    // nullptr and lastError() when the text does not compile. `tail` receives what follows the
    // first statement when the text holds more than one.
    virtual std::unique_ptr<Statement> prepare(std::string_view sql, std::string *tail = nullptr)
        = 0;
    // Runs a whole script (several statements, no results); for schema set-up.
    virtual bool execute(std::string_view sql) = 0;

    virtual bool begin() = 0;
    virtual bool commit() = 0;
    virtual void rollback() noexcept = 0; // runs on error paths
    virtual bool inTransaction() const = 0;

    virtual std::int64_t lastInsertId() const = 0;
    // Runs an INSERT (values bound in order) and reads back the identity the engine assigned to
    // `identityColumn`, 0 when it assigned none. A server may run other inserts at the same
    // time, so engines that can return it with the insert itself (RETURNING, OUTPUT) do; the
    // default reads lastInsertId() after the insert.
    virtual bool insertWithIdentity(std::string_view insertSql, std::span<const Value> values,
        std::string_view identityColumn, std::int64_t &id, DbError &error);
    virtual int changes() const = 0;

    // 0 means no limit. Applies to every statement stepped from now on.
    virtual void setCommandTimeout(std::chrono::milliseconds limit) = 0;
    virtual std::chrono::milliseconds commandTimeout() const = 0;
    // Called now and then while a statement runs (keeps the progress window painted).
    virtual void setProgressCallback(std::function<void()> callback) = 0;
    // Stops the statement that is running: its step fails with an error for which
    // DbError::isCancelled() holds. Safe to call from the progress callback; a statement that
    // starts afterwards runs as usual.
    virtual void cancel() = 0;

    // The columns of a table or view, in order; empty (and lastError) when it does not exist.
    // The name may be qualified ("dbo.x", "[x]", "payroll.x").
    virtual std::vector<ColumnInfo> tableColumns(std::string_view table) = 0;
    // The result column names of the first statement of `sql`, which is compiled and never run:
    // a statement over a million rows, or one that would fail only while running, answers at
    // once. False with lastError() when the engine refuses the text.
    virtual bool describeColumns(std::string_view sql, std::vector<std::string> &names) = 0;

    virtual const DbError &lastError() const = 0;
    virtual std::string engineName() const = 0; // "SQLite", "ODBC"
    // Follows a text comparison so that it ignores letter case, as SQL Server's usual collation
    // does (" COLLATE NOCASE"); empty where the engine's own comparison already does.
    virtual std::string_view textCollation() const = 0;
    // "<column> = ?" comparing text ignoring letter case, for looking up codes and names: with
    // textCollation() where the engine has such a collation; an engine without one overrides it.
    virtual std::string equalsIgnoringCase(std::string_view column) const
    {
        return std::string(column) + " = ?" + std::string(textCollation());
    }
    virtual std::string fileName() const = 0; // the database file, empty where none

    // Statements with values: each value is bound to the next "?", never spliced into the text.
    // Each fails (false or nullptr) with `error` when the text does not compile, a value does not
    // bind or a step fails.
    std::unique_ptr<Statement> prepareBound(
        std::string_view sql, std::span<const Value> values, DbError &error); // not yet stepped
    // Steps the statement to its end, its rows (if any) unread.
    bool run(std::string_view sql, std::span<const Value> values, DbError &error);
    bool run(std::string_view sql, std::initializer_list<Value> values, DbError &error)
    {
        return run(sql, std::span(values.begin(), values.size()), error);
    }
    // Calls `row` for each result row until it returns false.
    bool forEachRow(std::string_view sql, std::span<const Value> values,
        const std::function<bool(const Statement &)> &row, DbError &error);
    bool forEachRow(std::string_view sql, std::initializer_list<Value> values,
        const std::function<bool(const Statement &)> &row, DbError &error)
    {
        return forEachRow(sql, std::span(values.begin(), values.size()), row, error);
    }
};

// RAII transaction: rolls back unless commit() was called (every early return included).
class Transaction
{
public:
    explicit Transaction(Connection &connection)
        : m_connection(connection)
    {
        m_active = connection.begin();
    }
    ~Transaction()
    {
        if (m_active)
            m_connection.rollback();
    }
    Transaction(const Transaction &) = delete;
    Transaction &operator=(const Transaction &) = delete;
    bool started() const { return m_active; }
    bool commit()
    {
        if (!m_active)
            return false;
        m_active = false;
        return m_connection.commit();
    }

private:
    Connection &m_connection;
    bool m_active = false;
};
