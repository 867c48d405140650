#pragma once

#include "host/db/dataset/BackgroundLoad.h"
#include "host/db/dataset/TQuillonDataSet.h"
#include "host/db/engine/Value.h"

#include <chrono>
#include <memory>
#include <optional>
#include <string>
#include <vector>

class Connection;
class ResultColumns;
class RowReceiver;
struct StatementRun;
struct ColumnInfo;

// The host query: one statement over one connection, its result held by column.
// Knows no engine: everything goes through Connection/Statement.
//
// Time-out and retries: Open (and brRefresh, SelectRecords, Stream) sets the connection's command
// time-out to CommandTimeout() seconds (0: none) for the duration of the call and restores the
// previous one afterwards. RetryCount() is the number of attempts in all (at least one): an
// attempt that fails because another connection holds the database (busy, locked) is run again
// from the start; a time-out or any other error ends the open at once with that error.
//
// Editing writes to the base table by its key with bound parameters: the table is TableName()
// (set, or else the table the result's first column comes from) and the key is KeyField() (set,
// or else the table's primary key). Only changed fields are written; a posted row is read back
// from the table, so database defaults and an assigned identity show at once. A write runs in
// a transaction (a savepoint inside a caller's transaction): a failure leaves the table as it
// was and the query in its edit state.
class TQuillonADOQuery : public TQuillonDataSet
{
    Q_OBJECT
public:
    explicit TQuillonADOQuery(QObject *parent = nullptr);
    ~TQuillonADOQuery() override;

    void SetConnection(Connection *connection) { m_connection = connection; }
    Connection *GetConnection() const { return m_connection; }
    void SetSQL(const QString &sql); // closes the query
    QString SQL() const { return m_sql; }
    // Base table and key for editing; inferred from the result when not set.
    void SetTableName(const QString &table) { m_tableName = table; }
    QString TableName() const;
    void SetKeyField(const QString &field) { m_keyField = field; }
    QString KeyField() const;

    void SetCommandTimeout(int seconds) { m_timeoutSeconds = seconds; } // 0: none
    int CommandTimeout() const { return m_timeoutSeconds; }
    void SetRetryCount(int count) { m_retryCount = count; }
    int RetryCount() const { return m_retryCount; }

    bool Open(); // false with LastError; a time-out's text begins "Query timeout expired"
    // Runs the statement as Open does, with the same time-out and retries, but hands each row to
    // `receiver` as it is read instead of keeping it: the query stays closed and its memory flat
    // at any row count. An attempt is made again only before the first row was handed over, or
    // when the receiver allows it (MayRepeat). False with LastError, or with no error set when
    // the receiver stopped the run.
    bool Stream(RowReceiver &receiver);
    // Runs the statement as Open does, with the same time-out and retries, on a thread of its
    // own over `connection`, which the load uses alone and closes at its end: the query is open
    // at once and its rows arrive (Loading()). TakeArrivedRows shows them and ends the load.
    // Close, SetSQL or the query's end cancel a load still running and wait for its thread.
    void OpenInBackground(std::unique_ptr<Connection> connection);
    // Waits until `rows` rows have arrived or the load has ended, at most `limit`.
    bool WaitForRows(std::size_t rows, std::chrono::milliseconds limit);
    // Shows the rows that arrived since the last call. Once the statement has ended: ends the
    // load and returns how (Done; Cancelled or Failed keep the rows read, with LastError saying
    // why they are not all; only a row cut short by a lack of memory closes the query). Loading
    // while the statement runs, or when no load was started.
    BackgroundLoad::State TakeArrivedRows();
    void CancelLoading(); // stops the statement; the rows read so far stay
    // The time of the last background load from its start to its end, in ms.
    qint64 LoadElapsedMs() const { return m_loadElapsedMs; }
    // When the last background load started its statement (the benchmark's first screen).
    std::chrono::steady_clock::time_point LoadStartedAt() const { return m_loadStartedAt; }

    // Runs "select * from <table> where <column> = ?" with the value bound, and opens it. The
    // column must be one of the table's (TableName() must be known); others are refused. A text
    // column compares ignoring letter case.
    bool SelectRecords(const QString &column, const QVariant &value);
    // Whether any row of the table satisfies the criterion (the record-filter grammar). Column
    // names are checked against the table and literals bound, so the text cannot change the SQL.
    // False with LastError set when the criterion is refused or the query fails.
    bool RecordsExistCriteria(const QString &criteria);
    // Runs the statement again, keeping the current record by key where it still exists. With
    // `keyField` and `keyValue` given, moves to that record instead. `option` has no effect.
    bool brRefresh(bool option = true, const QString &keyField = {}, const QString &keyValue = {});

protected:
    void StopRowsArriving() override;
    bool WriteRow(int row, const std::vector<QVariant> &values, std::vector<bool> &changed,
        int &newRow) override;
    bool RemoveRow(int row) override;

private:
    bool Load(std::unique_ptr<ResultColumns> &result);
    bool Run(RowReceiver &receiver); // the attempts of a Load or a Stream
    StatementRun RunSettings() const;
    bool LoadAndShow(); // Load, then the new rows replace the old from the first record
    // Where edits go: the table, its key column and, per field, the table's column ("" for a
    // field that is not one).
    struct WriteTarget
    {
        QString table;
        std::string key;
        std::vector<std::string> targets;
    };
    // nullopt, with the error set, when the rows cannot be written.
    std::optional<WriteTarget> FindWriteTarget();
    std::vector<std::string> TargetColumns(
        const QString &table, const std::vector<ColumnInfo> &columns) const;
    // The key value of a row as loaded; nullopt, with the error set, when the key is not a field.
    std::optional<Value> RowKey(const WriteTarget &target, int row);
    bool ReadBack(const QString &table, const std::string &key, const Value &keyValue,
        const std::vector<std::string> &targets, std::vector<Value> &values);
    int FindRow(int field, const QVariant &value) const;

    Connection *m_connection = nullptr;
    QString m_sql;
    std::vector<Value> m_parameters; // bound to the statement's "?" in order (SelectRecords)
    QString m_tableName;
    QString m_keyField;
    int m_timeoutSeconds = 0;
    int m_retryCount = 1;
    std::unique_ptr<BackgroundLoad> m_load; // while rows arrive
    qint64 m_loadElapsedMs = 0;
    std::chrono::steady_clock::time_point m_loadStartedAt;
};
