#include "edit/ParamDefinitions.h"

#include "edit/StoredRows.h"
#include "host/core/TypeTables.h"
#include "host/db/dataset/FieldValues.h"
#include "host/db/engine/Connection.h"
#include "host/db/engine/IsoDate.h"
#include "run/PrepareStatement.h"

#include <algorithm>

namespace {

const ParamEntry *FindIgnoringCase(const std::vector<ParamEntry> &list, const QString &name)
{
    const auto found = std::find_if(list.begin(), list.end(), [&](const ParamEntry &entry) {
        return entry.name.compare(name, Qt::CaseInsensitive) == 0;
    });
    return found == list.end() ? nullptr : &*found;
}

Value TextValue(const QString &text)
{
    return Value(text.toStdString());
}

} // namespace

std::vector<ParamEntry> MergeParamDefinitions(
    const std::vector<QString> &markerNames, const std::vector<ParamEntry> &current)
{
    std::vector<ParamEntry> merged;
    for (const QString &marker : markerNames) {
        const QString name = marker.left(kParamNameLength);
        if (FindIgnoringCase(merged, name))
            continue;
        ParamEntry entry;
        if (const ParamEntry *known = FindIgnoringCase(current, name))
            entry = *known;
        entry.name = name;
        merged.push_back(entry);
    }
    return merged;
}

bool LoadParamDefinitions(
    Connection &payroll, int enquiryId, std::vector<ParamEntry> &params, QString &error)
{
    std::vector<ParamRow> rows;
    params.clear();
    if (!ReadParamRows(payroll, enquiryId, true, rows, error))
        return false;
    for (const ParamRow &row : rows)
        params.push_back(EntryFromRow(row));
    return true;
}

bool SaveParamDefinitions(Connection &payroll, int enquiryId, bool overwrite,
    const std::vector<ParamEntry> &params, QString &error)
{
    std::vector<std::vector<Value>> rows;
    for (const ParamEntry &entry : params) {
        if (entry.name.isEmpty())
            continue;
        const int type = TSQLDataTypesString().mid(0, 5).indexOf(entry.typeName);
        const bool date = type == kSQLTypeDate;
        Value dateValue;
        if (date && entry.date.isValid())
            dateValue = Value(IsoDate::format(FieldValues::msFromDateTime(entry.date),
                FieldType::DateTime, IsoDate::Fraction::Never));
        rows.push_back({ TextValue(entry.name), type < 0 ? Value() : Value(std::int64_t(type)),
            date ? Value(std::string()) : TextValue(CanonicalParamText(type, entry.value)),
            dateValue });
    }
    const StoredRows table { "_iptblEasyEnquiryParam", "idEnquiryParam",
        { "cDescription", "iSQLTypeID", "cValue", "dtValue" } };
    return table.Replace(payroll, enquiryId, overwrite, rows, error);
}
