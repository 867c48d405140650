#include "TestDatabases.h"
#include "TestServerDatabases.h"
#include "TopWindows.h"

#include "app/common/HostSession.h"
#include "app/common/SavedConnections.h"
#include "app/gui/TfrmSignIn.h"
#include "host/core/RegIni.h"
#include "host/ui/HostScript.h"
#include "host/ui/TmxGrid.h"
#include "host/ui/TmxGridModel.h"
#include "list/ui/TfrmIPEasyEnquiry.h"
#include "package/PackageWindows.h"
#include "run/ui/TfrmIPEasyEnquiryView.h"
#include "store/TqryIPEasyEnquiry.h"

#include <QAction>
#include <QComboBox>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

// The result window loads in the background on a report connection of its own: on a server that
// is a second read-only login, not a file opened again. The list works there too.
TEST(ServerWindowTest, ResultWindowLoadsWithTheAgentsRowSecurityAndDeleteTakesTheIQsRows)
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

    const int id = TestDatabases::count(
        payroll, "SELECT idEnquiry FROM _iptblEasyEnquiry WHERE cCode = 'IQB-EMP002'");
    auto *view = OpenedWindow<TfrmIPEasyEnquiryView>([&] { DoIPEasyEnquiryView(id); });
    ASSERT_TRUE(view) << script.takeMessages().join('\n').toStdString();
    if (view->RowsLoading()) {
        QSignalSpy ended(view, &TfrmIPEasyEnquiryView::LoadEnded);
        ASSERT_TRUE(ended.wait(60000));
    }
    EXPECT_EQ(script.takeMessages(), QStringList());
    EXPECT_EQ(view->findChild<TmxGrid *>("grdQueryView")->Model()->rowCount(), expected);
    view->close();

    // The list's Delete runs the delete procedure on the server: the IQ goes with its rows.
    const int doomed = TestDatabases::count(
        payroll, "SELECT idEnquiry FROM _iptblEasyEnquiry WHERE cCode = 'PAY-OVERTM'");
    auto *list = new TfrmIPEasyEnquiry(nullptr);
    list->setAttribute(Qt::WA_DeleteOnClose);
    list->show();
    ASSERT_TRUE(
        list->findChild<TqryIPEasyEnquiry *>("qryEasyEnquiry")->Locate("cCode", "PAY-OVERTM"));
    script.answer(QMessageBox::Yes);
    list->findChild<QAction *>("mniMaintDelete")->trigger();
    EXPECT_EQ(script.takeMessages(),
        QStringList { "Delete Enquiry \"Overtime above a number of hours\" ?" });
    for (const char *table :
        { "_iptblEasyEnquiry WHERE idEnquiry = ?", "_iptblEasyEnquiryParam WHERE iEnquiryID = ?",
            "_iptblEasyEnquiryColumn WHERE iEnquiryID = ?" })
        EXPECT_EQ(
            TestDatabases::count(payroll, std::string("SELECT count(*) FROM ") + table, { doomed }),
            0)
            << table;
    list->close();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

// A saved server connection that asks for its password: the sign-in opens it with the password
// typed, lists the server's agents, and never shows or keeps that password.
TEST(ServerWindowTest, SignInOpensASavedServerWithThePasswordTypedAndKeepsNone)
{
    TestServerDatabases server;
    ASSERT_TRUE(server.make(10));
    QTemporaryDir settings;
    RegIni::SetFolder(settings.path());
    QString error;
    const QString missing
        = QString(server.payrollName())
              .replace(QString::fromStdString(server.payrollDb()), "qp_no_such_db");
    ASSERT_TRUE(
        SavedConnections::Save({ { "Server", server.payrollName(), server.commonName(), true },
                                   { "Gone", missing, missing, true } },
            error));
    SavedConnections::SetLastChoice("Gone");
    HostSession session;
    TfrmSignIn dialog(session, "clerk");
    auto *password = dialog.findChild<QLineEdit *>("edtDatabasePassword");
    auto *reason = dialog.findChild<QLabel *>("lblError");
    password->setText("pw{;}x");
    dialog.findChild<QLineEdit *>("edtPassword")->setText("clerk");
    dialog.findChild<QPushButton *>("btnOK")->click();
    EXPECT_NE(dialog.result(), QDialog::Accepted);
    EXPECT_TRUE(reason->text().contains("qp_no_such_db")) << reason->text().toStdString();
    EXPECT_FALSE(reason->text().contains("pw{")) << reason->text().toStdString();

    auto *database = dialog.findChild<QComboBox *>("cbxDatabase");
    database->setCurrentIndex(database->findText("Server"));
    password->setText("pw{;}x");
    dialog.findChild<QPushButton *>("btnOK")->click();
    EXPECT_EQ(dialog.result(), QDialog::Accepted) << reason->text().toStdString();
    EXPECT_TRUE(session.Payroll());
    EXPECT_GE(dialog.findChild<QComboBox *>("cbxAgent")->findText("viewer"), 0);
    EXPECT_EQ(SavedConnections::LastChoice(), "Server");
    QFile file(SavedConnections::File());
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_FALSE(file.readAll().contains("pw{"));
    session.Close();
    RegIni::SetFolder({});
}

} // namespace
