#include "PrintQt.h"
#include "TestDatabases.h"

#include "host/core/TypeTables.h"
#include "host/db/dataset/TQuillonTempTable.h"
#include "host/ui/HostScript.h"
#include "run/ui/TfrmIPEasyEnquiryParamDlg.h"

#include <QAbstractItemModel>
#include <QCoreApplication>
#include <QDialog>
#include <QLineEdit>
#include <QLocale>
#include <QPushButton>
#include <QTableView>
#include <QTest>

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
    bool type(const QString &name, const QString &caption, const QString &text)
    {
        return m_model->setData(index(name, caption), text, Qt::EditRole);
    }

    QTableView *const view;

private:
    QAbstractItemModel *m_model;
};

void pressOK(QDialog &dialog)
{
    QTest::mouseClick(dialog.findChild<QPushButton *>("btnOK"), Qt::LeftButton);
}

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
        bool editable = false)
    {
        script.onModal("TfrmIPEasyEnquiryParamDlg", [&](QDialog &dialog) {
            ParamGrid grid(dialog);
            steps(dialog, grid);
        });
        TQuillonTempTable *params = nullptr;
        const bool confirmed = DoIPEasyEnquiryParam(enquiryId, params, "\"T - P\"", editable);
        EXPECT_EQ(params, nullptr);
        return confirmed;
    }

    TestDatabases db;
    HostScript script;
    int m_serial = 0;
};

} // namespace

// The checks themselves are the run logic's; here: that the dialog applies them in the
// person's regional format, names the first bad value and keeps the dialog open.
TEST_F(ParamDialogTest, BadValuesAreNamedAndNothingIsStored)
{
    const struct
    {
        QLocale locale;
        int type;
        const char *value;
        const char *message; // null: accepted
    } rows[] = {
        { QLocale(QLocale::English, QLocale::UnitedKingdom), kSQLTypeDate, "",
            "Value \"\" does not match Type \"Date\"!\r\nError: '' is not a valid date.\r\r"
            "Please enter dates in \"dd/MM/yyyy\" format." },
        { QLocale(QLocale::English, QLocale::UnitedKingdom), kSQLTypeBoolean, "yes",
            "Value \"yes\" does not match Type \"Boolean\"!" },
        { QLocale(QLocale::English, QLocale::UnitedKingdom), kSQLTypeInteger, "12.5",
            "Value \"12.5\" does not match Type \"Integer\"!" },
        { QLocale(QLocale::German, QLocale::Germany), kSQLTypeDecimal, "12.5",
            "Value \"12.5\" does not match Type \"Decimal\"!" },
        { QLocale(QLocale::German, QLocale::Germany), kSQLTypeDecimal, "12,5", nullptr },
        { QLocale(QLocale::German, QLocale::Germany), kSQLTypeDate, "31.01.2024", nullptr },
    };
    for (const auto &row : rows) {
        SCOPED_TRACE(row.locale.name().toStdString() + " " + row.value);
        QLocale::setDefault(row.locale);
        const int id = insertEnquiry({ { "P", row.type, "seed" }, { "Name", 1, "abc" } });
        const QStringList before = storedRows(id);
        bool stayedOpen = false;
        const bool confirmed = runValues(id, [&](QDialog &dialog, ParamGrid &grid) {
            EXPECT_TRUE(grid.type("P", "Value", row.value));
            pressOK(dialog);
            stayedOpen = dialog.isVisible();
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
    }
}

TEST_F(ParamDialogTest, ConfirmedValuesAreStoredInDefinitionOrderAndOfferedNextTime)
{
    // Defined out of alphabetical order: the grid sorts, the rows keep their order.
    const int id
        = insertEnquiry({ { "Zeta", 4, "1" }, { "Alpha", 2, nullptr }, { "Mid", 1, "old" } });
    QString caption, shown;
    QStringList names;
    bool typeEditable = true;
    EXPECT_TRUE(runValues(
        id,
        [&](QDialog &dialog, ParamGrid &grid) {
            caption = dialog.windowTitle();
            shown = grid.cell("Alpha", "Value");
            names = grid.names();
            typeEditable = grid.editable("Zeta", "Type");
            // Enter goes on to the next value instead of confirming the dialog.
            grid.view->setCurrentIndex(grid.index("Alpha", "Value"));
            QTest::keyClick(grid.view, Qt::Key_Return);
            EXPECT_EQ(grid.view->currentIndex(), grid.index("Mid", "Value"));
            EXPECT_TRUE(dialog.isVisible());
            EXPECT_TRUE(grid.type("Alpha", "Value", "31/01/2024"));
            EXPECT_TRUE(grid.type("Zeta", "Value", "42"));
            EXPECT_TRUE(grid.type("Mid", "Value", "new text"));
            pressOK(dialog);
        },
        true)); // values mode keeps the types even when the caller would allow changes
    EXPECT_EQ(caption, "Modify Enquiry Parameter Values for \"T - P\"");
    EXPECT_EQ(shown, ""); // no date stored
    EXPECT_EQ(names, (QStringList { "Alpha", "Mid", "Zeta" }));
    EXPECT_FALSE(typeEditable);
    EXPECT_TRUE(script.takeMessages().isEmpty());
    const QStringList rows = storedRows(id);
    ASSERT_EQ(rows.size(), 3);
    EXPECT_EQ(rows[0], "Zeta|4|42|NULL");
    EXPECT_TRUE(rows[1].startsWith("Alpha|2|NULL|2024-01-31")) << rows[1].toStdString();
    EXPECT_EQ(rows[2], "Mid|1|new text|NULL");

    // Offered as stored; typed into the cell's own editor, where Enter ends the edit and does
    // not confirm; then cancelled, which stores nothing.
    QStringList offered;
    EXPECT_FALSE(runValues(id, [&](QDialog &dialog, ParamGrid &grid) {
        offered = QStringList { grid.cell("Alpha", "Value"), grid.cell("Mid", "Value"),
            grid.cell("Zeta", "Value") };
        grid.view->edit(grid.index("Zeta", "Value"));
        auto *editor = grid.view->viewport()->findChild<QLineEdit *>();
        ASSERT_NE(editor, nullptr);
        QTest::keyClick(editor, Qt::Key_End);
        QTest::keyClicks(editor, "8");
        QTest::keyClick(editor, Qt::Key_Return);
        QCoreApplication::processEvents();
        EXPECT_TRUE(dialog.isVisible());
        EXPECT_EQ(grid.cell("Zeta", "Value"), "428");
        QTest::mouseClick(dialog.findChild<QPushButton *>("btnCancel"), Qt::LeftButton);
    }));
    EXPECT_EQ(offered, (QStringList { "31/01/2024", "new text", "42" }));
    EXPECT_EQ(storedRows(id), rows);
    EXPECT_TRUE(script.takeMessages().isEmpty());
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
    const auto append = [&](const char *name, const char *type, const char *value) {
        set.brAppend();
        set.FieldByName("cParamDesc").SetAsString(name);
        set.FieldByName("cType").SetAsString(type);
        set.FieldByName("cValue").SetAsString(value);
        ASSERT_TRUE(set.brPost());
    };
    append("From", "Date", "01/01/2024");
    append("Code", "Text", "A");

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
            pressOK(dialog);
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
    script.onModal("TfrmIPEasyEnquiryParamDlg", [](QDialog &dialog) { pressOK(dialog); });
    TQuillonTempTable *params = &set;
    EXPECT_FALSE(DoIPEasyEnquiryParam(0, params, QString(), true));
    EXPECT_EQ(script.takeMessages(), QStringList { "Please choose a valid Type!" });
    EXPECT_EQ(script.messageLog().back().kind, MsgKind::Info);
}
