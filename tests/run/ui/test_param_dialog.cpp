#include "host/core/Agent.h"
#include "host/core/HostContext.h"
#include "host/core/RegIni.h"
#include "host/core/SqlExec.h"
#include "host/core/TypeTables.h"
#include "host/db/dataset/TQuillonTempTable.h"
#include "host/db/engine/Connection.h"
#include "host/ui/HostScript.h"
#include "run/ui/TfrmIPEasyEnquiryParamDlg.h"
#include "store/Databases.h"
#include "store/DemoData.h"
#include "store/SqlHelpers.h"

#include <QAbstractItemModel>
#include <QCoreApplication>
#include <QDialog>
#include <QLineEdit>
#include <QLocale>
#include <QPushButton>
#include <QTableView>
#include <QTemporaryDir>
#include <QTest>

#include <gtest/gtest.h>

#include <initializer_list>

namespace {

struct Param
{
    const char *name;
    int type;
    const char *value; // null: no value stored
};

// What the person sees and does in the dialog's grid.
class ParamGrid
{
public:
    explicit ParamGrid(QDialog &dialog)
        : m_view(dialog.findChild<QTableView *>())
        , m_model(m_view ? m_view->model() : nullptr)
    {
        EXPECT_NE(m_model, nullptr);
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
    int row(const QString &name) const
    {
        const int desc = column("Description");
        for (int r = 0; r < m_model->rowCount(); ++r) {
            if (m_model->index(r, desc).data().toString() == name)
                return r;
        }
        ADD_FAILURE() << "no row " << name.toStdString();
        return -1;
    }
    QStringList names() const
    {
        QStringList result;
        for (int r = 0; r < m_model->rowCount(); ++r)
            result << m_model->index(r, column("Description")).data().toString();
        return result;
    }
    QString cell(const QString &name, const QString &caption) const
    {
        return m_model->index(row(name), column(caption)).data().toString();
    }
    bool editable(const QString &name, const QString &caption) const
    {
        return m_model->index(row(name), column(caption)).flags() & Qt::ItemIsEditable;
    }
    QTableView *view() const { return m_view; }
    bool type(const QString &name, const QString &caption, const QString &text)
    {
        return m_model->setData(m_model->index(row(name), column(caption)), text, Qt::EditRole);
    }

private:
    QTableView *m_view;
    QAbstractItemModel *m_model;
};

void pressOK(QDialog &dialog)
{
    QTest::mouseClick(dialog.findChild<QPushButton *>("btnOK"), Qt::LeftButton);
}

class ParamDialogTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(dir.isValid());
        QString error;
        db = OpenHostDatabases(dir.filePath("payroll.db"), dir.filePath("common.db"), true, error);
        ASSERT_TRUE(db) << error.toStdString();
        DemoOptions options;
        options.employees = 4;
        options.payslipsPerEmployee = 1;
        options.fastPasswordHashing = true;
        ASSERT_TRUE(CreateDemoData(*db->payroll, *db->common, options, error))
            << error.toStdString();
        SetHostConnections(db->payroll.get(), db->common.get());
        RegIni::SetFolder(dir.filePath("settings"));
    }
    void TearDown() override
    {
        SetHostConnections(nullptr, nullptr);
        RegIni::SetFolder(QString());
        QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedKingdom));
    }

    int insertEnquiry(std::initializer_list<Param> params)
    {
        DbError error;
        const std::string code = "TP" + std::to_string(++m_serial);
        EXPECT_TRUE(db->payroll->run(
            "INSERT INTO _iptblEasyEnquiry (cCode, cDescription, cSQLStatement) VALUES (?, 'P', "
            "'SELECT 1')",
            { code }, error));
        const std::int64_t enquiryId = QueryInt(*db->payroll,
            "SELECT idEnquiry FROM _iptblEasyEnquiry WHERE cCode = ?", { code }, error)
                                           .value_or(0);
        for (const Param &param : params) {
            const Value value = param.value ? Value(std::string(param.value)) : Value();
            EXPECT_TRUE(db->payroll->run(
                "INSERT INTO _iptblEasyEnquiryParam (iEnquiryID, cDescription, iSQLTypeID, cValue) "
                "VALUES (?, ?, ?, ?)",
                { enquiryId, std::string(param.name), std::int64_t(param.type), value }, error))
                << error.text;
        }
        return int(enquiryId);
    }
    // "name|type|cValue|dtValue" of each stored row, in definition order.
    QStringList storedRows(int enquiryId)
    {
        QStringList rows;
        DbError error;
        EXPECT_TRUE(db->payroll->forEachRow(
            "SELECT cDescription || '|' || iSQLTypeID || '|' || ifnull(cValue, 'null') || '|' "
            "|| ifnull(dtValue, 'null') FROM _iptblEasyEnquiryParam WHERE iEnquiryID = ? "
            "ORDER BY idEnquiryParam",
            { std::int64_t(enquiryId) },
            [&](const Statement &row) {
                rows << SqlExec::TextAt(row, 0);
                return true;
            },
            error))
            << error.text;
        return rows;
    }

    QTemporaryDir dir;
    std::optional<HostDatabases> db;
    HostScript script;
    int m_serial = 0;
};

bool RunValues(int enquiryId, const std::function<void(QDialog &, ParamGrid &)> &steps,
    HostScript &script, bool editable = false)
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

} // namespace

TEST_F(ParamDialogTest, EmptyDateIsRefusedWithTheShortDateFormatAndNothingIsStored)
{
    const int id = insertEnquiry({ { "Pay Date", 2, nullptr }, { "Name", 1, "abc" } });
    const QStringList before = storedRows(id);
    QString caption, shown;
    const bool confirmed = RunValues(
        id,
        [&](QDialog &dialog, ParamGrid &grid) {
            caption = dialog.windowTitle();
            shown = grid.cell("Pay Date", "Value");
            pressOK(dialog);
            EXPECT_TRUE(dialog.isVisible());
        },
        script);
    EXPECT_FALSE(confirmed);
    EXPECT_EQ(caption, "Modify Enquiry Parameter Values for \"T - P\"");
    EXPECT_EQ(shown, "");
    const QStringList messages = script.takeMessages();
    ASSERT_EQ(messages.size(), 1);
    EXPECT_TRUE(messages[0].startsWith("Value \"\" does not match Type \"Date\"!\r\nError: "))
        << messages[0].toStdString();
    EXPECT_TRUE(messages[0].endsWith(".\r\rPlease enter dates in \"dd/MM/yyyy\" format."))
        << messages[0].toStdString();
    EXPECT_EQ(script.messageLog().back().kind, MsgKind::Error);
    EXPECT_EQ(script.messageLog().back().buttons, MsgButtons::OK);
    EXPECT_EQ(storedRows(id), before);
}

TEST_F(ParamDialogTest, ConfirmedValuesAreStoredInDefinitionOrderAndOfferedNextTime)
{
    // Defined out of alphabetical order: the grid sorts, the rows keep their order.
    const int id
        = insertEnquiry({ { "Zeta", 4, "1" }, { "Alpha", 2, nullptr }, { "Mid", 1, "old" } });
    QStringList names;
    bool typeEditable = true;
    EXPECT_TRUE(RunValues(
        id,
        [&](QDialog &dialog, ParamGrid &grid) {
            names = grid.names();
            typeEditable = grid.editable("Zeta", "Type");
            // Enter goes on to the next value instead of confirming the dialog.
            QTableView *view = grid.view();
            view->setCurrentIndex(view->model()->index(grid.row("Alpha"), grid.column("Value")));
            QTest::keyClick(view, Qt::Key_Return);
            EXPECT_EQ(view->currentIndex().row(), grid.row("Mid"));
            EXPECT_EQ(view->currentIndex().column(), grid.column("Value"));
            EXPECT_TRUE(dialog.isVisible());
            EXPECT_TRUE(grid.type("Alpha", "Value", "31/01/2024"));
            EXPECT_TRUE(grid.type("Zeta", "Value", "42"));
            EXPECT_TRUE(grid.type("Mid", "Value", "new text"));
            pressOK(dialog);
        },
        script, true)); // values mode keeps the types even when the caller would allow changes
    EXPECT_EQ(names, (QStringList { "Alpha", "Mid", "Zeta" }));
    EXPECT_FALSE(typeEditable);
    EXPECT_TRUE(script.takeMessages().isEmpty());
    const QStringList rows = storedRows(id);
    ASSERT_EQ(rows.size(), 3);
    EXPECT_EQ(rows[0], "Zeta|4|42|null");
    EXPECT_TRUE(rows[1].startsWith("Alpha|2|null|2024-01-31")) << rows[1].toStdString();
    EXPECT_EQ(rows[2], "Mid|1|new text|null");

    QStringList offered;
    RunValues(
        id,
        [&](QDialog &, ParamGrid &grid) {
            offered = QStringList { grid.cell("Alpha", "Value"), grid.cell("Mid", "Value"),
                grid.cell("Zeta", "Value") };
        },
        script); // cancelled
    EXPECT_EQ(offered, (QStringList { "31/01/2024", "new text", "42" }));
    EXPECT_EQ(storedRows(id), rows);
}

TEST_F(ParamDialogTest, ValuesAreCheckedByTypeInTheRegionalFormat)
{
    const struct
    {
        QLocale locale;
        int type;
        const char *value;
        bool passes;
    } rows[] = {
        { QLocale(QLocale::English, QLocale::UnitedKingdom), 0, "1", true },
        { QLocale(QLocale::English, QLocale::UnitedKingdom), 0, "TRUE", true },
        { QLocale(QLocale::English, QLocale::UnitedKingdom), 0, "false", true },
        { QLocale(QLocale::English, QLocale::UnitedKingdom), 0, "yes", false },
        { QLocale(QLocale::English, QLocale::UnitedKingdom), 4, "12.5", false },
        { QLocale(QLocale::English, QLocale::UnitedKingdom), 4, "", false },
        { QLocale(QLocale::English, QLocale::UnitedKingdom), 3, "12.5", true },
        { QLocale(QLocale::English, QLocale::UnitedKingdom), 3, "abc", false },
        { QLocale(QLocale::English, QLocale::UnitedKingdom), 1, "", true },
        { QLocale(QLocale::German, QLocale::Germany), 3, "12,5", true },
        { QLocale(QLocale::German, QLocale::Germany), 3, "12.5", false },
        { QLocale(QLocale::German, QLocale::Germany), 2, "31.01.2024", true },
    };
    for (const auto &row : rows) {
        SCOPED_TRACE(row.locale.name().toStdString() + " type " + std::to_string(row.type) + " "
            + row.value);
        QLocale::setDefault(row.locale);
        const int id = insertEnquiry({ { "P", row.type, "seed" } });
        const bool confirmed = RunValues(
            id,
            [&](QDialog &dialog, ParamGrid &grid) {
                EXPECT_TRUE(grid.type("P", "Value", row.value));
                pressOK(dialog);
            },
            script);
        const QStringList messages = script.takeMessages();
        EXPECT_EQ(confirmed, row.passes);
        EXPECT_EQ(messages.size(), row.passes ? 0 : 1);
        if (!row.passes && !messages.isEmpty()) {
            const QString start = QStringLiteral("Value \"%1\" does not match Type \"%2\"!")
                                      .arg(row.value, TSQLDataTypesString().at(row.type));
            EXPECT_TRUE(messages[0].startsWith(start)) << messages[0].toStdString();
        }
    }
}

TEST_F(ParamDialogTest, CancelStoresNothing)
{
    const int id = insertEnquiry({ { "Count", 4, "7" } });
    const QStringList before = storedRows(id);
    EXPECT_FALSE(RunValues(
        id,
        [&](QDialog &dialog, ParamGrid &grid) {
            // Typed into the cell's own editor; Enter ends the edit and does not confirm.
            QTableView *view = grid.view();
            view->edit(view->model()->index(grid.row("Count"), grid.column("Value")));
            auto *editor = view->viewport()->findChild<QLineEdit *>();
            ASSERT_NE(editor, nullptr);
            QTest::keyClick(editor, Qt::Key_End);
            QTest::keyClicks(editor, "8");
            QTest::keyClick(editor, Qt::Key_Return);
            QCoreApplication::processEvents();
            EXPECT_TRUE(dialog.isVisible());
            EXPECT_EQ(grid.cell("Count", "Value"), "78");
            QTest::mouseClick(dialog.findChild<QPushButton *>("btnCancel"), Qt::LeftButton);
        },
        script));
    EXPECT_EQ(storedRows(id), before);
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
