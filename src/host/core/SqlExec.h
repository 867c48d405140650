#pragma once

#include "host/db/engine/Value.h"

#include <QDateTime>
#include <QString>

class Statement;

// Qt values at the edge of the services' own statements (which run through Connection::run and
// forEachRow, every value bound).
namespace SqlExec {

Value ToValue(const QString &text);
Value ToValue(qint64 number);
Value ToValue(const QDateTime &moment); // "YYYY-MM-DD HH:MM:SS.zzz", as the engines store dates
QString TextAt(const Statement &statement, int column);

} // namespace SqlExec
