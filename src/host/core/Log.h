#pragma once

#include <QString>

#include <functional>

class Connection;

// Severities of the message log.
inline constexpr int kSeverityInfo = 0;
inline constexpr int kSeverityWarning = 1;
inline constexpr int kSeverityError = 2;

// How the Message Log Viewer names a log type and a severity ("IQ Import", "Error"); a number
// without a name shows as the number.
QString LogTypeName(int logType);
QString SeverityName(int severity);

// One row of _btblLog in the common database (or in `connection` when one is given), with the
// time and the signed-in agent. A failed write is reported on stderr and never stops the caller.
// `option` and `destination` are stored for the viewer; they change nothing here.
void AddToLog(const QString &text, int logType, int severity, Connection *connection = nullptr,
    bool option = false, const QString &extra1 = {}, const QString &extra2 = {},
    int destination = 0);

// The developer log: to stderr when enabled (CORVANE_DEVLOG=1 or SetDevLogEnabled(true)), and to
// the sink, when one is set, always.
void AddDevLogMsg(const QString &text, int type);
void SetDevLogEnabled(bool enabled);
bool DevLogEnabled();
void SetDevLogSink(std::function<void(const QString &, int)> sink);
