#include "host/db/dataset/TQuillonADOQuery.h"

#include "host/db/dataset/ChunkAllocator.h"
#include "host/db/dataset/FieldValues.h"
#include "host/db/dataset/ResultColumns.h"
#include "host/db/dataset/RowReceiver.h"
#include "host/db/dataset/StatementReader.h"
#include "host/db/engine/Connection.h"
#include "host/db/engine/NameFold.h"
#include "host/db/engine/SqlText.h"
#include "host/db/filter/RecordFilter.h"

#include <algorithm>
#include <climits>
#include <new>
#include <stdexcept>

namespace {

std::string utf8(const QString &text)
{
    return text.toStdString();
}

DbError plainError(const QString &text)
{
    return DbError { text.toStdString(), 0, {} };
}

// The rows of an open, kept by column. A failed attempt starts again with new columns.
class ResultLoader final : public RowReceiver
{
public:
    bool Begin(const Statement &statement) override
    {
        columns = std::make_unique<ResultColumns>();
        columns->addColumns(statement);
        return true;
    }
    bool Row(const Statement &statement) override
    {
        columns->appendRow(statement);
        return true;
    }
    Statement::Step Next(Statement &statement) override
    {
        const auto step = columns->appendRows(statement);
        return step ? *step : statement.step();
    }
    bool MayRepeat() const override { return true; }

    std::unique_ptr<ResultColumns> columns;
};

} // namespace

TQuillonADOQuery::TQuillonADOQuery(QObject *parent)
    : TQuillonDataSet(parent)
{
}

TQuillonADOQuery::~TQuillonADOQuery() = default;

void TQuillonADOQuery::SetSQL(const QString &sql)
{
    Close();
    m_sql = sql;
    m_parameters.clear();
}

QString TQuillonADOQuery::TableName() const
{
    const ResultColumns *columns = ColumnStore();
    if (!m_tableName.isEmpty() || !columns)
        return m_tableName;
    for (int i = 0; i < columns->columnCount(); ++i) {
        if (!columns->column(i).baseTable().empty())
            return QString::fromStdString(columns->column(i).baseTable());
    }
    return {};
}

QString TQuillonADOQuery::KeyField() const
{
    if (!m_keyField.isEmpty() || !m_connection)
        return m_keyField;
    const QString table = TableName();
    if (table.isEmpty())
        return {};
    QString key;
    for (const ColumnInfo &column : m_connection->tableColumns(utf8(table))) {
        if (column.primaryKey) {
            if (!key.isEmpty())
                return {}; // a key of several columns: no single field identifies a row
            key = QString::fromStdString(column.name);
        }
    }
    return key;
}

bool TQuillonADOQuery::LoadAndShow()
{
    std::unique_ptr<ResultColumns> result;
    if (!Load(result))
        return false;
    SetColumns(std::move(result));
    ResetAfterLoad();
    return true;
}

bool TQuillonADOQuery::Open()
{
    Close();
    ClearError();
    return LoadAndShow();
}

bool TQuillonADOQuery::Load(std::unique_ptr<ResultColumns> &result)
{
    ResultLoader loader;
    if (!Run(loader))
        return false;
    loader.columns->finish();
    result = std::move(loader.columns);
    return true;
}

void TQuillonADOQuery::OpenInBackground(std::unique_ptr<Connection> connection)
{
    Close();
    ClearError();
    m_loadElapsedMs = 0;
    auto columns = std::make_unique<ResultColumns>();
    ResultColumns &filled = *columns; // stays where it is when the pointer moves on
    m_loadStartedAt = std::chrono::steady_clock::now();
    m_load = std::make_unique<BackgroundLoad>(std::move(connection), RunSettings(), filled);
    BeginRowsArriving(std::move(columns), m_load->rowsLock());
}

bool TQuillonADOQuery::WaitForRows(std::size_t rows, std::chrono::milliseconds limit)
{
    return !m_load || m_load->waitFor(rows, limit);
}

BackgroundLoad::State TQuillonADOQuery::TakeArrivedRows()
{
    if (!m_load)
        return BackgroundLoad::State::Loading;
    // The end is read before the count: every row of a load that has ended is published.
    const BackgroundLoad::State state = m_load->state();
    const std::size_t arrived = m_load->published();
    ShowArrivedRows(static_cast<int>(std::min<std::size_t>(arrived, INT_MAX)));
    if (state == BackgroundLoad::State::Loading)
        return state;
    m_loadElapsedMs = m_load->elapsed().count();
    SetError(m_load->error()); // for a load that did not end Done: why its rows are not all
    const bool keep = m_load->rowsIntact();
    m_load.reset(); // its thread has ended: nothing writes the rows any more
    EndRowsArriving(keep);
    return state;
}

void TQuillonADOQuery::CancelLoading()
{
    if (m_load)
        m_load->cancel();
}

void TQuillonADOQuery::StopRowsArriving()
{
    m_load.reset(); // cancels and waits for the thread
}

bool TQuillonADOQuery::Stream(RowReceiver &receiver)
{
    Close();
    ClearError();
    return Run(receiver);
}

bool TQuillonADOQuery::Run(RowReceiver &receiver)
{
    if (!m_connection) {
        SetError(plainError(QStringLiteral("The query has no connection.")));
        return false;
    }
    if (m_sql.trimmed().isEmpty()) {
        SetError(plainError(QStringLiteral("The query has no statement.")));
        return false;
    }
    DbError error;
    const bool read = ReadStatement(*m_connection, RunSettings(), receiver, error);
    if (!read && !error.text.empty())
        SetError(std::move(error));
    return read;
}

StatementRun TQuillonADOQuery::RunSettings() const
{
    return StatementRun { utf8(m_sql), m_parameters, m_timeoutSeconds, m_retryCount };
}

bool TQuillonADOQuery::SelectRecords(const QString &column, const QVariant &value)
{
    Close();
    ClearError();
    const QString table = TableName();
    if (!m_connection || table.isEmpty()) {
        SetError(plainError(QStringLiteral("The table to select from is not known.")));
        return false;
    }
    const std::vector<ColumnInfo> columns = m_connection->tableColumns(utf8(table));
    const auto found = std::find_if(columns.begin(), columns.end(),
        [&](const ColumnInfo &info) { return NameFold::same(info.name, utf8(column)); });
    if (found == columns.end()) {
        SetError(plainError(
            QStringLiteral("Unknown column \"%1\" in table \"%2\".").arg(column, table)));
        return false;
    }
    // Text compares as on the production engine's usual collation: "iqb-emp002" finds
    // "IQB-EMP002".
    m_sql = QString::fromStdString(isTextType(found->type)
            ? "select * from " + utf8(table) + " where "
                + m_connection->equalsIgnoringCase(SqlText::quoteIdentifier(found->name))
            : SqlText::selectRow(utf8(table), found->name));
    m_parameters = { FieldValues::toValue(value) };
    return LoadAndShow();
}

bool TQuillonADOQuery::RecordsExistCriteria(const QString &criteria)
{
    ClearError();
    const QString table = TableName();
    if (!m_connection || table.isEmpty()) {
        SetError(plainError(QStringLiteral("The table to search is not known.")));
        return false;
    }
    FilterError fault;
    const std::string text = utf8(criteria);
    const auto filter = RecordFilter::parse(text, fault);
    if (!filter) {
        SetError(DbError { fault.text(), 0, "42000" });
        return false;
    }
    const std::vector<ColumnInfo> columns = m_connection->tableColumns(utf8(table));
    if (columns.empty()) {
        SetError(m_connection->lastError());
        return false;
    }
    const auto column = [&](std::string_view name) -> std::optional<std::string> {
        for (const ColumnInfo &info : columns) {
            if (NameFold::same(info.name, name))
                return SqlText::quoteIdentifier(info.name);
        }
        return std::nullopt;
    };
    // Text compares ignore letter case, as the grid's filter does.
    const std::string_view collation = m_connection->textCollation();
    std::string condition;
    std::vector<Value> parameters;
    if (!filter->toSql(column, collation, condition, parameters, fault)) {
        SetError(DbError { fault.text(), 0, "42S22" });
        return false;
    }
    bool exists = false;
    DbError error;
    if (!m_connection->forEachRow(
            "select 1 from " + utf8(table) + " where " + condition + " limit 1", parameters,
            [&](const Statement &) {
                exists = true;
                return false;
            },
            error)) {
        SetError(error);
        return false;
    }
    return exists;
}

int TQuillonADOQuery::FindRow(int field, const QVariant &value) const
{
    if (field < 0 || !value.isValid() || value.isNull())
        return -1;
    const QString text = value.toString();
    const int rows = RowCount();
    for (int row = 0; row < rows; ++row) {
        if (!IsNullAt(row, field) && TextAt(row, field).compare(text, Qt::CaseInsensitive) == 0)
            return row;
    }
    return -1;
}

bool TQuillonADOQuery::brRefresh(bool option, const QString &keyField, const QString &keyValue)
{
    if (!WaitForAllRows())
        return false;
    if (!Active())
        return Open();
    const QString keyName = keyField.isEmpty() ? KeyField() : keyField;
    const int oldKeyIndex = FieldIndex(keyName);
    QVariant key;
    if (!keyValue.isEmpty())
        key = keyValue;
    else if (oldKeyIndex >= 0 && CurrentRow() >= 0)
        key = TextAt(CurrentRow(), oldKeyIndex);
    Cancel();
    ClearError();
    std::unique_ptr<ResultColumns> result;
    if (!Load(result))
        return false; // the old rows stay
    SetColumns(std::move(result));
    ResetKeepingRow(FindRow(FieldIndex(keyName), key));
    return true;
}

std::vector<std::string> TQuillonADOQuery::TargetColumns(
    const QString &table, const std::vector<ColumnInfo> &columns) const
{
    // With column origins from the engine a field is written only when it comes from the
    // table; without them (an engine that has none) by name.
    const std::string bare = SqlText::bareName(utf8(table));
    const ResultColumns &fields = *ColumnStore();
    bool origins = false;
    for (int i = 0; i < fields.columnCount(); ++i)
        origins = origins || !fields.column(i).baseTable().empty();
    std::vector<std::string> targets(static_cast<std::size_t>(fields.columnCount()));
    for (int i = 0; i < fields.columnCount(); ++i) {
        const ResultColumn &field = fields.column(i);
        const std::string &name = origins ? field.baseColumn() : field.name();
        if (origins && !NameFold::same(field.baseTable(), bare))
            continue;
        for (const ColumnInfo &column : columns) {
            if (NameFold::same(column.name, name))
                targets[static_cast<std::size_t>(i)] = column.name;
        }
    }
    return targets;
}

std::optional<TQuillonADOQuery::WriteTarget> TQuillonADOQuery::FindWriteTarget()
{
    if (!m_connection || !ColumnStore()) {
        SetError(plainError(QStringLiteral("The query is not open.")));
        return std::nullopt;
    }
    WriteTarget target;
    target.table = TableName();
    if (target.table.isEmpty()) {
        SetError(plainError(QStringLiteral("The table to write to is not known.")));
        return std::nullopt;
    }
    const std::vector<ColumnInfo> columns = m_connection->tableColumns(utf8(target.table));
    if (columns.empty()) {
        SetError(m_connection->lastError());
        return std::nullopt;
    }
    const QString key = KeyField();
    for (const ColumnInfo &column : columns) {
        if (!key.isEmpty() && NameFold::same(column.name, utf8(key)))
            target.key = column.name;
    }
    if (target.key.empty()) {
        SetError(plainError(
            QStringLiteral("The table \"%1\" has no key to write by.").arg(target.table)));
        return std::nullopt;
    }
    target.targets = TargetColumns(target.table, columns);
    return target;
}

std::optional<Value> TQuillonADOQuery::RowKey(const WriteTarget &target, int row)
{
    const auto keyField = std::find(target.targets.begin(), target.targets.end(), target.key);
    if (keyField == target.targets.end()) {
        SetError(plainError(QStringLiteral(
            "The key field \"%1\" is not in the result, so the record cannot be found.")
                                .arg(QString::fromStdString(target.key))));
        return std::nullopt;
    }
    return ColumnStore()
        ->column(static_cast<int>(keyField - target.targets.begin()))
        .valueAt(static_cast<std::size_t>(row));
}

bool TQuillonADOQuery::ReadBack(const QString &table, const std::string &key, const Value &keyValue,
    const std::vector<std::string> &targets, std::vector<Value> &values)
{
    bool found = false;
    DbError error;
    const bool read = m_connection->forEachRow(
        SqlText::selectRow(utf8(table), key), { keyValue },
        [&](const Statement &row) {
            found = true;
            for (std::size_t field = 0; field < targets.size(); ++field) {
                if (targets[field].empty())
                    continue;
                for (int column = 0; column < row.columnCount(); ++column) {
                    if (NameFold::same(row.columnName(column), targets[field])) {
                        values[field] = SqlText::cell(row, column);
                        break;
                    }
                }
            }
            return false;
        },
        error);
    if (!read || !found) {
        SetError(
            read ? plainError(QStringLiteral("The saved record could not be read back.")) : error);
        return false;
    }
    return true;
}

bool TQuillonADOQuery::WriteRow(
    int row, const std::vector<QVariant> &values, std::vector<bool> &changed, int &newRow)
{
    const std::optional<WriteTarget> target = FindWriteTarget();
    if (!target)
        return false;
    const auto &[table, key, targets] = *target;

    // Every changed value is checked before anything is written.
    std::vector<std::string> names;
    std::vector<Value> bound;
    std::vector<Value> rowValues(targets.size());
    std::optional<Value> newKey;
    for (std::size_t field = 0; field < targets.size(); ++field) {
        const QString name = FieldName(static_cast<int>(field));
        QString problem;
        const auto value = FieldValues::toValue(
            values[field], FieldDataType(static_cast<int>(field)), name, problem);
        if (!value) {
            SetError(plainError(problem));
            return false;
        }
        rowValues[field] = *value;
        if (!changed[field])
            continue;
        if (targets[field].empty()) {
            SetError(plainError(
                QStringLiteral("The field \"%1\" cannot be changed: it is not a column of \"%2\".")
                    .arg(name, table)));
            return false;
        }
        names.push_back(targets[field]);
        bound.push_back(*value);
        if (NameFold::same(targets[field], key))
            newKey = *value;
    }

    Transaction transaction(*m_connection);
    if (!transaction.started()) {
        SetError(m_connection->lastError());
        return false;
    }
    DbError error;
    Value keyValue;
    if (row >= 0) {
        const std::optional<Value> rowKey = RowKey(*target, row);
        if (!rowKey)
            return false;
        keyValue = *rowKey;
        std::vector<Value> parameters = bound;
        parameters.push_back(keyValue);
        if (!m_connection->run(SqlText::updateRow(utf8(table), names, key), parameters, error)) {
            SetError(error);
            return false;
        }
        if (m_connection->changes() == 0) {
            SetError(plainError(
                QStringLiteral("The record to change was not found; it may have been deleted.")));
            return false;
        }
        if (newKey)
            keyValue = *newKey;
    } else {
        const std::string insert = SqlText::insertRow(utf8(table), names);
        std::int64_t identity = 0;
        const bool inserted = newKey && !isNull(*newKey)
            ? m_connection->run(insert, bound, error)
            : m_connection->insertWithIdentity(insert, bound, key, identity, error);
        if (!inserted) {
            SetError(error);
            return false;
        }
        keyValue = newKey && !isNull(*newKey) ? *newKey : Value(identity);
    }
    if (!ReadBack(table, key, keyValue, targets, rowValues))
        return false;
    if (!transaction.commit()) {
        SetError(m_connection->lastError());
        return false;
    }

    if (row >= 0) {
        for (std::size_t field = 0; field < targets.size(); ++field)
            Columns()->setValue(
                static_cast<std::size_t>(row), static_cast<int>(field), rowValues[field]);
        newRow = row;
    } else {
        Columns()->appendRow(rowValues);
        newRow = static_cast<int>(Columns()->rowCount()) - 1;
    }
    return true;
}

bool TQuillonADOQuery::RemoveRow(int row)
{
    const std::optional<WriteTarget> target = FindWriteTarget();
    if (!target)
        return false;
    const std::optional<Value> keyValue = RowKey(*target, row);
    if (!keyValue)
        return false;
    const std::string &key = target->key;
    const QString &table = target->table;
    Transaction transaction(*m_connection);
    DbError error;
    if (!transaction.started()
        || !m_connection->run(SqlText::deleteRow(utf8(table), key), { *keyValue }, error)) {
        SetError(transaction.started() ? error : m_connection->lastError());
        return false;
    }
    if (m_connection->changes() == 0) {
        SetError(plainError(QStringLiteral(
            "The record to delete was not found; it may have been deleted already.")));
        return false;
    }
    if (!transaction.commit()) {
        SetError(m_connection->lastError());
        return false;
    }
    Columns()->removeRow(static_cast<std::size_t>(row));
    return true;
}
