#include "TestDatabases.h"

#include "host/db/dataset/BackgroundLoad.h"
#include "host/ui/HostScript.h"
#include "host/ui/TmxGrid.h"
#include "host/ui/TmxGridModel.h"
#include "package/PackageWindows.h"
#include "run/ui/TfrmIPEasyEnquiryView.h"

#include <QAction>
#include <QApplication>
#include <QDialog>
#include <QLabel>
#include <QLocale>
#include <QPointer>
#include <QPushButton>
#include <QRegularExpression>
#include <QSignalSpy>
#include <QTest>

#include <gtest/gtest.h>

namespace {

// 200,000 rows counting up, iDown counting down beside them.
const char *const kCounting
    = "with recursive n(i) as (select 1 union all select i + 1 from n where i < 200000) "
      "select i as iNumber, 200000 - i as iDown from n";

// Result windows whose rows arrive while the test acts: every load stands still at 50,000 rows
// until the test lets it go on, so "mid-load" is a fixed point and nothing sleeps.
class ViewLoadingTest : public ::testing::Test
{
protected:
    static constexpr int kPausedRows = 50000;

    void SetUp() override
    {
        InstallEnquiryWindows();
        BackgroundLoad::PauseLoadsAt(kPausedRows);
    }

    void TearDown() override
    {
        BackgroundLoad::PauseLoadsAt(0);
        BackgroundLoad::ResumePaused();
        for (QWidget *widget : QApplication::topLevelWidgets()) {
            if (qobject_cast<TfrmIPEasyEnquiryView *>(widget) && widget->isVisible())
                widget->close();
        }
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }

    // Runs the IQ the way the list does and returns its window once the load stands at the
    // pause with every row read shown.
    TfrmIPEasyEnquiryView *runToPause(const QString &code, const char *sql)
    {
        const int id = db.insertEnquiry(code, sql);
        db.insertColumns(id, { { "iNumber", true }, { "iDown", true } });
        DoIPEasyEnquiryView(id);
        TfrmIPEasyEnquiryView *view = nullptr;
        for (QWidget *widget : QApplication::topLevelWidgets()) {
            if (auto *candidate = qobject_cast<TfrmIPEasyEnquiryView *>(widget))
                view = candidate->isVisible() ? candidate : view;
        }
        if (!view)
            return nullptr;
        BackgroundLoad::WaitUntilPaused();
        QSignalSpy shown(view, &TfrmIPEasyEnquiryView::RowsShown);
        while (rows(view) < kPausedRows) {
            if (!shown.wait(10000))
                return nullptr;
        }
        return view;
    }

    static TmxGrid *grid(TfrmIPEasyEnquiryView *view)
    {
        return view->findChild<TmxGrid *>("grdQueryView");
    }
    static int rows(TfrmIPEasyEnquiryView *view) { return grid(view)->Model()->rowCount(); }
    static QString state(TfrmIPEasyEnquiryView *view)
    {
        return view->findChild<QLabel *>("lblLoadState")->text();
    }
    static QVariant cell(TfrmIPEasyEnquiryView *view, int row, int column)
    {
        TmxGridModel *model = grid(view)->Model();
        return model->data(model->index(row, column), TmxGridModel::RawValueRole);
    }
    QStringList timingLines()
    {
        return db.rows(db.common(), "select cText from _btblLog where iLogType = 117");
    }

    TestDatabases db;
    HostScript script;
};

TEST_F(ViewLoadingTest, SortAskedWhileRowsArriveWaitsForTheWholeResult)
{
    TfrmIPEasyEnquiryView *view = runToPause("LOADSORT", kCounting);
    ASSERT_TRUE(view);
    EXPECT_TRUE(view->RowsLoading());
    EXPECT_EQ(state(view), "loading\u2026 " + QLocale().toString(kPausedRows) + " rows");
    EXPECT_EQ(cell(view, kPausedRows - 1, 0).toInt(), kPausedRows); // scrolls on what is there
    EXPECT_TRUE(timingLines().isEmpty()); // the run's line waits for the whole run

    bool waitedWhileLoading = false;
    script.onProgress([&](QDialog &) {
        waitedWhileLoading = view->RowsLoading();
        BackgroundLoad::ResumePaused();
    });
    grid(view)->SetSortColumn(1, Qt::AscendingOrder); // iDown: the last row comes first

    EXPECT_TRUE(waitedWhileLoading);
    EXPECT_FALSE(view->RowsLoading());
    EXPECT_EQ(rows(view), 200000);
    EXPECT_EQ(cell(view, 0, 0).toInt(), 200000);
    EXPECT_EQ(cell(view, 199999, 0).toInt(), 1);
    EXPECT_EQ(state(view), "complete");
    const QStringList logged = timingLines();
    ASSERT_EQ(logged.size(), 1);
    EXPECT_TRUE(QRegularExpression("^OpenIQ_LOADSORT \\d+ ms$").match(logged.first()).hasMatch())
        << logged.first().toStdString();
    EXPECT_TRUE(script.takeMessages().isEmpty());
}

// Both ways to stop a load keep the 50,000 rows read, say "partial" and log it; a filter whose
// wait was cancelled is not applied to the part.
TEST_F(ViewLoadingTest, StoppingALoadKeepsTheRowsReadMarkedPartial)
{
    const struct
    {
        const char *code;
        bool stopButton; // else Cancel in the progress window of a filter's wait
    } cases[] = { { "LOADSTOP", true }, { "LOADCANCEL", false } };
    for (const auto &row : cases) {
        SCOPED_TRACE(row.code);
        TfrmIPEasyEnquiryView *view = runToPause(row.code, kCounting);
        ASSERT_TRUE(view);
        if (row.stopButton) {
            QSignalSpy ended(view, &TfrmIPEasyEnquiryView::LoadEnded);
            QTest::mouseClick(view->findChild<QPushButton *>("btnStopLoading"), Qt::LeftButton);
            ASSERT_TRUE(ended.wait(10000));
        } else {
            script.onProgress([](QDialog &progress) {
                QTest::mouseClick(progress.findChild<QPushButton *>("btnCancel"), Qt::LeftButton);
            });
            EXPECT_FALSE(grid(view)->SetFilterText("iNumber > 10"));
            EXPECT_EQ(grid(view)->FilterText(), "");
        }
        EXPECT_FALSE(view->RowsLoading());
        EXPECT_EQ(rows(view), kPausedRows);
        EXPECT_EQ(state(view),
            "partial: loading was stopped after " + QLocale().toString(kPausedRows) + " rows");
        EXPECT_FALSE(view->findChild<QPushButton *>("btnStopLoading")->isVisible());
        const QStringList logged = timingLines();
        ASSERT_FALSE(logged.isEmpty());
        EXPECT_EQ(logged.last().section(' ', 0, 0), QString("CancelIQ_") + row.code);
        EXPECT_TRUE(logged.last().endsWith(" ms, partial result of 50000 rows"))
            << logged.last().toStdString();
        EXPECT_TRUE(script.takeMessages().isEmpty());
        view->close();
    }
}

TEST_F(ViewLoadingTest, ClosingWhileRowsArriveEndsTheLoadAndItsThread)
{
    QPointer<TfrmIPEasyEnquiryView> view = runToPause("LOADCLOSE", kCounting);
    ASSERT_TRUE(view);
    QTest::mouseClick(view->findChild<QPushButton *>("btnClose"), Qt::LeftButton);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(view.isNull()); // gone, its paused thread woken and joined
    const QStringList logged = timingLines();
    ASSERT_EQ(logged.size(), 1);
    EXPECT_TRUE(logged.first().startsWith("CancelIQ_LOADCLOSE "));
    EXPECT_TRUE(logged.first().endsWith(", partial result of 50000 rows"));
}

TEST_F(ViewLoadingTest, StatementFailingAfter100000RowsSaysSoAndShowsNoRows)
{
    TfrmIPEasyEnquiryView *view = runToPause("LOADFAIL",
        "with recursive n(i) as (select 1 union all select i + 1 from n where i < 200000) "
        "select i as iNumber, case when i <= 100000 then i "
        "else abs(i - i - 9223372036854775807 - 1) end as iDown from n");
    ASSERT_TRUE(view);
    QSignalSpy ended(view, &TfrmIPEasyEnquiryView::LoadEnded);
    BackgroundLoad::ResumePaused();
    ASSERT_TRUE(ended.wait(10000));
    EXPECT_EQ(script.takeMessages(),
        QStringList {
            "There was a problem running the IQ.\r\n\r\nPlease re-start Corvane and try again." });
    EXPECT_EQ(rows(view), 0);
    EXPECT_FALSE(view->findChild<QAction *>("mniGridChart")->isEnabled());
    EXPECT_EQ(state(view), "");
    EXPECT_TRUE(timingLines().isEmpty());
}

} // namespace
