#pragma once

#include "host/db/engine/DbError.h"
#include "host/db/engine/FieldType.h"

#include <QDateTime>
#include <QObject>
#include <QString>
#include <QVariant>

#include <functional>
#include <memory>
#include <mutex>
#include <vector>

class TQuillonDataSet;
class RecordFilter;
class ResultColumns;

// A field of the current record, looked up by name (case-insensitive). Cheap to copy.
class TField
{
public:
    TField(TQuillonDataSet *dataSet, int index)
        : m_dataSet(dataSet)
        , m_index(index)
    {
    }
    bool IsValid() const { return m_dataSet && m_index >= 0; }
    int Index() const { return m_index; }
    QString FieldName() const;
    FieldType DataType() const;

    bool IsNull() const;
    QVariant AsVariant() const; // null QVariant for NULL
    QString AsString() const; // "" for NULL
    qint64 AsLargeInt() const;
    int AsInteger() const;
    double AsFloat() const;
    bool AsBoolean() const;
    QDateTime AsDateTime() const; // invalid for NULL
    QByteArray AsBytes() const;

    // Writes go to the edit buffer; only valid in edit or insert state (false otherwise).
    bool SetAsVariant(const QVariant &value);
    bool SetAsString(const QString &value) { return SetAsVariant(value); }
    bool SetAsInteger(qint64 value) { return SetAsVariant(value); }
    bool SetAsFloat(double value) { return SetAsVariant(value); }
    bool SetAsBoolean(bool value) { return SetAsVariant(value); }
    bool SetAsDateTime(const QDateTime &value) { return SetAsVariant(value); }
    bool SetAsBytes(const QByteArray &value) { return SetAsVariant(value); }
    bool Clear() { return SetAsVariant(QVariant()); }

private:
    TQuillonDataSet *m_dataSet;
    int m_index;
};

// What a grid, a filter and a window see of a set of rows: the host query and the in-memory
// table both are one. Rows are addressed two ways: "record" = position among the rows that pass
// the record filter (what navigation and the grid use), "row" = position in the whole result.
class TQuillonDataSet : public QObject
{
    Q_OBJECT
public:
    enum class State { Inactive, Browse, Edit, Insert };

    explicit TQuillonDataSet(QObject *parent = nullptr);
    ~TQuillonDataSet() override;

    // Fields, as the rows held by column (ColumnStore()) have them.
    virtual int FieldCount() const;
    virtual QString FieldName(int index) const;
    virtual FieldType FieldDataType(int index) const;
    int FieldIndex(const QString &name) const; // case-insensitive; -1 when absent
    TField FieldByName(const QString &name); // invalid TField when absent
    TField Field(int index) { return TField(this, index); }

    // Rows of the whole result (unfiltered)
    virtual int RowCount() const;
    virtual bool IsNullAt(int row, int field) const;
    virtual QVariant ValueAt(int row, int field) const; // converted when asked, never stored
    // Fast typed reads for filters and sorting: numbers, dates (ms since 1970-01-01, no time
    // zone) and text (numbers printed, dates in ISO form).
    virtual double NumberAt(int row, int field) const;
    virtual QString TextAt(int row, int field) const;
    // The rows by column, for the grid's sort and other fast readers; nullptr when closed and
    // while rows arrive (another thread is writing them: read through the calls above).
    const ResultColumns *ColumnStore() const { return m_rowsLock ? nullptr : m_columns.get(); }
    // Decimals a real field needs to show its values (ColumnDecimals), also while rows arrive.
    int FieldDecimals(int field, int cap) const;
    // Changes whenever the rows or their values may have changed (a load, an edit, a delete),
    // but not with the filter: what is derived from the values (a sort order) is kept across
    // filters by comparing it.
    quint64 DataVersion() const { return m_dataVersion; }
    void Close(); // the rows go with it

    // Records (rows passing the filter) and navigation. Moving while editing posts the edit
    // first, as the host's data sets always did; when that post fails the record stays.
    bool Active() const { return m_state != State::Inactive; }
    State GetState() const { return m_state; }
    int RecordCount() const;
    int RecNo() const { return m_recNo; } // 0-based record; -1 when empty
    int CurrentRow() const; // row of the current record; -1 when empty
    int RowOfRecord(int record) const;
    int RecordOfRow(int row) const; // -1 when the row is filtered out
    // The rows passing the filter in record order; nullptr when every row is a record.
    const std::vector<int> *FilteredRows() const { return Indexed() ? &m_index : nullptr; }
    bool First();
    bool Last();
    bool Next(); // false (and Eof) past the last record
    bool Prior();
    bool MoveTo(int record);
    bool Eof() const { return m_eof; }
    bool Bof() const { return m_bof; }
    bool IsEmpty() const { return RecordCount() == 0; }
    // Moves to the first record whose field equals the value (text compared case-insensitively).
    bool Locate(const QString &fieldName, const QVariant &value);

    // Editing of the current record. brPost writes and returns false with LastError on failure,
    // leaving the record in its edit state with the values typed so far. An append is added at
    // the end of the rows. Delete removes the current record (an insert in progress is only
    // cancelled). `option` of brEdit is accepted for the callers and has no effect.
    bool brEdit(bool option = true);
    bool brAppend();
    bool brPost();
    void Cancel();
    bool Delete();

    // Record filter: an expression such as "cName = 'Smith' AND nTotal > 100" (RecordFilter). A
    // text that does not parse or names an unknown field is refused (false, LastError names the
    // position) and the old filter stays. An empty text removes the filter. A filter set while
    // closed is checked against the fields when the data set opens; if they lack one of its
    // fields it is dropped and LastError says why.
    bool SetFilter(const QString &expression);
    QString Filter() const { return m_filterText; }
    bool Filtered() const { return !m_filterText.isEmpty(); }

    // Rows arriving from a statement still running (TQuillonADOQuery::OpenInBackground): the
    // rows shown so far can be read and navigated; what needs the whole result (a filter, a
    // sort, a save, a chart) asks WaitForAllRows first and does nothing when it says false.
    bool Loading() const { return m_rowsLock != nullptr; }
    // How WaitForAllRows waits (the window shows progress with a Cancel): true once every row
    // is there, false when the person stopped the wait or the load. Without one it says false.
    void SetWaitForAllRows(std::function<bool()> wait) { m_waitForAll = std::move(wait); }
    bool WaitForAllRows(); // true at once when no rows are arriving

    // Display updates: while disabled no signal reaches grids (one reset when enabled again).
    void DisableControls();
    void EnableControls();
    bool ControlsDisabled() const { return m_disableCount > 0; }

    const DbError &LastError() const { return m_error; }
    QString LastErrorText() const { return QString::fromStdString(m_error.text); }

    // Used by TField; the edit buffer while in Edit or Insert state.
    QVariant CurrentValue(int field) const;
    bool SetCurrentValue(int field, const QVariant &value);

signals:
    void DataReset(); // opened, closed, refreshed, filtered: everything changed
    void RowChanged(int record); // a posted edit
    void RowInserted(int record); // a posted append
    void RowRemoved(int record); // a delete
    void CurrentChanged(int record); // navigation
    void RowsArrived(int first, int last); // records appended while a statement still runs
    void RowsSettled(); // the rows stopped arriving: values read while they did may show anew

protected:
    // Engines implement how an edit, append or delete reaches storage; row = -1 for an append.
    virtual bool WriteRow(
        int row, const std::vector<QVariant> &values, std::vector<bool> &changed, int &newRow)
        = 0;
    virtual bool RemoveRow(int row) = 0;
    void SetState(State state) { m_state = state; }
    ResultColumns *Columns() // for the engines' writes
    {
        ++m_dataVersion;
        return m_columns.get();
    }
    // New rows (a load, a new table); the old ones go. Then one of the resets below.
    void SetColumns(std::unique_ptr<ResultColumns> columns);
    void ResetAfterLoad(); // rebuild the filter index, go to the first record, emit DataReset
    // After the rows changed outside an edit (a refresh): keeps the record of `row` when it
    // still passes the filter, else the nearest record.
    void ResetKeepingRow(int row);
    // Loading in the background: `columns` fill on another thread under `lock`, and only the
    // rows shown (ShowArrivedRows) are read, each read under the lock. EndRowsArriving is called
    // once the writer has stopped for good: the rows stay (finished, filter applied) or go.
    void BeginRowsArriving(std::unique_ptr<ResultColumns> columns, std::mutex &lock);
    ResultColumns *ArrivingColumns() { return m_columns.get(); }
    void ShowArrivedRows(int rows);
    void EndRowsArriving(bool keepRows);
    virtual void StopRowsArriving() { } // the writer stops for good before the rows go
    void SetError(DbError error) { m_error = std::move(error); }
    void ClearError() { m_error.clear(); }
    void EmitReset();

private:
    bool Indexed() const { return m_filter && !m_rowsLock; } // a filter applies (not while loading)
    std::unique_lock<std::mutex> ReadLock() const; // held while rows arrive, else empty
    bool Readable(int row, int field) const;
    void RebuildIndex();
    void SetPosition(int record);
    bool CheckBrowseMode(); // posts an edit in progress before moving
    bool ActiveWithRecord(const char *action);
    void NotifyRecord(void (TQuillonDataSet::*signal)(int), int record);
    void NotifyReset();

    std::unique_ptr<ResultColumns> m_columns; // nullptr while closed
    quint64 m_dataVersion = 0;
    State m_state = State::Inactive;
    int m_recNo = -1;
    bool m_eof = true;
    bool m_bof = true;
    int m_disableCount = 0;
    bool m_pendingReset = false;
    QString m_filterText;
    std::unique_ptr<RecordFilter> m_filter;
    std::vector<int> m_index; // rows passing the filter, in order; empty with no filter
    std::vector<QVariant> m_buffer;
    std::vector<bool> m_changed;
    DbError m_error;
    std::mutex *m_rowsLock = nullptr; // set while rows arrive
    int m_shownRows = 0; // while rows arrive: the rows read so far
    std::function<bool()> m_waitForAll;
};
