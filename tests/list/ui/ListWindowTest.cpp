#include "Click.h"
#include "ListFixture.h"

#include "host/core/RegIni.h"
#include "host/ui/TmxGrid.h"
#include "list/ui/TfrmIPEasyEnquiry.h"
#include "store/TqryIPEasyEnquiry.h"

#include <QAction>
#include <QCoreApplication>
#include <QDialog>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QTableView>
#include <QTest>

class ListWindowTest : public ListFixture
{
protected:
    static TmxGrid *grid(QWidget *list) { return list->findChild<TmxGrid *>("grdMaint"); }
};

TEST_F(ListWindowTest, ModalListRunsInsideAHostDialogAndIsFreedAfterwards)
{
    insertEnquiry("TMODAL", "Modal");
    QString caption, header;
    bool holdsRows = false;
    script.onModal("TfrmIPEasyEnquiry", [&](QDialog &dialog) {
        auto *list = dialog.findChild<TfrmIPEasyEnquiry *>();
        ASSERT_NE(list, nullptr);
        caption = dialog.windowTitle();
        header = list->findChild<QLabel *>("lblCaption")->text() + "/"
            + list->findChild<QLabel *>("lblSubCaption")->text();
        holdsRows = focus(list, "TMODAL");
        EXPECT_EQ(list->SelectedList(), 77);
    });
    DoIPEasyEnquiry(true, 77, false);
    EXPECT_EQ(caption, "IQ");
    EXPECT_EQ(header, "IQ/IQ List");
    EXPECT_TRUE(holdsRows);
    EXPECT_TRUE(script.unscriptedDialogs().isEmpty());
    EXPECT_EQ(windows("TfrmIPEasyEnquiry"), 0);
}

TEST_F(ListWindowTest, GridLayoutIsKeptPerUserUnlessReset)
{
    TfrmIPEasyEnquiry *list = openList();
    TmxGrid *first = grid(list);
    const int company = first->ColumnByField("cCompany");
    const int database = first->ColumnByField("cDatabase");
    EXPECT_FALSE(first->ColumnVisible(database));
    first->SetColumnWidth(company, 250);
    first->SetColumnVisible(database, true);
    list->close();
    EXPECT_TRUE(RegIni::ValueExists("frmIPEasyEnquiry", "vwMaint"));

    TfrmIPEasyEnquiry *again = openList();
    EXPECT_EQ(grid(again)->ColumnWidth(company), 250);
    EXPECT_TRUE(grid(again)->ColumnVisible(database));
    again->SetResetRegistry(true);
    again->close();
    EXPECT_FALSE(RegIni::SectionExists("frmIPEasyEnquiry"));

    TfrmIPEasyEnquiry *fresh = openList();
    EXPECT_EQ(grid(fresh)->ColumnWidth(company), 166);
    EXPECT_FALSE(grid(fresh)->ColumnVisible(database));
}

// The query's first record is not the top row of a list sorted by code; codes wider than the
// column's first width were cut; the description kept its width whatever the window's.
TEST_F(ListWindowTest, ListOpensOnItsTopRowWithWholeCodesAndADescriptionThatWidens)
{
    insertEnquiry("WWWWWWWWWW", "Wide code");
    insertEnquiry("0TOP", "Top row");
    TfrmIPEasyEnquiry *list = openList();
    list->resize(1200, 500); // room for every column
    QCoreApplication::processEvents(); // the view lays out its scroll bars
    TmxGrid *maint = grid(list);
    EXPECT_EQ(focusedCode(list), "0TOP");
    EXPECT_EQ(list->focusWidget(), maint->View());

    const int code = maint->ColumnByField("cCode");
    const int description = maint->ColumnByField("cDescription");
    const int company = maint->ColumnByField("cCompany");
    EXPECT_GT(
        maint->ColumnWidth(code), maint->View()->fontMetrics().horizontalAdvance("WWWWWWWWWW"));
    const QHeaderView *header = maint->View()->horizontalHeader();
    EXPECT_EQ(header->length(), maint->View()->viewport()->width()); // the columns fill the view
    const int width = list->width();
    const int narrow = maint->ColumnWidth(description);
    list->resize(width + 300, list->height());
    EXPECT_EQ(maint->ColumnWidth(description), narrow + 300);
    EXPECT_EQ(maint->ColumnWidth(company), 166);
    EXPECT_EQ(header->length(), maint->View()->viewport()->width());

    // Kept at its own width, not at what it took from the wider window.
    list->close();
    TfrmIPEasyEnquiry *again = openList();
    QCoreApplication::processEvents();
    again->resize(width, again->height());
    EXPECT_EQ(grid(again)->ColumnWidth(description), narrow);
}

TEST_F(ListWindowTest, SearchBoxLocatesByCodeAsThePersonTypes)
{
    insertEnquiry("TSR-B", "B");
    insertEnquiry("TSR-AB", "AB");
    insertEnquiry("TSR-AA", "AA");
    TfrmIPEasyEnquiry *list = openList();
    command(list, "mniSearch")->trigger();
    auto *search = list->findChild<QLineEdit *>("edtSearch");
    QTest::keyClicks(search, "tsr-a");
    EXPECT_EQ(focusedCode(list), "TSR-AA");
    QTest::keyClicks(search, "b");
    EXPECT_EQ(focusedCode(list), "TSR-AB");
    auto *status = list->findChild<QLabel *>("lblSearchStatus");
    EXPECT_EQ(status->text(), "");
    QTest::keyClicks(search, "x"); // no code begins so: the list says so and stays
    EXPECT_EQ(focusedCode(list), "TSR-AB");
    EXPECT_EQ(status->text(), "No Code begins with \"tsr-abx\".");
    QTest::keyClick(search, Qt::Key_Backspace);
    EXPECT_EQ(status->text(), "");
    QTest::keyClick(search, Qt::Key_Return); // on to the row found
    EXPECT_EQ(list->focusWidget(), grid(list)->View());
}

TEST_F(ListWindowTest, DoubleClickShowsOnlyOverARowAndWhenShowIsEnabled)
{
    insertEnquiry("TDBL", "Double");
    TfrmIPEasyEnquiry *list = openList();
    list->resize(800, 1200);
    QTableView *view = grid(list)->View();
    ASSERT_TRUE(focus(list, "TDBL"));
    const QModelIndex cell = view->currentIndex();
    ASSERT_TRUE(cell.isValid());

    const QModelIndex last = view->model()->index(view->model()->rowCount() - 1, cell.column());
    const QPoint belowRows(
        view->visualRect(last).center().x(), view->visualRect(last).bottom() + 10);
    ASSERT_LT(belowRows.y(), view->viewport()->height());
    QTest::mouseDClick(view->viewport(), Qt::LeftButton, {}, belowRows);
    EXPECT_EQ(windows("TfrmIPEasyEnquiryView"), 0);

    command(list, "mniGridShow")->setEnabled(false);
    QTest::mouseDClick(view->viewport(), Qt::LeftButton, {}, view->visualRect(cell).center());
    EXPECT_EQ(windows("TfrmIPEasyEnquiryView"), 0);

    command(list, "mniGridShow")->setEnabled(true);
    QTest::mouseDClick(view->viewport(), Qt::LeftButton, {}, view->visualRect(cell).center());
    EXPECT_EQ(windows("TfrmIPEasyEnquiryView"), 1);
}

TEST_F(ListWindowTest, NotesAreKeptUnderTheEnquiryTableAndShowInTheList)
{
    insertEnquiry("TNOTE", "With a note");
    TfrmIPEasyEnquiry *list = openList();
    ASSERT_TRUE(focus(list, "TNOTE"));
    EXPECT_TRUE(query(list)->FieldByName("idNotes").IsNull());
    script.onModal("TfrmNotes", [](QDialog &dialog) {
        QTest::keyClicks(dialog.findChild<QPlainTextEdit *>("edtNote"), "checked by payroll");
        Click(dialog, "btnAdd");
    });
    command(list, "mniNotes")->trigger();
    EXPECT_EQ(focusedCode(list), "TNOTE");
    EXPECT_FALSE(query(list)->FieldByName("idNotes").IsNull());
}

TEST_F(ListWindowTest, WithoutRight2601TheListDoesNotOpen)
{
    insertEnquiry("TRIGHT", "Rights");
    db.addAgent("nolist", { .functions = { 2602 } });
    db.signIn("nolist");
    DoIPEasyEnquiry(false, 0, false);
    DoIPEasyEnquiry(true, 0, false);
    EXPECT_EQ(script.takeMessages(),
        QStringList(2, "The agent \"nolist\" may not use the IQ list (right 2601)."));
    EXPECT_EQ(windows("TfrmIPEasyEnquiry"), 0);
    EXPECT_TRUE(script.unscriptedDialogs().isEmpty());
}
