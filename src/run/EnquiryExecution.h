#pragma once

#include "host/db/dataset/BackgroundLoad.h"

#include <QString>

#include <memory>
#include <optional>

class Connection;
class RowReceiver;
class TQuillonADOQuery;
struct DbError;

// Running a prepared IQ statement: the result window calls these from its run, the command-line
// tool from "run". Failures come back as values; the caller shows RunFailureMessage.

// "IQ Report Timeout (Minutes)" (default "0"; not a whole number, or negative, counts as 0)
// times 60: the command time-out in seconds, 0 for none.
int GetTimeoutSeconds();
// "IQ Report Retry Count" (default "1"; not a whole number counts as 1): the number of attempts
// the host query makes in all, so 1 (and 0 or less) means one attempt and no retry. Only an
// attempt that finds the database held by another connection (busy, locked) is made again; a
// time-out ends the open at once and is never retried, so a runaway statement costs one
// time-out, not one per attempt.
int GetRetryCount();

// Opens `sql` in `query` on `connection` with the time-out and retry count of the system
// settings, and times the open. Writes the developer log line "Start" before, and after a
// successful open the log line "OpenIQ_<CODE> <n> ms" (type 117) and, with extended logging and
// the codes IQB-EMP002 / IQB-EMP004 in any case, "IQ Executed: <code> <description>" (type 113,
// extra text "IQCode=<code>"). `elapsedMs` is -123 until the open returns, then the stopwatch
// reading (also after a failure). On failure `error` is the database's text and nothing is
// logged. Display updates of the query are left to the caller. `timeoutSeconds`, when given,
// replaces the system value's time-out (0: none): the command-line tool's --timeout and its
// default for unattended runs.
bool OpenEnquiry(TQuillonADOQuery &query, Connection &connection, const QString &sql,
    const QString &code, const QString &description, qint64 &elapsedMs, QString &error,
    std::optional<int> timeoutSeconds = std::nullopt);

// Runs `sql` as OpenEnquiry does (settings, log lines, failures) but hands each row to `receiver`
// as it is read (TQuillonADOQuery::Stream) and leaves `query` closed: the command-line tool
// writes a result of any size this way in flat memory. The timing line and `elapsedMs` then
// count the whole run, the receiver's work (writing the rows) included. When the receiver stops
// the run, false with an empty `error`: the receiver knows why.
bool StreamEnquiry(TQuillonADOQuery &query, RowReceiver &receiver, Connection &connection,
    const QString &sql, const QString &code, const QString &description, qint64 &elapsedMs,
    QString &error, std::optional<int> timeoutSeconds = std::nullopt);

// The result window's run: as OpenEnquiry (settings, "Start"), but the statement runs on
// `connection`, the load's own, while the rows arrive (TQuillonADOQuery::OpenInBackground).
void StartEnquiryLoad(
    TQuillonADOQuery &query, std::unique_ptr<Connection> connection, const QString &sql);
// Once TakeArrivedRows has returned how the load ended, its log lines, timed over the whole
// load: those of OpenEnquiry after Done; after Cancelled "CancelIQ_<CODE> <n> ms", followed by
// ", partial result of <rows> rows" when rows were kept; after Failed with rows kept
// "FailIQ_<CODE> <n> ms, partial result of <rows> rows" with the engine's error as extra text;
// nothing after a failure that kept no rows.
void EndEnquiryLoad(const TQuillonADOQuery &query, BackgroundLoad::State end, const QString &code,
    const QString &description);
// A report connection of its own for a background load, to the database of
// ReportConnection(commonDb) (a file or a server);
// nullptr and `error` when it cannot be opened.
std::unique_ptr<Connection> OpenLoadConnection(bool commonDb, QString &error);

// What the person is told after pressing Cancel during a run. The run's log line, type 117 as
// the timing line's, reads "CancelIQ_<CODE> <n> ms".
QString RunCancelledMessage();

// The message for a failed run: the time-out text with M = elapsedMs / 60000 + 1 when the
// error begins with "query timeout expired" in any letter case, otherwise the general text.
QString RunFailureMessage(const QString &errorText, qint64 elapsedMs);
QString RunFailureMessage(const DbError &error, qint64 elapsedMs);
// The message for a statement that failed after its first rows were shown, which stay: the
// engine's own error (or the time-out text) and that the rows kept are not the whole result.
QString PartialFailureMessage(const DbError &error, qint64 elapsedMs, int rowsKept);

inline constexpr qint64 kElapsedNotMeasured = -123;
