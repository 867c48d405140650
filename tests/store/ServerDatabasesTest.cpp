#include "TestServerDatabases.h"

#include "host/db/engine/Connection.h"
#include "host/db/engine/ConnectionName.h"
#include "store/Databases.h"

#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

// Whether a schema dbo exists in the server database `name`, through a connection of its own.
bool HasSchema(const QString &name)
{
    DbError error;
    auto connection
        = ConnectionName::open(name.toStdString(), SqliteConnection::OpenMode::ReadWrite, error);
    bool found = false;
    EXPECT_TRUE(connection
        && connection->forEachRow(
            "SELECT count(*) FROM information_schema.schemata WHERE schema_name = 'dbo'", {},
            [&](const Statement &row) {
                found = row.asInt64(0) > 0;
                return false;
            },
            error))
        << error.text;
    return found;
}

TEST(ServerDatabasesTest, OpensOnlyWhatInitMadeAndNeverMakesASchemaItself)
{
    TestServerDatabases server;
    ASSERT_TRUE(server.ready());
    QString error;
    EXPECT_FALSE(OpenHostDatabases(server.payrollName(), server.commonName(), true, error));
    EXPECT_EQ(error,
        "The server database \"" + server.payrollName()
            + "\" holds no payroll schema; make it with \"corvane-iq init\".");
    EXPECT_FALSE(HasSchema(server.payrollName()));

    QTemporaryDir dir;
    EXPECT_FALSE(OpenHostDatabases(dir.filePath("p.db"), server.commonName(), true, error));
    EXPECT_EQ(error,
        "The payroll and the common database must both be files or both be on a server "
        "(odbc:...).");
    EXPECT_FALSE(QFile::exists(dir.filePath("p.db")));

    ASSERT_TRUE(server.make());
    const auto databases
        = OpenHostDatabases(server.payrollName(), server.commonName(), false, error);
    ASSERT_TRUE(databases) << error.toStdString();
    EXPECT_EQ(databases->reportPayroll->engineName(), "ODBC");
}

// The statement checks are the second line; these are what the server itself must refuse on a
// report connection, including after a statement that tries to take the main login's role or
// switch read-only off for the session.
TEST(ServerDatabasesTest, ReportConnectionRefusesWritesAndTheCredentialsWhateverItRuns)
{
    TestServerDatabases server;
    ASSERT_TRUE(server.make());
    QString error;
    const auto databases
        = OpenHostDatabases(server.payrollName(), server.commonName(), false, error);
    ASSERT_TRUE(databases) << error.toStdString();
    Connection &report = *databases->reportPayroll;
    DbError failure;
    ASSERT_TRUE(
        report.run("SELECT set_config('default_transaction_read_only', 'off', false)", {}, failure))
        << failure.text;
    EXPECT_FALSE(report.run("SELECT set_config('role', 'qp', false)", {}, failure));
    const char *refused[] = {
        "SELECT cPasswordHash FROM dbo._rtblAgentCredentials",
        "INSERT INTO dbo._iptblEasyEnquiry (cCode, cDescription) VALUES ('X1', 'x')",
        "DELETE FROM [dbo].[_rtblAgents]",
        "CREATE TABLE dbo.x (i int)",
        "CALL dbo._ipspDeleteEasyEnquiry(1)",
    };
    for (const char *sql : refused) {
        SCOPED_TRACE(sql);
        EXPECT_FALSE(report.run(sql, {}, failure));
        EXPECT_EQ(failure.sqlState, "42501") << failure.text; // insufficient privilege
    }
    EXPECT_TRUE(report.run("SELECT count(*) FROM [dbo].[_rtblAgents]", {}, failure))
        << failure.text;

    // A report login that could write is no report login.
    qputenv("CORVANE_REPORT_ROLE", "qp");
    const auto asOwner = OpenHostDatabases(server.payrollName(), server.commonName(), false, error);
    qunsetenv("CORVANE_REPORT_ROLE");
    EXPECT_FALSE(asOwner);
    EXPECT_EQ(error,
        "The report login qp may change the server database \"" + server.payrollName()
            + "\" or read the agents' passwords; IQs run only under a login that may only read "
              "(see \"corvane-iq init --report-role\").");
}

} // namespace
