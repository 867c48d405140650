#include "PostgresServer.h"
#include "PrintQt.h"

#include "host/core/Agent.h"
#include "host/db/engine/OdbcConnection.h"

#include <QProcess>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

struct InitResult
{
    int exitCode = -1;
    QString out;
    QString err;
};

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

    InitResult init(const QString &payroll, const QString &common, const QString &password,
        const QStringList &options = {}) const
    {
        QProcess process;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert("XDG_DATA_HOME", m_dir.filePath("data"));
        env.insert("XDG_CONFIG_HOME", m_dir.filePath("config"));
        env.insert("CORVANE_PASSWORD", password);
        process.setProcessEnvironment(env);
        process.setStandardInputFile(QProcess::nullDevice());
        process.start(CORVANE_IQ_BIN,
            QStringList { "--payroll", payroll, "--common", common, "init" } + options);
        process.waitForFinished(120000);
        return { process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1,
            QString::fromUtf8(process.readAllStandardOutput()),
            QString::fromUtf8(process.readAllStandardError()) };
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
        QStringList result;
        if (!connection)
            return result;
        EXPECT_TRUE(connection->forEachRow(
            sql, {},
            [&](const Statement &row) {
                QStringList cells;
                for (int column = 0; column < row.columnCount(); ++column)
                    cells << QString::fromUtf8(
                        row.asText(column).data(), qsizetype(row.asText(column).size()));
                result << cells.join('|');
                return true;
            },
            error))
            << error.text;
        return result;
    }

    PostgresServer *server = nullptr;
    std::string payrollDb;
    std::string commonDb;
    QTemporaryDir m_dir;
};

} // namespace

TEST_F(ServerInitTest, MakesBothSchemasAndTheAdministratorOnceAndOnlyOnServers)
{
    const InitResult files
        = init(m_dir.filePath("payroll.db"), m_dir.filePath("common.db"), "secret");
    EXPECT_EQ(files.exitCode, 2);
    EXPECT_EQ(files.err,
        "corvane-iq init: give --payroll odbc:CONNECTION and --common odbc:CONNECTION; database "
        "files are made by \"corvane-iq demo\".\n");
    EXPECT_FALSE(QFile::exists(m_dir.filePath("payroll.db")));

    const InitResult made
        = init(odbcName(payrollDb), odbcName(commonDb), "secret", { "--admin", "boss" });
    ASSERT_EQ(made.exitCode, 0) << qPrintable(made.err);
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
    const InitResult again = init(odbcName(payrollDb), odbcName(commonDb), "other");
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
    const InitResult refused = init(odbcName(payrollDb), odbcName(commonDb), "secret");
    EXPECT_EQ(refused.exitCode, 1);
    EXPECT_EQ(refused.err,
        "corvane-iq init: The server database already holds a common schema (version 2); it was "
        "left unchanged.\n");
    EXPECT_EQ(rows(payrollDb,
                  "SELECT count(*) FROM information_schema.schemata WHERE schema_name = 'dbo'"),
        QStringList { "0" });

    const InitResult made = init(odbcName(payrollDb), odbcName(payrollDb), "secret");
    ASSERT_EQ(made.exitCode, 0) << qPrintable(made.err);
    EXPECT_EQ(rows(payrollDb, "SELECT cDatabase, iVersion FROM _btblSchemaVersion ORDER BY 1"),
        QStringList({ "common|2", "payroll|5" }));
}
