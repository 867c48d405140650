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

#include <algorithm>

namespace {

class MainWindowTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        db.addDemoData(4, 1);
        RegisterStoreProcedures();
        db.signIn("admin");
        package.GetObjectClassList();
    }
    void TearDown() override
    {
        for (QWidget *widget : QApplication::topLevelWidgets()) {
            if (widget->inherits("TfrmIPEasyEnquiry") || widget->inherits("TfrmMessageLogViewer"))
                widget->deleteLater();
        }
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }
    // Shown top-level windows of this class.
    static int shown(const char *className)
    {
        int count = 0;
        for (QWidget *widget : QApplication::topLevelWidgets())
            count += widget->inherits(className) && widget->isVisible();
        return count;
    }
    static QAction *command(QWidget &window, const QString &text)
    {
        const QList<QAction *> actions = window.findChildren<QAction *>();
        const auto found = std::find_if(actions.begin(), actions.end(),
            [&](const QAction *action) { return action->text() == text; });
        return found == actions.end() ? nullptr : *found;
    }

    TestDatabases db;
    HostScript script;
    HostSession session; // not opened: the test databases are the host's
    TrpICharts package;
};

TEST_F(MainWindowTest, EnterOpensTheFirstEntryWhichSaysWhatItOpens)
{
    TfrmCorvaneMain window(session, package);
    window.show();
    auto *entries = window.findChild<QListWidget *>("lvObjects");
    ASSERT_NE(entries, nullptr);
    EXPECT_EQ(window.focusWidget(), entries);
    ASSERT_EQ(entries->currentRow(), 0);
    EXPECT_EQ(entries->currentItem()->toolTip(),
        "Opens the IQ list, where IQ reports are run, added and changed");
    QTest::keyClick(entries, Qt::Key_Return);
    EXPECT_EQ(shown("TfrmIPEasyEnquiry"), 1);
}

// A window left open after Sign Out went on running IQs as the agent who signed out.
TEST_F(MainWindowTest, SignOutAndExitCloseEveryWindowOfTheAgent)
{
    for (const bool signOut : { true, false }) {
        SCOPED_TRACE(signOut ? "Sign Out" : "Exit");
        TfrmCorvaneMain window(session, package);
        window.show();
        QTest::keyClick(window.findChild<QListWidget *>("lvObjects"), Qt::Key_Return);
        DoMessageLogViewer();
        ASSERT_EQ(shown("TfrmIPEasyEnquiry") + shown("TfrmMessageLogViewer"), 2);
        command(window, signOut ? "&Sign Out" : "E&xit")->trigger();
        EXPECT_EQ(shown("TfrmIPEasyEnquiry") + shown("TfrmMessageLogViewer"), 0);
        EXPECT_FALSE(window.isVisible());
        EXPECT_EQ(window.SignOutRequested(), signOut);
    }
}

} // namespace
