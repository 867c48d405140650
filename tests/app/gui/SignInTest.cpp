#include "TestDatabases.h"

#include "app/common/HostSession.h"
#include "app/common/SavedConnections.h"
#include "app/gui/TfrmSavedConnections.h"
#include "app/gui/TfrmSignIn.h"
#include "host/core/RegIni.h"
#include "host/ui/HostScript.h"

#include <QComboBox>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

#include <gtest/gtest.h>

namespace {

// Passwords must come out of any connection string, whatever the quoting, and go back in so that
// the driver reads them whole.
TEST(SavedConnectionsTest, PasswordsAreNeverStoredAndSurviveQuoting)
{
    struct Row
    {
        QString given;
        QString stored;
        bool removed;
    };
    const Row rows[] = {
        { "odbc:DSN=payroll;UID=clerk;PWD=secret", "odbc:DSN=payroll;UID=clerk", true },
        { "odbc:Driver={PostgreSQL Unicode};password={a;b}}c};Port=5432",
            "odbc:Driver={PostgreSQL Unicode};Port=5432", true },
        { "odbc: pwd = x ;DSN=payroll", "odbc:DSN=payroll", true },
        { "odbc:DSN=payroll;PWDX=kept", "odbc:DSN=payroll;PWDX=kept", false },
        { "/data/PWD=x.db", "/data/PWD=x.db", false },
        { "odbc:DSN=cut;PWD={never closed;UID=u", "odbc:DSN=cut", true },
    };
    for (const Row &row : rows) {
        bool removed = false;
        EXPECT_EQ(WithoutPassword(row.given, &removed), row.stored) << qPrintable(row.given);
        EXPECT_EQ(removed, row.removed) << qPrintable(row.given);
    }
    const QString withPassword = WithPassword("odbc:DSN=payroll;PWD=old", "p}w;d=");
    EXPECT_EQ(withPassword, "odbc:DSN=payroll;PWD={p}}w;d=}");
    EXPECT_EQ(WithoutPassword(withPassword), "odbc:DSN=payroll");
    EXPECT_EQ(WithPassword("/data/payroll.db", "x"), "/data/payroll.db");

    QTemporaryDir dir;
    RegIni::SetFolder(dir.filePath("settings"));
    QString error;
    ASSERT_TRUE(SavedConnections::Save(
        { { " Head office ", "odbc:DSN=p;PWD=secret", "odbc:DSN=c", false } }, error));
    QFile file(SavedConnections::File());
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_FALSE(file.readAll().contains("secret"));
    const QList<SavedConnection> expected { { "Head office", "odbc:DSN=p", "odbc:DSN=c", true } };
    EXPECT_EQ(SavedConnections::Load(), expected);
    RegIni::SetFolder({});
}

// The sign-in offers the saved databases, lists each one's agents, says why one cannot be
// opened, and asks for a server's password rather than keep it.
class SignInTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        office.addDemoData(2, 1);
        branch.addAgent("zoe");
        RegIni::SetFolder(settings.path());
        QString error;
        ASSERT_TRUE(SavedConnections::Save(
            { { "Office", office.payrollPath(), office.path("common.db"), false },
                { "Branch", branch.payrollPath(), branch.path("common.db"), false },
                { "Broken", settings.filePath("none/payroll.db"),
                    settings.filePath("none/common.db"), false },
                { "Server", "odbc:DSN=qp-no-such-dsn", "odbc:DSN=qp-no-such-dsn", true } },
            error));
        SavedConnections::SetLastChoice("Branch");
    }
    void TearDown() override { RegIni::SetFolder({}); }

    static QStringList agents(TfrmSignIn &dialog)
    {
        auto *box = dialog.findChild<QComboBox *>("cbxAgent");
        QStringList names;
        for (int i = 0; i < box->count(); ++i)
            names << box->itemText(i);
        return names;
    }
    static void choose(TfrmSignIn &dialog, const QString &database)
    {
        auto *box = dialog.findChild<QComboBox *>("cbxDatabase");
        box->setCurrentIndex(box->findText(database));
    }

    TestDatabases office;
    TestDatabases branch;
    QTemporaryDir settings;
    HostSession session;
};

TEST_F(SignInTest, EachDatabaseHasItsAgentsAndTheLastChoiceComesBack)
{
    TfrmSignIn dialog(session, QString());
    auto *error = dialog.findChild<QLabel *>("lblError");
    auto *password = dialog.findChild<QLineEdit *>("edtPassword");
    auto *signIn = dialog.findChild<QPushButton *>("btnOK");
    EXPECT_EQ(agents(dialog), QStringList { "zoe" });

    choose(dialog, "Broken");
    EXPECT_TRUE(error->text().contains("none/payroll.db")) << qPrintable(error->text());
    EXPECT_TRUE(agents(dialog).isEmpty());
    EXPECT_FALSE(QFile::exists(settings.filePath("none/payroll.db")));
    signIn->click();
    EXPECT_NE(dialog.result(), QDialog::Accepted);

    choose(dialog, "Office");
    EXPECT_TRUE(error->text().isEmpty());
    EXPECT_TRUE(agents(dialog).contains("clerk"));
    dialog.findChild<QComboBox *>("cbxAgent")->setCurrentText("clerk");
    password->setText("wrong");
    signIn->click();
    EXPECT_FALSE(error->text().isEmpty());
    password->setText("clerk");
    signIn->click();
    EXPECT_EQ(dialog.result(), QDialog::Accepted) << qPrintable(error->text());
    EXPECT_EQ(SavedConnections::LastChoice(), "Office");

    // After sign-out the open database is kept, not opened again.
    session.SignOut();
    Connection *open = session.Payroll();
    TfrmSignIn again(session, QString());
    EXPECT_EQ(again.findChild<QComboBox *>("cbxDatabase")->currentText(), "Office");
    EXPECT_EQ(session.Payroll(), open);
}

TEST_F(SignInTest, AServerPasswordIsAskedForAndNewDatabasesAreSavedWithoutOne)
{
    TfrmSignIn dialog(session, QString());
    auto *databasePassword = dialog.findChild<QLineEdit *>("edtDatabasePassword");
    EXPECT_FALSE(databasePassword->isVisibleTo(&dialog));
    choose(dialog, "Server");
    EXPECT_TRUE(databasePassword->isVisibleTo(&dialog));
    EXPECT_TRUE(agents(dialog).isEmpty());
    // Nothing is tried before the password is there; Sign In tries and says why it failed.
    EXPECT_TRUE(dialog.findChild<QLabel *>("lblError")->text().isEmpty());
    databasePassword->setText("s3cret");
    dialog.findChild<QPushButton *>("btnOK")->click();
    EXPECT_NE(dialog.result(), QDialog::Accepted);
    const QString reason = dialog.findChild<QLabel *>("lblError")->text();
    EXPECT_FALSE(reason.isEmpty());
    EXPECT_FALSE(reason.contains("s3cret")) << qPrintable(reason);

    HostScript script;
    script.onModal("TfrmSavedConnections", [&](QDialog &manage) {
        manage.findChild<QPushButton *>("btnAdd")->click();
        QTest::keyClicks(manage.findChild<QLineEdit *>("edtName"), "Office");
        QTest::keyClicks(manage.findChild<QLineEdit *>("edtPayroll"), "odbc:DSN=p;PWD=topsecret");
        manage.findChild<QPushButton *>("btnOK")->click();
        // A second "Office" is refused with the reason, and nothing is saved.
        EXPECT_TRUE(manage.findChild<QLabel *>("lblError")->text().contains("\"Office\""));
        manage.findChild<QLineEdit *>("edtName")->clear();
        QTest::keyClicks(manage.findChild<QLineEdit *>("edtName"), "Head office");
        QTest::keyClicks(manage.findChild<QLineEdit *>("edtCommon"), "odbc:DSN=c");
        manage.findChild<QPushButton *>("btnOK")->click();
    });
    dialog.findChild<QPushButton *>("btnConnections")->click();
    ASSERT_EQ(script.pendingModals(), 0);
    EXPECT_EQ(dialog.findChild<QComboBox *>("cbxDatabase")->currentText(), "Server");
    EXPECT_GE(dialog.findChild<QComboBox *>("cbxDatabase")->findText("Head office"), 0);
    const QList<SavedConnection> saved = SavedConnections::Load();
    ASSERT_EQ(saved.size(), 5);
    EXPECT_EQ(saved.last(), (SavedConnection { "Head office", "odbc:DSN=p", "odbc:DSN=c", true }));
    QFile file(SavedConnections::File());
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_FALSE(file.readAll().contains("topsecret"));
}

} // namespace
