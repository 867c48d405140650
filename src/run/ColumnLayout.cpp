#include "run/ColumnLayout.h"

#include "host/db/dataset/TQuillonADOQuery.h"
#include "host/db/engine/NameFold.h"

std::vector<NamedColumn> ParseFieldNames(const QString &fieldNames)
{
    std::vector<NamedColumn> items;
    QString text = fieldNames;
    for (int comma = text.indexOf(QLatin1Char(',')); comma >= 0;
         comma = text.indexOf(QLatin1Char(','))) {
        const bool visible = comma + 1 < text.size() && text.at(comma + 1) == QLatin1Char('1');
        items.push_back({ text.left(comma), visible });
        // The name, its ",", the flag and the "," after it.
        text.remove(0, comma + 3);
    }
    return items;
}

ColumnLayout BuildColumnLayout(const QStringList &fields, const std::vector<NamedColumn> &named)
{
    ColumnLayout layout;
    std::vector<bool> placed(fields.size(), false);
    for (const NamedColumn &item : named) {
        ++layout.offered;
        if (item.name.isEmpty())
            continue;
        for (int i = 0; i < fields.size(); ++i) {
            if (!placed[i] && NameFold::same(fields.at(i), item.name)) {
                placed[i] = true;
                layout.columns.push_back({ i, fields.at(i), item.name, item.visible });
                break;
            }
        }
    }
    for (int i = 0; i < fields.size(); ++i) {
        if (!placed[i])
            layout.columns.push_back({ i, fields.at(i), fields.at(i), false });
    }
    return layout;
}

ColumnLayout BuildColumnLayout(const QStringList &fields, const QString &storedFieldNames,
    const std::vector<NamedColumn> &columnRows)
{
    if (!storedFieldNames.isEmpty())
        return BuildColumnLayout(fields, ParseFieldNames(storedFieldNames));
    return BuildColumnLayout(fields, columnRows);
}

QString BuildFieldNames(const std::vector<NamedColumn> &columns)
{
    QStringList items;
    for (const NamedColumn &column : columns)
        items << column.name + (column.visible ? QLatin1String(",1") : QLatin1String(",0"));
    return items.join(QLatin1Char(','));
}

bool AutoWidth(int columnCount)
{
    return columnCount <= 10;
}

bool IsHoursColumn(const QString &name)
{
    return NameFold::fold(name).contains(QLatin1String("hours"));
}

bool ReadColumnRows(
    Connection &payroll, int enquiryId, std::vector<NamedColumn> &rows, QString &error)
{
    rows.clear();
    TQuillonADOQuery query;
    query.SetConnection(&payroll);
    query.SetSQL(QStringLiteral("select cColumnName, bShow from _iptblEasyEnquiryColumn where "
                                "iEnquiryID = ")
        + QString::number(enquiryId) + QStringLiteral(" order by iOrder, idEnquiryColumn"));
    if (!query.Open()) {
        error = query.LastErrorText();
        return false;
    }
    const TField name = query.FieldByName(QStringLiteral("cColumnName"));
    const TField show = query.FieldByName(QStringLiteral("bShow"));
    for (query.First(); !query.Eof(); query.Next())
        rows.push_back({ name.AsString(), show.AsBoolean() });
    return true;
}
