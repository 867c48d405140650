#include "PrintQt.h"
#include "RecordingDelegate.h"
#include "TestDatabases.h"

#include "host/core/Agent.h"
#include "host/core/HostContext.h"
#include "host/core/Log.h"

#include <gtest/gtest.h>

namespace {

TEST(LogTest, RowsCarryEveryValueAndTheSignedInAgent)
{
    TestDatabases databases;
    const int jane = databases.addAgent("Jane");
    databases.signIn("Jane");
    const QDateTime before = QDateTime::currentDateTime().addSecs(-1);

    AddToLog("IQ Executed: IQB-EMP002 Staff", 113, 0, nullptr, false, "", "IQCode=IQB-EMP002", 0);
    SignOut();
    AddToLog("OpenIQ_X 'quoted' 12 ms", 117, 2, nullptr, true, "first", "", 3);

    EXPECT_EQ(databases.rows(databases.common(),
                  "select iAgentID, cAgentName, iLogType, iSeverity, cText, cExtra1, cExtra2, "
                  "iDestination from _btblLog order by idLog"),
        (QStringList {
            QString("%1|Jane|113|0|IQ Executed: IQB-EMP002 Staff||IQCode=IQB-EMP002|0").arg(jane),
            "0||117|2|OpenIQ_X 'quoted' 12 ms|first||3" }));
    const QDateTime logged = QDateTime::fromString(
        databases.rows(databases.common(), "select dtLogged from _btblLog where idLog = 1")
            .value(0),
        "yyyy-MM-dd HH:mm:ss.zzz");
    EXPECT_TRUE(logged >= before && logged <= QDateTime::currentDateTime())
        << logged.toString().toStdString();
}

TEST(LogTest, GivenConnectionWinsAndAFailedWriteIsSwallowed)
{
    TestDatabases databases;
    databases.exec("create table _btblLog (idLog integer primary key, dtLogged datetime, "
                   "iAgentID int, cAgentName varchar(50), iLogType int, iSeverity int, cText text, "
                   "cExtra1 text, cExtra2 text, iDestination int)");
    AddToLog("to payroll", 1, 0, &databases.payroll());
    EXPECT_EQ(databases.count("select count(*) from _btblLog"), 1);
    EXPECT_EQ(databases.count(databases.common(), "select count(*) from _btblLog"), 0);

    databases.exec(databases.common(), "drop table _btblLog");
    AddToLog("nowhere to go", 1, 0); // reported on stderr, the caller goes on
    SetHostConnections(nullptr, nullptr);
    AddToLog("no database at all", 1, 0);
}

TEST(LogTest, ErrorMessagesWithALogTypeAreAlsoLogged)
{
    TestDatabases databases;
    RecordingDelegate person;
    ScopedUiDelegate answers(person);
    ErrMessage("IQ Import Error when save record!\rReason: disk full", MsgButtons::OK, 89, "x.xml");
    ErrMessage("Not logged");
    EXPECT_EQ(person.messages,
        QStringList({ "IQ Import Error when save record!\rReason: disk full", "Not logged" }));
    EXPECT_EQ(databases.rows(databases.common(), "select iLogType, cText, cExtra1 from _btblLog"),
        QStringList { "89|IQ Import Error when save record!\rReason: disk full|x.xml" });
}

} // namespace
