#include "TestDatabases.h"

#include "app/common/HostSession.h"
#include "app/gui/TfrmCorvaneMain.h"
#include "host/ui/HostScript.h"
#include "host/ui/TfrmMessageLogViewer.h"
#include "package/qpChartsIntf.h"
#include "store/StoreProcedures.h"

#include <QAction>
#include <QApplication>
#include <QListWidget>
#include <QTest>

#include <gtest/gtest.h>

namespace {

// The first entry has the keyboard, so Enter opens it. A window left open after Sign Out went
// on running IQs as the agent who signed out.
TEST(MainWindowTest, EnterOpensTheFirstEntryAndSignOutOrExitClosesEveryWindow)
{
    TestDatabases db;
    db.addDemoData(4, 1);
    RegisterStoreProcedures();
    db.signIn("admin");
    HostScript script;
    HostSession session; // not opened: the test databases are the host's
    TrpICharts package;
    package.GetObjectClassList();
    const auto shownWindows = [] {
        int count = 0;
        for (QWidget *widget : QApplication::topLevelWidgets())
            count += widget->isVisible()
                && (widget->inherits("TfrmIPEasyEnquiry")
                    || widget->inherits("TfrmMessageLogViewer"));
        return count;
    };
    for (const QString leave : { "&Sign Out", "E&xit" }) {
        SCOPED_TRACE(leave.toStdString());
        TfrmCorvaneMain window(session, package);
        window.show();
        auto *entries = window.findChild<QListWidget *>("lvObjects");
        ASSERT_EQ(window.focusWidget(), entries);
        ASSERT_EQ(entries->currentRow(), 0);
        EXPECT_EQ(entries->currentItem()->toolTip(),
            "Opens the IQ list, where IQ reports are run, added and changed");
        QTest::keyClick(entries, Qt::Key_Return);
        DoMessageLogViewer();
        ASSERT_EQ(shownWindows(), 2);
        for (QAction *action : window.findChildren<QAction *>()) {
            if (action->text() == leave)
                action->trigger();
        }
        EXPECT_EQ(shownWindows(), 0);
        EXPECT_FALSE(window.isVisible());
        EXPECT_EQ(window.SignOutRequested(), leave == "&Sign Out");
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }
}

} // namespace
