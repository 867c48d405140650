#include "Click.h"
#include "PrintQt.h"
#include "TestDatabases.h"
#include "TopWindows.h"

#include "host/core/Globals.h"
#include "host/core/RegIni.h"
#include "host/ui/HostScript.h"
#include "host/ui/TmxGrid.h"
#include "host/ui/TmxGridModel.h"
#include "host/ui/TmxIPHoursDecimalHourEditProperties.h"
#include "package/PackageWindows.h"
#include "run/EnquiryWindows.h"
#include "run/ui/TfrmIPEasyEnquiryView.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QDialog>
#include <QLineEdit>
#include <QRegularExpression>
#include <QTableView>
#include <QTest>

#include <gtest/gtest.h>

namespace {

const char *const kEmployeesSql
    = "select cEmployeeCode, cFirstName, cSurname, fHourlyRate, dtEngaged, iPayerID "
      "from _iptblEmployees order by cEmployeeCode";

QAction *action(TfrmIPEasyEnquiryView *view, const char *name)
{
    return view->findChild<QAction *>(name);
}

TmxGrid *grid(TfrmIPEasyEnquiryView *view)
{
    return view->findChild<TmxGrid *>("grdQueryView");
}

// The grid's columns in their order as "caption,1" (shown) or "caption,0", joined by ",".
QString layout(TfrmIPEasyEnquiryView *view)
{
    QStringList items;
    TmxGrid *shown = grid(view);
    for (const int column : shown->ColumnsInOrder())
        items << shown->ColumnCaption(column) + (shown->ColumnVisible(column) ? ",1" : ",0");
    return items.join(',');
}

QString section(const QString &code)
{
    return "frmIPEasyEnquiryView_" + code;
}

// Result windows over small demo databases, with their settings in the test's folder.
class ViewWindowTest : public ::testing::Test
{
protected:
    struct ChartRequest
    {
        int enquiryId;
        QString query;
        QString filter;
        QString columnList;
    };

    void SetUp() override
    {
        db.addDemoData(30, 2);
        objGeneralParameters.iHoursDisplay = 0;
        InstallEnquiryWindows();
        IQWindows().chart = [this, chart = IQWindows().chart](int id, const QString &query,
                                const QString &filter, const QString &columns) {
            chartRequests.push_back({ id, query, filter, columns });
            chart(id, query, filter, columns);
        };
    }

    void TearDown() override
    {
        CloseWindows({ "TfrmIPEasyEnquiryView", "TfrmIPEasyEnquiryChart" });
        objGeneralParameters.iHoursDisplay = 0;
        InstallEnquiryWindows();
    }

    // A new IQ with its column rows (name, shown) in that order.
    int addEnquiry(const QString &code, const QString &sql,
        const std::vector<std::pair<QString, bool>> &columns = {})
    {
        const int id = db.insertEnquiry(code, sql);
        db.insertColumns(id, columns);
        return id;
    }

    // Opens a result window the way the list does and returns it.
    TfrmIPEasyEnquiryView *run(int enquiryId)
    {
        return OpenedWindow<TfrmIPEasyEnquiryView>([&] { DoIPEasyEnquiryView(enquiryId); });
    }

    TestDatabases db;
    HostScript script;
    std::vector<ChartRequest> chartRequests; // the chart's entry, as the window called it
};

} // namespace

TEST_F(ViewWindowTest, FirstRunFollowsTheColumnRowsInAnyLetterCase)
{
    const int id = addEnquiry("TV1", kEmployeesSql,
        { { "cSurname", true }, { "cEmployeeCode", false }, { "FHOURLYRATE", true },
            { "gone", true } });
    TfrmIPEasyEnquiryView *view = run(id);
    ASSERT_TRUE(view);
    EXPECT_TRUE(script.takeMessages().isEmpty());
    EXPECT_EQ(view->windowTitle(), "IQ View for \"TV1 - TV1 description\"");
    EXPECT_EQ(layout(view),
        "cSurname,1,cEmployeeCode,0,FHOURLYRATE,1,cFirstName,0,dtEngaged,0,iPayerID,0");
    TmxGrid *shown = grid(view);
    EXPECT_EQ(shown->ColumnField(shown->ColumnByField("fHourlyRate")), "fHourlyRate");
    EXPECT_EQ(shown->Model()->rowCount(), 30);
    EXPECT_TRUE(action(view, "mniGridChart")->isEnabled());
    EXPECT_TRUE(view->isVisible());

    // Closed without "Default": nothing of the layout is kept.
    CloseWithDefault(*view, false);
    EXPECT_FALSE(RegIni::ReadBool(section("TV1"), "DefaultOpts", true));
    EXPECT_FALSE(RegIni::ValueExists(section("TV1"), "Field Names"));
}

TEST_F(ViewWindowTest, DefaultTickedKeepsTheChangedLayoutForThatIQOnly)
{
    const std::vector<std::pair<QString, bool>> columns { { "cEmployeeCode", true },
        { "cSurname", true } };
    const int first = addEnquiry("TV1", kEmployeesSql, columns);
    const int second = addEnquiry("TV2", kEmployeesSql, columns);

    TfrmIPEasyEnquiryView *view = run(first);
    ASSERT_TRUE(view);
    TmxGrid *shown = grid(view);
    shown->MoveColumn(shown->ColumnByField("cSurname"), 0);
    shown->SetColumnVisible(shown->ColumnByField("cEmployeeCode"), false);
    CloseWithDefault(*view, true);
    const QString kept
        = "cSurname,1,cEmployeeCode,0,cFirstName,0,fHourlyRate,0,dtEngaged,0,iPayerID,0";
    EXPECT_TRUE(RegIni::ReadBool(section("TV1"), "DefaultOpts", false));
    EXPECT_EQ(RegIni::ReadString(section("TV1"), "Field Names", ""), kept);

    // Two windows at once: the first IQ as kept, the other from its own column rows.
    view = run(first);
    TfrmIPEasyEnquiryView *other = run(second);
    ASSERT_TRUE(view && other);
    EXPECT_EQ(layout(view), kept);
    EXPECT_TRUE(view->findChild<QCheckBox *>("chkDefault")->isChecked());
    EXPECT_EQ(layout(other),
        "cEmployeeCode,1,cSurname,1,cFirstName,0,fHourlyRate,0,dtEngaged,0,iPayerID,0");
    EXPECT_FALSE(other->findChild<QCheckBox *>("chkDefault")->isChecked());
    EXPECT_TRUE(view->isVisible() && other->isVisible());

    // Unticked: "DefaultOpts" false, the kept layout stays in force.
    grid(view)->MoveColumn(grid(view)->ColumnByField("iPayerID"), 0);
    CloseWithDefault(*view, false);
    EXPECT_FALSE(RegIni::ReadBool(section("TV1"), "DefaultOpts", true));
    EXPECT_EQ(RegIni::ReadString(section("TV1"), "Field Names", ""), kept);

    // Reset Form Defaults: the section goes, whatever "Default" says.
    view = run(first);
    ASSERT_TRUE(view);
    action(view, "mniFormReset")->trigger();
    EXPECT_TRUE(action(view, "mniFormReset")->isChecked());
    CloseWithDefault(*view, true);
    EXPECT_FALSE(RegIni::SectionExists(section("TV1")));
}

TEST_F(ViewWindowTest, AutomaticWidthUpToTenColumnsAndNewColumnsCappedAt100)
{
    QStringList ten;
    for (int column = 1; column <= 10; ++column)
        ten << QStringLiteral("%1 as c%1").arg(column);
    const struct
    {
        const char *code;
        QString sql;
        bool autoWidth;
    } rows[] = {
        { "TW10", "select " + ten.join(", "), true },
        { "TW11",
            "select " + ten.join(", ") + ", 'x' as cAVeryLongColumnNameWiderThanAHundredPixels",
            false },
    };
    for (const auto &row : rows) {
        SCOPED_TRACE(row.code);
        const int id = addEnquiry(row.code, row.sql,
            { { "c1", true }, { "cAVeryLongColumnNameWiderThanAHundredPixels", true } });
        TfrmIPEasyEnquiryView *view = run(id);
        ASSERT_TRUE(view);
        TmxGrid *shown = grid(view);
        EXPECT_EQ(shown->AutoWidth(), row.autoWidth);
        if (!row.autoWidth) {
            const int column = shown->ColumnByField("cAVeryLongColumnNameWiderThanAHundredPixels");
            EXPECT_EQ(shown->ColumnWidth(column), 100);
        }
    }
}

TEST_F(ViewWindowTest, RefusedOrFailedRunShowsOneMessageAnEmptyGridAndKeepsTheLayout)
{
    const struct
    {
        const char *sql;
        QString message;
    } rows[] = {
        { "delete from _iptblDepartments", "The requested action is forbidden" },
        { "select cCode from _iptblNoSuchTable",
            "There was a problem running the IQ.\r\n\r\nPlease re-start Corvane and try again." },
    };
    const int departments = db.count("select count(*) from _iptblDepartments");
    int serial = 0;
    for (const auto &row : rows) {
        SCOPED_TRACE(row.sql);
        const QString code = QStringLiteral("TF%1").arg(++serial);
        RegIni::WriteString(section(code), "Field Names", "cCode,1");
        TfrmIPEasyEnquiryView *view = run(addEnquiry(code, row.sql));
        ASSERT_TRUE(view);
        EXPECT_EQ(script.takeMessages(), QStringList { row.message });
        ASSERT_FALSE(script.messageLog().empty());
        EXPECT_EQ(script.messageLog().back().buttons, MsgButtons::OK);
        EXPECT_EQ(view->windowTitle(), "IQ View");
        EXPECT_EQ(grid(view)->ColumnCount(), 0);
        EXPECT_EQ(grid(view)->Model()->rowCount(), 0);
        EXPECT_FALSE(action(view, "mniGridChart")->isEnabled());
        EXPECT_TRUE(view->isVisible());

        action(view, "mniGridChart")->trigger(); // disabled: nothing
        CloseWithDefault(*view, true);
        EXPECT_EQ(RegIni::ReadString(section(code), "Field Names", ""), "cCode,1");
        EXPECT_TRUE(script.takeMessages().isEmpty());
    }
    EXPECT_TRUE(chartRequests.empty());
    EXPECT_EQ(db.count("select count(*) from _iptblDepartments"), departments);
}

TEST_F(ViewWindowTest, CommonDatabaseIQRunsOnTheCommonConnection)
{
    const int id
        = addEnquiry("TVC", "select cName, cValue from _btblSystemValues", { { "cName", true } });
    db.exec("UPDATE _iptblEasyEnquiry SET bCommonDB = 1 WHERE idEnquiry = ?", { id });
    TfrmIPEasyEnquiryView *view = run(id);
    ASSERT_TRUE(view);
    EXPECT_TRUE(script.takeMessages().isEmpty());
    EXPECT_GT(grid(view)->Model()->rowCount(), 0);
}

TEST_F(ViewWindowTest, ChartGetsTheFilterAndTheShownColumnsAndNeedsTwoOfThemAndARecord)
{
    const int id = addEnquiry("TV1", kEmployeesSql,
        { { "cEmployeeCode", true }, { "cSurname", true }, { "fHourlyRate", true } });
    TfrmIPEasyEnquiryView *view = run(id);
    ASSERT_TRUE(view);
    TmxGrid *shown = grid(view);
    auto *filter = shown->findChild<QLineEdit *>("edtFilter");
    QTest::keyClicks(filter, "iPayerID = 1");
    QTest::keyClick(filter, Qt::Key_Return);
    EXPECT_EQ(shown->Model()->rowCount(),
        db.count("select count(*) from _iptblEmployees where iPayerID = 1"));

    action(view, "mniGridChart")->trigger();
    ASSERT_EQ(chartRequests.size(), 1u);
    EXPECT_EQ(chartRequests[0].enquiryId, id);
    EXPECT_EQ(chartRequests[0].query, kEmployeesSql);
    EXPECT_EQ(chartRequests[0].filter, "iPayerID = 1");
    EXPECT_EQ(chartRequests[0].columnList, "cEmployeeCode,cSurname,fHourlyRate");
    EXPECT_TRUE(script.takeMessages().isEmpty()); // the chart window opened instead

    chartRequests.clear();
    shown->SetColumnVisible(shown->ColumnByField("cSurname"), false);
    shown->SetColumnVisible(shown->ColumnByField("fHourlyRate"), false);
    action(view, "mniGridChart")->trigger();
    shown->SetColumnVisible(shown->ColumnByField("fHourlyRate"), true);
    ASSERT_TRUE(shown->SetFilterText("iPayerID = 999"));
    action(view, "mniGridChart")->trigger();
    EXPECT_TRUE(chartRequests.empty());
    EXPECT_TRUE(script.takeMessages().isEmpty());
}

TEST_F(ViewWindowTest, HoursColumnsGetTheDecimalHoursEditorOnlyWithTheSetting)
{
    const int id
        = addEnquiry("TVH", "select idPayslip, fHours, fOvertimeHours, fGross from _iptblPayslips",
            { { "idPayslip", true }, { "fHours", true }, { "fOvertimeHours", true },
                { "fGross", true } });
    for (const int setting : { 1, 0 }) {
        SCOPED_TRACE(setting);
        objGeneralParameters.iHoursDisplay = setting;
        TfrmIPEasyEnquiryView *view = run(id);
        ASSERT_TRUE(view);
        TmxGrid *shown = grid(view);
        const auto hasEditor = [&](const char *field) {
            return qobject_cast<TmxIPHoursDecimalHourEditProperties *>(
                       shown->View()->itemDelegateForColumn(shown->ColumnByField(field)))
                != nullptr;
        };
        EXPECT_EQ(hasEditor("fHours"), setting == 1);
        EXPECT_EQ(hasEditor("fOvertimeHours"), setting == 1);
        EXPECT_FALSE(hasEditor("fGross"));
        CloseWithDefault(*view, false);
    }
}

TEST_F(ViewWindowTest, ClosingTheCustomisationWindowRefreshesTheResult)
{
    TfrmIPEasyEnquiryView *view
        = run(addEnquiry("TV1", kEmployeesSql, { { "cEmployeeCode", true } }));
    ASSERT_TRUE(view);
    db.exec("INSERT INTO _iptblEmployees (cEmployeeCode, iPayerID, iPayFrequencyID, iLocationID, "
            "iDepartmentID) VALUES ('ZZ999', 1, 1, 1, 1)");
    EXPECT_EQ(grid(view)->Model()->rowCount(), 30);
    script.onModal("frmGridCustomise", [](QDialog &dialog) { Click(dialog, "btnOK"); });
    action(view, "mniGridCustColumns")->trigger();
    EXPECT_EQ(grid(view)->Model()->rowCount(), 31);
    EXPECT_EQ(layout(view),
        "cEmployeeCode,1,cFirstName,0,cSurname,0,fHourlyRate,0,dtEngaged,0,iPayerID,0");
}

TEST_F(ViewWindowTest, CancelBeforeTheFirstRowStopsTheRunClosesTheWindowAndSaysSo)
{
    // Twenty million steps before the only row: nothing to show while it runs.
    const int id = addEnquiry("SLOW",
        "with recursive n(i) as (select 1 union all select i + 1 from n where i < 20000000) "
        "select i as iNumber from n where i = 20000000",
        { { "iNumber", true } });
    script.onProgress([](QDialog &progress) {
        // While it can be cancelled, no other window takes input (nothing runs twice).
        EXPECT_EQ(progress.windowModality(), Qt::ApplicationModal);
        Click(progress, "btnCancel");
    });
    DoIPEasyEnquiryView(id);
    QCoreApplication::processEvents();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);

    EXPECT_EQ(script.pendingProgress(), 0);
    EXPECT_EQ(script.takeMessages(),
        QStringList { "The IQ run was cancelled, so there is no result to show." });
    for (QWidget *widget : QApplication::topLevelWidgets()) {
        EXPECT_FALSE(qobject_cast<TfrmIPEasyEnquiryView *>(widget) && widget->isVisible());
        EXPECT_FALSE(widget->objectName() == "frmProgress" && widget->isVisible());
    }
    const QStringList logged
        = db.rows(db.common(), "select cText from _btblLog where iLogType = 117");
    ASSERT_EQ(logged.size(), 1);
    EXPECT_TRUE(QRegularExpression("^CancelIQ_SLOW \\d+ ms$").match(logged.first()).hasMatch())
        << logged.first().toStdString();

    // The next run of another IQ goes as usual on the same connection.
    TfrmIPEasyEnquiryView *view = run(addEnquiry("TV2", kEmployeesSql));
    ASSERT_TRUE(view);
    EXPECT_EQ(grid(view)->Model()->rowCount(), 30);
}

TEST_F(ViewWindowTest, CancelledRefreshKeepsTheRowsOfTheRun)
{
    // The statement is quick for the run and endless for the refresh after customising.
    db.exec("CREATE TABLE tblKnob (iLimit INTEGER)");
    db.exec("INSERT INTO tblKnob VALUES (3)");
    TfrmIPEasyEnquiryView *view = run(addEnquiry("KNOB",
        "with recursive n(i) as (select 1 union all select i + 1 from n "
        "where i < (select iLimit from tblKnob)) select i as iNumber from n",
        { { "iNumber", true } }));
    ASSERT_TRUE(view);
    ASSERT_EQ(grid(view)->Model()->rowCount(), 3);
    db.exec("UPDATE tblKnob SET iLimit = 2000000000");

    script.onProgress([](QDialog &progress) { Click(progress, "btnCancel"); });
    script.onModal("frmGridCustomise", [](QDialog &dialog) { Click(dialog, "btnOK"); });
    action(view, "mniGridCustColumns")->trigger();
    EXPECT_EQ(script.pendingProgress(), 0);
    EXPECT_EQ(script.takeMessages(),
        QStringList { "The refresh was cancelled: the rows shown are those of the earlier run." });
    EXPECT_TRUE(view->isVisible());
    EXPECT_EQ(grid(view)->Model()->rowCount(), 3);
}
