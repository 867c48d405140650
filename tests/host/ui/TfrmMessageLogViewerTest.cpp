#include "TestDatabases.h"

#include "host/core/Log.h"
#include "host/ui/TfrmMessageLogViewer.h"

#include <QLineEdit>
#include <QTest>

#include <gtest/gtest.h>

namespace {

TEST(TfrmMessageLogViewerTest, SearchNarrowsTheRowsInAnyLetterCase)
{
    TestDatabases databases;
    AddToLog("IQ Import Error when save record!", 89, 2, nullptr, false, "x.xml");
    AddToLog("Import 2 records. Accept 1 records.", 89, 0);

    TfrmMessageLogViewer viewer;
    viewer.LoadLog();
    EXPECT_EQ(viewer.VisibleRowCount(), 2);
    auto *search = viewer.findChild<QLineEdit *>("edtSearch");
    QTest::keyClicks(search, "ACCEPT");
    EXPECT_EQ(viewer.VisibleRowCount(), 1);
    search->setText("X.XML"); // an extra text counts too
    EXPECT_EQ(viewer.VisibleRowCount(), 1);
    QTest::keyClicks(search, " nothing");
    EXPECT_EQ(viewer.VisibleRowCount(), 0);
}

} // namespace
