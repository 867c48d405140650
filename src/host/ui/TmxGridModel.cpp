#include "host/ui/TmxGridModel.h"

#include "host/db/dataset/ResultColumns.h"
#include "host/db/dataset/RowSort.h"
#include "host/db/dataset/TQuillonDataSet.h"
#include "host/db/engine/NameFold.h"

#include <QDateTime>
#include <QScopedValueRollback>

#include <algorithm>

namespace {

// Past this a real shows as rounded; payroll amounts and rates need no more.
constexpr int kMaxDecimals = 4;

bool IsNumberType(FieldType type)
{
    return type == FieldType::Integer || type == FieldType::Float;
}

// Text fields (and fields of no known type) sort as text; everything else by its number.
bool SortsAsText(FieldType type)
{
    return isTextType(type) || type == FieldType::Blob || type == FieldType::Other;
}

} // namespace

TmxGridModel::TmxGridModel(QObject *parent)
    : QAbstractTableModel(parent)
{
    m_locale.setNumberOptions(QLocale::OmitGroupSeparator);
}

TmxGridModel::~TmxGridModel() = default;

void TmxGridModel::SetDataSet(TQuillonDataSet *dataSet)
{
    if (m_dataSet == dataSet)
        return;
    if (m_dataSet)
        disconnect(m_dataSet, nullptr, this, nullptr);
    beginResetModel();
    m_dataSet = dataSet;
    m_sortedField = -1; // what was read from the old rows
    m_decimals.clear();
    if (m_dataSet) {
        connect(m_dataSet, &TQuillonDataSet::DataReset, this, &TmxGridModel::DataSetReset);
        connect(m_dataSet, &TQuillonDataSet::RowChanged, this, &TmxGridModel::DataSetRowChanged);
        connect(m_dataSet, &TQuillonDataSet::RowInserted, this, &TmxGridModel::DataSetRowsMoved);
        connect(m_dataSet, &TQuillonDataSet::RowRemoved, this, &TmxGridModel::DataSetRowsMoved);
        connect(m_dataSet, &TQuillonDataSet::RowsArrived, this, &TmxGridModel::DataSetRowsArrived);
        connect(m_dataSet, &TQuillonDataSet::RowsSettled, this, &TmxGridModel::DataSetRowsSettled);
    }
    ResolveFields();
    RebuildSortIndex();
    endResetModel();
    emit RowsRebuilt();
}

int TmxGridModel::AddColumn(const QString &fieldName, const QString &caption)
{
    const int column = ColumnCount();
    beginInsertColumns(QModelIndex(), column, column);
    TmxGridColumn added;
    added.fieldName = fieldName;
    added.caption = caption;
    added.field = m_dataSet ? m_dataSet->FieldIndex(fieldName) : -1;
    m_columns.push_back(added);
    endInsertColumns();
    return column;
}

void TmxGridModel::RemoveAllColumns()
{
    if (m_columns.empty())
        return;
    beginRemoveColumns(QModelIndex(), 0, ColumnCount() - 1);
    m_columns.clear();
    endRemoveColumns();
    if (m_sortColumn >= 0) {
        beginResetModel();
        m_sortColumn = -1;
        RebuildSortIndex();
        endResetModel();
    }
}

int TmxGridModel::ColumnByField(const QString &fieldName) const
{
    for (int column = 0; column < ColumnCount(); ++column) {
        if (NameFold::same(m_columns[std::size_t(column)].fieldName, fieldName))
            return column;
    }
    return -1;
}

void TmxGridModel::SetCaption(int column, const QString &caption)
{
    if (column < 0 || column >= ColumnCount())
        return;
    m_columns[std::size_t(column)].caption = caption;
    emit headerDataChanged(Qt::Horizontal, column, column);
}

void TmxGridModel::SetColumnReadOnly(int column, bool readOnly)
{
    if (column >= 0 && column < ColumnCount())
        m_columns[std::size_t(column)].readOnly = readOnly;
}

void TmxGridModel::SetColumnPickList(int column, const QStringList &items)
{
    if (column >= 0 && column < ColumnCount())
        m_columns[std::size_t(column)].pickList = items;
}

int TmxGridModel::RecordOfRow(int modelRow) const
{
    if (modelRow < 0 || modelRow >= rowCount())
        return -1;
    return m_order.empty() ? modelRow : m_order[std::size_t(modelRow)];
}

int TmxGridModel::RowOfRecord(int record) const
{
    if (record < 0 || record >= rowCount())
        return -1;
    if (m_order.empty())
        return record;
    // One scan when a record is looked up (navigation), rather than an index kept up to date on
    // every filter of a million rows.
    const auto found = std::find(m_order.begin(), m_order.end(), record);
    return found == m_order.end() ? -1 : int(found - m_order.begin());
}

std::vector<int> TmxGridModel::DataRowsInOrder() const
{
    std::vector<int> rows(static_cast<std::size_t>(rowCount()));
    for (int row = 0; row < int(rows.size()); ++row)
        rows[std::size_t(row)] = m_dataSet->RowOfRecord(RecordOfRow(row));
    return rows;
}

int TmxGridModel::rowCount(const QModelIndex &parent) const
{
    // While display updates are off the dataset may be reopened under the view: it sees no rows
    // until the reset that follows.
    if (parent.isValid() || !m_dataSet || !m_dataSet->Active() || m_dataSet->ControlsDisabled())
        return 0;
    return m_dataSet->RecordCount();
}

int TmxGridModel::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : ColumnCount();
}

QVariant TmxGridModel::data(const QModelIndex &index, int role) const
{
    if (!index.isValid() || index.column() >= ColumnCount() || index.row() >= rowCount())
        return {};
    const TmxGridColumn &column = m_columns[std::size_t(index.column())];
    if (column.field < 0 || column.field >= m_dataSet->FieldCount())
        return {};
    const FieldType type = m_dataSet->FieldDataType(column.field);
    if (role == Qt::TextAlignmentRole)
        return IsNumberType(type) ? QVariant(Qt::AlignRight | Qt::AlignVCenter) : QVariant();
    if (role != Qt::DisplayRole && role != Qt::EditRole && role != Qt::CheckStateRole
        && role != RawValueRole)
        return {};

    const int row = m_dataSet->RowOfRecord(RecordOfRow(index.row()));
    if (row < 0)
        return {};
    switch (role) {
    case Qt::CheckStateRole:
        if (type != FieldType::Boolean)
            return {};
        return m_dataSet->NumberAt(row, column.field) != 0 ? Qt::Checked : Qt::Unchecked;
    case RawValueRole:
        return m_dataSet->ValueAt(row, column.field);
    case Qt::EditRole:
        // Numbers are edited as text: spin boxes would clip or round them.
        if (IsNumberType(type) || isTextType(type))
            return DisplayText(row, column);
        return m_dataSet->ValueAt(row, column.field);
    default:
        if (type == FieldType::Boolean)
            return {};
        return DisplayText(row, column);
    }
}

QString TmxGridModel::DisplayText(int row, const TmxGridColumn &column) const
{
    if (m_dataSet->IsNullAt(row, column.field))
        return {};
    const QVariant value = m_dataSet->ValueAt(row, column.field);
    switch (m_dataSet->FieldDataType(column.field)) {
    case FieldType::Integer:
        return m_locale.toString(value.toLongLong());
    case FieldType::Float:
        return m_locale.toString(value.toDouble(), 'f', Decimals(column));
    case FieldType::Blob:
        return QStringLiteral("(Blob)");
    default:
        break;
    }
    switch (value.typeId()) {
    case QMetaType::QDate:
        return m_locale.toString(value.toDate(), QLocale::ShortFormat);
    case QMetaType::QTime:
        return m_locale.toString(value.toTime(), QLocale::ShortFormat);
    case QMetaType::QDateTime: {
        const QDateTime stamp = value.toDateTime();
        // Payroll dates are mostly stored as date-times at midnight: show them as dates.
        if (stamp.time() == QTime(0, 0))
            return m_locale.toString(stamp.date(), QLocale::ShortFormat);
        return m_locale.toString(stamp, QLocale::ShortFormat);
    }
    default:
        return value.toString();
    }
}

QVariant TmxGridModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || section < 0 || section >= ColumnCount())
        return {};
    const TmxGridColumn &column = m_columns[std::size_t(section)];
    if (role == Qt::DisplayRole)
        return column.caption;
    // A number's caption stands over its digits.
    if (role == Qt::TextAlignmentRole && m_dataSet && column.field >= 0
        && column.field < m_dataSet->FieldCount()
        && IsNumberType(m_dataSet->FieldDataType(column.field)))
        return QVariant(Qt::AlignRight | Qt::AlignVCenter);
    return {};
}

Qt::ItemFlags TmxGridModel::flags(const QModelIndex &index) const
{
    if (!index.isValid())
        return Qt::NoItemFlags;
    Qt::ItemFlags result = Qt::ItemIsEnabled | Qt::ItemIsSelectable;
    const TmxGridColumn &column = m_columns[std::size_t(index.column())];
    if (m_editable && !column.readOnly && column.field >= 0) {
        if (m_dataSet->FieldDataType(column.field) == FieldType::Boolean)
            result |= Qt::ItemIsUserCheckable;
        else
            result |= Qt::ItemIsEditable;
    }
    return result;
}

bool TmxGridModel::ConvertEdit(
    const TmxGridColumn &column, const QVariant &value, QVariant &converted, QString &error) const
{
    const FieldType type = m_dataSet->FieldDataType(column.field);
    if (type == FieldType::Boolean) {
        converted = value.toInt() == Qt::Checked || value.toBool();
        return true;
    }
    const bool isText = value.typeId() == QMetaType::QString;
    if (isText && value.toString().trimmed().isEmpty() && !isTextType(type)) {
        converted = QVariant();
        return true;
    }
    if (!isText || !IsNumberType(type)) {
        converted = value;
        return true;
    }
    const QString text = value.toString().trimmed();
    bool ok = false;
    if (type == FieldType::Integer) {
        qlonglong number = m_locale.toLongLong(text, &ok);
        if (!ok)
            number = QLocale::c().toLongLong(text, &ok);
        converted = number;
    } else {
        double number = m_locale.toDouble(text, &ok);
        if (!ok)
            number = QLocale::c().toDouble(text, &ok);
        converted = number;
    }
    if (!ok)
        error = QStringLiteral("\"%1\" is not a valid number for %2.").arg(text, column.caption);
    return ok;
}

bool TmxGridModel::setData(const QModelIndex &index, const QVariant &value, int role)
{
    if (!index.isValid() || !(flags(index) & (Qt::ItemIsEditable | Qt::ItemIsUserCheckable)))
        return false;
    if (role != Qt::EditRole && role != Qt::CheckStateRole)
        return false;
    const TmxGridColumn &column = m_columns[std::size_t(index.column())];
    QVariant converted;
    QString error;
    if (!ConvertEdit(column, value, converted, error)) {
        emit PostFailed(error);
        return false;
    }
    const QScopedValueRollback<bool> posting(m_posting, true);
    const int record = RecordOfRow(index.row());
    if (!m_dataSet->MoveTo(record) || !m_dataSet->brEdit()) {
        emit PostFailed(m_dataSet->LastErrorText());
        return false;
    }
    if (!m_dataSet->Field(column.field).SetAsVariant(converted) || !m_dataSet->brPost()) {
        error = m_dataSet->LastErrorText();
        m_dataSet->Cancel();
        emit PostFailed(error);
        return false;
    }
    return true;
}

void TmxGridModel::sort(int column, Qt::SortOrder order)
{
    // A sort of the rows loaded so far would look like the sort of the result.
    if (column >= 0 && m_dataSet && !m_dataSet->WaitForAllRows()) {
        emit SortRefused();
        return;
    }
    beginResetModel();
    m_sortColumn = column;
    m_sortOrder = order;
    RebuildSortIndex();
    endResetModel();
    emit RowsRebuilt();
}

void TmxGridModel::ResolveFields()
{
    for (TmxGridColumn &column : m_columns)
        column.field = m_dataSet ? m_dataSet->FieldIndex(column.fieldName) : -1;
}

void TmxGridModel::RebuildSortIndex()
{
    const int field = m_sortColumn >= 0 && m_sortColumn < ColumnCount()
        ? m_columns[std::size_t(m_sortColumn)].field
        : -1;
    const ResultColumns *store
        = m_dataSet && m_dataSet->Active() ? m_dataSet->ColumnStore() : nullptr;
    if (!store || field < 0 || field >= store->columnCount()) {
        m_sortedRows.clear();
        m_sortedField = -1;
        m_order.clear();
        return;
    }
    if (field != m_sortedField || m_sortOrder != m_sortedOrder
        || m_sortedVersion != m_dataSet->DataVersion()
        || m_sortedRows.size() != store->rowCount()) {
        m_sortedRows = RowSort::sortedRows(store->column(field),
            SortsAsText(m_dataSet->FieldDataType(field)), m_sortOrder == Qt::DescendingOrder);
        m_sortedField = field;
        m_sortedOrder = m_sortOrder;
        m_sortedVersion = m_dataSet->DataVersion();
    }
    RebuildOrder();
}

// The records in sort order: the sorted rows that pass the filter, as records.
void TmxGridModel::RebuildOrder()
{
    const std::vector<int> *filtered = m_dataSet->FilteredRows();
    if (!filtered) {
        m_order = m_sortedRows; // every row is its own record
        return;
    }
    std::vector<int> recordOfRow(m_sortedRows.size(), -1);
    for (std::size_t record = 0; record < filtered->size(); ++record)
        recordOfRow[std::size_t((*filtered)[record])] = int(record);
    m_order.clear();
    m_order.reserve(filtered->size());
    for (const int row : m_sortedRows) {
        if (const int record = recordOfRow[std::size_t(row)]; record >= 0)
            m_order.push_back(record);
    }
}

int TmxGridModel::Decimals(const TmxGridColumn &column) const
{
    const int fields = m_dataSet->FieldCount();
    if (column.field < 0 || column.field >= fields)
        return 0;
    if (m_decimals.size() < std::size_t(fields))
        m_decimals.resize(std::size_t(fields));
    // While rows arrive the version stays, so the decimals are those of the first rows until
    // the load ends.
    FieldDecimals &cached = m_decimals[std::size_t(column.field)];
    if (cached.decimals < 0 || cached.version != m_dataSet->DataVersion()) {
        cached.decimals = m_dataSet->FieldDecimals(column.field, kMaxDecimals);
        cached.version = m_dataSet->DataVersion();
    }
    return cached.decimals;
}

void TmxGridModel::DataSetRowsArrived(int first, int last)
{
    if (!m_order.empty()) {
        DataSetReset(); // not while loading: a sort waits for every row
        return;
    }
    beginInsertRows(QModelIndex(), first, last);
    endInsertRows();
}

void TmxGridModel::DataSetRowsSettled()
{
    const int rows = rowCount();
    if (rows > 0 && columnCount() > 0)
        emit dataChanged(index(0, 0), index(rows - 1, columnCount() - 1));
}

void TmxGridModel::DataSetReset()
{
    beginResetModel();
    ResolveFields();
    RebuildSortIndex();
    endResetModel();
    emit RowsRebuilt();
}

void TmxGridModel::DataSetRowChanged(int record)
{
    const int row = RowOfRecord(record);
    if (row >= 0 && ColumnCount() > 0)
        emit dataChanged(index(row, 0), index(row, ColumnCount() - 1));
}

void TmxGridModel::DataSetRowsMoved()
{
    // The rows have already changed in the dataset, so the view is rebuilt rather than told
    // about one row it could no longer find.
    DataSetReset();
}
