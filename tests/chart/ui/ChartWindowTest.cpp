#include "ChooseFile.h"
#include "Click.h"
#include "FileBytes.h"
#include "PrintQt.h"
#include "TestDatabases.h"
#include "TopWindows.h"
#include "chart/ChartTestSupport.h"

#include "chart/ChartExport.h"
#include "chart/ChartTemplate.h"
#include "chart/ui/ChartView.h"
#include "chart/ui/TfrmIPEasyEnquiryChart.h"
#include "host/core/RegIni.h"
#include "host/ui/HostScript.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QTest>
#include <QToolBar>

#include <gtest/gtest.h>

namespace {

const QString kSql = QStringLiteral("select cMonth, nPay, nNet from tMonths order by iSeq");
const QString kColumns = QStringLiteral("cMonth,nPay,nNet");
const QString kSection = QStringLiteral("frmIPEasyEnquiryChart_001");

QStringList listItems(QListWidget *list, bool tickedOnly)
{
    QStringList names;
    for (int row = 0; row < list->count(); ++row)
        if (!tickedOnly || list->item(row)->checkState() == Qt::Checked)
            names << list->item(row)->text();
    return names;
}

void tick(QListWidget *list, const QString &name, bool on)
{
    for (int row = 0; row < list->count(); ++row)
        if (list->item(row)->text() == name)
            list->item(row)->setCheckState(on ? Qt::Checked : Qt::Unchecked);
}

class ChartWindowTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        db.exec("create table tMonths (cMonth varchar(10), nPay integer, nNet integer, "
                "iSeq integer)");
        db.exec("insert into tMonths values ('Jan', 10, 8, 1), ('Feb', 20, 15, 2), "
                "('Mar', 40, 30, 3)");
        id = db.insertEnquiry("CH1", kSql, "Pay by month");
    }
    void TearDown() override { CloseWindows({ "TfrmIPEasyEnquiryChart" }); }
    TfrmIPEasyEnquiryChart *open(const QString &filter = {}, int enquiryId = 0)
    {
        return OpenedWindow<TfrmIPEasyEnquiryChart>(
            [&] { DoIPEasyEnquiryChart(enquiryId ? enquiryId : id, kSql, filter, kColumns); });
    }
    QString stored()
    {
        return db
            .rows("select cXColumn, cYColumn, iPalette, "
                  "substr(cCustomColor, 1, 13), nChartLayout is null "
                  "from _iptblEasyEnquiry where idEnquiry = ?",
                { Value(std::int64_t(id)) })
            .value(0);
    }
    TestDatabases db;
    HostScript script;
    int id = 0;
};

} // namespace

TEST_F(ChartWindowTest, FirstShowDrawsBarsAndDefaultStoresWhatReopeningRestores)
{
    TfrmIPEasyEnquiryChart *window = open();
    ASSERT_TRUE(window);
    EXPECT_EQ(window->windowTitle(), "IQ Chart for \"CH1 - Pay by month\"");
    const Chart &chart = window->CurrentChart();
    ASSERT_EQ(chart.series.size(), 1u);
    EXPECT_EQ(chart.series[0].kind, SeriesKind::Bar);
    EXPECT_EQ(chart.title, "Pay by month");
    EXPECT_EQ(chart.bottomAxis.title, "cMonth");
    EXPECT_EQ(chart.leftAxis.title, "nPay");
    QStringList tools;
    for (QAction *action : window->findChild<QToolBar *>("TeeCommander")->actions())
        tools << (action->isSeparator() ? "|" : action->objectName());
    EXPECT_EQ(tools.join(' '),
        "tbPointer | tbZoom tbMove tb3D tbDepth tbResetView | tbCopy tbExport tbEdit");
    for (QAction *action : window->findChild<QToolBar *>("TeeCommander")->actions())
        EXPECT_TRUE(action->isSeparator() || !action->toolTip().isEmpty());

    // On screen, the first bar's face is the Default palette's first colour.
    auto *view = window->findChild<ChartView *>("Chart");
    const QImage shown = view->grab().toImage();
    const ChartGeometry &geometry = view->Geometry();
    const int x = geometry.plot.left()
        + qRound((1 - geometry.xMin) * geometry.plot.width() / (geometry.xMax - geometry.xMin));
    const int y = geometry.plot.bottom()
        - qRound((5 - geometry.yMin) * geometry.plot.height() / (geometry.yMax - geometry.yMin));
    EXPECT_EQ(
        QColor(shown.pixel(x * shown.width() / view->width(), y * shown.height() / view->height()))
            .name()
            .toUpper(),
        "#4B7519");

    // The options dialog makes pies with a title of their own; Default keeps them.
    script.onModal("frmIPEasyChartOptions", [](QDialog &dialog) {
        dialog.findChild<QComboBox *>("cbxChartType")->setCurrentIndex(5);
        auto *title = dialog.findChild<QLineEdit *>("edtTitle");
        title->clear();
        QTest::keyClicks(title, "Pay as pies");
        Click(dialog, "btnOK");
    });
    QTest::mouseDClick(view, Qt::LeftButton);
    EXPECT_EQ(window->CurrentChart().series.at(0).kind, SeriesKind::Pie);
    CloseWithDefault(*window, true);
    EXPECT_EQ(stored(), "cMonth|nPay|0|ColorA=006637|0");
    EXPECT_TRUE(RegIni::ReadBool(kSection, "DefaultOpts", false));
    EXPECT_TRUE(script.takeMessages().isEmpty());

    TfrmIPEasyEnquiryChart *again = open();
    ASSERT_TRUE(again);
    EXPECT_TRUE(again->findChild<QCheckBox *>("chkDefault")->isChecked());
    ASSERT_EQ(again->CurrentChart().series.size(), 1u);
    EXPECT_EQ(again->CurrentChart().series[0].kind, SeriesKind::Pie);
    EXPECT_EQ(again->CurrentChart().title, "Pay as pies");
    CloseWithDefault(*again, false);
    EXPECT_EQ(stored(), "cMonth|nPay|0|ColorA=006637|0"); // unticked keeps the stored chart
    EXPECT_FALSE(RegIni::ReadBool(kSection, "DefaultOpts", true));
}

TEST_F(ChartWindowTest, ResetFormDefaultsErasesTheStoredChartAndTwiceUndoesItself)
{
    for (const int clicks : { 2, 1 }) {
        SCOPED_TRACE(clicks);
        TfrmIPEasyEnquiryChart *window = open();
        ASSERT_TRUE(window);
        QAction *reset = window->findChild<QAction *>("mniFormReset");
        for (int i = 0; i < clicks; ++i)
            reset->trigger();
        EXPECT_EQ(reset->isChecked(), clicks == 1);
        CloseWithDefault(*window, true);
        EXPECT_EQ(
            stored(), clicks == 1 ? "NULL|NULL|NULL|NULL|1" : "cMonth|nPay|0|ColorA=006637|0");
        EXPECT_EQ(RegIni::ReadBool(kSection, "DefaultOpts", false), clicks == 2);
    }
    // A broken stored template says so, then bars.
    db.exec("update _iptblEasyEnquiry set nChartLayout = ? where idEnquiry = ?",
        { Value(std::string("{\"format\": \"qpCharts chart")), Value(std::int64_t(id)) });
    TfrmIPEasyEnquiryChart *window = open();
    ASSERT_TRUE(window);
    const QStringList messages = script.takeMessages();
    ASSERT_EQ(messages.size(), 1);
    EXPECT_TRUE(messages[0].startsWith("Unable to save the chart template!\rReason: "));
    EXPECT_EQ(window->CurrentChart().series.at(0).kind, SeriesKind::Bar);
}

TEST_F(ChartWindowTest, OptionsDialogListsColumnsRefusesNoYAndCancelChangesNothing)
{
    TfrmIPEasyEnquiryChart *window = open(QStringLiteral("nPay > 10"));
    ASSERT_TRUE(window);
    EXPECT_EQ(window->CurrentChart().series.at(0).points.size(), 2u); // the grid's filter
    auto *view = window->findChild<ChartView *>("Chart");
    QStringList seen;
    script.onModal("frmIPEasyChartOptions", [&](QDialog &dialog) {
        auto *x = dialog.findChild<QComboBox *>("cbxXColumn");
        auto *y = dialog.findChild<QListWidget *>("chklstYColumn");
        seen << x->currentText() << listItems(y, false).join(',') << listItems(y, true).join(',');
        tick(y, "nNet", true);
        x->setCurrentText("nPay"); // nPay leaves the Y list, cMonth joins it, nNet stays ticked
        seen << listItems(y, false).join(',') << listItems(y, true).join(',');
        tick(y, "nNet", false);
        dialog.findChild<QCheckBox *>("chkShowLegend")->setChecked(false);
        dialog.findChild<QLineEdit *>("edtTitle")->setText("Changed");
        Click(dialog, "btnOK"); // refused: nothing ticked; the script then cancels
    });
    QTest::mouseDClick(view, Qt::LeftButton);
    EXPECT_EQ(seen, (QStringList { "cMonth", "nPay,nNet", "nPay", "cMonth,nNet", "nNet" }));
    EXPECT_EQ(script.takeMessages(), QStringList { "You must select at least one column for Y!" });
    EXPECT_EQ(window->CurrentChart().title, "Pay by month");
    EXPECT_TRUE(window->CurrentChart().legendVisible);

    // Two Y columns over a text X: the second series' positions run on after the first's.
    script.onModal("frmIPEasyChartOptions", [&](QDialog &dialog) {
        tick(dialog.findChild<QListWidget *>("chklstYColumn"), "nNet", true);
        Click(dialog, "btnOK");
    });
    QTest::mouseDClick(view, Qt::LeftButton);
    ASSERT_EQ(window->CurrentChart().series.size(), 2u);
    EXPECT_EQ(window->CurrentChart().series[1].points.front().x, 3);
}

TEST_F(ChartWindowTest, EditorOpensOnCtrlAltRightAndTheToolbarsEditGivesWayToTheColumns)
{
    TfrmIPEasyEnquiryChart *window = open();
    ASSERT_TRUE(window);
    auto *view = window->findChild<ChartView *>("Chart");
    int opened = 0;
    script.onModal("ChartEditor", [&](QDialog &dialog) {
        ++opened;
        Click(dialog, "btnCancel");
    });
    for (const auto modifiers : { Qt::KeyboardModifiers(Qt::ControlModifier),
             Qt::KeyboardModifiers(Qt::AltModifier), Qt::ControlModifier | Qt::AltModifier })
        QTest::mouseClick(view, Qt::RightButton, modifiers);
    EXPECT_EQ(opened, 1);
    // Without the mouse: Enter on the chart opens the options, Ctrl+E the editor.
    script.onModal("frmIPEasyChartOptions", [&](QDialog &dialog) { Click(dialog, "btnCancel"); });
    QApplication::setActiveWindow(window); // shortcuts go to the active window
    view->setFocus();
    QTest::keyClick(view, Qt::Key_Return);
    script.onModal("ChartEditor", [&](QDialog &dialog) {
        ++opened;
        Click(dialog, "btnCancel");
    });
    QTest::keyClick(view, Qt::Key_E, Qt::ControlModifier);
    EXPECT_EQ(opened, 2);
    // Print is not on the toolbar, but Ctrl+P and the chart's menu reach it.
    script.onModal("dlgPrintChart", [&](QDialog &dialog) { dialog.reject(); });
    QTest::keyClick(view, Qt::Key_P, Qt::ControlModifier);
    EXPECT_TRUE(window->findChild<QMenu *>("popChart")
                    ->actions()
                    .contains(window->findChild<QAction *>("tbPrint")));
    QStringList modals;
    for (const auto &record : script.modalLog())
        modals << record.objectName;
    EXPECT_EQ(modals,
        (QStringList { "ChartEditor", "frmIPEasyChartOptions", "ChartEditor", "dlgPrintChart" }));

    script.onModal("ChartEditor", [&](QDialog &dialog) {
        dialog.findChild<QComboBox *>("cbxPalette")->setCurrentIndex(2);
        dialog.findChild<QLineEdit *>("edtLeftTitle")->setText("Typed");
        dialog.findChild<QLineEdit *>("edtChartTitle")->setText("My title");
        dialog.findChild<QComboBox *>("cbxKind")->setCurrentIndex(1);
        Click(dialog, "btnOK");
    });
    window->findChild<QAction *>("tbEdit")->trigger();
    const Chart &chart = window->CurrentChart();
    EXPECT_EQ(chart.palette, 0);
    EXPECT_EQ(chart.leftAxis.title, "nPay");
    EXPECT_EQ(chart.title, "My title");
    ASSERT_EQ(chart.series.size(), 1u);
    EXPECT_EQ(chart.series[0].kind, SeriesKind::Line);
    EXPECT_EQ(chart.series[0].points.size(), 3u);
}

TEST_F(ChartWindowTest, ExportWritesThePictureTheHeadlessBuildDraws)
{
    TfrmIPEasyEnquiryChart *window = open();
    ASSERT_TRUE(window);
    const QSize size = window->findChild<ChartView *>("Chart")->size();
    for (const char *name : { "chart.png", "chart.svg", "chart.pdf" }) {
        const QString file = db.path(name);
        ChooseFile(script, "dlgExportChart", file);
        window->findChild<QAction *>("tbExport")->trigger();
        const QByteArray bytes = ReadFile(file);
        ASSERT_FALSE(bytes.isEmpty()) << name;
        if (QByteArray(name).endsWith(".pdf")) {
            EXPECT_TRUE(bytes.startsWith("%PDF"));
        }
        if (QByteArray(name).endsWith(".svg")) {
            EXPECT_TRUE(bytes.contains("<title>Pay by month</title>"));
        }
    }
    // What corvane-iq chart does, without the window: same columns, same build, same size.
    TQuillonADOQuery query;
    OpenQuery(query, db.payroll(), kSql);
    ChartBuilder builder;
    Chart headless;
    QString error;
    ASSERT_TRUE(BuildAsShown(builder, headless, query, kColumns, {}, {}, error));
    EXPECT_TRUE(QImage(db.path("chart.png")).convertToFormat(QImage::Format_ARGB32)
        == RenderChartImage(headless, size).convertToFormat(QImage::Format_ARGB32));
    EXPECT_TRUE(script.takeMessages().isEmpty());
}
