#include "ListFixture.h"

#include "host/core/Agent.h"
#include "list/ui/TfrmIPEasyEnquiry.h"
#include "run/EnquiryChangeMessage.h"
#include "store/TqryIPEasyEnquiry.h"

#include <QAction>

class ListRefreshTest : public ListFixture
{
};

// A greyed command says why in its tooltip, under its hint.
TEST_F(ListRefreshTest, ExchangeCommandsFollowTheAgentsRightsAndSayWhyNot)
{
    insertEnquiry("TRIGHT", "Rights");
    const QString refused = "\nThe agent \"%1\" may not export or import IQs (right 2602).";
    const QString noRow = "\nNo row is selected.";
    const QString adminOnly = "Save Grid\nOnly an administrator may save the grid.";
    const struct
    {
        const char *name;
        bool signedIn;
        bool administrator;
        std::vector<int> functions;
        bool emptyList;
        QString exportTip; // a reason after the hint: disabled
        QString importTip;
        QString gridSaveTip;
    } rows[] = {
        { "administrator", true, true, {}, false, "Export", "Import", "Save Grid" },
        { "without 2602", true, false, { 2601 }, false, "Export" + refused.arg("without 2602"),
            "Import" + refused.arg("without 2602"), adminOnly },
        { "with 2602", true, false, { 2601, 2602 }, false, "Export", "Import", adminOnly },
        { "nobody signed in", false, false, {}, false, "Export\nNobody is signed in.",
            "Import\nNobody is signed in.", "Save Grid" },
        { "with 2602, nothing focused", true, false, { 2601, 2602 }, true, "Export" + noRow,
            "Import", adminOnly },
    };
    for (const auto &row : rows) {
        SCOPED_TRACE(row.name);
        SignOut();
        if (row.signedIn) {
            db.addAgent(
                row.name, { .administrator = row.administrator, .functions = row.functions });
            db.signIn(row.name);
        }
        if (row.emptyList)
            db.exec("DELETE FROM _iptblEasyEnquiry");
        TfrmIPEasyEnquiry *list = openList();
        EXPECT_EQ(list->HasFocusedRecord(), !row.emptyList);
        for (const auto &[name, tip] : { std::pair { "mniExport", row.exportTip },
                 { "mniImport", row.importTip }, { "mniGridSave", row.gridSaveTip } }) {
            EXPECT_EQ(command(list, name)->toolTip(), tip) << name;
            EXPECT_EQ(command(list, name)->isEnabled(), !tip.contains('\n')) << name;
        }
        EXPECT_TRUE(command(list, "mniMaintAdd")->isEnabled());
        EXPECT_EQ(
            command(list, "mniMaintEdit")->toolTip(), row.emptyList ? "Edit" + noRow : "Edit");
    }
}

TEST_F(ListRefreshTest, ChangeMessageRefreshesEveryOpenListAndMovesOnlyTheOneThatAsked)
{
    insertEnquiry("TMOV-A", "A");
    TfrmIPEasyEnquiry *adding = openList();
    TfrmIPEasyEnquiry *watching = openList();
    ASSERT_TRUE(focus(adding, "TMOV-A"));
    ASSERT_TRUE(focus(watching, "TMOV-A"));
    const int before = query(watching)->RecordCount();

    command(adding, "mniMaintAdd")->trigger(); // the editor would save and send the message
    script.takeMessages();
    const int added = insertEnquiry("TMOV-Z", "Z");
    PostEasyEnquiryChanged(added);
    EXPECT_EQ(query(watching)->RecordCount(), before); // posted: nothing happens yet
    deliverPostedMessages();
    EXPECT_EQ(query(adding)->RecordCount(), before + 1);
    EXPECT_EQ(query(watching)->RecordCount(), before + 1);
    EXPECT_EQ(focusedCode(adding), "TMOV-Z");
    EXPECT_EQ(focusedCode(watching), "TMOV-A");
    EXPECT_FALSE(adding->RelocateFlag());
    EXPECT_TRUE(script.takeMessages().isEmpty());

    // An id no list holds refreshes them all the same; the flag is spent, so the next change
    // leaves the list where it is.
    ASSERT_TRUE(focus(adding, "TMOV-A"));
    insertEnquiry("TMOV-B", "B");
    PostEasyEnquiryChanged(987654);
    deliverPostedMessages();
    EXPECT_EQ(query(watching)->RecordCount(), before + 2);
    PostEasyEnquiryChanged(added);
    deliverPostedMessages();
    EXPECT_EQ(focusedCode(adding), "TMOV-A");
}
