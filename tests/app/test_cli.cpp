#include "CliRunner.h"

#include <QDir>
#include <QFile>

#include <gtest/gtest.h>

#include <sqlite3.h>

namespace {

class CliTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        const CliResult demo = cli.Run({ "demo", "--employees", "60", "--payslips-per-employee", "2" });
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
    junk.write("this is not a database at all, just some text that is long enough to look like one");
    junk.close();
    const QByteArray junkBefore = FileDigest(junk.fileName());

    // A real SQLite database made by somebody else.
    const QString foreign = cli.Path("foreign.db");
    sqlite3 *db = nullptr;
    ASSERT_EQ(sqlite3_open(foreign.toUtf8().constData(), &db), SQLITE_OK);
    sqlite3_exec(db, "create table customers(id integer primary key, name text)", nullptr, nullptr, nullptr);
    sqlite3_close(db);
    const QByteArray foreignBefore = FileDigest(foreign);

    const struct {
        const char *what;
        QStringList args;
        QString password;
        const char *needle;
    } rows[] = {
        { "unknown code", { "--agent", "admin", "show", "NOPE" }, "admin", "NOPE" },
        { "wrong password", { "--agent", "admin", "list" }, "wrong", "password" },
        { "unknown agent", { "--agent", "nobody", "list" }, "x", "agent" },
        { "no password", { "--agent", "admin", "list" }, QString(), "CORVANE_PASSWORD" },
        { "not a database", { "--agent", "admin", "--payroll", junk.fileName(), "--common", common, "list" }, "admin", "junk.db" },
        { "not ours", { "--agent", "admin", "--payroll", foreign, "--common", common, "list" }, "admin", "foreign.db" },
        { "missing file", { "--agent", "admin", "--payroll", cli.Path("none.db"), "--common", common, "list" }, "admin", "none.db" },
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
