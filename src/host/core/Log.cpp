#include "host/core/Log.h"

#include "host/core/Agent.h"
#include "host/core/HostContext.h"
#include "host/core/SqlExec.h"
#include "host/db/engine/Connection.h"

#include <QDateTime>

#include <cstdio>
#include <optional>

namespace {
std::optional<bool> g_devLogEnabled;
std::function<void(const QString &, int)> g_devLogSink;
}

void AddToLog(const QString &text, int logType, int severity, Connection *connection, bool option,
    const QString &extra1, const QString &extra2, int destination)
{
    Q_UNUSED(option);
    Connection *target = connection ? connection : CommonConnection();
    if (!target) {
        fprintf(stderr, "log (no database): %s\n", qPrintable(text));
        return;
    }
    const TAgent *agent = CurrentAgent();
    DbError error;
    const bool written = target->run(
        "insert into _btblLog (dtLogged, iAgentID, cAgentName, iLogType, iSeverity, cText, "
        "cExtra1, cExtra2, iDestination) values (?, ?, ?, ?, ?, ?, ?, ?, ?)",
        { SqlExec::ToValue(QDateTime::currentDateTime()),
            SqlExec::ToValue(agent ? agent->idAgents : 0),
            SqlExec::ToValue(agent ? agent->cAgentName : QString()), SqlExec::ToValue(logType),
            SqlExec::ToValue(severity), SqlExec::ToValue(text), SqlExec::ToValue(extra1),
            SqlExec::ToValue(extra2), SqlExec::ToValue(destination) },
        error);
    if (!written)
        fprintf(stderr, "log write failed (%s): %s\n", error.text.c_str(), qPrintable(text));
}

QString LogTypeName(int logType)
{
    switch (logType) {
    case 33:
        return QStringLiteral("IQ Changed");
    case 89:
        return QStringLiteral("IQ Import");
    case 113:
        return QStringLiteral("IQ Executed");
    case 117:
        return QStringLiteral("IQ Timing");
    default:
        return QString::number(logType);
    }
}

QString SeverityName(int severity)
{
    switch (severity) {
    case kSeverityInfo:
        return QStringLiteral("Information");
    case kSeverityWarning:
        return QStringLiteral("Warning");
    case kSeverityError:
        return QStringLiteral("Error");
    default:
        return QString::number(severity);
    }
}

void AddDevLogMsg(const QString &text, int type)
{
    if (g_devLogSink)
        g_devLogSink(text, type);
    if (DevLogEnabled())
        fprintf(stderr, "[dev %d] %s\n", type, qPrintable(text));
}

void SetDevLogEnabled(bool enabled)
{
    g_devLogEnabled = enabled;
}

bool DevLogEnabled()
{
    if (!g_devLogEnabled)
        g_devLogEnabled = qEnvironmentVariable("CORVANE_DEVLOG") == QLatin1String("1");
    return *g_devLogEnabled;
}

void SetDevLogSink(std::function<void(const QString &, int)> sink)
{
    g_devLogSink = std::move(sink);
}
