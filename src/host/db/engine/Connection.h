#pragma once

#include "host/db/engine/DbError.h"
#include "host/db/engine/FieldType.h"
#include "host/db/engine/Value.h"

#include <chrono>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

class ResultColumns;

// One cell of the current row as a statement reads it. Text and bytes point into
// the engine's row and stay valid until the next step.
struct Cell
{
    enum class Kind : std::uint8_t { Null, Integer, Real, Text, Blob };
    Kind kind = Kind::Null;
    std::int64_t integer = 0;
    double real = 0;
    const char *data = nullptr;
    std::size_t size = 0;

    std::string_view bytes() const { return { data, size }; }
};

// One compiled statement. Column accessors are valid after step() returned Row.
class Statement
{
public:
    enum class Step { Row, Done, Error };
    virtual ~Statement() = default;

    virtual bool bind(int index, const Value &value) = 0; // 1-based, like the engines
    virtual Step step() = 0;
    virtual bool reset() = 0; // to run again with new bindings

    virtual int columnCount() const = 0;
    virtual std::string columnName(int column) const = 0;
    virtual FieldType declaredType(int column) const = 0; // Other when the engine has none
    // Base table and column of a result column, empty for expressions.
    virtual std::string baseTable(int column) const = 0;
    virtual std::string baseColumn(int column) const = 0;

    virtual bool isNull(int column) const = 0;
    virtual std::int64_t asInt64(int column) const = 0;
    virtual double asDouble(int column) const = 0;
    virtual std::string_view asText(int column) const = 0; // valid until the next step
    virtual Blob asBlob(int column) const = 0;
    // The storage class of the current value, for columns without a declared type: Integer,
    // Float, String, Blob, or Other for NULL.
    virtual FieldType valueType(int column) const = 0;
    // Appends the current row to `columns`, which ResultColumns::addColumns made from this
    // statement. The default reads through the accessors above; engines override it to read
    // straight from their own row.
    virtual void appendRowTo(ResultColumns &columns) const;

    virtual bool isReadOnly() const = 0; // the statement cannot change the database
    virtual const DbError &lastError() const = 0;

private:
    void readCells(Cell *cells) const; // cells[0 .. columnCount()) through the accessors
    mutable std::vector<Blob> m_cellBlobs; // what the default readCells hands out as bytes
    mutable std::vector<Cell> m_rowCells; // the row the default appendRowTo reads
};

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
    virtual int changes() const = 0;

    // 0 means no limit. Applies to every statement stepped from now on.
    virtual void setCommandTimeout(std::chrono::milliseconds limit) = 0;
    virtual std::chrono::milliseconds commandTimeout() const = 0;
    // Called now and then while a statement runs (keeps the progress window painted).
    virtual void setProgressCallback(std::function<void()> callback) = 0;

    // The columns of a table or view, in order; empty (and lastError) when it does not exist.
    // The name may be qualified ("dbo.x", "[x]", "payroll.x").
    virtual std::vector<ColumnInfo> tableColumns(std::string_view table) = 0;

    virtual const DbError &lastError() const = 0;
    virtual std::string engineName() const = 0; // "SQLite", "ODBC"
    virtual std::string fileName() const = 0; // the database file, empty where none
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
