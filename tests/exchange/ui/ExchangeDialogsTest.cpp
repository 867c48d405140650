#include "Click.h"
#include "FileBytes.h"
#include "PrintQt.h"
#include "TestDatabases.h"

#include "exchange/ui/TfrmIPEasyEnquiryExportDlg.h"
#include "exchange/ui/TfrmIPEasyEnquiryImportDlg.h"
#include "host/ui/HostScript.h"
#include "list/ui/TfrmIPEasyEnquiry.h"
#include "package/PackageWindows.h"
#include "store/TqryIPEasyEnquiry.h"

#include <QAction>
#include <QCoreApplication>
#include <QDialog>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>

#include <gtest/gtest.h>

namespace {

class ExchangeDialogsTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        db.addDemoData(4, 1);
        db.signIn("admin");
    }

    // Types the file name, picks the option (export) and presses the dialog's OK button.
    static void Fill(QDialog &dialog, const QString &name, bool all = false)
    {
        auto *edit = dialog.findChild<QLineEdit *>("edtFile");
        ASSERT_NE(edit, nullptr);
        EXPECT_EQ(edit->text(), "c:\\IQSql.xml");
        edit->clear();
        QTest::keyClicks(edit, name);
        if (auto *radio = dialog.findChild<QRadioButton *>(all ? "radAll" : "radSelected"))
            radio->setChecked(true);
        Click(dialog, "btnOK");
    }
    bool Export(int id, const QString &name, bool all = false)
    {
        script.onModal("TfrmIPEasyEnquiryExportDlg", [&](QDialog &d) { Fill(d, name, all); });
        return DoEasyEnquiryExport(id);
    }
    bool Import(const QString &name, int &id)
    {
        script.onModal("TfrmIPEasyEnquiryImportDlg", [&](QDialog &d) { Fill(d, name); });
        return DoEasyEnquiryImport(id);
    }
    QStringList LogSince(int idLog)
    {
        return TestDatabases::rows(db.common(),
            "SELECT iLogType || ' ' || cText FROM _btblLog WHERE idLog > ? ORDER BY idLog",
            { std::int64_t(idLog) });
    }
    int LastLog() { return db.count(db.common(), "SELECT coalesce(max(idLog), 0) FROM _btblLog"); }

    TestDatabases db;
    HostScript script;
};

TEST_F(ExchangeDialogsTest, ExportWritesSelectedOrAllAndKeepsAFileWhenTold)
{
    const int id = db.insertEnquiry("EXP1", "SELECT 1", "Pay < 100");
    const int all = db.count("SELECT count(*) FROM _iptblEasyEnquiry");
    const QString path = db.path("out.xml");

    EXPECT_TRUE(Export(id, path));
    EXPECT_EQ(ReadFile(path).count("<Record>"), 1);
    EXPECT_TRUE(ReadFile(path).contains("<cDescription>Pay &lt; 100</cDescription>"));
    script.answer(QMessageBox::Yes);
    EXPECT_TRUE(Export(id, "  " + path + " ", true));
    EXPECT_EQ(ReadFile(path).count("<Record>"), all);
    EXPECT_EQ(script.takeMessages(),
        QStringList { "File \"  " + path + " \" exists. Do you want to overwrite it?" });

    // Refused names keep the dialog open with the file-name box focused; the file stays.
    const QByteArray kept = ReadFile(path);
    for (const QString &name : { QString("   "), path }) {
        SCOPED_TRACE(name.toStdString());
        QWidget *focused = nullptr;
        script.answer(QMessageBox::No);
        script.onModal("TfrmIPEasyEnquiryExportDlg", [&](QDialog &d) {
            Fill(d, name);
            EXPECT_TRUE(d.isVisible());
            focused = d.focusWidget();
        });
        EXPECT_FALSE(DoEasyEnquiryExport(id));
        EXPECT_EQ(focused ? focused->objectName() : QString(), "edtFile");
        EXPECT_EQ(script.takeMessages(),
            QStringList { name == path
                    ? "File \"" + path + "\" exists. Do you want to overwrite it?"
                    : "Please select or type a File name to export!" });
    }
    EXPECT_EQ(ReadFile(path), kept);

    // A folder that does not exist: said, and the dialog stays.
    EXPECT_FALSE(Export(id, db.path("none/out.xml")));
    const QStringList messages = script.takeMessages();
    ASSERT_EQ(messages.size(), 1);
    EXPECT_TRUE(messages[0].startsWith("Cannot write")) << messages[0].toStdString();
}

TEST_F(ExchangeDialogsTest, ImportLogsInOrderAndHandsBackTheLastIQ)
{
    const int gone = db.insertEnquiry("IMP1", "SELECT 1", "Pay < 100");
    db.insertParam(gone, "From", 2, std::nullopt, QStringLiteral("2024-02-29 00:00:00"));
    const int stays = db.insertEnquiry("IMP2", "SELECT 2");
    const QString path = db.path("in.xml");
    ASSERT_TRUE(Export(gone, path, true));
    db.exec("DELETE FROM _iptblEasyEnquiry WHERE idEnquiry = ?", { std::int64_t(gone) });
    db.exec("DELETE FROM _iptblEasyEnquiryParam WHERE iEnquiryID = ?", { std::int64_t(gone) });
    const int records = ReadFile(path).count("<Record>");

    int mark = LastLog();
    int id = -1;
    EXPECT_TRUE(Import(path, id));
    const int imported = db.count("SELECT idEnquiry FROM _iptblEasyEnquiry WHERE cCode = 'IMP1'");
    EXPECT_EQ(id, imported);
    EXPECT_EQ(
        db.rows("SELECT e.cDescription, p.dtValue FROM _iptblEasyEnquiry e JOIN "
                "_iptblEasyEnquiryParam p ON p.iEnquiryID = e.idEnquiry WHERE e.idEnquiry = ?",
            { std::int64_t(imported) }),
        QStringList { "Pay < 100|2024-02-29 00:00:00" });
    // The order of the log's lines is the import's own (checked through corvane-iq); the name
    // is the one typed in the dialog.
    QStringList log = LogSince(mark);
    ASSERT_EQ(log.size(), records + 3);
    EXPECT_EQ(log[1], "89 Import from " + path);
    EXPECT_EQ(script.takeMessages(),
        QStringList { QString("Import %1 records. Accept 1 records.\rPlease refer to Message Log "
                              "Viewer for details!")
                          .arg(records) });

    // Again: every record exists now, and the id handed back is 0.
    EXPECT_TRUE(Import(path, id));
    EXPECT_EQ(id, 0);
    script.takeMessages();

    // Cancel logs nothing; a missing file is said and logged, and the dialog stays.
    mark = LastLog();
    script.onModal("TfrmIPEasyEnquiryImportDlg", [](QDialog &d) { Click(d, "btnCancel"); });
    id = 7;
    EXPECT_FALSE(DoEasyEnquiryImport(id));
    EXPECT_EQ(id, 7);
    EXPECT_EQ(LogSince(mark), QStringList());
    EXPECT_FALSE(Import(db.path("missing.xml"), id));
    const QString missing = "Import File \"" + db.path("missing.xml") + "\" is not found!";
    EXPECT_EQ(script.takeMessages(), QStringList { missing });
    EXPECT_EQ(LogSince(mark),
        (QStringList { "89 Import IQ Start", "89 " + missing, "89 Import IQ Complete" }));

    // A broken file: everything rolled back and said; the dialog still closes.
    const QString broken = db.path("broken.xml");
    ASSERT_TRUE(WriteFile(broken,
        ReadFile(path)
            .replace("<Record>", "<Record>\r\n<cCode>NEW9</cCode>\r\n")
            .replace("</RecordSet>", "")));
    const int before = db.count("SELECT count(*) FROM _iptblEasyEnquiry");
    EXPECT_TRUE(Import(broken, id));
    EXPECT_EQ(db.count("SELECT count(*) FROM _iptblEasyEnquiry"), before);
    const QStringList messages = script.takeMessages();
    ASSERT_EQ(messages.size(), 1);
    EXPECT_TRUE(messages[0].startsWith("IQ Import Error when save record!\rReason: "))
        << messages[0].toStdString();
    EXPECT_EQ(stays, db.count("SELECT idEnquiry FROM _iptblEasyEnquiry WHERE cCode = 'IMP2'"));
}

TEST_F(ExchangeDialogsTest, WithoutRight2602TheButtonsAreGreyedAndSayWhy)
{
    db.addAgent("limited", { .functions = { 2601 } });
    db.signIn("limited");
    for (const char *dialog : { "TfrmIPEasyEnquiryExportDlg", "TfrmIPEasyEnquiryImportDlg" }) {
        SCOPED_TRACE(dialog);
        QPushButton *ok = nullptr;
        QString tip;
        script.onModal(dialog, [&](QDialog &d) {
            ok = d.findChild<QPushButton *>("btnOK");
            tip = ok->toolTip();
            EXPECT_FALSE(ok->isEnabled());
            EXPECT_EQ(d.focusWidget()->objectName(), "edtFile");
        });
        int id = 0;
        EXPECT_FALSE(std::string(dialog).find("Export") != std::string::npos
                ? DoEasyEnquiryExport(1)
                : DoEasyEnquiryImport(id));
        EXPECT_EQ(tip, "The agent \"limited\" may not export or import IQs (right 2602).");
    }
}

TEST_F(ExchangeDialogsTest, TheListMovesToTheLastIQImported)
{
    const int id = db.insertEnquiry("ZZLAST", "SELECT 1");
    const QString path = db.path("last.xml");
    ASSERT_TRUE(Export(id, path));
    db.exec("DELETE FROM _iptblEasyEnquiry WHERE idEnquiry = ?", { std::int64_t(id) });
    InstallEnquiryWindows();
    TfrmIPEasyEnquiry list(nullptr);
    list.show();
    auto *query = list.findChild<TqryIPEasyEnquiry *>("qryEasyEnquiry");
    ASSERT_TRUE(query->First());
    script.onModal("TfrmIPEasyEnquiryImportDlg", [&](QDialog &d) { Fill(d, path); });
    list.findChild<QAction *>("mniImport")->trigger();
    QCoreApplication::sendPostedEvents(); // the change message
    EXPECT_EQ(query->GetCode(), "ZZLAST");
    EXPECT_EQ(script.takeMessages(), QStringList { "Import 1 records. Accept 1 records." });
}

} // namespace
