#pragma once

#include "store/Databases.h"
#include "store/Schema.h"
#include "store/SchemaScript.h"

// The two databases on a server (names "odbc:..."). The main connections sign in with the login
// the names give. IQs run on report connections that sign in as the report login init made
// (CORVANE_REPORT_ROLE, default corvane_report; its password, if it needs one, in
// CORVANE_REPORT_PASSWORD): SELECT grants only, read-only transactions, no right to the
// credentials table. It is a login of its own rather than a role taken on by the main login,
// because a role taken with SET ROLE can be dropped again by the session (set_config('role',
// ...) inside a SELECT). A report login found able to write, or to read the credentials, is
// refused.
QString ReportRoleName(); // CORVANE_REPORT_ROLE, or the default

// Opens both, checking that each holds this program's schema: nothing is ever created here, and
// a database without one is pointed at "corvane-iq init". nullopt and a one-line error that
// names the database (never its password) on failure.
std::optional<HostDatabases> OpenServerDatabases(
    const QString &payrollName, const QString &commonName, QString &error);

// A main connection to a server database of `kind` whose schema is this program's.
std::unique_ptr<Connection> OpenServerDatabase(
    const QString &name, DatabaseKind kind, QString &error);

// A report connection to the server database `name` of `kind`, checked to be read-only.
std::unique_ptr<Connection> OpenServerReportConnection(
    const QString &name, DatabaseKind kind, QString &error);
