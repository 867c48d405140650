#pragma once

#include "host/db/engine/DbError.h"
#include "host/db/engine/Value.h"

#include <QDateTime>
#include <QString>
#include <QVariant>

#include <functional>
#include <initializer_list>
#include <string_view>

class Connection;
class Statement;

// Small helpers for the services' own statements: every value is bound, never spliced in.
namespace SqlExec {

Value ToValue(const QString &text);
Value ToValue(qint64 number);
Value ToValue(const QDateTime &moment); // "YYYY-MM-DD HH:MM:SS.zzz", as the engines store dates
QString TextAt(const Statement &statement, int column);

// Runs a statement without results; false with `error` filled.
bool Run(Connection &connection, std::string_view sql, std::initializer_list<Value> values,
    DbError &error);
// Runs a query and calls `row` for each result row until it returns false.
bool ForEachRow(Connection &connection, std::string_view sql, std::initializer_list<Value> values,
    const std::function<bool(const Statement &)> &row, DbError &error);

} // namespace SqlExec
