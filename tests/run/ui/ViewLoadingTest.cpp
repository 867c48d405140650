#include "ChooseFile.h"
#include "FileBytes.h"
#include "TestDatabases.h"
#include "TopWindows.h"

#include "host/db/dataset/BackgroundLoad.h"
#include "host/ui/HostScript.h"
#include "host/ui/TmxGrid.h"
#include "host/ui/TmxGridModel.h"
#include "package/PackageWindows.h"
#include "run/EnquiryWindows.h"
#include "run/ui/TfrmIPEasyEnquiryView.h"

#include <QAction>
#include <QDialog>
#include <QLabel>
#include <QLocale>
#include <QMessageBox>
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
        CloseWindows({ "TfrmIPEasyEnquiryView" });
    }

    // Runs the IQ the way the list does and returns its window once the load stands at the
    // pause with every row read shown.
    TfrmIPEasyEnquiryView *runToPause(const QString &code, const char *sql)
    {
        const int id = db.insertEnquiry(code, sql);
        db.insertColumns(id, { { "iNumber", true }, { "iDown", true } });
        auto *view = OpenedWindow<TfrmIPEasyEnquiryView>([id] { DoIPEasyEnquiryView(id); });
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

// The engine's error reaches the person, and the rows read before it stay, marked partial in
// the window and the log; the chart, which would run into the same error, is off.
TEST_F(ViewLoadingTest, StatementFailingAfter100000RowsKeepsTheRowsMarkedPartial)
{
    TfrmIPEasyEnquiryView *view = runToPause("LOADFAIL",
        "with recursive n(i) as (select 1 union all select i + 1 from n where i < 200000) "
        "select i as iNumber, case when i <= 100000 then i "
        "else abs(i - i - 9223372036854775807 - 1) end as iDown from n");
    ASSERT_TRUE(view);
    QSignalSpy ended(view, &TfrmIPEasyEnquiryView::LoadEnded);
    BackgroundLoad::ResumePaused();
    ASSERT_TRUE(ended.wait(10000));
    const QString rowsText = QLocale().toString(100000);
    EXPECT_EQ(script.takeMessages(),
        QStringList { "The IQ stopped with an error after " + rowsText
            + " rows:\r\n\r\ninteger overflow\r\n\r\nThe " + rowsText
            + " rows read before it are shown, marked as partial: they are not the whole "
              "result." });
    EXPECT_EQ(rows(view), 100000);
    EXPECT_EQ(cell(view, 99999, 1).toInt(), 100000);
    EXPECT_EQ(state(view), "partial: loading failed after " + rowsText + " rows");
    EXPECT_FALSE(view->findChild<QAction *>("mniGridChart")->isEnabled());
    const QStringList logged = db.rows(db.common(),
        "select cText || ' | ' || cExtra1 || ' | ' || iSeverity from _btblLog "
        "where iLogType = 117");
    ASSERT_EQ(logged.size(), 1);
    EXPECT_TRUE(QRegularExpression("^FailIQ_LOADFAIL \\d+ ms, partial result of 100000 rows "
                                   "\\| integer overflow \\| 2$")
                    .match(logged.first())
                    .hasMatch())
        << logged.first().toStdString();

    // Save Grid asks first; No writes nothing and opens no file dialog.
    script.answer(QMessageBox::No);
    view->findChild<QAction *>("mniGridSave")->trigger();
    EXPECT_EQ(script.takeMessages(),
        QStringList { "The result is partial: loading failed after " + rowsText
            + " rows.\r\n\r\nSave only the " + rowsText + " rows loaded?" });
}

// A stopped result says so before its rows leave the window: Save Grid saves the part only when
// the person says yes, and the chart (which reads the whole result again) asks too. Sorting
// works on the rows shown, still marked partial.
TEST_F(ViewLoadingTest, PartialRowsLeaveTheWindowOnlyWhenThePersonAgrees)
{
    std::vector<QString> charted;
    IQWindows().chart = [&](int, const QString &, const QString &, const QString &columns) {
        charted.push_back(columns);
    };
    TfrmIPEasyEnquiryView *view = runToPause("LOADPART", kCounting);
    ASSERT_TRUE(view);
    QSignalSpy ended(view, &TfrmIPEasyEnquiryView::LoadEnded);
    QTest::mouseClick(view->findChild<QPushButton *>("btnStopLoading"), Qt::LeftButton);
    ASSERT_TRUE(ended.wait(10000));

    grid(view)->SetSortColumn(1, Qt::AscendingOrder);
    EXPECT_EQ(cell(view, 0, 0).toInt(), kPausedRows);
    EXPECT_EQ(state(view),
        "partial: loading was stopped after " + QLocale().toString(kPausedRows) + " rows");

    const QString path = db.path("part.csv");
    ChooseFile(script, "dlgSaveGrid", path);
    script.answer(QMessageBox::Yes);
    view->findChild<QAction *>("mniGridSave")->trigger();
    ASSERT_EQ(script.takeMessages().size(), 1);
    const QList<QByteArray> lines = ReadFile(path).split('\n');
    ASSERT_EQ(lines.size(), kPausedRows + 2); // captions, rows, the empty rest
    EXPECT_EQ(lines[1], "50000,150000\r");

    script.answer(QMessageBox::No);
    view->findChild<QAction *>("mniGridChart")->trigger();
    const QStringList asked = script.takeMessages();
    ASSERT_EQ(asked.size(), 1);
    EXPECT_TRUE(asked.first().startsWith("The grid holds only the "
        + QLocale().toString(kPausedRows) + " rows loaded before loading was stopped."));
    EXPECT_TRUE(charted.empty());
    script.answer(QMessageBox::Yes);
    view->findChild<QAction *>("mniGridChart")->trigger();
    EXPECT_EQ(charted, std::vector<QString> { "iNumber,iDown" });
}

} // namespace
