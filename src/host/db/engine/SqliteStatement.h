#pragma once

#include "host/db/engine/Connection.h"

#include <chrono>

struct sqlite3_mutex;
struct sqlite3_stmt;
class SqliteConnection;

// One compiled SQLite statement; made by SqliteConnection::prepare and used on its connection.
class SqliteStatement final : public Statement
{
public:
    SqliteStatement(SqliteConnection &connection, sqlite3_stmt *statement);
    ~SqliteStatement() override;
    SqliteStatement(const SqliteStatement &) = delete;
    SqliteStatement &operator=(const SqliteStatement &) = delete;

    bool bind(int index, const Value &value) override;
    Step step() override;
    bool reset() override;

    int columnCount() const override;
    std::string columnName(int column) const override;
    FieldType declaredType(int column) const override;
    std::string baseTable(int column) const override;
    std::string baseColumn(int column) const override;

    bool isNull(int column) const override;
    std::int64_t asInt64(int column) const override;
    double asDouble(int column) const override;
    std::string_view asText(int column) const override;
    Blob asBlob(int column) const override;
    FieldType valueType(int column) const override;
    int readRow(Cell *cells, int count) const override;
    RowBatch::End fillRows(RowBatch &batch) override;

    bool isReadOnly() const override;
    const DbError &lastError() const override { return m_error; }

    sqlite3_stmt *handle() const { return m_statement; }

private:
    Step stepEnded(int rc, bool timedOut); // records the error of a failed step

    SqliteConnection &m_connection;
    sqlite3_stmt *m_statement;
    sqlite3_mutex
        *m_rowMutex; // the connection's, held while a row is read; none when single-thread
    DbError m_error;
    // Set at the first step after prepare or reset: the time-out covers the whole run.
    std::chrono::steady_clock::time_point m_deadline;
    bool m_started = false;
    bool m_limited = false;
};
