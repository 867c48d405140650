#include "host/core/HostContext.h"

namespace {
Connection *g_payroll = nullptr;
Connection *g_common = nullptr;
Connection *g_reportPayroll = nullptr;
Connection *g_reportCommon = nullptr;
QStringList g_databaseFiles;
QString g_payrollName;
QString g_commonName;
}

Connection *ADOMainConnection()
{
    return g_payroll;
}

Connection *PayrollConnection()
{
    return g_payroll;
}

Connection *CommonConnection()
{
    return g_common;
}

void SetHostConnections(Connection *payroll, Connection *common)
{
    g_payroll = payroll;
    g_common = common;
}

Connection *ReportConnection(bool commonDb)
{
    return commonDb ? g_reportCommon : g_reportPayroll;
}

void SetReportConnections(Connection *payroll, Connection *common)
{
    g_reportPayroll = payroll;
    g_reportCommon = common;
}

QStringList HostDatabaseFiles()
{
    return g_databaseFiles;
}

void SetHostDatabaseFiles(const QStringList &files)
{
    g_databaseFiles = files;
}

QString HostDatabaseName(bool commonDb)
{
    return commonDb ? g_commonName : g_payrollName;
}

void SetHostDatabaseNames(const QString &payroll, const QString &common)
{
    g_payrollName = payroll;
    g_commonName = common;
}
