#pragma once

#include <QStringList>

class Connection;

// The two databases the host has open. The program (or a test) owns them; the services only
// borrow them, so a missing connection is a normal state that every caller checks.
Connection *ADOMainConnection(); // the payroll connection, as the package calls it
Connection *PayrollConnection();
Connection *CommonConnection();
void SetHostConnections(Connection *payroll, Connection *common);

// The read-only connections on which IQ statements are checked and run (null until the program
// opens them): the common one when the IQ is a common-database IQ, else the payroll one.
Connection *ReportConnection(bool commonDb);
void SetReportConnections(Connection *payroll, Connection *common);
// What the open databases were opened from (a file or an "odbc:" name), so that a result loaded
// in the background can open a report connection of its own; empty while none is open.
QString HostDatabaseName(bool commonDb);
void SetHostDatabaseNames(const QString &payroll, const QString &common);
// The files of the open databases, which no export may write (GridExportOptions::protectedFiles).
QStringList HostDatabaseFiles();
void SetHostDatabaseFiles(const QStringList &files);
