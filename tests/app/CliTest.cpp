#include "CliRunner.h"

#include <QDir>
#include <QFile>
#include <QProcess>

#include <gtest/gtest.h>

#include <sqlite3.h>

namespace {

// The command-line program runs where no display library is installed: it must not load the
// widgets library, not even indirectly through another of ours.
TEST(CliLinkTest, CorvaneIqLoadsNoWidgetsLibrary)
{
    QProcess ldd;
    ldd.start("ldd", { CORVANE_IQ_BIN });
    ASSERT_TRUE(ldd.waitForFinished(30000));
    const QString libraries = QString::fromLocal8Bit(ldd.readAllStandardOutput());
    ASSERT_TRUE(libraries.contains("libQt6Core")) << qPrintable(libraries);
    for (const char *name : { "libQt6Widgets", "libQt6Gui", "libhostui" })
        EXPECT_FALSE(libraries.contains(name)) << name;
}

class CliTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        const CliResult demo
            = cli.Run({ "demo", "--employees", "60", "--payslips-per-employee", "2" });
        ASSERT_EQ(demo.exitCode, 0) << qPrintable(demo.err);
        payroll = cli.DataFolder() + "/demo-payroll.db";
        common = cli.DataFolder() + "/demo-common.db";
    }

    CliRunner cli;
    QString payroll;
    QString common;
};

TEST_F(CliTest, ListAndShowReadTheDemoDefinitions)
{
    const CliResult list = cli.Run({ "--agent", "admin", "list" });
    ASSERT_EQ(list.exitCode, 0) << qPrintable(list.err);
    const QStringList lines = list.out.split('\n', Qt::SkipEmptyParts);
    ASSERT_GE(lines.size(), 9); // header and at least eight IQs
    EXPECT_TRUE(lines[0].startsWith("Code")) << qPrintable(lines[0]);
    EXPECT_TRUE(list.out.contains("IQB-EMP002"));
    EXPECT_TRUE(list.out.contains("IQB-EMP004"));
    // In code order, as the list window sorts them.
    QStringList codes;
    for (int i = 1; i < lines.size(); ++i)
        codes << lines[i].section(' ', 0, 0);
    QStringList sorted = codes;
    std::sort(sorted.begin(), sorted.end());
    EXPECT_EQ(codes, sorted);

    const CliResult show = cli.Run({ "--agent", "admin", "show", "IQB-EMP002" });
    ASSERT_EQ(show.exitCode, 0) << qPrintable(show.err);
    EXPECT_TRUE(show.out.contains("Code:        IQB-EMP002"));
    EXPECT_TRUE(show.out.contains("SQL statement:"));
    EXPECT_TRUE(show.out.contains("Parameters:"));
    EXPECT_TRUE(show.out.contains("Columns:"));
}

TEST_F(CliTest, EveryCommandAnswersHelp)
{
    for (const char *command : { "list", "show", "demo" }) {
        SCOPED_TRACE(command);
        const CliResult help = cli.Run({ command, "--help" }, QString());
        EXPECT_EQ(help.exitCode, 0);
        EXPECT_TRUE(help.out.startsWith("Usage: corvane-iq")) << qPrintable(help.out);
    }
    const CliResult general = cli.Run({ "--help" }, QString());
    EXPECT_EQ(general.exitCode, 0);
    EXPECT_TRUE(general.out.contains("Commands:"));
}

TEST_F(CliTest, ErrorsSayOneLineAndLeaveTheDatabasesAlone)
{
    const QByteArray payrollBefore = FileDigest(payroll);
    const QByteArray commonBefore = FileDigest(common);

    QFile junk(cli.Path("junk.db"));
    ASSERT_TRUE(junk.open(QIODevice::WriteOnly));
    junk.write(
        "this is not a database at all, just some text that is long enough to look like one");
    junk.close();
    const QByteArray junkBefore = FileDigest(junk.fileName());

    // A real SQLite database made by somebody else.
    const QString foreign = cli.Path("foreign.db");
    sqlite3 *db = nullptr;
    ASSERT_EQ(sqlite3_open(foreign.toUtf8().constData(), &db), SQLITE_OK);
    sqlite3_exec(
        db, "create table customers(id integer primary key, name text)", nullptr, nullptr, nullptr);
    sqlite3_close(db);
    const QByteArray foreignBefore = FileDigest(foreign);

    const struct
    {
        const char *what;
        QStringList args;
        QString password;
        const char *needle;
    } rows[] = {
        { "unknown code", { "--agent", "admin", "show", "NOPE" }, "admin", "NOPE" },
        { "wrong password", { "--agent", "admin", "list" }, "wrong", "password" },
        { "unknown agent", { "--agent", "nobody", "list" }, "x", "agent" },
        { "no password", { "--agent", "admin", "list" }, QString(), "CORVANE_PASSWORD" },
        { "not a database",
            { "--agent", "admin", "--payroll", junk.fileName(), "--common", common, "list" },
            "admin", "junk.db" },
        { "not ours", { "--agent", "admin", "--payroll", foreign, "--common", common, "list" },
            "admin", "foreign.db" },
        { "missing file",
            { "--agent", "admin", "--payroll", cli.Path("none.db"), "--common", common, "list" },
            "admin", "none.db" },
        { "unknown command", { "frobnicate" }, "admin", "frobnicate" },
        { "demo over existing", { "demo" }, "admin", "--force" },
    };
    for (const auto &row : rows) {
        SCOPED_TRACE(row.what);
        const CliResult result = cli.Run(row.args, row.password);
        EXPECT_NE(result.exitCode, 0);
        EXPECT_TRUE(result.out.isEmpty()) << qPrintable(result.out);
        EXPECT_EQ(result.err.count('\n'), 1) << qPrintable(result.err);
        EXPECT_TRUE(result.err.contains(row.needle)) << qPrintable(result.err);
    }
    EXPECT_EQ(FileDigest(payroll), payrollBefore);
    EXPECT_EQ(FileDigest(common), commonBefore);
    EXPECT_EQ(FileDigest(junk.fileName()), junkBefore);
    EXPECT_EQ(FileDigest(foreign), foreignBefore);
    EXPECT_FALSE(QFile::exists(cli.Path("none.db")));
}

TEST_F(CliTest, LockedDatabaseIsReportedNotWaitedOn)
{
    sqlite3 *db = nullptr;
    ASSERT_EQ(sqlite3_open(payroll.toUtf8().constData(), &db), SQLITE_OK);
    ASSERT_EQ(sqlite3_exec(db, "begin exclusive", nullptr, nullptr, nullptr), SQLITE_OK);
    const CliResult result = cli.Run({ "--agent", "admin", "list" });
    sqlite3_exec(db, "rollback", nullptr, nullptr, nullptr);
    sqlite3_close(db);
    EXPECT_NE(result.exitCode, 0);
    EXPECT_TRUE(result.err.contains("locked")) << qPrintable(result.err);
}

} // namespace

namespace {

int scalar(const QString &path, const char *sql)
{
    sqlite3 *db = nullptr;
    sqlite3_open(path.toUtf8().constData(), &db);
    sqlite3_stmt *statement = nullptr;
    sqlite3_prepare_v2(db, sql, -1, &statement, nullptr);
    const int value = sqlite3_step(statement) == SQLITE_ROW ? sqlite3_column_int(statement, 0) : -1;
    sqlite3_finalize(statement);
    sqlite3_close(db);
    return value;
}

TEST_F(CliTest, PrepareAppliesTheAgentsFiltersAndRefusesWritingStatements)
{
    const CliResult clerk = cli.Run(
        { "--agent", "clerk", "prepare", "PAY-RANGE", "--param", "DateFrom=2024-01-01" }, "clerk");
    ASSERT_EQ(clerk.exitCode, 0) << qPrintable(clerk.err);
    EXPECT_TRUE(clerk.out.contains("BETWEEN '20240101' AND")) << qPrintable(clerk.out);
    EXPECT_TRUE(clerk.out.contains("_efnAgentPCSecurity(2)")) << qPrintable(clerk.out);
    const CliResult admin = cli.Run({ "--agent", "admin", "prepare", "PAY-RANGE" });
    ASSERT_EQ(admin.exitCode, 0) << qPrintable(admin.err);
    EXPECT_TRUE(admin.out.contains(" select idPayer from _iptblPayerGroups "))
        << qPrintable(admin.out);

    sqlite3 *db = nullptr;
    ASSERT_EQ(sqlite3_open(payroll.toUtf8().constData(), &db), SQLITE_OK);
    ASSERT_EQ(sqlite3_exec(db,
                  "insert into _iptblEasyEnquiry(cCode, cDescription, cSQLStatement, bCommonDB, "
                  "iIQTypeID) "
                  "values ('WIPE', 'Wipes payslips', 'delete from _iptblPayslips', 0, 1)",
                  nullptr, nullptr, nullptr),
        SQLITE_OK);
    sqlite3_close(db);
    const int payslips = scalar(payroll, "select count(*) from _iptblPayslips");
    for (const char *command : { "prepare", "run" }) {
        SCOPED_TRACE(command);
        const CliResult refused = cli.Run({ "--agent", "admin", command, "WIPE" });
        EXPECT_NE(refused.exitCode, 0);
        EXPECT_EQ(refused.err, "The requested action is forbidden\n");
        EXPECT_TRUE(refused.out.isEmpty());
    }
    EXPECT_EQ(scalar(payroll, "select count(*) from _iptblPayslips"), payslips);
}

TEST_F(CliTest, RunWritesTheVisibleColumnsAndStoresCheckedValues)
{
    const CliResult csv = cli.Run({ "--agent", "admin", "run", "PAY-RANGE", "--param",
        "DateFrom=2024-12-01", "--param", "DateTo=2024-12-31" });
    ASSERT_EQ(csv.exitCode, 0) << qPrintable(csv.err);
    EXPECT_TRUE(csv.out.startsWith(
        "dtPayDate,cEmployeeCode,cSurname,cFirstName,iPeriod,fGross,fTax,fNet\r\n"))
        << qPrintable(csv.out.left(200));
    const CliResult all
        = cli.Run({ "--agent", "admin", "run", "PAY-RANGE", "--all-columns", "--format", "tsv" });
    ASSERT_EQ(all.exitCode, 0) << qPrintable(all.err);
    EXPECT_TRUE(all.out.startsWith("dtPayDate\tcEmployeeCode\tcSurname\tcFirstName\tiPeriod\tfGross"
                                   "\tfTax\tfNet\tcPayFrequency\tfHours\tfOvertimeHours"))
        << qPrintable(all.out.left(200));

    // An IQ without column rows writes every field rather than rows of nothing.
    const CliResult unnamed = cli.Run({ "--agent", "admin", "run", "EMP-AGE" });
    ASSERT_EQ(unnamed.exitCode, 0) << qPrintable(unnamed.err);
    EXPECT_TRUE(
        unnamed.out.startsWith("cEmployeeCode,cSurname,cFirstName,dtBirth,iAge,cCompany\r\n"))
        << qPrintable(unnamed.out.left(200));

    // A value that does not fit its type is refused and nothing is stored; a good one is kept.
    const QString before = cli.Run({ "--agent", "admin", "show", "PAY-RANGE" }).out;
    const CliResult bad
        = cli.Run({ "--agent", "admin", "run", "PAY-RANGE", "--param", "DateFrom=someday" });
    EXPECT_NE(bad.exitCode, 0);
    EXPECT_TRUE(bad.err.contains("Value \"someday\" does not match Type \"Date\"!"))
        << qPrintable(bad.err);
    EXPECT_EQ(cli.Run({ "--agent", "admin", "show", "PAY-RANGE" }).out, before);
    const CliResult unknown
        = cli.Run({ "--agent", "admin", "run", "PAY-RANGE", "--param", "Nope=1" });
    EXPECT_NE(unknown.exitCode, 0);
    EXPECT_TRUE(unknown.err.contains("Nope"));

    ASSERT_EQ(
        cli.Run({ "--agent", "admin", "prepare", "PAY-RANGE", "--param", "DateFrom=2023-07-01" })
            .exitCode,
        0);
    EXPECT_TRUE(cli.Run({ "--agent", "admin", "show", "PAY-RANGE" }).out.contains("2023-07-01"));

    const QString xlsx = cli.Path("out.xlsx");
    const CliResult excel = cli.Run(
        { "--agent", "admin", "run", "IQB-EMP002", "--format", "xlsx", "--output", xlsx });
    ASSERT_EQ(excel.exitCode, 0) << qPrintable(excel.err);
    QFile file(xlsx);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_EQ(file.read(2), QByteArray("PK")); // a zip container, as every .xlsx is
    // Every run is logged with its timing.
    EXPECT_GE(
        scalar(common, "select count(*) from _btblLog where cText like 'OpenIQ_IQB-EMP002 % ms'"),
        1);
}

} // namespace
