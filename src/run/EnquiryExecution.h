#pragma once

#include <QString>

class Connection;
class TQuillonADOQuery;
struct DbError;

// Running a prepared IQ statement: the result window calls these from its run, the command-line
// tool from "run". Failures come back as values; the caller shows RunFailureMessage.

// "IQ Report Timeout (Minutes)" (default "0"; not a whole number, or negative, counts as 0)
// times 60: the command time-out in seconds, 0 for none.
int GetTimeoutSeconds();
// "IQ Report Retry Count" (default "1"; not a whole number counts as 1).
int GetRetryCount();

// Opens `sql` in `query` on `connection` with the time-out and retry count of the system
// settings, and times the open. Writes the developer log line "Start" before, and after a
// successful open the log line "OpenIQ_<CODE> <n> ms" (type 117) and, with extended logging and
// the codes IQB-EMP002 / IQB-EMP004 in any case, "IQ Executed: <code> <description>" (type 113,
// extra text "IQCode=<code>"). `elapsedMs` is -123 until the open returns, then the stopwatch
// reading (also after a failure). On failure `error` is the database's text and nothing is
// logged. Display updates of the query are left to the caller.
bool OpenEnquiry(TQuillonADOQuery &query, Connection &connection, const QString &sql,
    const QString &code, const QString &description, qint64 &elapsedMs, QString &error);

// The message for a failed run: the time-out text with M = elapsedMs / 60000 + 1 when the
// error begins with "query timeout expired" in any letter case, otherwise the general text.
QString RunFailureMessage(const QString &errorText, qint64 elapsedMs);
QString RunFailureMessage(const DbError &error, qint64 elapsedMs);

inline constexpr qint64 kElapsedNotMeasured = -123;
