#include "PrintQt.h"
#include "TestDatabases.h"

#include "host/core/Globals.h"
#include "host/core/Log.h"
#include "host/core/SystemValues.h"
#include "host/db/dataset/TQuillonADOQuery.h"
#include "host/db/engine/DbError.h"
#include "run/EnquiryExecution.h"

#include <QRegularExpression>

#include <gtest/gtest.h>

namespace {

class EnquiryExecutionTest : public ::testing::Test
{
protected:
    void TearDown() override
    {
        bExtendedLogging = false;
        SetDevLogSink({});
    }
    QStringList logRows()
    {
        return db.rows(db.common(),
            "select iLogType, cText, ifnull(cExtra2, '') from _btblLog order by idLog");
    }

    TestDatabases db;
};

TEST_F(EnquiryExecutionTest, SettingsThatAreNoWholeNumbersFallBack)
{
    const struct
    {
        const char *timeout; // null: the setting is absent
        const char *retry;
        int seconds;
        int retries;
    } rows[] = {
        { nullptr, nullptr, 0, 1 },
        { "0", "1", 0, 1 },
        { "2", "3", 120, 3 },
        { " 5 ", "0", 300, 0 },
        { "abc", "abc", 0, 1 },
        { "1.5", "", 0, 1 },
        { "-4", "2", 0, 2 },
    };
    for (const auto &row : rows) {
        SCOPED_TRACE(row.timeout ? row.timeout : "<absent>");
        db.exec(db.common(), "delete from _btblSystemValues where cName like 'IQ Report%'");
        if (row.timeout) {
            ASSERT_TRUE(SetCurrentSystemValue("IQ Report Timeout (Minutes)", row.timeout));
            ASSERT_TRUE(SetCurrentSystemValue("IQ Report Retry Count", row.retry));
        }
        EXPECT_EQ(GetTimeoutSeconds(), row.seconds);
        EXPECT_EQ(GetRetryCount(), row.retries);
    }
}

TEST_F(EnquiryExecutionTest, TimeOutMessageCountsStartedMinutes)
{
    const QString general
        = "There was a problem running the IQ.\r\n\r\nPlease re-start Corvane and try again.";
    const auto timedOut = [](int minutes) {
        return QStringLiteral("The IQ report timed-out after approximately %1 minutes.\r\n\r\n"
                              "Please change the value for 'IQ Report Timeout (Minutes)' in the\r\n"
                              "System Settings screen, to a value greater than this and try again.")
            .arg(minutes);
    };
    const struct
    {
        QString error;
        qint64 elapsed;
        QString expected;
    } rows[] = {
        { "Query timeout expired", 125000, timedOut(3) },
        { "query TIMEOUT Expired (after retries)", 59000, timedOut(1) },
        { "QUERY TIMEOUT EXPIRED", 60000, timedOut(2) },
        { "Query timeout expired", kElapsedNotMeasured, timedOut(1) },
        { "Error: query timeout expired", 125000, general },
        { "Query timeout", 125000, general },
        { "no such table: x", 10, general },
    };
    for (const auto &row : rows) {
        SCOPED_TRACE(row.error.toStdString());
        EXPECT_EQ(RunFailureMessage(row.error, row.elapsed), row.expected);
    }
    DbError error;
    error.text = std::string(kQueryTimeoutText) + " after 2 attempts";
    EXPECT_EQ(RunFailureMessage(error, 125000), timedOut(3));
}

TEST_F(EnquiryExecutionTest, LogsTheTimingAndOnlyTheTwoEmployeeListsExecutions)
{
    ASSERT_TRUE(SetCurrentSystemValue("IQ Report Timeout (Minutes)", "2"));
    ASSERT_TRUE(SetCurrentSystemValue("IQ Report Retry Count", "3"));
    QStringList devLog;
    SetDevLogSink([&](const QString &text, int type) {
        devLog << QStringLiteral("%1 %2").arg(type).arg(text);
    });
    const struct
    {
        bool extended;
        const char *code;
        const char *sql; // fails to open: nothing is logged, the error names the table
        QStringList expected; // "type|text|extra2", with N for the milliseconds
    } rows[] = {
        { true, "IQB-EMP002", "select 1 as a",
            { "117|OpenIQ_IQB-EMP002 N ms|",
                "113|IQ Executed: IQB-EMP002 Staff|IQCode=IQB-EMP002" } },
        { true, "iqb-emp004", "select 1 as a",
            { "117|OpenIQ_IQB-EMP004 N ms|",
                "113|IQ Executed: iqb-emp004 Staff|IQCode=iqb-emp004" } },
        { true, "IQB-EMP003", "select 1 as a", { "117|OpenIQ_IQB-EMP003 N ms|" } },
        { false, "P%1", "select 1 as a", { "117|OpenIQ_P%1 N ms|" } },
        { false, "IQB-EMP002", "select 1 as a", { "117|OpenIQ_IQB-EMP002 N ms|" } },
        { true, "IQB-EMP002", "select * from no_such_table", {} },
    };
    for (const auto &row : rows) {
        SCOPED_TRACE(
            QStringLiteral("%1 %2 %3").arg(row.code).arg(row.extended).arg(row.sql).toStdString());
        db.exec(db.common(), "delete from _btblLog");
        devLog.clear();
        bExtendedLogging = row.extended;
        TQuillonADOQuery query;
        qint64 elapsed = -1;
        QString error;
        const bool opened
            = OpenEnquiry(query, db.payroll(), row.sql, row.code, "Staff", elapsed, error);
        EXPECT_EQ(opened, !row.expected.isEmpty()) << error.toStdString();
        EXPECT_EQ(error.contains("no_such_table"), !opened) << error.toStdString();
        EXPECT_GE(elapsed, 0);
        EXPECT_EQ(query.CommandTimeout(), 120);
        EXPECT_EQ(query.RetryCount(), 3);
        EXPECT_EQ(query.RecordCount(), opened ? 1 : 0);
        QStringList logged = logRows();
        logged.replaceInStrings(QRegularExpression(" \\d+ ms"), " N ms");
        EXPECT_EQ(logged, row.expected);
        EXPECT_EQ(devLog, QStringList { "1 Start" });
    }
}

} // namespace
