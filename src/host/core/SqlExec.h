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
Value ToValue(const QDateTime &moment); // "YYYY-MM-DD HH:MM:SS.zzz" (IsoDate), NULL when invalid
QString TextAt(const Statement &statement, int column);
QDateTime DateTimeAt(const Statement &statement, int column); // invalid for NULL or no date

} // namespace SqlExec
