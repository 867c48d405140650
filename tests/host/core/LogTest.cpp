#include "HostDatabases.h"
#include "PrintQt.h"

#include "host/core/Agent.h"
#include "host/core/HostContext.h"
#include "host/ui/HostScript.h"
#include "host/core/Log.h"
#include "host/ui/TfrmMessageLogViewer.h"

#include <QLineEdit>
#include <QTest>

#include <gtest/gtest.h>

namespace {

TEST(LogTest, RowsCarryEveryValueAndTheSignedInAgent)
{
    HostDatabases databases;
    TAgent agent;
    agent.idAgents = 7;
    agent.cAgentName = "Jane";
    SetCurrentAgentForTesting(agent);
    const QDateTime before = QDateTime::currentDateTime().addSecs(-1);

    AddToLog("IQ Executed: IQB-EMP002 Staff", 113, 0, nullptr, false, "", "IQCode=IQB-EMP002", 0);
    SignOut();
    AddToLog("OpenIQ_X 'quoted' 12 ms", 117, 2, nullptr, true, "first", "", 3);

    Connection &common = databases.common();
    EXPECT_EQ(databases.count(common, "select count(*) from _btblLog"), 2);
    EXPECT_EQ(databases.text(common,
                  "select iAgentID || '|' || cAgentName || '|' || iLogType || '|' || iSeverity || "
                  "'|' || cText || '|' || cExtra1 || '|' || cExtra2 || '|' || iDestination "
                  "from _btblLog where idLog = 1"),
        "7|Jane|113|0|IQ Executed: IQB-EMP002 Staff||IQCode=IQB-EMP002|0");
    EXPECT_EQ(databases.text(common,
                  "select iAgentID || '|' || cAgentName || '|' || iLogType || '|' || iSeverity || "
                  "'|' || cText || '|' || cExtra1 || '|' || iDestination from _btblLog "
                  "where idLog = 2"),
        "0||117|2|OpenIQ_X 'quoted' 12 ms|first|3");
    const QDateTime logged = QDateTime::fromString(
        databases.text(common, "select dtLogged from _btblLog where idLog = 1"),
        "yyyy-MM-dd HH:mm:ss.zzz");
    EXPECT_TRUE(logged >= before && logged <= QDateTime::currentDateTime())
        << logged.toString().toStdString();
}

TEST(LogTest, GivenConnectionWinsAndAFailedWriteIsSwallowed)
{
    HostDatabases databases;
    databases.exec(databases.payroll(),
        "create table _btblLog (idLog integer primary key, dtLogged datetime, iAgentID int, "
        "cAgentName varchar(50), iLogType int, iSeverity int, cText text, cExtra1 text, "
        "cExtra2 text, iDestination int)");
    AddToLog("to payroll", 1, 0, &databases.payroll());
    EXPECT_EQ(databases.count(databases.payroll(), "select count(*) from _btblLog"), 1);
    EXPECT_EQ(databases.count(databases.common(), "select count(*) from _btblLog"), 0);

    databases.exec(databases.common(), "drop table _btblLog");
    AddToLog("nowhere to go", 1, 0); // reported on stderr, the caller goes on
    SetHostConnections(nullptr, nullptr);
    AddToLog("no database at all", 1, 0);
}

TEST(LogTest, ErrorMessagesWithALogTypeAreLoggedAndTheViewerFindsThem)
{
    HostDatabases databases;
    HostScript script;
    ErrMessage("IQ Import Error when save record!\rReason: disk full", MsgButtons::OK, 89, "x.xml");
    ErrMessage("Not logged");
    AddToLog("Import 2 records. Accept 1 records.", 89, 0);
    EXPECT_EQ(script.takeMessages(),
        QStringList({ "IQ Import Error when save record!\rReason: disk full", "Not logged" }));
    EXPECT_EQ(databases.count(databases.common(),
                  "select count(*) from _btblLog where iLogType = 89 and cExtra1 = 'x.xml'"),
        1);

    TfrmMessageLogViewer viewer;
    viewer.LoadLog();
    EXPECT_EQ(viewer.VisibleRowCount(), 2);
    QTest::keyClicks(viewer.findChild<QLineEdit *>("edtSearch"), "ACCEPT");
    EXPECT_EQ(viewer.VisibleRowCount(), 1);
    QTest::keyClicks(viewer.findChild<QLineEdit *>("edtSearch"), "ed nothing");
    EXPECT_EQ(viewer.VisibleRowCount(), 0);
}

TEST(LogTest, DeveloperLinesReachTheSink)
{
    std::vector<std::pair<QString, int>> lines;
    SetDevLogSink([&](const QString &text, int type) { lines.emplace_back(text, type); });
    AddDevLogMsg("Start", 1);
    AddDevLogMsg("Finish", 1);
    SetDevLogSink(nullptr);
    AddDevLogMsg("unseen", 1);
    EXPECT_EQ(lines, (std::vector<std::pair<QString, int>> { { "Start", 1 }, { "Finish", 1 } }));
}

} // namespace
