#pragma once

#include "host/db/engine/Connection.h"

#include <QString>

#include <memory>
#include <optional>

// The two databases the programs work on. The payroll database is also attached to the common
// connections as "payroll", so that agent filters inside a common-database IQ find their tables.
// IQ statements are checked and run only on the report connections: read-only twins of the two
// that cannot write whatever a statement tries (see LockForReports, and ServerDatabases.h for a
// server); everything the program itself stores goes through the other two.
struct HostDatabases
{
    std::unique_ptr<Connection> payroll;
    std::unique_ptr<Connection> common;
    std::unique_ptr<Connection> reportPayroll;
    std::unique_ptr<Connection> reportCommon;
};

// Opens both files (creating them, and their folders, only when `create` is set), refuses files
// that are not ours or are empty (unless `create` is set), brings their schemas up to date,
// registers _efnAgentPCSecurity on every connection and opens the report connections. The
// agents' credentials file beside the payroll file is not kept open: the upgrade that moves the
// password hashes there, or a new payroll database, makes it. On failure: nullopt and a
// one-line error naming the file; nothing was changed.
// Names "odbc:..." (both, or neither) are server databases: see OpenServerDatabases, which
// never creates anything whatever `create` says.
std::optional<HostDatabases> OpenHostDatabases(
    const QString &payrollPath, const QString &commonPath, bool create, QString &error);

// A read-only connection for IQ statements over `path` (a file or an "odbc:" name), locked as the
// report connections are; with `payrollPath` (the common database's) it is the common database,
// and a file sees that file as "payroll". nullptr and a one-line error naming the database on
// failure. A result loaded in the background has its own.
std::unique_ptr<Connection> OpenReportConnection(
    const QString &path, const QString &payrollPath, QString &error);
