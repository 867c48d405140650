#include "TestDatabases.h"

#include "host/core/Agent.h"
#include "host/core/Log.h"
#include "host/ui/TfrmMessageLogViewer.h"

#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QRegularExpression>
#include <QTableWidget>
#include <QTest>

#include <gtest/gtest.h>

namespace {

TEST(TfrmMessageLogViewerTest, RowsReadAsWordsAndSearchCoversEveryColumn)
{
    TestDatabases databases;
    databases.addAgent("payclerk");
    databases.signIn("payclerk");
    AddToLog("IQ Import Error when save record!", 89, 2, nullptr, false, "x.xml");
    SignOut();
    AddToLog("Import 2 records. Accept 1 records.", 89, 0);

    QPointer<TfrmMessageLogViewer> viewer = DoMessageLogViewer();
    auto *grid = viewer->findChild<QTableWidget *>("grdLog");
    ASSERT_EQ(grid->rowCount(), 2);
    // Newest first: logged | agent | type | severity
    const QString logged = grid->item(1, 0)->text();
    EXPECT_TRUE(QRegularExpression(R"(^\d\d/\d\d/\d{4} \d\d:\d\d:\d\d$)").match(logged).hasMatch());
    EXPECT_EQ(grid->item(1, 1)->text() + "|" + grid->item(1, 2)->text() + "|"
            + grid->item(1, 3)->text() + "|" + grid->item(0, 3)->text(),
        "payclerk|IQ Import|Error|Information");

    auto *search = viewer->findChild<QLineEdit *>("edtSearch");
    auto *hint = viewer->findChild<QLabel *>("lblNoEntries");
    const struct
    {
        const char *search;
        int rows;
    } rows[] = {
        { "ACCEPT", 1 }, // text, in any letter case
        { "X.XML", 1 }, // an extra text
        { "payCLERK", 1 }, // the agent
        { "information", 1 }, // the severity as shown
        { "iq import", 2 }, // the type as shown
        { "nothing", 0 },
    };
    for (const auto &row : rows) {
        SCOPED_TRACE(row.search);
        search->clear();
        QTest::keyClicks(search, row.search);
        EXPECT_EQ(viewer->VisibleRowCount(), row.rows);
        EXPECT_EQ(hint->isVisibleTo(viewer), row.rows == 0);
    }
    EXPECT_EQ(hint->text(), "No entries match \"nothing\".");

    QTest::keyClick(grid, Qt::Key_Escape);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(viewer.isNull());
}

} // namespace
