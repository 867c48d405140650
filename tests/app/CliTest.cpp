#include "CliProcess.h"
#include "FileBytes.h"
#include "PrintQt.h"

#include <QCryptographicHash>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QXmlStreamReader>

#include <thread>

#include <gtest/gtest.h>

#include <fcntl.h>
#include <sqlite3.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// The command-line program runs where no display library is installed: it must
// not load the widgets library, not even indirectly through another of ours.
TEST(CliLinkTest, CorvaneIqLoadsNoWidgetsLibrary)
{
    QProcess ldd;
    ldd.start("ldd", { CORVANE_IQ_BIN });
    ASSERT_TRUE(ldd.waitForFinished(30000));
    const QString libraries = QString::fromLocal8Bit(ldd.readAllStandardOutput());
    ASSERT_TRUE(libraries.contains("libQt6Core")) << qPrintable(libraries);
    // Charts are painted (Qt Gui, offscreen); windows are never linked.
    for (const char *name : { "libQt6Widgets", "libhostui" })
        EXPECT_FALSE(libraries.contains(name)) << name;
}

// Each file with the digest of its bytes, so that a failure names the file that changed.
QStringList Digests(const QStringList &paths)
{
    QStringList digests;
    for (const QString &path : paths)
        digests << path + " "
                + QCryptographicHash::hash(ReadFile(path), QCryptographicHash::Sha256).toHex();
    return digests;
}

// Every row's first cell of one statement on a database file, as another program would run it.
QStringList Rows(const QString &path, const char *sql)
{
    sqlite3 *db = nullptr;
    sqlite3_open(path.toUtf8().constData(), &db);
    sqlite3_stmt *statement = nullptr;
    sqlite3_prepare_v2(db, sql, -1, &statement, nullptr);
    QStringList rows;
    while (sqlite3_step(statement) == SQLITE_ROW)
        rows << QString::fromUtf8(
            reinterpret_cast<const char *>(sqlite3_column_text(statement, 0)));
    sqlite3_finalize(statement);
    sqlite3_close(db);
    return rows;
}

// Its first number, -1 without a row.
int Sql(const QString &path, const char *sql)
{
    const QStringList rows = Rows(path, sql);
    return rows.isEmpty() ? -1 : rows.first().toInt();
}

// The real corvane-iq in data and settings folders of its own, over a small
// demo installation.
class CliTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        const CliResult demo
            = Ok(run({ "demo", "--employees", "60", "--payslips-per-employee", "2" }, "admin"));
    }

    CliResult run(
        const QStringList &arguments, const QString &password, const QString &redirect = {}) const
    {
        return m_cli.run(arguments, password, redirect);
    }
    // Signed in as the demo's administrator.
    CliResult admin(const QStringList &arguments, const QString &redirect = {}) const
    {
        return run(QStringList { "--agent", "admin" } + arguments, "admin", redirect);
    }
    QString path(const QString &name) const { return m_home.filePath(name); }
    // A payroll IQ written straight into the file, past every check the program makes.
    void addIq(const QString &code, const QString &sql) const
    {
        Sql(payroll,
            ("insert into _iptblEasyEnquiry(cCode, cDescription, cSQLStatement, bCommonDB, "
             "iIQTypeID) values ('"
                + code + "', '" + code + "', '" + QString(sql).replace("'", "''") + "', 0, 1)")
                .toUtf8()
                .constData());
    }

    QTemporaryDir m_home;
    const CliProcess m_cli { CORVANE_IQ_BIN, m_home.path() };
    const QString payroll = path("data/corvane/demo-payroll.db");
    const QString common = path("data/corvane/demo-common.db");
};

TEST_F(CliTest, ListAndShowReadTheDemoDefinitions)
{
    const CliResult list = Ok(admin({ "list" }));
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

    // Codes are found in any letter case.
    const CliResult show = Ok(admin({ "show", "iqb-Emp002" }));
    for (const char *part :
        { "Code:        IQB-EMP002", "SQL statement:", "Parameters:", "Columns:" })
        EXPECT_TRUE(show.out.contains(part)) << part;
}

TEST_F(CliTest, EveryCommandAnswersHelp)
{
    for (const char *command :
        { "list", "show", "prepare", "run", "add", "edit", "copy", "demo", "export", "import" }) {
        SCOPED_TRACE(command);
        const CliResult help = run({ command, "--help" }, QString());
        EXPECT_EQ(help.exitCode, 0);
        EXPECT_TRUE(help.out.startsWith("Usage: corvane-iq")) << qPrintable(help.out);
    }
    const CliResult general = run({ "--help" }, QString());
    EXPECT_EQ(general.exitCode, 0);
    EXPECT_TRUE(general.out.contains("Commands:"));
    // The default time-out of a run nobody watches is written where people look for it.
    EXPECT_TRUE(run({ "run", "--help" }, QString()).out.contains("else 30 minutes"));
}

TEST_F(CliTest, ErrorsSayOneLineAndLeaveTheDatabasesAlone)
{
    const QString junk = path("junk.db");
    ASSERT_TRUE(WriteFile(junk,
        "this is not a database at all, just some text that is long enough to look like one"));
    const QString empty = path("empty.db");
    ASSERT_TRUE(WriteFile(empty, {}));
    const QString lone = path("lone.db"); // a payroll file without its credentials file
    QFile::copy(payroll, lone);
    const QStringList files { payroll, common, junk, empty, lone };
    const QStringList before = Digests(files);

    const struct
    {
        const char *what;
        QStringList args;
        QString password;
        QString needle;
    } rows[] = {
        { "unknown code", { "--agent", "admin", "show", "NOPE" }, "admin", "NOPE" },
        { "wrong password", { "--agent", "admin", "list" }, "wrong", "password" },
        { "unknown agent", { "--agent", "nobody", "list" }, "x", "agent" },
        { "no right 2601", { "--agent", "guest", "list" }, "guest", "right 2601" },
        { "no password", { "--agent", "admin", "list" }, QString(), "CORVANE_PASSWORD" },
        { "not a database", { "--agent", "admin", "--payroll", junk, "--common", common, "list" },
            "admin", "The file \"" + junk + "\" is not a database." },
        { "missing file",
            { "--agent", "admin", "--payroll", path("none.db"), "--common", common, "list" },
            "admin", "The payroll database file \"" + path("none.db") + "\" does not exist." },
        { "empty file", { "--agent", "admin", "--payroll", empty, "--common", common, "list" },
            "admin",
            "The payroll database file \"" + empty
                + "\" is empty; it was left unchanged, as only \"corvane-iq demo\" makes new "
                  "databases." },
        { "no credentials file",
            { "--agent", "admin", "--payroll", lone, "--common", common, "list" }, "admin",
            "The agents' credentials file" },
        { "unknown command", { "frobnicate" }, "admin", "frobnicate" },
        { "demo over existing", { "demo" }, "admin", "--force" },
    };
    for (const auto &row : rows) {
        SCOPED_TRACE(row.what);
        const CliResult result = run(row.args, row.password);
        EXPECT_NE(result.exitCode, 0);
        EXPECT_TRUE(result.out.isEmpty()) << qPrintable(result.out);
        EXPECT_EQ(result.err.count('\n'), 1) << qPrintable(result.err);
        EXPECT_TRUE(result.err.contains(row.needle)) << qPrintable(result.err);
    }
    EXPECT_EQ(Digests(files), before);
    EXPECT_FALSE(QFile::exists(path("none.db")));
}

// No connection that runs IQs can read a hash that is not in its files.
TEST_F(CliTest, DemoKeepsPasswordHashesInAPrivateFileOfTheirOwn)
{
    const QString credentials = path("data/corvane/demo-payroll.agents.db");
    const QString files[] = { payroll, common, credentials };
    for (const QString &name : files) {
        QFile file(name);
        ASSERT_TRUE(file.open(QIODevice::ReadOnly)) << qPrintable(name);
        EXPECT_EQ(file.readAll().contains("$argon2id$"), name == credentials) << qPrintable(name);
    }
    EXPECT_EQ(QFile::permissions(credentials)
            & (QFileDevice::ReadGroup | QFileDevice::ReadOther | QFileDevice::WriteOther),
        0);
    EXPECT_EQ(Sql(credentials, "select count(*) from _rtblAgentCredentials"), 4);
}

TEST_F(CliTest, LockedDatabaseIsReportedNotWaitedOn)
{
    sqlite3 *db = nullptr;
    ASSERT_EQ(sqlite3_open(payroll.toUtf8().constData(), &db), SQLITE_OK);
    ASSERT_EQ(sqlite3_exec(db, "begin exclusive", nullptr, nullptr, nullptr), SQLITE_OK);
    const CliResult result = admin({ "list" });
    sqlite3_exec(db, "rollback", nullptr, nullptr, nullptr);
    sqlite3_close(db);
    EXPECT_NE(result.exitCode, 0);
    EXPECT_TRUE(
        result.err.contains("The database file \"" + payroll + "\" is locked by another program."))
        << qPrintable(result.err);
}

TEST_F(CliTest, PrepareAppliesTheAgentsFiltersAndRefusesWritingStatements)
{
    const CliResult clerk = Ok(run(
        { "--agent", "clerk", "prepare", "PAY-RANGE", "--param", "DateFrom=2024-01-01" }, "clerk"));
    EXPECT_TRUE(clerk.out.contains("BETWEEN '20240101' AND")) << qPrintable(clerk.out);
    EXPECT_TRUE(clerk.out.contains("_efnAgentPCSecurity(2)")) << qPrintable(clerk.out);
    const CliResult all = Ok(admin({ "prepare", "PAY-RANGE" }));
    EXPECT_TRUE(all.out.contains(" select idPayer from _iptblPayerGroups ")) << qPrintable(all.out);

    addIq("WIPE", "delete from _iptblPayslips");
    const int payslips = Sql(payroll, "select count(*) from _iptblPayslips");
    for (const char *command : { "prepare", "run" }) {
        SCOPED_TRACE(command);
        const CliResult refused = admin({ command, "WIPE" });
        EXPECT_NE(refused.exitCode, 0);
        EXPECT_EQ(refused.err, "The requested action is forbidden\n");
        EXPECT_TRUE(refused.out.isEmpty());
    }
    EXPECT_EQ(Sql(payroll, "select count(*) from _iptblPayslips"), payslips);
}

TEST_F(CliTest, RunWritesTheVisibleColumnsAndStoresCheckedValues)
{
    const struct
    {
        QStringList args;
        const char *header;
    } outputs[] = {
        { { "PAY-RANGE", "--param", "DateFrom=2024-12-01", "--param", "DateTo=2024-12-31" },
            "dtPayDate,cEmployeeCode,cSurname,cFirstName,iPeriod,fGross,fTax,"
            "fNet\r\n" },
        { { "PAY-RANGE", "--all-columns", "--format", "tsv" },
            "dtPayDate\tcEmployeeCode\tcSurname\tcFirstName\tiPeriod\tfGross\tfTax\t"
            "fNet\t"
            "cPayFrequency\tfHours\tfOvertimeHours" },
        // Every demo IQ has the column rows the editor would store.
        { { "EMP-AGE" }, "cEmployeeCode,cSurname,cFirstName,dtBirth,iAge,cCompany\r\n" },
    };
    for (const auto &output : outputs) {
        const CliResult result = Ok(admin(QStringList { "run" } + output.args));
        EXPECT_TRUE(result.out.startsWith(output.header)) << qPrintable(result.out.left(200));
    }

    // An IQ without column rows shows nothing in its window, so run says so unless asked for
    // every field.
    addIq("BARE", "select cCode from _iptblPayerGroups");
    const CliResult hidden = admin({ "run", "BARE" });
    EXPECT_EQ(hidden.exitCode, 1);
    EXPECT_TRUE(hidden.err.contains("--all-columns")) << qPrintable(hidden.err);

    // A value that does not fit its type is refused and nothing is stored; a good
    // one is kept.
    const QString before = admin({ "show", "PAY-RANGE" }).out;
    const CliResult bad = admin({ "run", "PAY-RANGE", "--param", "DateFrom=someday" });
    EXPECT_NE(bad.exitCode, 0);
    EXPECT_TRUE(bad.err.contains("Value \"someday\" does not match Type \"Date\"!"))
        << qPrintable(bad.err);
    EXPECT_EQ(admin({ "show", "PAY-RANGE" }).out, before);
    const CliResult unknown = admin({ "run", "PAY-RANGE", "--param", "Nope=1" });
    EXPECT_NE(unknown.exitCode, 0);
    EXPECT_TRUE(unknown.err.contains("Nope"));
    // prepare shows what a value would make and writes nothing; run stores it.
    const QStringList databases = Digests({ payroll, common });
    const CliResult preview
        = Ok(admin({ "prepare", "PAY-RANGE", "--param", "DateFrom=2023-07-01" }));
    EXPECT_TRUE(preview.out.contains("BETWEEN '20230701' AND")) << qPrintable(preview.out);
    EXPECT_EQ(Digests({ payroll, common }), databases);
    ASSERT_EQ(admin({ "run", "PAY-RANGE", "--param", "DateFrom=2023-07-01" }).exitCode, 0);
    EXPECT_TRUE(admin({ "show", "PAY-RANGE" }).out.contains("2023-07-01"));

    // A clerk's quote stays inside the value: no rows, not every row.
    const CliResult injected = Ok(
        run({ "--agent", "clerk", "run", "IQB-EMP004", "--param", "Location Code=x' OR 1=1 /*" },
            "clerk"));
    EXPECT_EQ(injected.out.count("\r\n"), 1) << qPrintable(injected.out.left(300));

    // Every run is logged with its timing.
    EXPECT_GE(Sql(common,
                  "select count(*) from _btblLog where cText like "
                  "'OpenIQ_PAY-RANGE % ms'"),
        1);
}

mode_t FileType(const QString &path)
{
    struct stat status = {};
    return ::stat(path.toUtf8().constData(), &status) == 0 ? status.st_mode & S_IFMT : 0;
}

TEST_F(CliTest, OutputThatDoesNotArriveFailsWithTheSystemsReason)
{
    const char *full = "corvane-iq: Cannot write to standard output: No space left on device\n";
    const char *closed = "corvane-iq: Cannot write to standard output: Bad file descriptor\n";
    const char *device = "corvane-iq: Cannot write \"/dev/full\": No space left on device\n";
    const struct
    {
        const char *what;
        QStringList args;
        const char *redirect;
        const char *error;
    } rows[] = {
        { "list to a full device", { "list" }, ">/dev/full", full },
        { "csv to a full device", { "run", "IQB-EMP002" }, ">/dev/full", full },
        { "list to a closed output", { "list" }, ">&-", closed },
        { "csv to a closed output", { "run", "IQB-EMP002" }, ">&-", closed },
        // Written in place: the device is opened, not replaced by a regular file.
        { "csv into a full device", { "run", "IQB-EMP002", "-o", "/dev/full" }, "", device },
        { "xlsx into a full device", { "run", "IQB-EMP002", "--format", "xlsx", "-o", "/dev/full" },
            "", device },
    };
    for (const auto &row : rows) {
        SCOPED_TRACE(row.what);
        const CliResult result = admin(row.args, row.redirect);
        EXPECT_EQ(result.exitCode, 1);
        EXPECT_EQ(result.err, row.error);
        EXPECT_EQ(FileType("/dev/full"), mode_t(S_IFCHR));
    }
}

TEST_F(CliTest, OutputRefusesTheOpenDatabasesUnderAnyName)
{
    ASSERT_TRUE(QFile::link(payroll, path("payroll-link.db")));
    ASSERT_EQ(::link(common.toUtf8().constData(), path("common-hard.db").toUtf8().constData()), 0);
    const QString credentials = path("data/corvane/demo-payroll.agents.db");
    const QStringList files { payroll, common, credentials };
    const QStringList before = Digests(files);
    const QStringList csv { "run", "IQB-EMP002", "-o" };
    const QStringList xlsx { "run", "IQB-EMP002", "--format", "xlsx", "-o" };
    const struct
    {
        const char *what;
        QStringList args;
        QString redirect;
        QString database;
    } rows[] = {
        { "payroll", csv + QStringList { payroll }, {}, payroll },
        { "common as xlsx", xlsx + QStringList { common }, {}, common },
        { "a link", csv + QStringList { path("payroll-link.db") }, {}, payroll },
        { "a hard link", csv + QStringList { path("common-hard.db") }, {}, common },
        { "another spelling", csv + QStringList { path("data/../data/corvane/./demo-common.db") },
            {}, common },
        { "a journal", csv + QStringList { payroll + "-journal" }, {}, payroll },
        { "a write-ahead log",
            xlsx + QStringList { path("data/corvane/../corvane/demo-common.db-wal") }, {}, common },
        { "standard output", { "list" }, ">>'" + common + "'", common },
        { "the agents' credentials", csv + QStringList { credentials }, {}, credentials },
    };
    for (const auto &row : rows) {
        SCOPED_TRACE(row.what);
        const CliResult result = admin(row.args, row.redirect);
        EXPECT_EQ(result.exitCode, 1);
        EXPECT_TRUE(result.out.isEmpty());
        EXPECT_EQ(result.err.count('\n'), 1) << qPrintable(result.err);
        EXPECT_TRUE(result.err.contains("open database \"" + row.database + "\""))
            << qPrintable(result.err);
    }
    EXPECT_EQ(Digests(files), before);
    EXPECT_FALSE(QFile::exists(payroll + "-journal"));
    EXPECT_FALSE(QFile::exists(common + "-wal"));
}

TEST_F(CliTest, OutputIntoAFifoIsWrittenInPlace)
{
    const QString fifo = path("rows.fifo");
    ASSERT_EQ(::mkfifo(fifo.toUtf8().constData(), 0600), 0);
    const QByteArray expected = admin({ "run", "IQB-EMP002" }).out.toUtf8();
    ASSERT_TRUE(expected.startsWith("cSurname,")) << expected.left(200).constData();
    QByteArray received;
    std::thread reader([&] {
        const int fd = ::open(fifo.toUtf8().constData(), O_RDONLY);
        char buffer[4096];
        for (ssize_t n; fd >= 0 && (n = ::read(fd, buffer, sizeof buffer)) > 0;)
            received.append(buffer, n);
        if (fd >= 0)
            ::close(fd);
    });
    const CliResult result = admin({ "run", "IQB-EMP002", "-o", fifo });
    // Should the program not have opened the FIFO, the reader is let go here.
    const int release = ::open(fifo.toUtf8().constData(), O_WRONLY | O_NONBLOCK);
    if (release >= 0)
        ::close(release);
    reader.join();
    EXPECT_EQ(result.exitCode, 0) << qPrintable(result.err);
    EXPECT_EQ(received, expected);
    EXPECT_EQ(FileType(fifo), mode_t(S_IFIFO));
}

TEST_F(CliTest, ExportThatHadToChangeTheRowsSaysSoAndEndsWithStatus3)
{
    addIq("LONG",
        "select 9007199254740993 as iBig, replace(hex(zeroblob(20000)), '00', 'xy') as cLong");
    const QString xlsx = path("long.xlsx");
    const CliResult excel
        = admin({ "run", "LONG", "--all-columns", "--format", "xlsx", "-o", xlsx });
    EXPECT_EQ(excel.exitCode, 3);
    const QStringList lines = excel.err.split('\n', Qt::SkipEmptyParts);
    ASSERT_EQ(lines.size(), 2) << qPrintable(excel.err);
    EXPECT_TRUE(lines[0].startsWith("1 rows written to " + xlsx + " in ")) << qPrintable(lines[0]);
    EXPECT_EQ(lines[1],
        "corvane-iq: warning: 1 cell held more than the 32,767 characters an Excel cell holds: "
        "its text was cut to fit.");
    EXPECT_TRUE(QFile::exists(xlsx));

    // Text formats hold it all.
    const CliResult csv = Ok(admin({ "run", "LONG", "--all-columns" }));
    EXPECT_EQ(csv.out, "iBig,cLong\r\n9007199254740993," + QString("xy").repeated(20000) + "\r\n");
}

TEST_F(CliTest, RunawayStatementStopsAtTheTimeOutWithoutRetrying)
{
    addIq("RUNAWAY",
        "WITH RECURSIVE r(n) AS (SELECT 1 UNION ALL SELECT n+1 FROM r) SELECT count(*) FROM r");
    // Were a time-out retried, twenty attempts of a second each would take twenty seconds.
    Sql(common, "update _btblSystemValues set cValue = '20' where cName = 'IQ Report Retry Count'");
    const struct
    {
        const char *timeout;
        int exitCode;
        QString error;
    } rows[] = {
        { "0.01", 1,
            "The IQ report timed-out after approximately 1 minutes. Please change the value for "
            "'IQ Report Timeout (Minutes)' in the System Settings screen, to a value greater than "
            "this and try again. (Query timeout expired; the limit was 0.0166667 minutes, "
            "--timeout MINUTES sets another)\n" },
        { "-1", 2,
            "corvane-iq: --timeout takes a number of minutes of 0 or more (0: no limit), not "
            "\"-1\".\n" },
        { "soon", 2,
            "corvane-iq: --timeout takes a number of minutes of 0 or more (0: no limit), not "
            "\"soon\".\n" },
    };
    for (const auto &row : rows) {
        SCOPED_TRACE(row.timeout);
        QElapsedTimer timer;
        timer.start();
        const CliResult result = admin({ "run", "RUNAWAY", "--timeout", row.timeout });
        EXPECT_LT(timer.elapsed(), 15000);
        EXPECT_EQ(result.exitCode, row.exitCode);
        EXPECT_EQ(result.err, row.error);
        EXPECT_TRUE(result.out.isEmpty());
    }
}

// A taken or reserved code is refused as the editor window refuses it: the editor's tests run
// those through this program too.
TEST_F(CliTest, EditorCommandsRefuseWithTheEditorsTextsAndStoreNothing)
{
    const QStringList before = Digests({ payroll });
    const struct
    {
        QStringList args;
        QString agent;
        const char *text;
    } rows[] = {
        { { "add", "--code", "NEW", "--sql", "delete from _iptblEasyEnquiry" }, "admin",
            "\"DELETE\" is not allowed in the SQL Statement!" },
        { { "add", "--code", "NEW", "--sql", "select 1 as a" }, "viewer",
            "corvane-iq: only an administrator may change the SQL statement." },
        { { "add", "--code", "ELEVENCHARS", "--sql", "select 1 as a" }, "admin",
            "corvane-iq: a code has at most 10 characters." },
        { { "add", "--code", "NEW", "--sql", "select 1 as a", "--columns", "b" }, "admin",
            "corvane-iq: the statement has no column \"b\"." },
        { { "edit", "IQB-EMP002", "--description", "changed" }, "admin",
            "IQ \"IQB-EMP002\" is a system record and cannot be modified." },
        { { "add", "--code", "NEW", "--sql", "select 1 as a", "--dry-run" }, "admin", "" },
    };
    for (const auto &row : rows) {
        SCOPED_TRACE(qPrintable(row.args.join(' ')));
        const CliResult result = run(QStringList { "--agent", row.agent } + row.args, row.agent);
        EXPECT_EQ(result.exitCode, *row.text ? 1 : 0);
        EXPECT_EQ(result.err.trimmed(), row.text);
        EXPECT_EQ(Digests({ payroll }), before);
    }
}

TEST_F(CliTest, ShowJsonRoundTripsThroughEditAndCopy)
{
    Ok(admin({ "add", "--code", "RANGE", "--sql", "select 1 as a, 2 as b, 3 as c where 1 = @From",
        "--param", "From=integer:5", "--columns", "c,a" }));
    const CliResult shown = Ok(admin({ "show", "RANGE", "--format", "json" }));
    EXPECT_TRUE(shown.out.contains("\"default\": \"5\"")) << qPrintable(shown.out);
    const QString file = path("range.json");
    ASSERT_TRUE(WriteFile(file, shown.out.toUtf8()));

    Ok(admin({ "edit", "RANGE", "--from", file }));
    EXPECT_EQ(admin({ "show", "RANGE", "--format", "json" }).out, shown.out);
    Ok(admin({ "copy", "RANGE", "--from", file, "--code", "RANGE2" }));
    EXPECT_EQ(admin({ "show", "RANGE2", "--format", "json" }).out,
        QString(shown.out).replace("\"RANGE\"", "\"RANGE2\""));
    EXPECT_EQ(Sql(payroll,
                  "select count(*) from _iptblEasyEnquiryParam p join _iptblEasyEnquiry "
                  "e on e.idEnquiry = p.iEnquiryID where e.cCode like 'RANGE%'"),
        2);
}

// The picture formats are the chart export's own (its window's tests); here the command draws
// one, an SVG that an XML reader takes whole.
TEST_F(CliTest, ChartDrawsStoresNothingAndFailsInOneLine)
{
    const QStringList before = Digests({ payroll });
    Ok(admin({ "chart", "PAY-MONTH", "--filter", "iPayslips > 0", "--output", path("pay.svg"),
        "--width", "640", "--height", "480" }));
    const QByteArray svg = ReadFile(path("pay.svg"));
    EXPECT_TRUE(svg.contains("<title>Gross and net pay by month</title>"));
    QXmlStreamReader xml(svg);
    while (!xml.atEnd())
        xml.readNext();
    EXPECT_FALSE(xml.hasError()) << qPrintable(xml.errorString());
    EXPECT_EQ(Digests({ payroll }), before);

    const struct
    {
        QStringList arguments;
        int exitCode;
        QString error;
    } refusals[] = {
        { { "chart", "PAY-MONTH", "--output", path("pay.gif") }, 2,
            "corvane-iq chart: --output must name a .png, .svg or .pdf file.\n" },
        { { "chart", "PAY-MONTH", "--output", path("pay.png"), "--width", "9" }, 2,
            "corvane-iq chart: --width and --height must be whole numbers from 50 to 10000.\n" },
        { { "chart", "PAY-MONTH", "--output", path("gone.png"), "--filter", "nope = 1" }, 2,
            "corvane-iq chart: --filter: " },
        { { "chart", "PAY-MONTH", "--output", path("gone.png"), "--filter", "iPayslips < 0" }, 1,
            "corvane-iq: the result has no rows to chart after the filter.\n" },
        { { "chart", "PAY-MONTH", "--output", path("missing/gone.png") }, 1, "corvane-iq: " },
    };
    for (const auto &refusal : refusals) {
        SCOPED_TRACE(qPrintable(refusal.arguments.join(' ')));
        const CliResult result = admin(refusal.arguments);
        EXPECT_EQ(result.exitCode, refusal.exitCode);
        const QStringList lines = result.err.split('\n', Qt::SkipEmptyParts);
        EXPECT_EQ(lines.size(), 1) << qPrintable(result.err);
        EXPECT_TRUE(lines.value(0).startsWith(refusal.error.trimmed())) << qPrintable(result.err);
    }
    EXPECT_FALSE(QFile::exists(path("gone.png")));
    EXPECT_FALSE(QFile::exists(path("missing/gone.png")));

    // A stored template the window would refuse: bars as there, and one warning line.
    Sql(payroll, "update _iptblEasyEnquiry set nChartLayout = 'garbage' where cCode = 'PAY-MONTH'");
    const CliResult warned = admin({ "chart", "PAY-MONTH", "--output", path("pay.png") });
    EXPECT_EQ(warned.exitCode, 3);
    EXPECT_TRUE(warned.err.startsWith("corvane-iq: warning: Unable to save the chart template! "
                                      "Reason: the chart template is damaged at byte 1"))
        << qPrintable(warned.err);
    EXPECT_EQ(warned.err.count('\n'), 2);
}

// The statement from standard input, the company and frequency by their codes, and a copy of a
// system record that leaves its source as it was.
TEST_F(CliTest, AddReadsStandardInputLooksUpCodesAndCopiesSystemRecords)
{
    const QString statement = path("statement.sql");
    ASSERT_TRUE(
        WriteFile(statement, "select cCode from _iptblPayerGroups\nwhere cCode like @Pattern"));
    Ok(admin({ "add", "--code", "STDIN", "--sql-file", "-", "--company", "HBS", "--frequency", "M",
                 "--param", "Pattern=text:H%" },
        "<" + statement));
    EXPECT_EQ(Sql(payroll,
                  "select iPayrollCompanyID * 10 + iPayFrequencyID from _iptblEasyEnquiry "
                  "where cCode = 'STDIN'"),
        23);
    const CliResult shown = admin({ "show", "STDIN", "--format", "json" });
    for (const char *part : { "\"company\": \"HBS\"", "\"frequency\": \"M\"", "where cCode like" })
        EXPECT_TRUE(shown.out.contains(part)) << part << qPrintable(shown.out);

    const CliResult unknown
        = admin({ "add", "--code", "NOPE", "--sql", "select 1 as a", "--frequency", "Q" });
    EXPECT_NE(unknown.exitCode, 0);
    EXPECT_EQ(unknown.err.trimmed(), "corvane-iq: there is no pay frequency with the code \"Q\".");

    const int params = Sql(payroll, "select count(*) from _iptblEasyEnquiryParam");
    const QStringList source = Digests({ payroll });
    EXPECT_EQ(admin({ "copy", "IQB-EMP004", "--code", "IQB-MINE" }).err.trimmed(),
        "You cannot add the reserved IQ! The code can not begin with \"IQ\"!");
    EXPECT_EQ(Digests({ payroll }), source);
    Ok(admin({ "copy", "IQB-EMP004", "--code", "MY-EMP4" }));
    const int copiedParams = Sql(payroll,
        "select count(*) from _iptblEasyEnquiryParam where iEnquiryID = (select idEnquiry from "
        "_iptblEasyEnquiry where cCode = 'MY-EMP4')");
    EXPECT_GT(copiedParams, 0);
    EXPECT_EQ(Sql(payroll, "select count(*) from _iptblEasyEnquiryParam"), params + copiedParams);
    EXPECT_EQ(Sql(payroll,
                  "select count(*) from _iptblEasyEnquiryColumn a join _iptblEasyEnquiryColumn b "
                  "on a.cColumnName = b.cColumnName and a.iOrder = b.iOrder "
                  "where a.iEnquiryID = (select idEnquiry from _iptblEasyEnquiry where cCode = "
                  "'MY-EMP4') and b.iEnquiryID = (select idEnquiry from _iptblEasyEnquiry where "
                  "cCode = 'IQB-EMP004')"),
        Sql(payroll,
            "select count(*) from _iptblEasyEnquiryColumn where iEnquiryID = (select idEnquiry "
            "from _iptblEasyEnquiry where cCode = 'IQB-EMP004')"));
}

} // namespace

TEST_F(CliTest, ExportAndImportMoveDefinitionsWithTheDialogsLogAndStatuses)
{
    const QString file = path("iq.xml");
    ASSERT_EQ(admin({ "export", "--output", file, "--all" }).exitCode, 0);
    const QStringList all = Digests({ file });
    // An existing file stays unless --force; "-" writes the same bytes to standard output.
    const CliResult kept = admin({ "export", "-o", file, "PAY-RANGE" });
    EXPECT_EQ(kept.exitCode, 1);
    EXPECT_TRUE(kept.err.contains("--force")) << qPrintable(kept.err);
    EXPECT_EQ(Digests({ file }), all);
    const CliResult one = Ok(admin({ "export", "-o", "-", "pay-range" }));
    ASSERT_EQ(admin({ "export", "-o", file, "--force", "PAY-RANGE" }).exitCode, 0);
    EXPECT_EQ(ReadFile(file), one.out.toUtf8());
    EXPECT_EQ(one.out.count("<Record>"), 1);
    const CliResult refused = run({ "--agent", "viewer", "export", "-o", "-", "--all" }, "viewer");
    EXPECT_EQ(refused.exitCode, 1);
    EXPECT_TRUE(refused.err.contains("right 2602")) << qPrintable(refused.err);
    EXPECT_EQ(admin({ "export", "-o", file, "PAY-RANGE", "--all" }).exitCode, 2);

    const char *definitions = "SELECT e.cCode || '|' || e.cSQLStatement || '|' || "
                              "(SELECT group_concat(cColumnName || bShow || iOrder) FROM "
                              "_iptblEasyEnquiryColumn WHERE iEnquiryID = e.idEnquiry) || '|' || "
                              "(SELECT group_concat(cDescription || iSQLTypeID || "
                              "coalesce(cValue, dtValue, '')) FROM _iptblEasyEnquiryParam WHERE "
                              "iEnquiryID = e.idEnquiry) FROM _iptblEasyEnquiry e ORDER BY cCode";
    const QStringList stored = Rows(payroll, definitions);
    Sql(payroll, "DELETE FROM _iptblEasyEnquiry WHERE cCode = 'PAY-RANGE'");
    const int logBefore = Sql(common, "SELECT max(idLog) FROM _btblLog");

    // A dry run checks and stores nothing, and logs nothing.
    const CliResult dry = Ok(admin({ "import", "--dry-run", file }));
    EXPECT_EQ(dry.out, "Import 1 records. Accept 1 records.\n");
    EXPECT_EQ(Rows(payroll, definitions).size(), stored.size() - 1);
    EXPECT_EQ(Sql(common, "SELECT max(idLog) FROM _btblLog"), logBefore);

    Ok(admin({ "import", file }));
    EXPECT_EQ(Rows(payroll, definitions), stored);
    const CliResult again = admin({ "import", file });
    EXPECT_EQ(again.exitCode, 3);
    EXPECT_EQ(again.out,
        "IQ code \"PAY-RANGE\" already exists! The IQ record is rejected.\nImport 1 records. "
        "Accept 0 records.\n");
    const QString logged = "SELECT cText FROM _btblLog WHERE iLogType = 89 AND idLog > "
        + QString::number(logBefore) + " ORDER BY idLog";
    EXPECT_EQ(Rows(common, logged.toUtf8().constData()),
        (QStringList { "Import IQ Start", "Import from " + file,
            "Import 1 records. Accept 1 records.", "Import IQ Complete", "Import IQ Start",
            "Import from " + file,
            "IQ code \"PAY-RANGE\" already exists! The IQ record is rejected.",
            "Import 1 records. Accept 0 records.", "Import IQ Complete" }));

    // A broken file fails whole: status 1, the reason, nothing stored.
    Sql(payroll, "DELETE FROM _iptblEasyEnquiry WHERE cCode = 'PAY-RANGE'");
    const QString broken = path("broken.xml");
    ASSERT_TRUE(WriteFile(broken, one.out.toUtf8().replace("</cCode>", "</cCodex>")));
    const CliResult failed = admin({ "import", broken });
    EXPECT_EQ(failed.exitCode, 1);
    EXPECT_TRUE(
        failed.err.startsWith("IQ Import Error when save record! Reason: Invalid simple XML "
                              "db file for IQ Code \"PAY-RANGE\"."))
        << qPrintable(failed.err);
    EXPECT_EQ(Rows(payroll, definitions).size(), stored.size() - 1);
    EXPECT_EQ(admin({ "import", path("missing.xml") }).exitCode, 1);
}
