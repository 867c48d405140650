#include "host/db/dataset/TQuillonDataSet.h"

#include "host/db/dataset/ColumnDecimals.h"
#include "host/db/dataset/FieldValues.h"
#include "host/db/dataset/ResultColumns.h"
#include "host/db/engine/NameFold.h"
#include "host/db/filter/RecordFilter.h"

#include <algorithm>

TQuillonDataSet::TQuillonDataSet(QObject *parent)
    : QObject(parent)
{
}

TQuillonDataSet::~TQuillonDataSet() = default;

std::unique_lock<std::mutex> TQuillonDataSet::ReadLock() const
{
    return m_rowsLock ? std::unique_lock<std::mutex>(*m_rowsLock) : std::unique_lock<std::mutex>();
}

int TQuillonDataSet::FieldCount() const
{
    const auto lock = ReadLock();
    return m_columns ? m_columns->columnCount() : 0;
}

QString TQuillonDataSet::FieldName(int index) const
{
    const auto lock = ReadLock();
    if (!m_columns || index < 0 || index >= m_columns->columnCount())
        return {};
    return QString::fromStdString(m_columns->column(index).name());
}

FieldType TQuillonDataSet::FieldDataType(int index) const
{
    const auto lock = ReadLock();
    if (!m_columns || index < 0 || index >= m_columns->columnCount())
        return FieldType::Other;
    return m_columns->column(index).type();
}

int TQuillonDataSet::FieldDecimals(int field, int cap) const
{
    const auto lock = ReadLock();
    if (!m_columns || field < 0 || field >= m_columns->columnCount())
        return 0;
    return ColumnDecimals(m_columns->column(field), cap);
}

int TQuillonDataSet::FieldIndex(const QString &name) const
{
    const int count = FieldCount();
    for (int i = 0; i < count; ++i) {
        if (NameFold::same(FieldName(i), name))
            return i;
    }
    return -1;
}

TField TQuillonDataSet::FieldByName(const QString &name)
{
    return TField(this, FieldIndex(name));
}

int TQuillonDataSet::RowCount() const
{
    if (m_rowsLock)
        return m_shownRows;
    return m_columns ? static_cast<int>(m_columns->rowCount()) : 0;
}

bool TQuillonDataSet::Readable(int row, int field) const
{
    return row >= 0 && row < RowCount() && field >= 0 && field < FieldCount();
}

bool TQuillonDataSet::IsNullAt(int row, int field) const
{
    if (!Readable(row, field))
        return true;
    const auto lock = ReadLock();
    const ResultColumn &column = m_columns->column(field);
    return column.storage() == ResultColumn::Storage::Pending
        || column.isNull(static_cast<std::size_t>(row));
}

QVariant TQuillonDataSet::ValueAt(int row, int field) const
{
    if (!Readable(row, field))
        return QVariant();
    const auto lock = ReadLock();
    return FieldValues::variantAt(m_columns->column(field), static_cast<std::size_t>(row));
}

double TQuillonDataSet::NumberAt(int row, int field) const
{
    if (!Readable(row, field))
        return 0;
    const auto lock = ReadLock();
    return m_columns->column(field).numberAt(static_cast<std::size_t>(row));
}

QString TQuillonDataSet::TextAt(int row, int field) const
{
    if (!Readable(row, field))
        return {};
    const auto lock = ReadLock();
    return QString::fromStdString(
        m_columns->column(field).displayText(static_cast<std::size_t>(row)));
}

int TQuillonDataSet::RecordCount() const
{
    if (!Active())
        return 0;
    return Indexed() ? static_cast<int>(m_index.size()) : RowCount();
}

int TQuillonDataSet::CurrentRow() const
{
    return RowOfRecord(m_recNo);
}

int TQuillonDataSet::RowOfRecord(int record) const
{
    if (record < 0 || record >= RecordCount())
        return -1;
    return Indexed() ? m_index[static_cast<std::size_t>(record)] : record;
}

int TQuillonDataSet::RecordOfRow(int row) const
{
    if (row < 0 || row >= RowCount() || !Active())
        return -1;
    if (!Indexed())
        return row;
    const auto found = std::lower_bound(m_index.begin(), m_index.end(), row);
    return found != m_index.end() && *found == row ? static_cast<int>(found - m_index.begin()) : -1;
}

void TQuillonDataSet::SetPosition(int record)
{
    const int count = RecordCount();
    m_recNo = count == 0 ? -1 : std::clamp(record, 0, count - 1);
    m_bof = m_recNo <= 0;
    m_eof = count == 0;
}

bool TQuillonDataSet::CheckBrowseMode()
{
    if (m_state == State::Edit || m_state == State::Insert)
        return brPost();
    return true;
}

bool TQuillonDataSet::First()
{
    if (!Active() || !CheckBrowseMode())
        return false;
    SetPosition(0);
    m_bof = true;
    NotifyRecord(&TQuillonDataSet::CurrentChanged, m_recNo);
    return m_recNo >= 0;
}

bool TQuillonDataSet::Last()
{
    if (!Active() || !CheckBrowseMode())
        return false;
    SetPosition(RecordCount() - 1);
    m_eof = true;
    NotifyRecord(&TQuillonDataSet::CurrentChanged, m_recNo);
    return m_recNo >= 0;
}

bool TQuillonDataSet::Next()
{
    if (!Active() || !CheckBrowseMode())
        return false;
    if (m_recNo + 1 >= RecordCount()) {
        m_eof = true;
        return false;
    }
    ++m_recNo;
    m_bof = false;
    m_eof = false;
    NotifyRecord(&TQuillonDataSet::CurrentChanged, m_recNo);
    return true;
}

bool TQuillonDataSet::Prior()
{
    if (!Active() || !CheckBrowseMode())
        return false;
    if (m_recNo <= 0) {
        m_bof = true;
        return false;
    }
    --m_recNo;
    m_bof = false;
    m_eof = false;
    NotifyRecord(&TQuillonDataSet::CurrentChanged, m_recNo);
    return true;
}

bool TQuillonDataSet::MoveTo(int record)
{
    if (!Active() || record < 0 || record >= RecordCount() || !CheckBrowseMode())
        return false;
    m_recNo = record;
    m_bof = false;
    m_eof = false;
    NotifyRecord(&TQuillonDataSet::CurrentChanged, m_recNo);
    return true;
}

bool TQuillonDataSet::Locate(const QString &fieldName, const QVariant &value)
{
    const int field = FieldIndex(fieldName);
    if (field < 0 || !Active())
        return false;
    const FieldType type = FieldDataType(field);
    const bool numeric
        = type == FieldType::Integer || type == FieldType::Float || type == FieldType::Boolean;
    bool valueIsNumber = false;
    const double number = value.toDouble(&valueIsNumber);
    const QString text = value.toString();
    const int count = RecordCount();
    for (int record = 0; record < count; ++record) {
        const int row = RowOfRecord(record);
        bool equal;
        if (!value.isValid() || value.isNull())
            equal = IsNullAt(row, field);
        else if (IsNullAt(row, field))
            equal = false;
        else if (numeric && valueIsNumber)
            equal = NumberAt(row, field) == number;
        else if (isDateType(type))
            equal = ValueAt(row, field).toDateTime() == value.toDateTime();
        else
            equal = TextAt(row, field).compare(text, Qt::CaseInsensitive) == 0;
        if (equal)
            return MoveTo(record);
    }
    return false;
}

bool TQuillonDataSet::ActiveWithRecord(const char *action)
{
    if (!Active()) {
        m_error = DbError { "The data set is not open.", 0, {} };
        return false;
    }
    if (CurrentRow() < 0) {
        m_error = DbError { std::string("There is no record to ") + action + ".", 0, {} };
        return false;
    }
    return true;
}

bool TQuillonDataSet::brEdit(bool option)
{
    if (m_state == State::Edit || m_state == State::Insert)
        return true;
    if (!ActiveWithRecord("edit"))
        return false;
    const int row = CurrentRow();
    const int count = FieldCount();
    m_buffer.assign(static_cast<std::size_t>(count), QVariant());
    for (int field = 0; field < count; ++field)
        m_buffer[static_cast<std::size_t>(field)] = ValueAt(row, field);
    m_changed.assign(static_cast<std::size_t>(count), false);
    m_state = State::Edit;
    return true;
}

bool TQuillonDataSet::brAppend()
{
    if (!Active()) {
        m_error = DbError { "The data set is not open.", 0, {} };
        return false;
    }
    if (!CheckBrowseMode())
        return false;
    const std::size_t count = static_cast<std::size_t>(FieldCount());
    m_buffer.assign(count, QVariant());
    m_changed.assign(count, false);
    m_state = State::Insert;
    return true;
}

bool TQuillonDataSet::brPost()
{
    if (m_state != State::Edit && m_state != State::Insert) {
        m_error = DbError { "The data set is not in edit or insert mode.", 0, {} };
        return false;
    }
    const bool inserting = m_state == State::Insert;
    const int row = inserting ? -1 : CurrentRow();
    if (!inserting && std::none_of(m_changed.begin(), m_changed.end(), [](bool c) { return c; })) {
        m_state = State::Browse;
        m_buffer.clear();
        m_changed.clear();
        return true;
    }
    m_error.clear();
    int newRow = row;
    if (!WriteRow(row, m_buffer, m_changed, newRow)) {
        if (!m_error.isSet())
            m_error = DbError { "The record could not be saved.", 0, {} };
        return false;
    }
    m_state = State::Browse;
    m_buffer.clear();
    m_changed.clear();
    const int oldRecord = m_recNo;
    RebuildIndex();
    const int record = RecordOfRow(newRow);
    SetPosition(record >= 0 ? record : oldRecord);
    if (m_filter)
        NotifyReset(); // the row may have left or joined the filtered records
    else if (inserting)
        NotifyRecord(&TQuillonDataSet::RowInserted, m_recNo);
    else
        NotifyRecord(&TQuillonDataSet::RowChanged, m_recNo);
    NotifyRecord(&TQuillonDataSet::CurrentChanged, m_recNo);
    return true;
}

void TQuillonDataSet::Cancel()
{
    if (m_state == State::Edit || m_state == State::Insert) {
        m_state = State::Browse;
        m_buffer.clear();
        m_changed.clear();
        NotifyRecord(&TQuillonDataSet::CurrentChanged, m_recNo);
    }
}

bool TQuillonDataSet::Delete()
{
    if (m_state == State::Insert) {
        Cancel();
        return true;
    }
    Cancel();
    if (!ActiveWithRecord("delete"))
        return false;
    const int record = m_recNo;
    m_error.clear();
    if (!RemoveRow(CurrentRow())) {
        if (!m_error.isSet())
            m_error = DbError { "The record could not be deleted.", 0, {} };
        return false;
    }
    RebuildIndex();
    SetPosition(record);
    if (m_recNo >= 0)
        m_bof = m_eof = false;
    NotifyRecord(&TQuillonDataSet::RowRemoved, record);
    NotifyRecord(&TQuillonDataSet::CurrentChanged, m_recNo);
    return true;
}

bool TQuillonDataSet::SetFilter(const QString &expression)
{
    if (!CheckBrowseMode())
        return false;
    const QString text = expression.trimmed();
    if (!text.isEmpty() && !WaitForAllRows()) {
        m_error = DbError { "The filter was not applied: not every row of the result is loaded.", 0,
            {} };
        return false;
    }
    if (text.isEmpty()) {
        const bool had = m_filter != nullptr;
        m_filter.reset();
        m_filterText.clear();
        m_index.clear();
        if (had && Active()) {
            SetPosition(0);
            NotifyReset();
        }
        return true;
    }
    FilterError fault;
    const QByteArray utf8 = text.toUtf8();
    auto filter = RecordFilter::parse(
        std::string_view(utf8.constData(), static_cast<std::size_t>(utf8.size())), fault);
    const ResultColumns *store = ColumnStore();
    if (filter && Active() && store && !filter->bind(*store, fault))
        filter.reset();
    if (!filter) {
        m_error = DbError { fault.text(), 0, "42000" };
        return false;
    }
    m_filter = std::move(filter);
    m_filterText = text;
    if (Active()) {
        RebuildIndex();
        SetPosition(0);
        NotifyReset();
    }
    return true;
}

void TQuillonDataSet::RebuildIndex()
{
    m_index.clear();
    if (!m_filter)
        return;
    const ResultColumns *store = ColumnStore();
    FilterError fault;
    if (!store || !m_filter->bind(*store, fault)) {
        // The fields changed under the filter (a new statement): it cannot apply any more.
        m_error = DbError { store ? fault.text() : std::string("The data set is not open."), 0,
            "42000" };
        m_filter.reset();
        m_filterText.clear();
        return;
    }
    m_filter->select(*store, 0, store->rowCount(), m_index);
}

void TQuillonDataSet::DisableControls()
{
    ++m_disableCount;
}

void TQuillonDataSet::EnableControls()
{
    if (m_disableCount == 0)
        return;
    if (--m_disableCount == 0 && m_pendingReset) {
        m_pendingReset = false;
        emit DataReset();
    }
}

void TQuillonDataSet::NotifyRecord(void (TQuillonDataSet::*signal)(int), int record)
{
    if (ControlsDisabled())
        m_pendingReset = true;
    else
        (this->*signal)(record);
}

void TQuillonDataSet::NotifyReset()
{
    if (ControlsDisabled())
        m_pendingReset = true;
    else
        emit DataReset();
}

void TQuillonDataSet::EmitReset()
{
    NotifyReset();
}

void TQuillonDataSet::ResetAfterLoad()
{
    m_state = State::Browse;
    m_buffer.clear();
    m_changed.clear();
    RebuildIndex();
    SetPosition(0);
    NotifyReset();
}

void TQuillonDataSet::SetColumns(std::unique_ptr<ResultColumns> columns)
{
    ++m_dataVersion;
    m_columns = std::move(columns);
}

void TQuillonDataSet::Close()
{
    if (m_rowsLock) {
        StopRowsArriving();
        m_rowsLock = nullptr;
    }
    Cancel();
    m_columns.reset();
    ++m_dataVersion;
    const bool wasActive = m_state != State::Inactive;
    m_state = State::Inactive;
    m_buffer.clear();
    m_changed.clear();
    m_index.clear();
    m_recNo = -1;
    m_bof = m_eof = true;
    if (wasActive)
        NotifyReset();
}

void TQuillonDataSet::ResetKeepingRow(int row)
{
    m_state = State::Browse;
    m_buffer.clear();
    m_changed.clear();
    const int oldRecord = m_recNo;
    RebuildIndex();
    const int record = RecordOfRow(row);
    SetPosition(record >= 0 ? record : oldRecord);
    if (m_recNo >= 0)
        m_bof = m_eof = false;
    NotifyReset();
}

QVariant TQuillonDataSet::CurrentValue(int field) const
{
    if (field < 0 || field >= FieldCount())
        return QVariant();
    if (m_state == State::Edit || m_state == State::Insert)
        return static_cast<std::size_t>(field) < m_buffer.size()
            ? m_buffer[static_cast<std::size_t>(field)]
            : QVariant();
    const int row = CurrentRow();
    return row < 0 ? QVariant() : ValueAt(row, field);
}

bool TQuillonDataSet::SetCurrentValue(int field, const QVariant &value)
{
    if (m_state != State::Edit && m_state != State::Insert) {
        m_error = DbError { "The data set is not in edit or insert mode.", 0, {} };
        return false;
    }
    if (field < 0 || static_cast<std::size_t>(field) >= m_buffer.size()) {
        m_error = DbError { "No such field.", 0, {} };
        return false;
    }
    m_buffer[static_cast<std::size_t>(field)] = value;
    m_changed[static_cast<std::size_t>(field)] = true;
    return true;
}

bool TQuillonDataSet::WaitForAllRows()
{
    if (!Loading())
        return true;
    return m_waitForAll && m_waitForAll() && !Loading();
}

void TQuillonDataSet::BeginRowsArriving(std::unique_ptr<ResultColumns> columns, std::mutex &lock)
{
    Close();
    m_columns = std::move(columns);
    m_rowsLock = &lock;
    m_shownRows = 0;
    ++m_dataVersion;
    m_state = State::Browse;
    SetPosition(0);
    NotifyReset();
}

void TQuillonDataSet::ShowArrivedRows(int rows)
{
    if (!m_rowsLock || rows <= m_shownRows)
        return;
    const int first = m_shownRows;
    m_shownRows = rows;
    if (m_recNo < 0)
        SetPosition(0);
    if (ControlsDisabled())
        m_pendingReset = true;
    else
        emit RowsArrived(first, rows - 1);
}

void TQuillonDataSet::EndRowsArriving(bool keepRows)
{
    if (!m_rowsLock)
        return;
    m_rowsLock = nullptr;
    if (!keepRows) {
        Close();
        return;
    }
    m_columns->finish();
    ++m_dataVersion;
    const int shown = m_shownRows;
    const int total = static_cast<int>(m_columns->rowCount());
    if (m_filter) {
        RebuildIndex(); // a filter kept from before the run applies now
        SetPosition(0);
        NotifyReset();
        return;
    }
    if (ControlsDisabled()) {
        m_pendingReset = true;
        return;
    }
    if (total > shown)
        emit RowsArrived(shown, total - 1);
    emit RowsSettled();
}
