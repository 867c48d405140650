#include "host/db/dataset/TQuillonTempTable.h"

#include "host/db/dataset/FieldValues.h"
#include "host/db/dataset/ResultColumns.h"
#include "host/db/engine/NameFold.h"

#include <optional>

TQuillonTempTable::TQuillonTempTable(QObject *parent)
    : TQuillonDataSet(parent)
{
}

TQuillonTempTable::~TQuillonTempTable() = default;

bool TQuillonTempTable::AddField(const QString &name, FieldType type, int size)
{
    if (Active()) {
        SetError(DbError { "Fields can only be added while the table is closed.", 0, {} });
        return false;
    }
    const QString trimmed = name.trimmed();
    if (trimmed.isEmpty()) {
        SetError(DbError { "A field needs a name.", 0, {} });
        return false;
    }
    for (const FieldDef &def : m_defs) {
        if (NameFold::same(def.name, trimmed)) {
            SetError(DbError {
                QStringLiteral("The field \"%1\" already exists.").arg(trimmed).toStdString(), 0,
                {} });
            return false;
        }
    }
    m_defs.push_back(FieldDef { trimmed, type, std::max(0, size) });
    return true;
}

bool TQuillonTempTable::ClearFields()
{
    if (Active()) {
        SetError(DbError { "Fields can only be removed while the table is closed.", 0, {} });
        return false;
    }
    m_defs.clear();
    return true;
}

int TQuillonTempTable::FieldSize(int index) const
{
    return index >= 0 && index < FieldDefCount() ? m_defs[static_cast<std::size_t>(index)].size : 0;
}

bool TQuillonTempTable::CreateTable()
{
    Close();
    auto columns = std::make_unique<ResultColumns>();
    for (const FieldDef &def : m_defs)
        columns->addColumn(def.name.toStdString(), def.type);
    SetColumns(std::move(columns));
    ResetAfterLoad();
    return true;
}

bool TQuillonTempTable::Open()
{
    if (Active())
        return true;
    return CreateTable();
}

bool TQuillonTempTable::EmptyTable()
{
    if (!Active())
        return Open();
    Cancel();
    Columns()->clearRows();
    ResetAfterLoad();
    return true;
}

bool TQuillonTempTable::WriteRow(
    int row, const std::vector<QVariant> &values, std::vector<bool> &changed, int &newRow)
{
    // Every value is checked before the row changes, so a refused post changes nothing.
    std::vector<std::optional<Value>> converted(m_defs.size());
    for (std::size_t field = 0; field < m_defs.size(); ++field) {
        if (!changed[field])
            continue;
        const FieldDef &def = m_defs[field];
        QString problem;
        converted[field] = FieldValues::toValue(values[field], def.type, def.name, problem);
        if (!converted[field]) {
            SetError(DbError { problem.toStdString(), 0, "22018" });
            return false;
        }
        const bool text = def.type == FieldType::String || def.type == FieldType::WideString;
        if (text && def.size > 0 && values[field].toString().size() > def.size) {
            SetError(DbError {
                QStringLiteral("The value for the field \"%1\" is longer than %2 characters.")
                    .arg(def.name)
                    .arg(def.size)
                    .toStdString(),
                0, "22001" });
            return false;
        }
    }
    if (row < 0) {
        std::vector<Value> rowValues(m_defs.size());
        for (std::size_t field = 0; field < m_defs.size(); ++field) {
            if (converted[field])
                rowValues[field] = *converted[field];
        }
        Columns()->appendRow(rowValues);
        newRow = static_cast<int>(Columns()->rowCount()) - 1;
        return true;
    }
    for (std::size_t field = 0; field < m_defs.size(); ++field) {
        if (converted[field])
            Columns()->setValue(
                static_cast<std::size_t>(row), static_cast<int>(field), *converted[field]);
    }
    newRow = row;
    return true;
}

bool TQuillonTempTable::RemoveRow(int row)
{
    Columns()->removeRow(static_cast<std::size_t>(row));
    return true;
}

bool CopyTable(TQuillonDataSet &source, TQuillonTempTable &destination, bool option)
{
    if (&source == &destination)
        return true;
    if (destination.m_defs.empty()) {
        destination.Close();
        for (int field = 0; field < source.FieldCount(); ++field)
            destination.AddField(source.FieldName(field), source.FieldDataType(field), 0);
    }
    destination.DisableControls();
    const bool created = destination.CreateTable();
    std::vector<int> sourceField(destination.m_defs.size(), -1);
    for (std::size_t field = 0; field < destination.m_defs.size(); ++field)
        sourceField[field] = source.FieldIndex(destination.m_defs[field].name);

    bool copied = created;
    std::vector<QVariant> values(destination.m_defs.size());
    std::vector<bool> changed(destination.m_defs.size(), true);
    const int records = source.Active() ? source.RecordCount() : 0;
    for (int record = 0; copied && record < records; ++record) {
        const int row = source.RowOfRecord(record);
        for (std::size_t field = 0; field < values.size(); ++field)
            values[field]
                = sourceField[field] >= 0 ? source.ValueAt(row, sourceField[field]) : QVariant();
        int newRow = -1;
        copied = destination.WriteRow(-1, values, changed, newRow);
    }
    if (!copied) {
        const DbError error = destination.LastError();
        destination.Columns()->clearRows();
        destination.SetError(error);
    }
    destination.ResetAfterLoad();
    destination.EnableControls();
    return copied;
}
