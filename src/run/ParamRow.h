#pragma once

#include <QDateTime>
#include <QString>

#include <optional>

// A stored date counts only when it is after the zero date, 30 Dec 1899 00:00 (a null or zero
// date is no value).
inline bool DateIsSet(const std::optional<QDateTime> &value)
{
    if (!value || !value->isValid())
        return false;
    const QDate zero(1899, 12, 30);
    return value->date() > zero || (value->date() == zero && value->time() > QTime(0, 0));
}

// One stored parameter row of an IQ: its name, type index and current value.
struct ParamRow
{
    QString name; // cDescription
    int typeIndex = 1; // iSQLTypeID: index into TSQLDataTypesString
    std::optional<QString> cValue; // null for the date type
    std::optional<QDateTime> dtValue; // null unless the date type holds a date
};
