#include "host/ui/TmxGridModel.h"

#include "host/db/dataset/TQuillonDataSet.h"
#include "host/db/engine/NameFold.h"

#include <QDateTime>
#include <QScopedValueRollback>

#include <algorithm>
#include <numeric>

namespace {

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
    if (m_dataSet) {
        connect(m_dataSet, &TQuillonDataSet::DataReset, this, &TmxGridModel::DataSetReset);
        connect(m_dataSet, &TQuillonDataSet::RowChanged, this, &TmxGridModel::DataSetRowChanged);
        connect(m_dataSet, &TQuillonDataSet::RowInserted, this, &TmxGridModel::DataSetRowsMoved);
        connect(m_dataSet, &TQuillonDataSet::RowRemoved, this, &TmxGridModel::DataSetRowsMoved);
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
    return m_position.empty() ? record : m_position[std::size_t(record)];
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
        return m_locale.toString(value.toDouble(), 'f', QLocale::FloatingPointShortest);
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
    if (orientation == Qt::Horizontal && role == Qt::DisplayRole && section >= 0
        && section < ColumnCount())
        return m_columns[std::size_t(section)].caption;
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
    m_order.clear();
    m_position.clear();
    if (!m_dataSet || !m_dataSet->Active() || m_sortColumn < 0 || m_sortColumn >= ColumnCount())
        return;
    const int field = m_columns[std::size_t(m_sortColumn)].field;
    if (field < 0)
        return;
    const std::size_t count = std::size_t(m_dataSet->RecordCount());
    std::vector<int> rows(count);
    std::vector<char> nulls(count);
    for (std::size_t record = 0; record < count; ++record) {
        rows[record] = m_dataSet->RowOfRecord(int(record));
        nulls[record] = m_dataSet->IsNullAt(rows[record], field);
    }
    m_order.resize(count);
    std::iota(m_order.begin(), m_order.end(), 0);
    const bool descending = m_sortOrder == Qt::DescendingOrder;

    // Each key is read once into a vector; the comparisons then touch no dataset at all.
    const auto sortBy = [&](const auto &keys, auto less) {
        std::stable_sort(m_order.begin(), m_order.end(), [&](int a, int b) {
            if (descending)
                std::swap(a, b);
            if (nulls[std::size_t(a)] || nulls[std::size_t(b)])
                return nulls[std::size_t(a)] && !nulls[std::size_t(b)];
            return less(keys[std::size_t(a)], keys[std::size_t(b)]);
        });
    };
    if (SortsAsText(m_dataSet->FieldDataType(field))) {
        std::vector<QString> keys(count);
        for (std::size_t record = 0; record < count; ++record) {
            if (!nulls[record])
                keys[record] = m_dataSet->TextAt(rows[record], field);
        }
        sortBy(keys, [](const QString &a, const QString &b) {
            return QString::compare(a, b, Qt::CaseInsensitive) < 0;
        });
    } else {
        std::vector<double> keys(count);
        for (std::size_t record = 0; record < count; ++record) {
            if (!nulls[record])
                keys[record] = m_dataSet->NumberAt(rows[record], field);
        }
        sortBy(keys, [](double a, double b) { return a < b; });
    }
    m_position.resize(count);
    for (std::size_t row = 0; row < count; ++row)
        m_position[std::size_t(m_order[row])] = int(row);
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
