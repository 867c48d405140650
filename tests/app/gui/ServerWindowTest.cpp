#include "TestDatabases.h"
#include "TestServerDatabases.h"

#include "app/common/HostSession.h"
#include "host/ui/HostScript.h"
#include "host/ui/TmxGrid.h"
#include "host/ui/TmxGridModel.h"
#include "package/PackageWindows.h"
#include "run/ui/TfrmIPEasyEnquiryView.h"

#include <QApplication>
#include <QSignalSpy>

#include <gtest/gtest.h>

namespace {

// The result window loads in the background on a report connection of its own: on a server that
// is a second read-only login, not a file opened again.
TEST(ServerWindowTest, ResultWindowLoadsAnIQFromTheServerWithTheAgentsRowSecurity)
{
    TestServerDatabases server;
    ASSERT_TRUE(server.make(30));
    HostSession session;
    QString error;
    ASSERT_TRUE(session.Open(server.payrollName(), server.commonName(), false, error))
        << error.toStdString();
    EXPECT_EQ(session.DatabaseFiles(), QStringList());
    ASSERT_TRUE(session.SignIn("clerk", "clerk", error)) << error.toStdString();
    HostScript script;
    InstallEnquiryWindows();
    Connection &payroll = *session.Payroll();
    const int expected = TestDatabases::count(payroll,
        "SELECT count(*) FROM _iptblEmployees WHERE bActive = 1 AND iPayerID IN (1, 2) AND "
        "iPayFrequencyID IN (1, 3) AND iLocationID IN (1, 2, 3)");
    ASSERT_GT(expected, 0);
    ASSERT_LT(expected, TestDatabases::count(payroll, "SELECT count(*) FROM _iptblEmployees"));

    DoIPEasyEnquiryView(TestDatabases::count(
        payroll, "SELECT idEnquiry FROM _iptblEasyEnquiry WHERE cCode = 'IQB-EMP002'"));
    TfrmIPEasyEnquiryView *view = nullptr;
    for (QWidget *widget : QApplication::topLevelWidgets()) {
        if (auto *candidate = qobject_cast<TfrmIPEasyEnquiryView *>(widget))
            view = candidate->isVisible() ? candidate : view;
    }
    ASSERT_TRUE(view) << script.takeMessages().join('\n').toStdString();
    if (view->RowsLoading()) {
        QSignalSpy ended(view, &TfrmIPEasyEnquiryView::LoadEnded);
        ASSERT_TRUE(ended.wait(60000));
    }
    EXPECT_EQ(script.takeMessages(), QStringList());
    EXPECT_EQ(view->findChild<TmxGrid *>("grdQueryView")->Model()->rowCount(), expected);
    view->close();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

} // namespace
