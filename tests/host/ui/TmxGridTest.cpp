#include "ChooseFile.h"
#include "Click.h"
#include "FileBytes.h"
#include "TableRows.h"
#include "ZipEntries.h"

#include "host/core/RegIni.h"
#include "host/db/dataset/TQuillonTempTable.h"
#include "host/ui/HostScript.h"
#include "host/ui/TmxGrid.h"
#include "host/ui/TmxGridModel.h"
#include "host/ui/TmxIPHoursDecimalHourEditProperties.h"

#include <QComboBox>
#include <QDialog>
#include <QDir>
#include <QHeaderView>
#include <QHelpEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTableView>
#include <QTemporaryDir>
#include <QTest>
#include <QToolTip>
#include <QVBoxLayout>

#include <gtest/gtest.h>

#include <algorithm>

namespace {

enum Col { Name, Total, Count, Paid, Active };

class GridTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(dir.isValid());
        RegIni::SetFolder(dir.filePath("settings"));
        table.AddField("cName", FieldType::String, 20);
        table.AddField("nTotal", FieldType::Float);
        table.AddField("iCount", FieldType::Integer);
        table.AddField("dtPay", FieldType::DateTime);
        table.AddField("bActive", FieldType::Boolean);
        ASSERT_TRUE(table.CreateTable());
        AddRow(table, { "Smith", 150.5, 3, QDateTime(QDate(2024, 1, 31), QTime(0, 0)), true });
        AddRow(table, { "adams", 99, 1, QDateTime(QDate(2024, 2, 29), QTime(14, 30)), false });
        AddRow(table, { "Brown", QVariant(), 2, QVariant(), true });
        AddRow(table, { "Clark", 1000, 4, QDateTime(QDate(2024, 3, 1), QTime(0, 0)), false });
        table.First();
        addColumns(grid);
        grid.resize(600, 300);
    }

    void TearDown() override { RegIni::SetFolder(QString()); }

    void addColumns(TmxGrid &target)
    {
        target.SetDataSet(&table);
        target.AddColumn("cName", "Name");
        target.AddColumn("nTotal", "Total");
        target.AddColumn("iCount", "Count");
        target.AddColumn("dtPay", "Paid");
        target.AddColumn("bActive", "Active");
    }

    // A column's texts in the order shown.
    QStringList shown(int column, int role = Qt::DisplayRole)
    {
        QStringList texts;
        const TmxGridModel *model = grid.Model();
        for (int row = 0; row < model->rowCount(); ++row)
            texts << model->data(model->index(row, column), role).toString();
        return texts;
    }

    QString storedName(int record) { return table.TextAt(table.RowOfRecord(record), 0); }

    void showGrid()
    {
        grid.show();
        QCoreApplication::processEvents();
    }

    QTemporaryDir dir;
    HostScript script;
    TQuillonTempTable table;
    TmxGrid grid;
};

TEST_F(GridTest, ColumnsFollowTheirFieldByNameAndShowCellsInTheUsersFormat)
{
    EXPECT_EQ(grid.ColumnByField("CNAME"), Name);
    EXPECT_EQ(shown(Name), (QStringList { "Smith", "adams", "Brown", "Clark" }));
    EXPECT_EQ(shown(Total), (QStringList { "150.5", "99.0", "", "1000.0" }));
    EXPECT_EQ(shown(Paid), (QStringList { "31/01/2024", "29/02/2024 14:30", "", "01/03/2024" }));
    EXPECT_EQ(shown(Active), (QStringList { "", "", "", "" }));
    EXPECT_EQ(shown(Active, Qt::CheckStateRole), (QStringList { "2", "0", "2", "0" }));
    const QModelIndex total = grid.Model()->index(0, Total);
    EXPECT_EQ(total.data(Qt::TextAlignmentRole).toInt(), int(Qt::AlignRight | Qt::AlignVCenter));
    EXPECT_EQ(total.data(TmxGridModel::RawValueRole).toDouble(), 150.5);

    // Another dataset with the fields in another order: the columns find their fields again.
    TQuillonTempTable other;
    other.AddField("bActive", FieldType::Boolean);
    other.AddField("CNAME", FieldType::String, 20);
    ASSERT_TRUE(other.CreateTable());
    ASSERT_TRUE(other.brAppend());
    other.FieldByName("cName").SetAsString("Zed");
    ASSERT_TRUE(other.brPost());
    grid.SetDataSet(&other);
    EXPECT_EQ(shown(Name), QStringList { "Zed" });
    EXPECT_EQ(shown(Total), QStringList { "" });
    grid.SetDataSet(&table);
}

TEST_F(GridTest, NumbersKeepTheirColumnsDecimalsAndAutomaticWidthsShareTheView)
{
    // An edit that needs more decimals gives them to the whole column.
    grid.SetEditable(true);
    ASSERT_TRUE(grid.Model()->setData(grid.Model()->index(1, Total), "12.25"));
    EXPECT_EQ(shown(Total), (QStringList { "150.50", "12.25", "", "1000.00" }));
    EXPECT_EQ(grid.Model()->headerData(Total, Qt::Horizontal, Qt::TextAlignmentRole).toInt(),
        int(Qt::AlignRight | Qt::AlignVCenter));

    showGrid();
    grid.SetAutoWidth(true);
    QTableView *view = grid.View();
    const auto sum = [&] {
        int total = 0;
        for (int column = 0; column < grid.ColumnCount(); ++column)
            total += grid.ColumnVisible(column) ? grid.ColumnWidth(column) : 0;
        return total;
    };
    const auto fitsItsValues = [&](int column) {
        for (int row = 0; row < grid.Model()->rowCount(); ++row) {
            if (view->sizeHintForIndex(grid.Model()->index(row, column)).width()
                > grid.ColumnWidth(column))
                return false;
        }
        return true;
    };
    for (const int width : { 600, 900, 450 }) {
        SCOPED_TRACE(width);
        grid.resize(width, 300);
        QCoreApplication::processEvents();
        EXPECT_EQ(sum(), view->viewport()->width());
        EXPECT_TRUE(fitsItsValues(Total));
        EXPECT_TRUE(fitsItsValues(Paid));
    }
    // A column the person drags keeps its width; the others share the rest, also after a hide.
    view->horizontalHeader()->resizeSection(Name, 150);
    grid.SetColumnVisible(Count, false);
    grid.resize(700, 300);
    QCoreApplication::processEvents();
    EXPECT_EQ(grid.ColumnWidth(Name), 150);
    EXPECT_EQ(sum(), view->viewport()->width());

    // Without automatic width: fitted to the values up to the cap.
    grid.SetAutoWidth(false);
    grid.SetColumnVisible(Count, true);
    grid.FitColumnsToContent(60);
    EXPECT_TRUE(fitsItsValues(Count));
    EXPECT_EQ(grid.ColumnWidth(Paid), 60);
    // The cut value shows whole in its tooltip.
    const QRect cell = view->visualRect(grid.Model()->index(1, Paid));
    QHelpEvent help(QEvent::ToolTip, cell.center(), view->viewport()->mapToGlobal(cell.center()));
    QCoreApplication::sendEvent(view->viewport(), &help);
    EXPECT_EQ(QToolTip::text(), "29/02/2024 14:30");
}

TEST_F(GridTest, ColumnsMoveHideAndKeepTheirWidths)
{
    grid.MoveColumn(Paid, 0);
    EXPECT_EQ(grid.ColumnsInOrder(), (QList<int> { Paid, Name, Total, Count, Active }));
    EXPECT_EQ(grid.ColumnPosition(Paid), 0);

    grid.SetColumnVisible(Total, false);
    grid.SetColumnWidth(Total, 77); // set while hidden, kept for when it shows again
    EXPECT_EQ(grid.ColumnWidth(Total), 77);
    EXPECT_FALSE(grid.ColumnVisible(Total));
    grid.SetColumnVisible(Total, true);
    EXPECT_EQ(grid.View()->columnWidth(Total), 77);

    grid.SetColumnMinWidth(Name, 60);
    grid.SetColumnWidth(Name, 20);
    EXPECT_EQ(grid.ColumnWidth(Name), 60);
    grid.View()->horizontalHeader()->resizeSection(Name, 10); // a drag by the person
    EXPECT_EQ(grid.ColumnWidth(Name), 60);

    grid.RemoveAllColumns();
    EXPECT_EQ(grid.ColumnCount(), 0);
    EXPECT_EQ(grid.Model()->rowCount(), 4);
}

TEST_F(GridTest, FilterRowAppliesOnEnterAndKeepsTheOldFilterOnAParseError)
{
    // Inside a dialog, so that Enter must not also press its default button.
    QDialog dialog;
    auto *layout = new QVBoxLayout(&dialog);
    grid.setParent(&dialog);
    layout->addWidget(&grid);
    auto *ok = new QPushButton("OK", &dialog);
    ok->setDefault(true);
    layout->addWidget(ok);
    int okPressed = 0;
    QObject::connect(ok, &QPushButton::clicked, [&] { ++okPressed; });
    dialog.show();
    auto *edit = grid.findChild<QLineEdit *>("edtFilter");
    ASSERT_TRUE(edit);

    QTest::keyClicks(edit, "nTotal > 100");
    EXPECT_EQ(grid.Model()->rowCount(), 4); // nothing happens before Enter
    QTest::keyClick(edit, Qt::Key_Return);
    EXPECT_EQ(shown(Name), (QStringList { "Smith", "Clark" }));
    EXPECT_EQ(grid.FilterText(), "nTotal > 100");

    edit->clear();
    QTest::keyClicks(edit, "nTotal >> 5");
    QTest::keyClick(edit, Qt::Key_Enter);
    EXPECT_FALSE(grid.FilterError().isEmpty());
    EXPECT_TRUE(grid.findChild<QLabel *>("lblFilterError")->isVisible());
    EXPECT_EQ(grid.FilterText(), "nTotal > 100");
    EXPECT_EQ(grid.Model()->rowCount(), 2);
    EXPECT_EQ(edit->text(), "nTotal >> 5"); // left for the person to correct

    edit->clear();
    QTest::keyClick(edit, Qt::Key_Return);
    EXPECT_EQ(grid.Model()->rowCount(), 4);
    EXPECT_TRUE(grid.FilterError().isEmpty());
    EXPECT_EQ(okPressed, 0);
    grid.setParent(nullptr);
}

TEST_F(GridTest, HeaderClickSortsTheRowsShownAndTheSortSurvivesFiltering)
{
    showGrid();
    QHeaderView *header = grid.View()->horizontalHeader();
    const QPoint nameHeader(header->sectionViewportPosition(Name) + 5, header->height() / 2);
    QTest::mouseClick(header->viewport(), Qt::LeftButton, {}, nameHeader);
    EXPECT_EQ(shown(Name), (QStringList { "adams", "Brown", "Clark", "Smith" }));
    QTest::mouseClick(header->viewport(), Qt::LeftButton, {}, nameHeader);
    EXPECT_EQ(shown(Name), (QStringList { "Smith", "Clark", "Brown", "adams" }));
    EXPECT_EQ(storedName(0), "Smith"); // the dataset keeps its own order

    grid.SetSortColumn(Total);
    EXPECT_EQ(shown(Name), (QStringList { "Brown", "adams", "Smith", "Clark" })); // NULL first
    EXPECT_EQ(grid.RowCountText(), "4 rows");
    grid.View()->setCurrentIndex(grid.Model()->index(3, Name));
    grid.SetRowCountSuffix(" in 5 ms");
    ASSERT_TRUE(grid.SetFilterText("iCount >= 2"));
    EXPECT_EQ(shown(Name), (QStringList { "Brown", "Smith", "Clark" }));
    // A filter counts what it leaves and starts again at the first row.
    EXPECT_EQ(grid.RowCountText(), "3 of 4 rows in 5 ms");
    EXPECT_EQ(grid.View()->currentIndex().row(), 0);

    grid.SetSortColumn(-1);
    EXPECT_EQ(shown(Name), (QStringList { "Smith", "Brown", "Clark" }));
}

TEST_F(GridTest, FocusedRecordFollowsTheDataSetBothWays)
{
    showGrid();
    std::vector<int> focused;
    QObject::connect(
        &grid, &TmxGrid::FocusedRecordChanged, [&](int record) { focused.push_back(record); });
    EXPECT_TRUE(grid.HasFocusedRecord());
    EXPECT_EQ(grid.FocusedRecord(), 0);

    grid.View()->setCurrentIndex(grid.Model()->index(2, Name));
    EXPECT_EQ(table.RecNo(), 2);
    table.MoveTo(3);
    EXPECT_EQ(grid.FocusedRecord(), 3);
    EXPECT_EQ(focused, (std::vector<int> { 2, 3 }));

    // Sorted: the view's row and the dataset's record differ, and still match up.
    grid.SetSortColumn(Name);
    EXPECT_EQ(grid.View()->currentIndex().row(), 2); // Clark is third by name
    EXPECT_EQ(grid.FocusedRecord(), 3);
    grid.View()->setCurrentIndex(grid.Model()->index(0, Name));
    EXPECT_EQ(table.FieldByName("cName").AsString(), "adams");

    std::vector<std::pair<int, int>> clicks;
    QObject::connect(&grid, &TmxGrid::RecordDoubleClicked,
        [&](int record, int column) { clicks.emplace_back(record, column); });
    const QRect cell = grid.View()->visualRect(grid.Model()->index(1, Count));
    // A person's double click: a click, then the double-click event.
    QTest::mouseClick(grid.View()->viewport(), Qt::LeftButton, {}, cell.center());
    QTest::mouseDClick(grid.View()->viewport(), Qt::LeftButton, {}, cell.center());
    EXPECT_EQ(clicks, (std::vector<std::pair<int, int>> { { 2, Count } })); // Brown

    ASSERT_TRUE(grid.SetFilterText("cName = 'nobody'"));
    EXPECT_FALSE(grid.HasFocusedRecord());
    EXPECT_EQ(grid.FocusedRecord(), -1);
}

// Counts which rows the grid reads.
class CountingTable : public TQuillonTempTable
{
    using Base = TQuillonTempTable;

public:
    bool IsNullAt(int r, int f) const override { return seen(r), Base::IsNullAt(r, f); }
    QVariant ValueAt(int r, int f) const override { return seen(r), Base::ValueAt(r, f); }
    double NumberAt(int r, int f) const override { return seen(r), Base::NumberAt(r, f); }
    QString TextAt(int r, int f) const override { return seen(r), Base::TextAt(r, f); }
    void seen(int row) const
    {
        ++reads;
        lowest = std::min(lowest, row);
        highest = std::max(highest, row);
    }
    void clear() const
    {
        reads = 0;
        lowest = INT_MAX;
        highest = -1;
    }
    mutable int reads = 0;
    mutable int lowest = INT_MAX;
    mutable int highest = -1;
};

TEST(GridModelReads, OnlyTheRowsOnScreenAreRead)
{
    constexpr int rows = 20000;
    CountingTable counting;
    counting.AddField("cName", FieldType::String, 20);
    counting.AddField("iCount", FieldType::Integer);
    ASSERT_TRUE(counting.CreateTable());
    for (int row = 0; row < rows; ++row)
        AddRow(counting, { QStringLiteral("Name %1").arg(row), row });
    counting.First();
    counting.clear();

    TmxGrid grid;
    grid.resize(400, 300);
    grid.SetDataSet(&counting);
    grid.AddColumn("cName", "Name");
    grid.AddColumn("iCount", "Count");
    grid.SetAutoWidth(true); // measures the rows, but only those on screen
    grid.show();
    grid.grab();
    EXPECT_GT(counting.reads, 0);
    EXPECT_LT(counting.highest, 100);

    counting.clear();
    grid.View()->scrollToBottom();
    grid.grab();
    EXPECT_GT(counting.lowest, rows - 100);
    EXPECT_EQ(counting.highest, rows - 1);
}

TEST_F(GridTest, EditsArePostedAtOnceAndRefusalsAreShownWithoutWriting)
{
    showGrid();
    TmxGridModel *model = grid.Model();
    EXPECT_FALSE(model->flags(model->index(0, Name)) & Qt::ItemIsEditable); // not editable yet
    grid.SetEditable(true);
    grid.SetColumnReadOnly(Count, true);
    EXPECT_FALSE(model->flags(model->index(0, Count)) & Qt::ItemIsEditable);
    EXPECT_TRUE(model->flags(model->index(0, Active)) & Qt::ItemIsUserCheckable);

    EXPECT_TRUE(model->setData(model->index(0, Name), "Jones"));
    EXPECT_EQ(storedName(0), "Jones");
    EXPECT_TRUE(model->setData(model->index(1, Total), "12.25"));
    EXPECT_EQ(table.NumberAt(1, 1), 12.25);
    EXPECT_TRUE(model->setData(model->index(0, Active), Qt::Unchecked, Qt::CheckStateRole));
    EXPECT_EQ(table.NumberAt(0, 4), 0);
    EXPECT_TRUE(script.takeMessages().isEmpty());

    EXPECT_FALSE(model->setData(model->index(1, Total), "abc"));
    EXPECT_EQ(script.takeMessages(), QStringList { "\"abc\" is not a valid number for Total." });
    EXPECT_EQ(table.NumberAt(1, 1), 12.25);

    EXPECT_FALSE(model->setData(model->index(2, Name), QString(25, 'x'))); // longer than the field
    const QStringList refused = script.takeMessages();
    ASSERT_EQ(refused.size(), 1);
    EXPECT_FALSE(refused.first().isEmpty());
    EXPECT_EQ(storedName(2), "Brown");
    EXPECT_EQ(table.GetState(), TQuillonDataSet::State::Browse);

    // A pick-list column edits through a drop-down; a choice is posted at once.
    grid.SetColumnPickList(Name, { "Alpha", "Beta" });
    const QModelIndex cell = model->index(3, Name);
    ASSERT_TRUE(model->setData(cell, "Alpha"));
    grid.View()->setCurrentIndex(cell);
    grid.View()->edit(cell);
    auto *combo = grid.View()->viewport()->findChild<QComboBox *>("cbxPickList");
    ASSERT_TRUE(combo);
    EXPECT_EQ(combo->count(), 2);
    QTest::keyClick(combo, Qt::Key_Down);
    EXPECT_EQ(storedName(3), "Beta");
}

TEST(HoursDecimal, TextAndParsingBothWays)
{
    const struct
    {
        double hours;
        const char *text;
    } shownRows[] = { { 7.5, "7:30" }, { 0, "0:00" }, { -1.25, "-1:15" }, { 7.999, "8:00" },
        { 37.1, "37:06" }, { 0x1p60, "1152921504606846976:00" },
        { -0x1p60, "-1152921504606846976:00" } };
    for (const auto &row : shownRows) {
        SCOPED_TRACE(row.text);
        EXPECT_EQ(TmxIPHoursDecimalHourEditProperties::HoursText(row.hours), row.text);
    }
    const QLocale uk(QLocale::English, QLocale::UnitedKingdom);
    const QLocale german(QLocale::German, QLocale::Germany);
    const struct
    {
        const char *text;
        QLocale locale;
        std::optional<double> hours;
    } parsed[] = { { "7:30", uk, 7.5 }, { "7.5", uk, 7.5 }, { "7,5", german, 7.5 },
        { "7.5", german, 7.5 }, { ":45", uk, 0.75 }, { "-1:15", uk, -1.25 }, { "8", uk, 8.0 },
        { "7:60", uk, std::nullopt }, { "7:5:1", uk, std::nullopt },
        { "7:\u0663\u0660", uk, std::nullopt }, { "abc", uk, std::nullopt },
        { " ", uk, std::nullopt } };
    for (const auto &row : parsed) {
        SCOPED_TRACE(row.text);
        EXPECT_EQ(TmxIPHoursDecimalHourEditProperties::ParseHours(row.text, row.locale), row.hours);
    }
}

TEST_F(GridTest, HoursColumnShowsHoursAndMinutesAndAcceptsEitherForm)
{
    showGrid();
    grid.SetEditable(true);
    grid.SetHoursEditor(Total);
    auto *editor = qobject_cast<TmxIPHoursDecimalHourEditProperties *>(
        grid.View()->itemDelegateForColumn(Total));
    ASSERT_TRUE(editor);

    for (const auto &[typed, stored] : { std::pair { "7:45", 7.75 }, std::pair { "8.5", 8.5 } }) {
        SCOPED_TRACE(typed);
        const QModelIndex cell = grid.Model()->index(0, Total);
        grid.View()->setCurrentIndex(cell);
        grid.View()->edit(cell);
        auto *line = grid.View()->viewport()->findChild<QLineEdit *>();
        ASSERT_TRUE(line);
        line->selectAll();
        QTest::keyClicks(line, typed);
        QTest::keyClick(line, Qt::Key_Return);
        QCoreApplication::processEvents(); // the view commits a Return after the key
        EXPECT_EQ(table.NumberAt(0, 1), stored);
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }
}

TEST_F(GridTest, LayoutIsKeptInTheSettingsOnlyWhenAskedTo)
{
    grid.SetRegistrySection("frmTest", "grdTest");
    grid.MoveColumn(Count, 0);
    grid.SetColumnVisible(Total, false);
    grid.SetColumnWidth(Total, 55);
    grid.SetColumnWidth(Name, 120);

    grid.SetSaveSettings(false);
    EXPECT_FALSE(grid.SaveLayout());
    EXPECT_FALSE(RegIni::ValueExists("frmTest", "grdTest"));
    grid.SetSaveSettings(true);
    EXPECT_TRUE(grid.SaveLayout());

    TmxGrid restored;
    addColumns(restored);
    restored.SetRegistrySection("frmTest", "grdTest");
    EXPECT_TRUE(restored.RestoreLayout());
    EXPECT_EQ(restored.ColumnsInOrder(), grid.ColumnsInOrder());
    EXPECT_FALSE(restored.ColumnVisible(Total));
    EXPECT_EQ(restored.ColumnWidth(Total), 55);
    EXPECT_EQ(restored.ColumnWidth(Name), 120);

    // Columns added while loading take their stored width, found by field in any letter case.
    TmxGrid loading;
    loading.SetDataSet(&table);
    loading.SetRegistrySection("frmTest", "grdTest");
    loading.LoadAllColumns(true);
    EXPECT_EQ(loading.ColumnWidth(loading.AddColumn("CNAME", "Name")), 120);
    loading.LoadAllColumns(false);
    EXPECT_NE(loading.ColumnWidth(loading.AddColumn("nTotal", "Total")), 55);
}

TEST_F(GridTest, CustomisationWindowAppliesOrderAndVisibilityOnlyOnOK)
{
    std::vector<bool> signalled;
    QObject::connect(
        &grid, &TmxGrid::CustomizationChanged, [&](bool opened) { signalled.push_back(opened); });
    const auto edit = [](QDialog &dialog, const char *button) {
        auto *list = dialog.findChild<QListWidget *>("lstColumns");
        ASSERT_TRUE(list);
        ASSERT_EQ(list->count(), 5);
        list->setCurrentRow(Count);
        Click(dialog, "btnUp");
        list->item(0)->setCheckState(Qt::Unchecked);
        Click(dialog, button);
    };

    script.onModal("frmGridCustomise", [&](QDialog &dialog) { edit(dialog, "btnCancel"); });
    grid.ShowCustomisation();
    EXPECT_EQ(grid.ColumnsInOrder(), (QList<int> { Name, Total, Count, Paid, Active }));
    EXPECT_TRUE(grid.ColumnVisible(Name));

    script.onModal("frmGridCustomise", [&](QDialog &dialog) { edit(dialog, "btnOK"); });
    grid.ShowCustomisation();
    EXPECT_EQ(grid.ColumnsInOrder(), (QList<int> { Name, Count, Total, Paid, Active }));
    EXPECT_FALSE(grid.ColumnVisible(Name));
    EXPECT_EQ(signalled, (std::vector<bool> { true, false, true, false }));
}

TEST_F(GridTest, SaveGridToFileWritesTheColumnsAndRowsAsShown)
{
    showGrid();
    grid.SetSortColumn(Name);
    ASSERT_TRUE(grid.SetFilterText("iCount > 1"));
    grid.SetColumnVisible(Total, false);
    grid.MoveColumn(Active, 0);
    const auto saveAs = [&](const QString &path, const QString &filter = {}) {
        ChooseFile(script, "dlgSaveGrid", path, filter);
    };

    saveAs(dir.filePath("grid.csv"));
    EXPECT_TRUE(grid.SaveGridToFile("Grid Test", true, true, false));
    EXPECT_EQ(ReadFile(dir.filePath("grid.csv")),
        "Active,Name,Count,Paid\r\n"
        "True,Brown,2,\r\n"
        "False,Clark,4,2024-03-01\r\n"
        "True,Smith,3,2024-01-31\r\n");

    // No extension typed: the chosen filter's is added.
    saveAs(dir.filePath("book"), "Excel Workbook (*.xlsx)");
    EXPECT_TRUE(grid.SaveGridToFile("Grid Test", true, false, false));
    const auto entries = ReadZipEntries(dir.filePath("book.xlsx"));
    ASSERT_TRUE(entries.count("xl/worksheets/sheet1.xml"));
    EXPECT_TRUE(entries.at("xl/worksheets/sheet1.xml").contains("<t>Total</t>"));

    grid.View()->selectionModel()->select(
        grid.Model()->index(2, 0), QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
    saveAs(dir.filePath("selected.csv"));
    EXPECT_TRUE(grid.SaveGridToFile("Grid Test", false, true, true));
    EXPECT_EQ(ReadFile(dir.filePath("selected.csv")), "True,Smith,3,2024-01-31\r\n");

    EXPECT_FALSE(grid.SaveGridToFile("Grid Test", true, true, false)); // no script: cancelled
    EXPECT_TRUE(script.takeMessages().isEmpty());

    // With no column shown there is nothing to save: said before any file is asked for.
    for (int column = 0; column < grid.ColumnCount(); ++column)
        grid.SetColumnVisible(column, false);
    EXPECT_FALSE(grid.SaveGridToFile("Grid Test", true, true, false));
    EXPECT_EQ(script.takeMessages().size(), 1);
    for (int column = 0; column < grid.ColumnCount(); ++column)
        grid.SetColumnVisible(column, true);

    saveAs(dir.filePath("missing/grid.csv"));
    EXPECT_FALSE(grid.SaveGridToFile("Grid Test", true, true, false));
    const QStringList messages = script.takeMessages();
    ASSERT_EQ(messages.size(), 1);
    EXPECT_TRUE(messages.first().startsWith("Cannot write")) << messages.first().toStdString();

    // Cancel in the progress window: neither the file nor a temporary one beside it is left.
    const QStringList before = QDir(dir.path()).entryList(QDir::Files);
    saveAs(dir.filePath("cancelled.csv"));
    script.onProgress([](QDialog &progress) { Click(progress, "btnCancel"); });
    EXPECT_FALSE(grid.SaveGridToFile("Grid Test", true, true, false));
    EXPECT_EQ(
        script.takeMessages(), QStringList { "The save was cancelled: no file was written." });
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files), before);
    EXPECT_EQ(script.pendingProgress(), 0);
}

TEST_F(GridTest, SaveGridToFileTellsWhatTheWorkbookHadToCut)
{
    TQuillonTempTable notes;
    notes.AddField("cNote", FieldType::Memo);
    ASSERT_TRUE(notes.CreateTable());
    AddRow(notes, { QString(40000, 'x') });
    TmxGrid noteGrid;
    noteGrid.SetDataSet(&notes);
    noteGrid.AddColumn("cNote", "Note");
    ChooseFile(script, "dlgSaveGrid", dir.filePath("notes.xlsx"));
    EXPECT_TRUE(noteGrid.SaveGridToFile("Notes", true, true, false));
    EXPECT_EQ(script.takeMessages(),
        QStringList { "1 cell held more than the 32,767 characters an Excel cell holds: its text "
                      "was cut to fit." });
}

} // namespace
