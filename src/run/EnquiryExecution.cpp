#include "run/EnquiryExecution.h"

#include "host/core/Globals.h"
#include "host/core/HostContext.h"
#include "host/core/Log.h"
#include "host/core/SystemValues.h"
#include "host/db/dataset/TQuillonADOQuery.h"
#include "host/db/engine/DbError.h"
#include "store/Databases.h"

#include <QElapsedTimer>
#include <QLocale>

#include <algorithm>
#include <limits>

namespace {

const QString kTimeoutSetting = QStringLiteral("IQ Report Timeout (Minutes)");
const QString kRetrySetting = QStringLiteral("IQ Report Retry Count");

constexpr int kLogTypeIQExecuted = 113;
constexpr int kLogTypeIQTiming = 117;

int WholeNumber(const QString &text, int fallback)
{
    bool ok = false;
    const int value = text.trimmed().toInt(&ok, 10);
    return ok ? value : fallback;
}

bool IsLoggedExecution(const QString &code)
{
    const QString upper = code.toUpper();
    return upper == QLatin1String("IQB-EMP002") || upper == QLatin1String("IQB-EMP004");
}

} // namespace

int GetTimeoutSeconds()
{
    const qint64 minutes
        = WholeNumber(GetCurrentSystemValue(kTimeoutSetting, QStringLiteral("0")), 0);
    if (minutes <= 0)
        return 0;
    return static_cast<int>(std::min<qint64>(minutes * 60, std::numeric_limits<int>::max()));
}

int GetRetryCount()
{
    return WholeNumber(GetCurrentSystemValue(kRetrySetting, QStringLiteral("1")), 1);
}

namespace {

void LogTiming(const QString &code, const QString &description, qint64 elapsedMs)
{
    AddToLog(QStringLiteral("OpenIQ_%1 %2 ms").arg(code.toUpper(), QString::number(elapsedMs)),
        kLogTypeIQTiming, 0, nullptr, false, QString(), QString(), 0);
    if (bExtendedLogging && IsLoggedExecution(code))
        AddToLog(QStringLiteral("IQ Executed: %1 %2").arg(code, description), kLogTypeIQExecuted, 0,
            nullptr, false, QString(), QStringLiteral("IQCode=") + code, 0);
}

// A run that ended before its last row: "CancelIQ_..." or "FailIQ_...", the engine's error as
// the extra text of a failure.
void LogUnfinished(const QString &prefix, const QString &code, qint64 elapsedMs, int rowsKept,
    int severity, const QString &error = QString())
{
    QString text
        = QStringLiteral("%1_%2 %3 ms").arg(prefix, code.toUpper(), QString::number(elapsedMs));
    if (rowsKept > 0)
        text += QStringLiteral(", partial result of %1 rows").arg(rowsKept);
    AddToLog(text, kLogTypeIQTiming, severity, nullptr, false, error, QString(), 0);
}

void LogCancel(const QString &code, qint64 elapsedMs, int rowsKept)
{
    LogUnfinished(QStringLiteral("CancelIQ"), code, elapsedMs, rowsKept, kSeverityWarning);
}

bool IsTimeoutText(const QString &errorText)
{
    return errorText.left(21).toUpper() == QLatin1String("QUERY TIMEOUT EXPIRED");
}

// What every run of an IQ shares before its statement runs: the statement, the time-out and
// retries of the system settings, and the developer log's "Start".
void PrepareRun(TQuillonADOQuery &query, Connection *connection, const QString &sql,
    std::optional<int> timeoutSeconds)
{
    query.Close();
    query.SetConnection(connection);
    query.SetSQL(sql);
    AddDevLogMsg(QStringLiteral("Start"), 1);
    query.SetCommandTimeout(timeoutSeconds ? std::max(0, *timeoutSeconds) : GetTimeoutSeconds());
    query.SetRetryCount(GetRetryCount());
}

// A run that ends before its call returns: timed, and logged after it succeeded.
template <typename RunQuery>
bool RunLogged(TQuillonADOQuery &query, Connection &connection, const QString &sql,
    const QString &code, const QString &description, qint64 &elapsedMs, QString &error,
    std::optional<int> timeoutSeconds, RunQuery run)
{
    error.clear();
    PrepareRun(query, &connection, sql, timeoutSeconds);
    elapsedMs = kElapsedNotMeasured;
    QElapsedTimer stopwatch;
    stopwatch.start();
    const bool succeeded = run(query); // retries, when any, happen inside this one call
    elapsedMs = stopwatch.elapsed();
    if (!succeeded) {
        error = query.LastErrorText();
        if (query.LastError().isCancelled())
            LogCancel(code, elapsedMs, 0);
        return false;
    }
    // The time of the whole run: for a stream, the writing of its rows included.
    LogTiming(code, description, elapsedMs);
    return true;
}

} // namespace

bool OpenEnquiry(TQuillonADOQuery &query, Connection &connection, const QString &sql,
    const QString &code, const QString &description, qint64 &elapsedMs, QString &error,
    std::optional<int> timeoutSeconds)
{
    return RunLogged(query, connection, sql, code, description, elapsedMs, error, timeoutSeconds,
        [](TQuillonADOQuery &open) { return open.Open(); });
}

bool StreamEnquiry(TQuillonADOQuery &query, RowReceiver &receiver, Connection &connection,
    const QString &sql, const QString &code, const QString &description, qint64 &elapsedMs,
    QString &error, std::optional<int> timeoutSeconds)
{
    return RunLogged(query, connection, sql, code, description, elapsedMs, error, timeoutSeconds,
        [&receiver](TQuillonADOQuery &stream) { return stream.Stream(receiver); });
}

void StartEnquiryLoad(
    TQuillonADOQuery &query, std::unique_ptr<Connection> connection, const QString &sql)
{
    PrepareRun(query, nullptr, sql, std::nullopt);
    query.OpenInBackground(std::move(connection));
}

void EndEnquiryLoad(const TQuillonADOQuery &query, BackgroundLoad::State end, const QString &code,
    const QString &description)
{
    if (end == BackgroundLoad::State::Done)
        LogTiming(code, description, query.LoadElapsedMs());
    else if (end == BackgroundLoad::State::Cancelled)
        LogCancel(code, query.LoadElapsedMs(), query.RowCount());
    else if (end == BackgroundLoad::State::Failed && query.Active())
        LogUnfinished(QStringLiteral("FailIQ"), code, query.LoadElapsedMs(), query.RowCount(),
            kSeverityError, query.LastErrorText());
}

std::unique_ptr<Connection> OpenLoadConnection(bool commonDb, QString &error)
{
    // Opened again from the same names, locked as the report connections are.
    const QString payroll = HostDatabaseName(false);
    const QString target = HostDatabaseName(commonDb);
    if (!ReportConnection(commonDb) || payroll.isEmpty() || target.isEmpty()) {
        error = QStringLiteral("The database is not open.");
        return nullptr;
    }
    return OpenReportConnection(target, commonDb ? payroll : QString(), error);
}

QString RunCancelledMessage()
{
    return QStringLiteral("The IQ run was cancelled, so there is no result to show.");
}

QString RunFailureMessage(const QString &errorText, qint64 elapsedMs)
{
    if (IsTimeoutText(errorText)) {
        const qint64 minutes = std::max<qint64>(elapsedMs, 0) / 60000 + 1;
        return QStringLiteral("The IQ report timed-out after approximately %1 minutes.")
                   .arg(minutes)
            + QStringLiteral("\r\n\r\n")
            + QStringLiteral("Please change the value for %1 in the\r\nSystem Settings screen, "
                             "to a value greater than this and try again.")
                  .arg(QLatin1Char('\'') + kTimeoutSetting + QLatin1Char('\''));
    }
    return QStringLiteral(
        "There was a problem running the IQ.\r\n\r\nPlease re-start Corvane and try again.");
}

QString RunFailureMessage(const DbError &error, qint64 elapsedMs)
{
    return RunFailureMessage(QString::fromStdString(error.text), elapsedMs);
}

QString PartialFailureMessage(const DbError &error, qint64 elapsedMs, int rowsKept)
{
    const QString rows = QLocale().toString(rowsKept);
    const QString kept = QStringLiteral("The %1 rows read before it are shown, marked as partial: "
                                        "they are not the whole result.")
                             .arg(rows);
    const QString text = QString::fromStdString(error.text);
    // "Re-start Corvane" would not help here: the statement itself stopped.
    if (IsTimeoutText(text))
        return RunFailureMessage(text, elapsedMs) + QStringLiteral("\r\n\r\n") + kept;
    return QStringLiteral("The IQ stopped with an error after %1 rows:\r\n\r\n%2\r\n\r\n")
               .arg(rows, text)
        + kept;
}
