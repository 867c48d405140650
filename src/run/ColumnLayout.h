#pragma once

#include <QString>
#include <QStringList>

#include <vector>

class Connection;

// Which result fields the grid shows, in which order, under which captions. Pure: the result
// window and the command-line tool feed it the result's field names and the stored layout.

// A named column with its visibility: an item of the stored "Field Names" text, a column row of
// _iptblEasyEnquiryColumn (cColumnName, bShow), or a grid column when the layout is saved.
struct NamedColumn
{
    QString name;
    bool visible = false;
};

struct LayoutColumn
{
    int fieldIndex = -1; // position in the result
    QString fieldName; // the result's own name
    QString caption; // the name as stored (its letter case may differ from the field's)
    bool visible = false;
};

struct ColumnLayout
{
    std::vector<LayoutColumn> columns; // grid order
    int offered = 0; // names offered to the layout: one progress step each
};

// The items of a stored "Field Names" text ("cCode,1,cName,0"), read from the front while a ","
// remains: the name before it (ends at the first ","), visible when the next character is "1".
std::vector<NamedColumn> ParseFieldNames(const QString &fieldNames);

// Places the named columns first, in their order: a name matches the first field not yet placed
// whose name equals it ignoring letter case; names that match nothing (or only placed fields, so
// a name listed twice keeps its first place) and empty names are skipped. Every field not placed
// follows, hidden, in result order.
ColumnLayout BuildColumnLayout(const QStringList &fields, const std::vector<NamedColumn> &named);
// With the stored "Field Names" text when it is not empty, else with the column rows.
ColumnLayout BuildColumnLayout(const QStringList &fields, const QString &storedFieldNames,
    const std::vector<NamedColumn> &columnRows);

// The "Field Names" text to store for the grid's columns in their order: "cCode,1,cName,0".
QString BuildFieldNames(const std::vector<NamedColumn> &columns);

// Automatic column width only for narrow grids (hidden columns count).
bool AutoWidth(int columnCount);
// Columns that may get the decimal-hours editor: the name holds "HOURS" in any case.
bool IsHoursColumn(const QString &name);

// The IQ's column rows in iOrder, idEnquiryColumn order. False with the error text on failure.
bool ReadColumnRows(
    Connection &payroll, int enquiryId, std::vector<NamedColumn> &rows, QString &error);
