#include "TestServerDatabases.h"

#include "PostgresServer.h"
#include "host/db/engine/ConnectionName.h"
#include "store/DemoData.h"
#include "store/ServerDatabases.h"
#include "store/ServerSchema.h"

#include <gtest/gtest.h>

TestServerDatabases::TestServerDatabases()
{
    QString error;
    PostgresServer *server = PostgresServer::instance(error);
    EXPECT_TRUE(server) << error.toStdString();
    if (server && server->createDatabase(m_payrollDb, error)
        && server->createDatabase(m_commonDb, error))
        m_server = server;
    EXPECT_TRUE(m_server) << error.toStdString();
}

QString TestServerDatabases::name(const std::string &database) const
{
    return m_server ? QString::fromStdString("odbc:" + m_server->connectionString(database))
                    : QString();
}

bool TestServerDatabases::make(int demoEmployees)
{
    if (!m_server)
        return false;
    DbError failure;
    const auto payroll = ConnectionName::open(
        payrollName().toStdString(), SqliteConnection::OpenMode::ReadWrite, failure);
    const auto common = ConnectionName::open(
        commonName().toStdString(), SqliteConnection::OpenMode::ReadWrite, failure);
    EXPECT_TRUE(payroll && common) << failure.text;
    if (!payroll || !common)
        return false;
    QString error;
    bool ok = CreateReportRole(*payroll, ReportRoleName(), error)
        && CreateServerSchema(*payroll, DatabaseKind::Payroll, ReportRoleName(), error)
        && CreateServerSchema(*common, DatabaseKind::Common, ReportRoleName(), error);
    if (ok && demoEmployees >= 0) {
        DemoOptions options;
        options.employees = demoEmployees;
        options.payslipsPerEmployee = 2;
        options.fastPasswordHashing = true;
        ok = CreateDemoData(*payroll, *common, options, error);
    }
    EXPECT_TRUE(ok) << error.toStdString();
    return ok;
}
