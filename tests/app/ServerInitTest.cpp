#include "CliProcess.h"
#include "FileBytes.h"
#include "PostgresServer.h"
#include "PrintQt.h"
#include "TestDatabases.h"

#include "host/core/Agent.h"
#include "host/db/engine/OdbcConnection.h"

#include <QFile>
#include <QProcess>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

// corvane-iq init against two new databases on the test process's own PostgreSQL.
class ServerInitTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        QString problem;
        server = PostgresServer::instance(problem);
        ASSERT_TRUE(server) << problem.toStdString();
        ASSERT_TRUE(server->createDatabase(payrollDb, problem)) << problem.toStdString();
        ASSERT_TRUE(server->createDatabase(commonDb, problem)) << problem.toStdString();
    }

    CliResult init(const QString &payroll, const QString &common, const QString &password,
        const QStringList &options = {}) const
    {
        return m_cli.run(
            QStringList { "--payroll", payroll, "--common", common, "init" } + options, password);
    }

    // The two server databases as corvane-iq's options.
    QStringList servers() const
    {
        return { "--payroll", odbcName(payrollDb), "--common", odbcName(commonDb) };
    }
    // A command on the two server databases, signed in as `agent` (password = its name).
    CliResult as(const QString &agent, const QStringList &arguments) const
    {
        return m_cli.run(servers() + QStringList { "--agent", agent } + arguments, agent);
    }

    QString odbcName(const std::string &database) const
    {
        return QString::fromStdString("odbc:" + server->connectionString(database));
    }

    // Every row of `sql` on `database`, cells joined by "|".
    QStringList rows(const std::string &database, const std::string &sql) const
    {
        DbError error;
        auto connection = OdbcConnection::open(server->connectionString(database), error);
        EXPECT_TRUE(connection) << error.text;
        return connection ? TestDatabases::rows(*connection, sql) : QStringList();
    }

    PostgresServer *server = nullptr;
    std::string payrollDb;
    std::string commonDb;
    QTemporaryDir m_dir;
    const CliProcess m_cli { CORVANE_IQ_BIN, m_dir.path() };
};

} // namespace

TEST_F(ServerInitTest, MakesBothSchemasAndTheAdministratorOnceAndOnlyOnServers)
{
    const CliResult files
        = init(m_dir.filePath("payroll.db"), m_dir.filePath("common.db"), "secret");
    EXPECT_EQ(files.exitCode, 2);
    EXPECT_EQ(files.err,
        "corvane-iq init: give --payroll odbc:CONNECTION and --common odbc:CONNECTION; database "
        "files are made by \"corvane-iq demo\".\n");
    EXPECT_FALSE(QFile::exists(m_dir.filePath("payroll.db")));

    const CliResult made
        = Ok(init(odbcName(payrollDb), odbcName(commonDb), "secret", { "--admin", "boss" }));
    EXPECT_EQ(made.out,
        "Created the payroll and common schemas (versions 5 and 2), the report role "
        "corvane_report and the administrator boss.\n");
    EXPECT_EQ(rows(payrollDb,
                  "SELECT cAgentName, bAdministrator, bAllPayrollCompanies, bAllPayFrequencies, "
                  "bAllLocations, bActive FROM _rtblAgents"),
        QStringList { "boss|1|1|1|1|1" });
    EXPECT_EQ(rows(payrollDb, "SELECT iFunctionID FROM _rtblAgentFunctions ORDER BY 1"),
        QStringList({ "2601", "2602" }));
    const QStringList hash = rows(payrollDb, "SELECT cPasswordHash FROM _rtblAgentCredentials");
    ASSERT_EQ(hash.size(), 1);
    EXPECT_TRUE(VerifyPassword(hash.first(), "secret"));
    EXPECT_EQ(rows(commonDb, "SELECT count(*) FROM _btblSystemValues"), QStringList { "2" });
    EXPECT_EQ(rows(payrollDb,
                  "SELECT count(*) FROM information_schema.tables WHERE table_name = "
                  "'_btblsystemvalues'"),
        QStringList { "0" });

    // Nothing is made twice, and the administrator keeps the first password.
    const CliResult again = init(odbcName(payrollDb), odbcName(commonDb), "other");
    EXPECT_EQ(again.exitCode, 1);
    EXPECT_EQ(again.err,
        "corvane-iq init: The server database already holds a payroll schema (version 5); it "
        "was left unchanged.\n");
    EXPECT_EQ(rows(payrollDb, "SELECT cAgentName FROM _rtblAgents"), QStringList { "boss" });
}

TEST_F(ServerInitTest, OneDatabaseHoldsBothAndAFailureLeavesNothingBehind)
{
    // The common schema cannot be made where one is already: the payroll schema made before it
    // in the same run goes too.
    ASSERT_EQ(rows(commonDb, "CREATE SCHEMA dbo"), QStringList());
    ASSERT_EQ(rows(commonDb,
                  "CREATE TABLE dbo._btblSchemaVersion (cDatabase VARCHAR(20) PRIMARY "
                  "KEY, iVersion INT NOT NULL)"),
        QStringList());
    ASSERT_EQ(
        rows(commonDb, "INSERT INTO dbo._btblSchemaVersion VALUES ('common', 2)"), QStringList());
    const CliResult refused = init(odbcName(payrollDb), odbcName(commonDb), "secret");
    EXPECT_EQ(refused.exitCode, 1);
    EXPECT_EQ(refused.err,
        "corvane-iq init: The server database already holds a common schema (version 2); it was "
        "left unchanged.\n");
    EXPECT_EQ(rows(payrollDb,
                  "SELECT count(*) FROM information_schema.schemata WHERE schema_name = 'dbo'"),
        QStringList { "0" });

    Ok(init(odbcName(payrollDb), odbcName(payrollDb), "secret"));
    EXPECT_EQ(rows(payrollDb, "SELECT cDatabase, iVersion FROM _btblSchemaVersion ORDER BY 1"),
        QStringList({ "common|2", "payroll|5" }));
}

// What a clerk does on a server, from an empty database on: every command reaches the server
// through the same code as on the files, IQs run under the read-only login with the clerk's row
// security, and the demo never adds a second administrator beside init's.
TEST_F(ServerInitTest, InitThenDemoThenEveryCommandWorksOnTheServer)
{
    const QStringList demo
        = servers() + QStringList { "demo", "--employees", "30", "--payslips-per-employee", "1" };
    Ok(init(odbcName(payrollDb), odbcName(commonDb), "boss", { "--admin", "boss" }));
    Ok(m_cli.run(demo, QString()));
    EXPECT_EQ(m_cli.run(demo, QString()).err,
        "corvane-iq demo: The payroll database on the server already holds data; demo data is "
        "only written into new databases.\n");
    EXPECT_EQ(rows(payrollDb, "SELECT cAgentName FROM _rtblAgents WHERE bAdministrator = 1"),
        QStringList { "boss" });
    // The server numbers the next row after the demo's own keys.
    EXPECT_EQ(rows(payrollDb,
                  "INSERT INTO _iptblPayerGroups (cCode, cPayerName) VALUES ('NEW', 'New') "
                  "RETURNING idPayer - (SELECT max(idPayer) FROM _iptblPayerGroups)"),
        QStringList { "1" });
    EXPECT_EQ(as("admin", { "list" }).err, "corvane-iq: Unknown agent or wrong password.\n");

    const CliResult list = Ok(as("clerk", { "list" }));
    EXPECT_TRUE(list.out.contains("IQB-EMP004")) << qPrintable(list.out);

    // show, prepare and chart on an IQ whose dates and column names the server must read as
    // SQLite does: the chart finds its X column "cMonth" among the result's names. Codes are
    // found in any letter case, as on SQLite.
    const CliResult show = Ok(as("clerk", { "show", "pay-month" }));
    EXPECT_TRUE(show.out.contains("Code:        PAY-MONTH")) << qPrintable(show.out);
    const CliResult prepared
        = Ok(as("clerk", { "prepare", "PAY-RANGE", "--param", "DateTo=2031-01-31" }));
    EXPECT_TRUE(prepared.out.contains("BETWEEN '20241201' AND '20310131'"))
        << qPrintable(prepared.out);
    const QString picture = m_dir.filePath("pay.svg");
    const CliResult chart = Ok(as("clerk", { "chart", "PAY-MONTH", "--output", picture }));
    EXPECT_TRUE(ReadFile(picture).contains("<title>Gross and net pay by month</title>"));

    // [dbo].[...], a text parameter and the clerk's companies and locations.
    const QString sameRows = "SELECT e.cSurname FROM _iptblEmployees e JOIN _iptblLocations l ON "
                             "l.idLocation = e.iLocationID WHERE l.cCode = 'HQ' AND e.bActive = 1";
    const QStringList all = rows(payrollDb, sameRows.toStdString());
    const QStringList clerks = rows(payrollDb,
        (sameRows + " AND e.iPayerID IN (1, 2) AND e.iLocationID IN (1, 2, 3)").toStdString());
    for (const auto &[agent, expected] :
        { std::pair { "clerk", clerks }, std::pair { "boss", all } }) {
        SCOPED_TRACE(agent);
        const CliResult run = Ok(
            as(agent, { "run", "IQB-EMP004", "--param", "Location Code=HQ", "--format", "csv" }));
        EXPECT_EQ(run.out.count('\n'), expected.size() + 1) << qPrintable(run.out);
    }
    ASSERT_LT(clerks.size(), all.size()); // else the row security went untested

    // A round trip through the exchange file, one transaction on the server.
    const QString file = m_dir.filePath("iq.xml");
    Ok(as("clerk", { "copy", "IQB-EMP004", "--code", "MY-HQ", "--description", "Mine" }));
    EXPECT_TRUE(as("clerk", { "copy", "IQB-EMP004", "--code", "my-hq" })
                    .err.contains("Code already exists."));
    Ok(as("clerk", { "export", "--output", file, "MY-HQ" }));
    EXPECT_TRUE(ReadFile(file).contains("<cCode>MY-HQ</cCode>")); // not the server's "ccode"
    ASSERT_EQ(
        rows(payrollDb, "DELETE FROM _iptblEasyEnquiry WHERE cCode = 'MY-HQ' RETURNING cCode"),
        QStringList { "MY-HQ" });
    Ok(as("clerk", { "import", file }));
    EXPECT_EQ(rows(payrollDb,
                  "SELECT e.cDescription, count(p.idEnquiryParam) FROM _iptblEasyEnquiry e JOIN "
                  "_iptblEasyEnquiryParam p ON p.iEnquiryID = e.idEnquiry WHERE e.cCode = "
                  "'MY-HQ' GROUP BY e.cDescription"),
        QStringList { "Mine|1" });
    EXPECT_EQ(as("clerk", { "import", file }).exitCode, 3); // the code exists now
}

// The demo IQs run unchanged on both engines: the clerk gets the same columns, in their letter
// case, and as many rows from the server as from the files made with the same seed and size.
TEST_F(ServerInitTest, EveryDemoIQGivesTheSameColumnsAndRowCountOnBothEngines)
{
    // One database holds both on the server, so HOLIDAYS reaches the payslips as on the files.
    const QStringList serverNames { "--payroll", odbcName(payrollDb), "--common",
        odbcName(payrollDb) };
    const QStringList fileNames { "--payroll", m_dir.filePath("payroll.db"), "--common",
        m_dir.filePath("common.db") };
    const QStringList demo { "demo", "--employees", "60", "--payslips-per-employee", "52" };
    ASSERT_EQ(init(serverNames[1], serverNames[3], "boss", { "--admin", "boss" }).exitCode, 0);
    for (const QStringList &names : { serverNames, fileNames }) {
        Ok(m_cli.run(names + demo, QString()));
    }
    const QStringList codes = rows(payrollDb, "SELECT cCode FROM _iptblEasyEnquiry ORDER BY 1");
    ASSERT_EQ(codes.size(), 9);
    int seen = 0;
    for (const QString &code : codes) {
        SCOPED_TRACE(code.toStdString());
        const QStringList run { "--agent", "clerk", "run", code, "--format", "csv",
            "--all-columns" };
        const CliResult onServer = Ok(m_cli.run(serverNames + run, "clerk"));
        const CliResult onFiles = Ok(m_cli.run(fileNames + run, "clerk"));
        EXPECT_EQ(onServer.out.section('\n', 0, 0), onFiles.out.section('\n', 0, 0));
        EXPECT_EQ(onServer.out.count('\n'), onFiles.out.count('\n'));
        seen += onFiles.out.count('\n') > 1 ? 1 : 0;
    }
    EXPECT_GE(seen, 8); // an IQ without rows on both would compare nothing
}

// Two programs at once on one server database: one imports several IQs in one transaction while
// the other lists in a loop. Each list shows none or all of them, and afterwards every one is
// there with its parameters and columns.
TEST_F(ServerInitTest, ListBesideAnImportSeesNoneOrAllOfItsIQs)
{
    Ok(init(odbcName(payrollDb), odbcName(commonDb), "boss", { "--admin", "boss" }));
    const QStringList demo
        = servers() + QStringList { "demo", "--employees", "5", "--payslips-per-employee", "1" };
    ASSERT_EQ(m_cli.run(demo, QString()).exitCode, 0);
    const QStringList codes { "DEPT-COST", "EMP-ACTIVE", "EMP-AGE", "PAY-MONTH", "PAY-OVERTM",
        "PAY-RANGE" };
    const std::string listed = " IN ('" + codes.join("', '").toStdString() + "')";
    const std::string parts = "SELECT e.cCode, (SELECT count(*) FROM _iptblEasyEnquiryParam p "
                              "WHERE p.iEnquiryID = e.idEnquiry), (SELECT count(*) FROM "
                              "_iptblEasyEnquiryColumn c WHERE c.iEnquiryID = e.idEnquiry) FROM "
                              "_iptblEasyEnquiry e WHERE e.cCode"
        + listed + " ORDER BY 1";
    const QStringList before = rows(payrollDb, parts);
    ASSERT_EQ(before.size(), codes.size());
    const QString file = m_dir.filePath("many.xml");
    ASSERT_EQ(as("clerk", QStringList { "export", "--output", file } + codes).exitCode, 0);
    for (const char *table : { "_iptblEasyEnquiryParam", "_iptblEasyEnquiryColumn" })
        rows(payrollDb,
            std::string("DELETE FROM ") + table
                + " WHERE iEnquiryID IN (SELECT idEnquiry FROM _iptblEasyEnquiry WHERE cCode"
                + listed + ")");
    rows(payrollDb, "DELETE FROM _iptblEasyEnquiry WHERE cCode" + listed);
    ASSERT_EQ(rows(payrollDb, parts), QStringList());

    QProcess importer;
    m_cli.start(importer, servers() + QStringList { "--agent", "clerk", "import", file }, "clerk");
    ASSERT_TRUE(importer.waitForStarted());
    int lists = 0;
    while (importer.state() != QProcess::NotRunning || lists == 0) {
        const CliResult list = Ok(as("clerk", { "list" }));
        int shown = 0;
        for (const QString &code : codes)
            shown += list.out.contains(code + ' ') ? 1 : 0;
        EXPECT_TRUE(shown == 0 || shown == codes.size()) << shown << " of them listed";
        ++lists;
        importer.waitForFinished(0);
    }
    ASSERT_TRUE(importer.state() == QProcess::NotRunning || importer.waitForFinished(120000));
    EXPECT_EQ(importer.exitCode(), 0) << importer.readAllStandardError().toStdString();
    EXPECT_EQ(rows(payrollDb, parts), before);
    const CliResult after = as("clerk", { "list" });
    for (const QString &code : codes)
        EXPECT_TRUE(after.out.contains(code + ' ')) << qPrintable(code);
}
