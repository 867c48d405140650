#include "edit/EnquiryEditor.h"

#include "PrintQt.h"
#include "TestDatabases.h"
#include "host/core/RegIni.h"
#include "host/db/engine/Connection.h"

#include <gtest/gtest.h>

namespace {

class EnquiryEditorTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        db.addAgent("boss", { .administrator = true });
        db.signIn("boss");
    }
    TestDatabases db;
};

TEST_F(EnquiryEditorTest, EditRewritesDetailsClearsChartLogsAndErasesLayout)
{
    const int id = db.insertEnquiry("PAYE", "select 1 as a, 2 as b, 3 as c where 1 = @x", "desc",
        { { "x", 4, "7" }, { "y", 1, "old" }, { "z", 1, "old" } });
    db.insertColumns(id, { { "a", true }, { "b", false } });
    db.exec("UPDATE _iptblEasyEnquiry SET cXColumn = 'a', iPalette = 3 WHERE idEnquiry = ?",
        { std::int64_t(id) });
    RegIni::WriteString("frmIPEasyEnquiryView_PAYE", "DefaultOpts", "1");

    EnquiryEditor editor;
    QString error;
    ASSERT_TRUE(editor.Open(id, false, true, error)) << qPrintable(error);
    EXPECT_TRUE(editor.Error().isEmpty()) << qPrintable(editor.Error());
    ASSERT_EQ(editor.Columns().size(), 3u);
    EXPECT_EQ(editor.Columns()[2], (EditorColumn { "c", false, 3 }));
    ASSERT_TRUE(editor.ChangeStatement("select 1 as a, 2 as b, 3 as c where 1 = @X or @Y = 2"));
    ASSERT_EQ(editor.Params().size(), 2u);
    ASSERT_TRUE(editor.SaveRecord(error)) << qPrintable(error);

    EXPECT_EQ(
        db.rows("SELECT cXColumn, iPalette FROM _iptblEasyEnquiry"), QStringList { "NULL|NULL" });
    EXPECT_EQ(db.rows("SELECT cDescription, iSQLTypeID, cValue FROM _iptblEasyEnquiryParam "
                      "ORDER BY idEnquiryParam"),
        (QStringList { "X|4|7", "Y|1|old" }));
    EXPECT_EQ(db.count("SELECT count(*) FROM _iptblEasyEnquiryColumn"), 3);
    EXPECT_EQ(TestDatabases::rows(
                  db.common(), "SELECT iLogType, cText FROM _btblLog WHERE iLogType = 33"),
        QStringList { "33|Enquiry \"PAYE\" Changed" });
    EXPECT_FALSE(RegIni::SectionExists("frmIPEasyEnquiryView_PAYE"));
}

TEST_F(EnquiryEditorTest, FailedSaveLeavesTheOldDefinitionWhole)
{
    const int id = db.insertEnquiry("KEEP", "select 1 as a", "desc", { { "p", 1, "v" } });
    db.insertColumns(id, { { "a", true } });
    db.exec("CREATE TRIGGER fault BEFORE INSERT ON _iptblEasyEnquiryColumn "
            "BEGIN SELECT RAISE(ABORT, 'injected'); END");
    const QStringList before = db.definitionsAndLog();

    EnquiryEditor editor;
    QString error;
    ASSERT_TRUE(editor.Open(id, false, true, error));
    editor.Fields().newIQType = "Brand new";
    ASSERT_TRUE(editor.ChangeStatement("select 1 as a, 2 as b"));
    EXPECT_FALSE(editor.SaveRecord(error));
    EXPECT_TRUE(error.contains("injected")) << qPrintable(error);
    EXPECT_EQ(db.definitionsAndLog(), before);
}

TEST_F(EnquiryEditorTest, ColumnsComeWithoutRunningTheStatement)
{
    // Stepped even once, this would never end.
    EnquiryEditor editor;
    QString error;
    ASSERT_TRUE(editor.Open(0, false, true, error));
    editor.ChangeStatement("with recursive r(n) as (select 1 union all select n + 1 from r) "
                           "select n, n * 2 as twice from r");
    EXPECT_TRUE(editor.Error().isEmpty()) << qPrintable(editor.Error());
    ASSERT_EQ(editor.Columns().size(), 2u);
    EXPECT_EQ(editor.Columns()[1].name, "twice");
    editor.ChangeStatement("select 1 as a; select 2");
    EXPECT_EQ(editor.Error(), "IQ Error: The requested action is forbidden");
}

} // namespace
