#include "ListFixture.h"

#include "host/core/Agent.h"
#include "list/ui/TfrmIPEasyEnquiry.h"
#include "run/EnquiryChangeMessage.h"
#include "store/TqryIPEasyEnquiry.h"

#include <QAction>

class ListRefreshTest : public ListFixture
{
};

TEST_F(ListRefreshTest, ExchangeCommandsFollowTheAgentsRights)
{
    insertEnquiry("TRIGHT", "Rights");
    const struct
    {
        const char *name;
        bool signedIn;
        bool administrator;
        std::vector<int> functions;
        bool emptyList;
        bool exportOn;
        bool importOn;
        bool gridSaveOn;
    } rows[] = {
        { "administrator", true, true, {}, false, true, true, true },
        { "without 2602", true, false, { 2601 }, false, false, false, false },
        { "with 2602", true, false, { 2601, 2602 }, false, true, true, false },
        { "nobody signed in", false, false, {}, false, false, false, true },
        { "with 2602, nothing focused", true, false, { 2601, 2602 }, true, false, true, false },
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
        EXPECT_EQ(command(list, "mniExport")->isEnabled(), row.exportOn);
        EXPECT_EQ(command(list, "mniImport")->isEnabled(), row.importOn);
        EXPECT_EQ(command(list, "mniGridSave")->isEnabled(), row.gridSaveOn);
        EXPECT_TRUE(command(list, "mniMaintAdd")->isEnabled());
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
