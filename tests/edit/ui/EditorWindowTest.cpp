#include "CliProcess.h"
#include "Click.h"
#include "PrintQt.h"
#include "TestDatabases.h"

#include "edit/ui/TfrmIPEasyEnquiryAddDlg.h"
#include "edit/ui/TfrmIPEasySQLStatement.h"
#include "host/core/RegIni.h"
#include "host/ui/HostScript.h"
#include "package/PackageWindows.h"

#include <QAbstractItemModel>
#include <QComboBox>
#include <QDialog>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTableView>
#include <QTest>

#include <gtest/gtest.h>

#include <functional>

namespace {

QPushButton *Button(QDialog &dialog, const char *name)
{
    return dialog.findChild<QPushButton *>(name);
}

void Type(QDialog &dialog, const char *name, const QString &text)
{
    auto *edit = dialog.findChild<QLineEdit *>(name);
    edit->selectAll();
    QTest::keyClick(edit, Qt::Key_Delete);
    QTest::keyClicks(edit, text);
}

// The Column Details grid as the person sees it: "name show order" per row.
QStringList Columns(QDialog &editor)
{
    const QAbstractItemModel *model = editor.findChild<QTableView *>("vwColumn")->model();
    QStringList rows;
    for (int r = 0; r < model->rowCount(); ++r) {
        rows << QStringLiteral("%1 %2 %3")
                    .arg(model->index(r, 0).data().toString(),
                        model->index(r, 1).data(Qt::CheckStateRole).toInt() == Qt::Checked
                            ? QStringLiteral("x")
                            : QStringLiteral("-"),
                        model->index(r, 2).data().toString());
    }
    return rows;
}

void TypeOrder(QDialog &editor, int row, int order)
{
    QAbstractItemModel *model = editor.findChild<QTableView *>("vwColumn")->model();
    model->setData(model->index(row, 2), order);
}

class EditorWindowTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        InstallEnquiryWindows();
        db.addAgent("boss", { .administrator = true });
        db.addAgent("clerk");
        db.signIn("boss");
    }

    // The SQL statement dialog, opened from the editor and confirmed with `sql`.
    void SetStatement(QDialog &editor, const QString &sql)
    {
        script.onModal("TfrmIPEasySQLStatement", [sql](QDialog &dialog) {
            dialog.findChild<QPlainTextEdit *>("emSQLStatement")->setPlainText(sql);
            Click(dialog, "btnOK");
        });
        Click(editor, "btnSQLStatement");
    }
    // Opens the editor in a mode and lets `act` drive it; a dialog still open then is cancelled.
    void Edit(int id, bool copy, bool editable, const std::function<void(QDialog &)> &act)
    {
        script.onModal("TfrmIPEasyEnquiryAddDlg", act);
        DoIPEasyEnquiryAdd(id, copy, editable);
    }
    QStringList LogLines()
    {
        return TestDatabases::rows(
            db.common(), "SELECT cText FROM _btblLog WHERE iLogType = 33 ORDER BY 1");
    }

    TestDatabases db;
    HostScript script;
};

TEST_F(EditorWindowTest, FourModesOpenAndSaveAsTheListAsks)
{
    const int source = db.insertEnquiry("SRC", "select 1 as a, 2 as b", "Source");
    db.insertColumns(source, { { "a", true }, { "b", false } });
    const int system = db.insertEnquiry("IQSYS", "select 1 as a, 2 as b", "System");
    db.insertColumns(system, { { "a", true }, { "b", true } });
    RegIni::WriteString("frmIPEasyEnquiryView_IQSYS", "DefaultOpts", "1");

    const struct
    {
        int id;
        bool copy;
        bool editable;
        const char *caption;
        bool codeEnabled;
        bool fieldsEnabled;
        QStringList columns; // as opened
        const char *code; // typed, when the code can be
        const char *log;
    } rows[] = {
        { 0, false, true, "Add New Enquiry", true, true, {}, "NEW1", "Enquiry \"NEW1\" Added" },
        { source, false, true, "Edit Enquiry \"SRC - Source\"", false, true, { "a x 1", "b - 2" },
            nullptr, "Enquiry \"SRC\" Changed" },
        { system, false, false, "Edit Enquiry \"IQSYS - System\"", false, false,
            { "a x 1", "b x 2" }, nullptr, "Enquiry \"IQSYS\" Changed" },
        { source, true, true, "Copy Enquiry \"SRC - Source\"", true, true, { "a x 1", "b - 2" },
            "CPY", "Enquiry \"CPY\" Added" },
    };
    for (const auto &row : rows) {
        SCOPED_TRACE(row.caption);
        Edit(row.id, row.copy, row.editable, [&](QDialog &editor) {
            EXPECT_EQ(editor.windowTitle(), row.caption);
            EXPECT_EQ(editor.findChild<QLineEdit *>("edtCode")->isEnabled(), row.codeEnabled);
            EXPECT_EQ(
                editor.findChild<QLineEdit *>("edtDescription")->isEnabled(), row.fieldsEnabled);
            EXPECT_EQ(Columns(editor), row.columns);
            // The first field the person may change has the keyboard.
            EXPECT_EQ(editor.focusWidget()->objectName(),
                row.codeEnabled ? "edtCode" : (row.fieldsEnabled ? "edtDescription" : "vwColumn"));
            if (row.code)
                Type(editor, "edtCode", row.code);
            if (row.id == 0)
                SetStatement(editor, "select 1 as z");
            // View: columns may still be arranged, and are saved.
            if (!row.editable)
                Click(editor, "btnDeSelect");
            Click(editor, "btnOK");
            EXPECT_FALSE(editor.isVisible());
        });
        EXPECT_EQ(script.takeMessages(), QStringList());
        EXPECT_TRUE(LogLines().contains(row.log)) << qPrintable(LogLines().join('\n'));
    }
    EXPECT_EQ(db.rows("SELECT e.cCode, c.cColumnName, c.bShow, c.iOrder FROM _iptblEasyEnquiry e "
                      "JOIN _iptblEasyEnquiryColumn c ON c.iEnquiryID = e.idEnquiry "
                      "ORDER BY e.cCode, c.idEnquiryColumn"),
        QStringList({ "CPY|a|1|1", "CPY|b|0|2", "IQSYS|a|0|1", "IQSYS|b|0|2", "NEW1|z|1|1",
            "SRC|a|1|1", "SRC|b|0|2" }));
    EXPECT_EQ(db.rows("SELECT cSQLStatement FROM _iptblEasyEnquiry WHERE cCode = 'IQSYS'"),
        QStringList { "select 1 as a, 2 as b" });
    EXPECT_TRUE(RegIni::ReadString("frmIPEasyEnquiryView_IQSYS", "DefaultOpts", "").isEmpty());
}

TEST_F(EditorWindowTest, CancelWritesNothingAfterEveryKindOfChange)
{
    const int id = db.insertEnquiry(
        "KEEP", "select 1 as a, 2 as b where 1 = @x", "Kept", { { "x", 4, "7" } });
    db.insertColumns(id, { { "a", true }, { "b", true } });
    const QStringList before = db.definitionsAndLog();
    Edit(id, false, true, [&](QDialog &editor) {
        Type(editor, "edtDescription", "changed");
        // Enter in a field goes on to the next one rather than saving.
        QTest::keyClick(editor.findChild<QLineEdit *>("edtDescription"), Qt::Key_Return);
        EXPECT_TRUE(editor.isVisible());
        EXPECT_EQ(editor.focusWidget()->objectName(), "cbxPayerGroups");
        editor.findChild<QComboBox *>("cbxType")->setCurrentText("Brand new type");
        TypeOrder(editor, 1, 1);
        SetStatement(editor, "select 3 as c where 1 = @y");
        Click(editor, "btnCancel");
    });
    EXPECT_EQ(db.definitionsAndLog(), before);
}

// Each row is refused by the editor window and by corvane-iq with the same text, and neither
// writes a row.
TEST_F(EditorWindowTest, RefusalsAreTheSameInTheWindowAndOnTheCommandLine)
{
    db.insertEnquiry("TAKEN", "select 1 as a");
    const struct
    {
        const char *code;
        const char *sql;
        QStringList texts; // in the order shown
    } rows[] = {
        { "taken", "select 1 as a", { "Code already exists." } },
        { "", "select 1 as a", { "The Code may not be blank." } },
        { "iqNEW", "select 1 as a",
            { "You cannot add the reserved IQ! The code can not begin with \"IQ\"!" } },
        { "'OR''='", "select 1 as a", { "An apostrophe (') is not allowed here." } },
        { "NEW", "select nosuch from _iptblPayerGroups",
            { "IQ Error: no such column: nosuch",
                "There are errors in the SQL Statement. Statement can not be saved!" } },
        { "NEW", "select @[a@b] as a",
            { "IQ Error: \"[\", \"]\" and \"@\" are not allowed in parameter names!",
                "There are errors in the SQL Statement. Statement can not be saved!" } },
        { "NEW", "", { "SQL Statement can not be empty!" } },
    };
    const QStringList before = db.definitionsAndLog();
    for (const auto &row : rows) {
        SCOPED_TRACE(row.code + std::string(" ") + row.sql);
        Edit(0, false, true, [&](QDialog &editor) {
            Type(editor, "edtCode", row.code);
            if (*row.sql)
                SetStatement(editor, row.sql);
            Click(editor, "btnOK");
            EXPECT_TRUE(editor.isVisible());
        });
        EXPECT_EQ(script.takeMessages(), row.texts);
        EXPECT_EQ(db.definitionsAndLog(), before);

        QStringList arguments { "--agent", "boss", "--payroll", db.payrollPath(), "--common",
            db.path("common.db"), "add", "--code", row.code };
        if (*row.sql)
            arguments << "--sql" << row.sql;
        const CliResult cli = CliProcess(CORVANE_IQ_BIN, db.path(".")).run(arguments, "boss");
        EXPECT_NE(cli.exitCode, 0);
        EXPECT_EQ(cli.err.split('\n', Qt::SkipEmptyParts), row.texts);
        EXPECT_EQ(db.definitionsAndLog(), before);
    }
}

TEST_F(EditorWindowTest, StoredStatementThatNoLongerCompilesIsReportedAndBlocksSaving)
{
    const int id = db.insertEnquiry("GONE", "select a from gone", "Gone");
    const QStringList before = db.definitionsAndLog();
    Edit(id, false, true, [&](QDialog &editor) {
        EXPECT_FALSE(Button(editor, "btnSelect")->isEnabled());
        Click(editor, "btnOK");
        SetStatement(editor, "select a from gone"); // confirmed unchanged: told again
        Click(editor, "btnOK");
        SetStatement(editor, "select 1 as a");
        EXPECT_TRUE(Button(editor, "btnSelect")->isEnabled());
        Click(editor, "btnOK");
    });
    const QString error = "IQ Error: no such table: gone";
    const QString blocked = "There are errors in the SQL Statement. Statement can not be saved!";
    EXPECT_EQ(script.takeMessages(), QStringList({ error, blocked, error, blocked }));
    EXPECT_NE(db.definitionsAndLog(), before);
    EXPECT_EQ(db.rows("SELECT cSQLStatement FROM _iptblEasyEnquiry WHERE idEnquiry = ?",
                  { std::int64_t(id) }),
        QStringList { "select 1 as a" });
}

TEST_F(EditorWindowTest, StatementDialogRefusesKeywordsAndStaysReadOnlyForSystemRecords)
{
    QString statement = "select 1 as a";
    script.onModal("TfrmIPEasySQLStatement", [](QDialog &dialog) {
        auto *memo = dialog.findChild<QPlainTextEdit *>("emSQLStatement");
        memo->setPlainText("select * from t -- then\nDELETE it");
        Click(dialog, "btnOK");
        EXPECT_TRUE(dialog.isVisible());
        memo->setPlainText("select lastupdate from users --DELETE");
        Click(dialog, "btnOK");
    });
    EXPECT_TRUE(DoIPEasySQLStatement(statement, true, "\"A - B\""));
    EXPECT_EQ(statement, "select lastupdate from users --DELETE");
    EXPECT_EQ(
        script.takeMessages(), QStringList { "\"DELETE\" is not allowed in the SQL Statement!" });

    script.onModal("TfrmIPEasySQLStatement", [](QDialog &dialog) {
        EXPECT_EQ(dialog.windowTitle(), "IQ SQL Statement for \"A - B\"");
        EXPECT_FALSE(Button(dialog, "btnOK")->isEnabled());
        EXPECT_FALSE(Button(dialog, "btnOK")->toolTip().isEmpty());
        EXPECT_TRUE(dialog.findChild<QPlainTextEdit *>("emSQLStatement")->isReadOnly());
        QTest::keyClick(&dialog, Qt::Key_Return);
    });
    EXPECT_FALSE(DoIPEasySQLStatement(statement, false, "\"A - B\""));
    EXPECT_EQ(statement, "select lastupdate from users --DELETE");
}

TEST_F(EditorWindowTest, ColumnOrdersRenumberAndStoredSettingsComeBackWithNewColumnsLast)
{
    const int id = db.insertEnquiry("COLS", "select 1 as a", "Columns");
    db.insertColumns(id, { { "a", true } });
    Edit(id, false, true, [&](QDialog &editor) {
        SetStatement(editor,
            "select 1 as c1, 2 as c2, 3 as c3, 4 as c4, 5 as c5, 6 as c6, 7 as c7, 8 as c8, "
            "9 as c9, 10 as c10, 11 as c11, 12 as c12");
        const QStringList columns = Columns(editor);
        EXPECT_EQ(columns.size(), 12);
        EXPECT_EQ(columns.value(9), "c10 x 10");
        EXPECT_EQ(columns.value(10), "c11 - 11");
        TypeOrder(editor, 3, 2); // 4 to 2: 2 and 3 move on
        TypeOrder(editor, 0, 40); // to an unused number: nothing else moves
        Click(editor, "btnOK");
    });
    db.exec("UPDATE _iptblEasyEnquiry SET cSQLStatement = "
            "'select 1 as c4, 2 as new1, 3 as c1, 4 as new2' WHERE idEnquiry = ?",
        { std::int64_t(id) });
    Edit(id, false, true, [&](QDialog &editor) {
        EXPECT_EQ(Columns(editor), QStringList({ "c4 x 2", "new1 - 41", "c1 x 40", "new2 - 42" }));
        Click(editor, "btnSelect");
        EXPECT_EQ(Columns(editor).filter(" - ").size(), 0);
        Click(editor, "btnOK");
    });
    EXPECT_EQ(db.rows("SELECT cColumnName, bShow, iOrder FROM _iptblEasyEnquiryColumn "
                      "WHERE iEnquiryID = ? ORDER BY idEnquiryColumn",
                  { std::int64_t(id) }),
        QStringList({ "c4|1|2", "new1|1|41", "c1|1|40", "new2|1|42" }));
}

TEST_F(EditorWindowTest, ParameterDefinitionsSurviveAStatementChangeAndAreSaved)
{
    const int id = db.insertEnquiry("PRM", "select 1 as a where 1 = @From and 2 = @Gone", "Prm",
        { { "From", 4, "7" }, { "Gone", 1, "x" } });
    Edit(id, false, true, [&](QDialog &editor) {
        SetStatement(editor, "select 1 as a where 1 = @from and 2 = @New and 3 = @FROM");
        script.onModal("TfrmIPEasyEnquiryParamDlg", [](QDialog &dialog) {
            EXPECT_EQ(dialog.windowTitle(), "Modify Enquiry Parameters for \"PRM - Prm\"");
            QAbstractItemModel *model = dialog.findChild<QTableView *>()->model();
            ASSERT_EQ(model->rowCount(), 2); // sorted by name: from, New
            model->setData(model->index(1, 1), "Text");
            model->setData(model->index(1, 2), "abc");
            Click(dialog, "btnOK");
        });
        Click(editor, "btnParameter");
        Click(editor, "btnOK");
    });
    EXPECT_EQ(script.takeMessages(), QStringList());
    EXPECT_EQ(db.rows("SELECT cDescription, iSQLTypeID, cValue FROM _iptblEasyEnquiryParam "
                      "WHERE iEnquiryID = ? ORDER BY idEnquiryParam",
                  { std::int64_t(id) }),
        QStringList({ "from|4|7", "New|1|abc" }));
}

TEST_F(EditorWindowTest, AgentWithoutAdministratorFlagSavesFieldsButNotTheStatement)
{
    const int id
        = db.insertEnquiry("CLRK", "select 1 as a where 1 = @x", "Before", { { "x", 1, "" } });
    db.signIn("clerk");
    Edit(id, false, true, [&](QDialog &editor) {
        for (const char *name : { "btnSQLStatement", "btnParameter" }) {
            SCOPED_TRACE(name);
            EXPECT_FALSE(Button(editor, name)->isEnabled());
            EXPECT_TRUE(Button(editor, name)->toolTip().contains("administrator"));
        }
        Type(editor, "edtDescription", "After");
        Click(editor, "btnOK");
    });
    EXPECT_EQ(db.rows("SELECT cDescription FROM _iptblEasyEnquiry WHERE idEnquiry = ?",
                  { std::int64_t(id) }),
        QStringList { "After" });
}

} // namespace
