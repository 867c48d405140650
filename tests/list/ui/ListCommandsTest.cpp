#include "ListFixture.h"

#include "list/ui/TfrmIPEasyEnquiry.h"
#include "store/TqryIPEasyEnquiry.h"

#include <QAction>
#include <QDialog>

class ListCommandsTest : public ListFixture
{
};

TEST_F(ListCommandsTest, ShowAsksForParameterValuesOnlyWhenTheIQHasParameters)
{
    insertEnquiry("TPARAM", "With parameters", { { "Name", 1, "abc" } });
    insertEnquiry("TPLAIN", "Without parameters");
    TfrmIPEasyEnquiry *list = openList();

    QString caption;
    script.onModal("TfrmIPEasyEnquiryParamDlg",
        [&](QDialog &dialog) { caption = dialog.windowTitle(); }); // then cancelled
    ASSERT_TRUE(focus(list, "TPARAM"));
    command(list, "mniGridShow")->trigger();
    EXPECT_EQ(caption, "Modify Enquiry Parameter Values for \"TPARAM - With parameters\"");
    EXPECT_EQ(script.pendingModals(), 0);
    EXPECT_EQ(windows("TfrmIPEasyEnquiryView"), 0);

    ASSERT_TRUE(focus(list, "TPLAIN"));
    command(list, "mniGridShow")->trigger();
    EXPECT_EQ(script.modalLog().size(), 1u);
    EXPECT_EQ(windows("TfrmIPEasyEnquiryView"), 1);

    script.onModal("TfrmIPEasyEnquiryParamDlg", [](QDialog &dialog) { dialog.accept(); });
    ASSERT_TRUE(focus(list, "TPARAM"));
    command(list, "mniGridShow")->trigger();
    EXPECT_EQ(windows("TfrmIPEasyEnquiryView"), 2);
    EXPECT_TRUE(script.unscriptedDialogs().isEmpty());
}

TEST_F(ListCommandsTest, EditAndCopyOpenTheEditorWithTheRightModes)
{
    const int system = insertEnquiry("iqT-SYS", "System list");
    const int normal = insertEnquiry("TNORMAL", "Normal list");
    TfrmIPEasyEnquiry *list = openList();
    const struct
    {
        const char *code;
        const char *command;
        QStringList messages;
        int id;
        bool copy;
        bool editable;
    } rows[] = {
        { "iqT-SYS", "mniMaintEdit",
            { "IQ \"System list\" is a system record and cannot be modified." }, system, false,
            false },
        { "iqT-SYS", "mniMaintCopy", {}, system, true, true },
        { "TNORMAL", "mniMaintEdit", {}, normal, false, true },
        { "TNORMAL", "mniMaintAdd", {}, 0, false, true },
    };
    for (const auto &row : rows) {
        SCOPED_TRACE(std::string(row.code) + " " + row.command);
        ASSERT_TRUE(focus(list, row.code));
        const std::size_t before = editorCalls.size();
        command(list, row.command)->trigger();
        EXPECT_EQ(script.takeMessages(), row.messages);
        ASSERT_EQ(editorCalls.size(), before + 1);
        const EditorCall call = editorCalls.back();
        EXPECT_EQ(call.enquiryId, row.id);
        EXPECT_EQ(call.copy, row.copy);
        EXPECT_EQ(call.editable, row.editable);
        EXPECT_TRUE(list->RelocateFlag());
        EXPECT_EQ(script.modalLog().back().className, "TfrmIPEasyEnquiryAddDlg");
    }
}

TEST_F(ListCommandsTest, DeleteAsksKeepsSystemRecordsAndMovesToTheNeighbour)
{
    insertEnquiry("IQT-KEEP", "Kept system IQ");
    insertEnquiry("TDEL-B", "Doomed", { { "Name", 1, "x" } });
    insertEnquiry("TDEL-A", "Before");
    insertEnquiry("TDEL-C", "After");
    TfrmIPEasyEnquiry *list = openList();
    const int before = db.count("SELECT count(*) FROM _iptblEasyEnquiry");

    const struct
    {
        const char *code;
        QMessageBox::StandardButton answer;
        QStringList messages;
        int deleted;
    } rows[] = {
        { "TDEL-B", QMessageBox::No, { "Delete Enquiry \"Doomed\" ?" }, 0 },
        { "IQT-KEEP", QMessageBox::Yes,
            { "Delete Enquiry \"Kept system IQ\" ?",
                "IQ \"Kept system IQ\" is a system record and cannot be deleted." },
            0 },
        { "TDEL-B", QMessageBox::Yes, { "Delete Enquiry \"Doomed\" ?" }, 1 },
    };
    for (const auto &row : rows) {
        SCOPED_TRACE(row.code);
        ASSERT_TRUE(focus(list, row.code));
        script.answer(row.answer);
        command(list, "mniMaintDelete")->trigger();
        EXPECT_EQ(script.takeMessages(), row.messages);
        EXPECT_EQ(db.count("SELECT count(*) FROM _iptblEasyEnquiry"), before - row.deleted);
    }
    EXPECT_EQ(focusedCode(list), "TDEL-C"); // the next row of the grid
    EXPECT_EQ(query(list)->RecordCount(), before - 1);
}

TEST_F(ListCommandsTest, CommandsOnTheFocusedIQDoNothingWithoutOne)
{
    db.exec("DELETE FROM _iptblEasyEnquiry");
    TfrmIPEasyEnquiry *list = openList();
    ASSERT_FALSE(list->HasFocusedRecord());
    for (const char *name :
        { "mniMaintEdit", "mniMaintCopy", "mniMaintDelete", "mniNotes", "mniGridShow" }) {
        SCOPED_TRACE(name);
        EXPECT_FALSE(command(list, name)->isEnabled());
        command(list, name)->trigger();
    }
    EXPECT_TRUE(script.takeMessages().isEmpty());
    EXPECT_TRUE(script.modalLog().empty());
    EXPECT_TRUE(editorCalls.empty());
    EXPECT_EQ(windows("TfrmIPEasyEnquiryView"), 0);

    command(list, "mniMaintAdd")->trigger();
    EXPECT_EQ(editorCalls.size(), 1u);
}
