#include "Click.h"
#include "PrintQt.h"
#include "TableRows.h"
#include "TestDatabases.h"

#include "host/core/TypeTables.h"
#include "host/db/dataset/TQuillonTempTable.h"
#include "host/ui/HostScript.h"
#include "run/ui/TfrmIPEasyEnquiryParamDlg.h"

#include <QAbstractItemModel>
#include <QApplication>
#include <QCalendarWidget>
#include <QComboBox>
#include <QDialog>
#include <QFontMetrics>
#include <QLineEdit>
#include <QLocale>
#include <QScreen>
#include <QTableView>
#include <QTest>
#include <QToolButton>

#include <gtest/gtest.h>

#include <initializer_list>

namespace {

// What the person sees and does in the dialog's grid: cells by parameter name and caption.
class ParamGrid
{
public:
    explicit ParamGrid(QDialog &dialog)
        : view(dialog.findChild<QTableView *>())
        , m_model(view->model())
    {
    }

    int column(const QString &caption) const
    {
        for (int c = 0; c < m_model->columnCount(); ++c) {
            if (m_model->headerData(c, Qt::Horizontal).toString() == caption)
                return c;
        }
        ADD_FAILURE() << "no column " << caption.toStdString();
        return -1;
    }
    QStringList names() const
    {
        QStringList result;
        for (int r = 0; r < m_model->rowCount(); ++r)
            result << m_model->index(r, column("Description")).data().toString();
        return result;
    }
    QModelIndex index(const QString &name, const QString &caption) const
    {
        return m_model->index(int(names().indexOf(name)), column(caption));
    }
    QString cell(const QString &name, const QString &caption) const
    {
        return index(name, caption).data().toString();
    }
    bool editable(const QString &name, const QString &caption) const
    {
        return index(name, caption).flags() & Qt::ItemIsEditable;
    }
    // Types into the cell's editor as the person does: the text there is replaced; it is
    // written when the editor closes (Enter, another cell, OK).
    bool type(const QString &name, const QString &caption, const QString &text)
    {
        const QModelIndex cell = index(name, caption);
        view->setCurrentIndex(cell);
        if (!editor(cell))
            view->edit(cell);
        QLineEdit *line = editorLine(cell);
        if (!line)
            return false;
        line->selectAll();
        if (text.isEmpty())
            QTest::keyClick(line, Qt::Key_Delete);
        QTest::keyClicks(line, text);
        return true;
    }
    QWidget *editor(const QModelIndex &cell) const { return view->indexWidget(cell); }
    QLineEdit *editorLine(const QModelIndex &cell) const
    {
        QWidget *open = editor(cell);
        auto *line = qobject_cast<QLineEdit *>(open);
        return line || !open ? line : open->findChild<QLineEdit *>();
    }

    QTableView *const view;

private:
    QAbstractItemModel *m_model;
};

class ParamDialogTest : public ::testing::Test
{
protected:
    void TearDown() override
    {
        QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedKingdom));
    }

    // A new IQ with these parameter rows; returns its id.
    int insertEnquiry(std::initializer_list<TestParam> params)
    {
        return db.insertEnquiry(QStringLiteral("TP%1").arg(++m_serial), "SELECT 1", {}, params);
    }
    // "name|type|cValue|dtValue" of each stored row, in definition order.
    QStringList storedRows(int enquiryId)
    {
        return db.rows("SELECT cDescription, iSQLTypeID, cValue, dtValue FROM "
                       "_iptblEasyEnquiryParam WHERE iEnquiryID = ? ORDER BY idEnquiryParam",
            { enquiryId });
    }
    // The values mode of the dialog, with the person's steps; true when confirmed.
    bool runValues(int enquiryId, const std::function<void(QDialog &, ParamGrid &)> &steps,
        bool editable = false, const QString &title = "\"T - P\"")
    {
        script.onModal("TfrmIPEasyEnquiryParamDlg", [&](QDialog &dialog) {
            ParamGrid grid(dialog);
            steps(dialog, grid);
        });
        TQuillonTempTable *params = nullptr;
        const bool confirmed = DoIPEasyEnquiryParam(enquiryId, params, title, editable);
        EXPECT_EQ(params, nullptr);
        return confirmed;
    }

    TestDatabases db;
    HostScript script;
    int m_serial = 0;
};

} // namespace

// The checks themselves are the run logic's; here: that the dialog applies them in the
// person's regional format, names the first bad value, keeps the dialog open and opens the
// value's cell with its text selected, so that the person sees which one it was.
TEST_F(ParamDialogTest, BadValuesAreNamedShownAndNothingIsStored)
{
    const struct
    {
        QLocale locale;
        int type;
        const char *stored;
        const char *typed; // null: left as stored
        const char *message; // null: accepted
    } rows[] = {
        { QLocale(QLocale::English, QLocale::UnitedKingdom), kSQLTypeBoolean, "yes", nullptr,
            "Value \"yes\" does not match Type \"Boolean\"!" },
        { QLocale(QLocale::German, QLocale::Germany), kSQLTypeDecimal, "seed", "12.5",
            "Value \"12.5\" does not match Type \"Decimal\"!" },
        { QLocale(QLocale::German, QLocale::Germany), kSQLTypeDecimal, "seed", "12,5", nullptr },
    };
    for (const auto &row : rows) {
        SCOPED_TRACE(row.locale.name().toStdString() + " " + row.stored);
        QLocale::setDefault(row.locale);
        const int id = insertEnquiry({ { "P", row.type, row.stored }, { "Name", 1, "abc" } });
        const QStringList before = storedRows(id);
        bool stayedOpen = false, shown = false;
        QString selected;
        const bool confirmed = runValues(id, [&](QDialog &dialog, ParamGrid &grid) {
            if (row.typed) {
                EXPECT_TRUE(grid.type("P", "Value", row.typed));
            }
            grid.view->setCurrentIndex(grid.index("Name", "Value")); // elsewhere when OK
            Click(dialog, "btnOK");
            stayedOpen = dialog.isVisible();
            const QModelIndex cell = grid.index("P", "Value");
            shown = grid.view->currentIndex() == cell && grid.editor(cell);
            if (QLineEdit *line = grid.editorLine(cell))
                selected = line->selectedText();
        });
        EXPECT_EQ(confirmed, !row.message);
        EXPECT_EQ(stayedOpen, bool(row.message));
        const QStringList messages = script.takeMessages();
        if (!row.message) {
            EXPECT_TRUE(messages.isEmpty());
            continue;
        }
        ASSERT_EQ(messages.size(), 1);
        EXPECT_TRUE(messages[0].startsWith(row.message)) << messages[0].toStdString();
        EXPECT_EQ(script.messageLog().back().kind, MsgKind::Error);
        EXPECT_EQ(script.messageLog().back().buttons, MsgButtons::OK);
        EXPECT_EQ(storedRows(id), before);
        EXPECT_TRUE(shown);
        EXPECT_EQ(selected, row.type == kSQLTypeBoolean ? "" : row.typed);
    }
}

// Typing went nowhere and Enter ran the IQ with the stored values: now the first value has the
// keyboard, Enter goes on to the next value and confirms only from the last.
TEST_F(ParamDialogTest, KeyboardGoesFromValueToValueAndConfirmsFromTheLast)
{
    // Defined out of alphabetical order: the grid sorts, the rows keep their order.
    const int id
        = insertEnquiry({ { "Zeta", 4, "1" }, { "Alpha", 2, nullptr }, { "Mid", 1, "old" } });
    QString shown;
    QStringList names, visited;
    bool typeEditable = true;
    EXPECT_TRUE(runValues(
        id,
        [&](QDialog &dialog, ParamGrid &grid) {
            shown = grid.cell("Alpha", "Value");
            names = grid.names();
            typeEditable = grid.editable("Zeta", "Type");
            for (const char *value : { "31/01/2024", "new text", "42" }) {
                ASSERT_TRUE(dialog.isVisible());
                const QModelIndex current = grid.view->currentIndex();
                visited << grid.names().value(current.row());
                ASSERT_EQ(dialog.focusWidget(), grid.editorLine(current));
                QTest::keyClicks(dialog.focusWidget(), value);
                QTest::keyClick(dialog.focusWidget(), Qt::Key_Return);
            }
            EXPECT_FALSE(dialog.isVisible());
        },
        true)); // values mode keeps the types even when the caller would allow changes
    EXPECT_EQ(shown, ""); // no date stored
    EXPECT_EQ(names, (QStringList { "Alpha", "Mid", "Zeta" }));
    EXPECT_EQ(visited, names);
    EXPECT_FALSE(typeEditable);
    EXPECT_TRUE(script.takeMessages().isEmpty());
    const QStringList rows = storedRows(id);
    ASSERT_EQ(rows.size(), 3);
    EXPECT_EQ(rows[0], "Zeta|4|42|NULL"); // typed over the stored 1
    EXPECT_TRUE(rows[1].startsWith("Alpha|2|NULL|2024-01-31")) << rows[1].toStdString();
    EXPECT_EQ(rows[2], "Mid|1|new text|NULL");

    // Offered as stored next time; Escape in a value cancels the dialog and stores nothing.
    QStringList offered;
    EXPECT_FALSE(runValues(id, [&](QDialog &dialog, ParamGrid &grid) {
        offered = QStringList { grid.cell("Alpha", "Value"), grid.cell("Mid", "Value"),
            grid.cell("Zeta", "Value") };
        EXPECT_TRUE(grid.type("Zeta", "Value", "8"));
        QTest::keyClick(dialog.focusWidget(), Qt::Key_Escape);
        EXPECT_FALSE(dialog.isVisible());
    }));
    EXPECT_EQ(offered, (QStringList { "31/01/2024", "new text", "42" }));
    EXPECT_EQ(storedRows(id), rows);
    EXPECT_TRUE(script.takeMessages().isEmpty());
}

// A boolean is a choice, a date has a calendar beside the text.
TEST_F(ParamDialogTest, BooleansAreAChoiceAndDatesHaveACalendar)
{
    const int id = insertEnquiry(
        { { "B-number", kSQLTypeBoolean, "1" }, { "B-word", kSQLTypeBoolean, "FALSE" } });
    db.insertParam(id, "Date", kSQLTypeDate, std::nullopt, "2024-03-05 00:00:00");
    EXPECT_TRUE(runValues(id, [&](QDialog &dialog, ParamGrid &grid) {
        const auto open = [&](const char *name) {
            const QModelIndex cell = grid.index(name, "Value");
            grid.view->setCurrentIndex(cell);
            if (!grid.editor(cell))
                grid.view->edit(cell);
            return grid.editor(cell);
        };
        for (const auto &[name, shown] :
            { std::pair { "B-number", "True" }, { "B-word", "False" } }) {
            auto *choice = qobject_cast<QComboBox *>(open(name));
            ASSERT_NE(choice, nullptr) << name;
            EXPECT_EQ(choice->currentText(), shown) << name;
            choice->setCurrentText("True");
        }
        QWidget *date = open("Date");
        ASSERT_NE(date, nullptr);
        QTest::mouseClick(date->findChild<QToolButton *>("btnCalendar"), Qt::LeftButton);
        auto *calendar = date->findChild<QCalendarWidget *>("calDate");
        ASSERT_NE(calendar, nullptr);
        EXPECT_EQ(calendar->selectedDate(), QDate(2024, 3, 5));
        calendar->setSelectedDate(QDate(2024, 3, 15));
        QTest::keyClick(calendar->findChild<QTableView *>(), Qt::Key_Return);
        EXPECT_EQ(grid.editorLine(grid.index("Date", "Value"))->text(), "15/03/2024");
        Click(dialog, "btnOK");
    }));
    // The stored 1 passed over as True stays 1; a choice that changes is stored in its words.
    EXPECT_EQ(storedRows(id),
        (QStringList {
            "B-number|0|1|NULL", "B-word|0|True|NULL", "Date|2|NULL|2024-03-15 00:00:00" }));
}

// A caption wider than the dialog was cut in the middle by the window manager.
TEST_F(ParamDialogTest, CaptionIsShownWholeOrCutAtItsEnd)
{
    const int id = insertEnquiry({ { "P", kSQLTypeText, "x" } });
    QFont bold = QApplication::font();
    bold.setBold(true);
    for (const int length : { 20, 400 }) { // fits the screen, does not
        const QString title = "\"PAY-RANGE - " + QString(length, 'D') + "\"";
        const QString full = "Modify Enquiry Parameter Values for " + title;
        QString caption;
        int width = 0;
        runValues(
            id,
            [&](QDialog &dialog, ParamGrid &) {
                caption = dialog.windowTitle();
                width = dialog.width();
            },
            false, title);
        if (length == 20) {
            ASSERT_GT(QFontMetrics(bold).horizontalAdvance(full), 480); // wider than the dialog
            EXPECT_EQ(caption, full);
            EXPECT_GT(width, QFontMetrics(bold).horizontalAdvance(caption));
        } else {
            EXPECT_EQ(caption.left(40), full.left(40));
            EXPECT_TRUE(caption.endsWith(QChar(0x2026))) << caption.toStdString();
            EXPECT_LE(width, QGuiApplication::primaryScreen()->availableGeometry().width());
        }
    }
}

TEST_F(ParamDialogTest, DefinitionsModeHandsTheSetBackAndLocksTheTypeWhenNotEditable)
{
    TQuillonTempTable set;
    set.AddField("cParamDesc", FieldType::String, 50);
    set.AddField("cValue", FieldType::String, 200);
    set.AddField("cType", FieldType::String, 30);
    set.AddField("dtValue", FieldType::DateTime, 0);
    set.CreateTable();
    set.Open();
    AddRow(set, { "From", "01/01/2024", "Date" });
    AddRow(set, { "Code", "A", "Text" });

    for (const bool editable : { false, true }) {
        SCOPED_TRACE(editable ? "editable" : "read-only");
        QString caption;
        bool typeEditable = !editable;
        script.onModal("TfrmIPEasyEnquiryParamDlg", [&](QDialog &dialog) {
            ParamGrid grid(dialog);
            caption = dialog.windowTitle();
            typeEditable = grid.editable("Code", "Type");
            EXPECT_TRUE(grid.editable("Code", "Value"));
            EXPECT_FALSE(grid.editable("Code", "Description"));
            EXPECT_TRUE(grid.type("Code", "Value", editable ? "B" : "C"));
            Click(dialog, "btnOK");
        });
        TQuillonTempTable *params = &set;
        EXPECT_TRUE(DoIPEasyEnquiryParam(0, params, QString(), editable));
        EXPECT_EQ(params, &set);
        EXPECT_EQ(caption, "Modify Enquiry Parameters");
        EXPECT_EQ(typeEditable, editable);
        ASSERT_TRUE(set.Locate("cParamDesc", "Code"));
        EXPECT_EQ(set.FieldByName("cValue").AsString(), editable ? "B" : "C");
        ASSERT_TRUE(set.Locate("cParamDesc", "From"));
        EXPECT_EQ(set.FieldByName("dtValue").AsDateTime().date(), QDate(2024, 1, 1));
    }
    EXPECT_TRUE(script.takeMessages().isEmpty());

    // A type that is not one of the five is refused before any value is looked at.
    set.Locate("cParamDesc", "Code");
    set.brEdit();
    set.FieldByName("cType").SetAsString("text");
    set.brPost();
    script.onModal("TfrmIPEasyEnquiryParamDlg", [](QDialog &dialog) { Click(dialog, "btnOK"); });
    TQuillonTempTable *params = &set;
    EXPECT_FALSE(DoIPEasyEnquiryParam(0, params, QString(), true));
    EXPECT_EQ(script.takeMessages(), QStringList { "Please choose a valid Type!" });
    EXPECT_EQ(script.messageLog().back().kind, MsgKind::Info);
}
