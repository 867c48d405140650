#include "Click.h"
#include "PrintQt.h"
#include "TestDatabases.h"

#include "host/core/Notes.h"
#include "host/ui/HostScript.h"
#include "host/ui/TfrmNotes.h"

#include <QPlainTextEdit>
#include <QPushButton>
#include <QTableWidget>
#include <QTest>

#include <gtest/gtest.h>

namespace {

TEST(TfrmNotesTest, NotesAreAddedChangedAndDeletedForOneRow)
{
    TestDatabases databases;
    HostScript script;
    const int jane = databases.addAgent("Jane");
    databases.signIn("Jane");
    EXPECT_FALSE(NoteExists("_iptblEasyEnquiry", 5));

    script.onModal("TfrmNotes", [](QDialog &dlg) {
        auto *note = dlg.findChild<QPlainTextEdit *>("edtNote");
        EXPECT_EQ(note->toPlainText(), "Checked"); // the caller's text starts the new note
        note->clear();
        Click(dlg, "btnAdd"); // nothing typed: refused
        QTest::keyClicks(note, "Checked for payroll");
        Click(dlg, "btnAdd");
        auto *add = dlg.findChild<QPushButton *>("btnAdd");
        EXPECT_FALSE(add->isEnabled()); // the row has its note now, and the button says so
        EXPECT_EQ(add->toolTip(), "This row has its note: change it.");
        Click(dlg, "btnClose");
    });
    EXPECT_TRUE(DoNotesForm("_iptblEasyEnquiry", 5, true, "Checked"));
    EXPECT_EQ(script.takeMessages(), QStringList { "Please type the text of the note first." });
    EXPECT_TRUE(NoteExists("_iptblEasyEnquiry", 5));
    EXPECT_FALSE(NoteExists("_iptblEasyEnquiry", 6));
    EXPECT_EQ(databases.rows("select cNOTETBLTableName, fNOTETBLTableID, cNoteText, iAgentID "
                             "from _btblNotes"),
        QStringList { QString("_IPTBLEASYENQUIRY|5|Checked for payroll|%1").arg(jane) });

    // A note stored in lower case by another program belongs to the same row.
    databases.exec(
        "insert into _btblNotes (cNOTETBLTableName, fNOTETBLTableID, cNoteText, dtCreated) "
        "values ('_iptbleasyenquiry', 6, 'old', '2020-01-02 03:04:05')");
    EXPECT_TRUE(NoteExists("_IPTBLEASYENQUIRY", 6));

    script.onModal("TfrmNotes", [](QDialog &dlg) {
        auto *grid = dlg.findChild<QTableWidget *>("grdNotes");
        EXPECT_EQ(grid->rowCount(), 1);
        EXPECT_EQ(grid->item(0, 1)->text(), "Jane");
        auto *note = dlg.findChild<QPlainTextEdit *>("edtNote");
        EXPECT_EQ(note->toPlainText(), "Checked for payroll");
        note->setPlainText("");
        Click(dlg, "btnSave"); // emptied: refused
        note->setPlainText("Rechecked");
        Click(dlg, "btnSave");
        Click(dlg, "btnDelete"); // answered No
    });
    EXPECT_TRUE(DoNotesForm("_iptblEasyEnquiry", 5, false, ""));
    EXPECT_EQ(script.takeMessages(),
        QStringList({ "Please type the text of the note first.", "Delete the selected note?" }));
    EXPECT_EQ(databases.rows("select cNoteText from _btblNotes where fNOTETBLTableID = 5"),
        QStringList { "Rechecked" });

    script.answer(QMessageBox::Yes);
    script.onModal("TfrmNotes", [](QDialog &dlg) { Click(dlg, "btnDelete"); });
    EXPECT_TRUE(DoNotesForm("_iptblEasyEnquiry", 5, false, ""));
    EXPECT_FALSE(NoteExists("_iptblEasyEnquiry", 5));
    EXPECT_TRUE(NoteExists("_iptblEasyEnquiry", 6));
}

} // namespace
