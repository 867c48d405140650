#include "TableRows.h"
#include "host/db/DbTestSupport.h"

TEST_F(DbTest, CopyTableHoldsExactlyTheSourceRows)
{
    exec("CREATE TABLE src(id INTEGER PRIMARY KEY, cName VARCHAR(20), nRate MONEY, dtFrom DATE, "
         "bOn BIT, nData IMAGE, cMemo TEXT)");
    exec("INSERT INTO src VALUES (1, 'O''Neil', 12.5, '2024-01-31', 1, x'00ff10', 'line1\nline2'), "
         "(2, NULL, NULL, NULL, NULL, NULL, NULL), "
         "(3, '\xC3\xA9t\xC3\xA9', -0.001, '1999-12-31', 0, x'', ''), "
         "(4, 'last', 1e15, '2024-02-29', 1, x'41', 'x')");
    TQuillonADOQuery source;
    OpenQuery(source, *db, "select * from src order by id");

    TQuillonTempTable copy;
    copy.AddField("stale", FieldType::Integer);
    ASSERT_TRUE(copy.ClearFields());
    ASSERT_TRUE(CopyTable(source, copy, true)) << copy.LastErrorText().toStdString();
    ASSERT_EQ(copy.FieldCount(), source.FieldCount());
    ASSERT_EQ(copy.RowCount(), 4);
    for (int field = 0; field < source.FieldCount(); ++field) {
        SCOPED_TRACE(source.FieldName(field).toStdString());
        EXPECT_EQ(copy.FieldName(field), source.FieldName(field));
        EXPECT_EQ(copy.FieldDataType(field), source.FieldDataType(field));
        for (int row = 0; row < 4; ++row) {
            EXPECT_EQ(copy.IsNullAt(row, field), source.IsNullAt(row, field)) << row;
            EXPECT_EQ(copy.ValueAt(row, field), source.ValueAt(row, field)) << row;
        }
    }

    // A filtered source gives its records only; fields go by name, extra fields stay NULL, and
    // what the destination held before is gone.
    ASSERT_TRUE(source.SetFilter("bOn = 1"));
    TQuillonTempTable picked;
    picked.AddField("CNAME", FieldType::String, 20);
    picked.AddField("extra", FieldType::Integer);
    picked.AddField("id", FieldType::Integer);
    ASSERT_TRUE(picked.Open());
    ASSERT_TRUE(picked.brAppend());
    picked.FieldByName("id").SetAsInteger(99);
    ASSERT_TRUE(picked.brPost());
    ASSERT_TRUE(CopyTable(source, picked, false)) << picked.LastErrorText().toStdString();
    EXPECT_EQ(columnTexts(picked, "id"), (std::vector<std::string> { "1", "4" }));
    EXPECT_EQ(columnTexts(picked, "cName"), (std::vector<std::string> { "O'Neil", "last" }));
    EXPECT_EQ(columnTexts(picked, "extra"), (std::vector<std::string> { "<null>", "<null>" }));

    // A value the destination cannot hold is refused, not cut: nothing half-copied remains.
    TQuillonTempTable narrow;
    narrow.AddField("cName", FieldType::String, 3);
    EXPECT_FALSE(CopyTable(source, narrow, true));
    EXPECT_EQ(
        narrow.LastErrorText(), "The value for the field \"cName\" is longer than 3 characters.");
    EXPECT_EQ(narrow.RowCount(), 0);
}

TEST(TempTable, EditsFiltersAndEmpties)
{
    TQuillonTempTable table;
    ASSERT_TRUE(table.AddField("cParamDesc", FieldType::String, 50));
    ASSERT_TRUE(table.AddField("cValue", FieldType::String, 200));
    ASSERT_TRUE(table.AddField("cType", FieldType::String, 20));
    ASSERT_TRUE(table.AddField("dtValue", FieldType::DateTime));
    EXPECT_FALSE(table.AddField("CVALUE", FieldType::String));
    ASSERT_TRUE(table.Open());
    EXPECT_FALSE(table.AddField("late", FieldType::Integer));

    AddRow(table, { "From", "", "Date", QDateTime(QDate(2024, 1, 1), QTime(0, 0)) });
    AddRow(table, { "Code", "AB'C", "Text", QVariant() });
    AddRow(table, { "Rate", "12.5", "Decimal", QVariant() });
    EXPECT_EQ(table.RecordCount(), 3);
    EXPECT_EQ(table.FieldByName("cParamDesc").AsString(), "Rate"); // the posted row is current

    ASSERT_TRUE(table.First());
    EXPECT_EQ(table.FieldByName("dtValue").AsDateTime(), QDateTime(QDate(2024, 1, 1), QTime(0, 0)));
    EXPECT_EQ(table.FieldByName("cValue").AsString(), "");
    EXPECT_FALSE(table.FieldByName("cValue").IsNull());

    ASSERT_TRUE(table.SetFilter("cType <> 'date' AND dtValue IS NULL"));
    EXPECT_EQ(columnTexts(table, "cParamDesc"), (std::vector<std::string> { "Code", "Rate" }));
    ASSERT_TRUE(table.Locate("cParamDesc", "rate"));
    ASSERT_TRUE(table.brEdit());
    table.FieldByName("cType").SetAsString("Date");
    ASSERT_TRUE(table.brPost());
    EXPECT_EQ(columnTexts(table, "cParamDesc"), std::vector<std::string> { "Code" });
    ASSERT_TRUE(table.Delete());
    EXPECT_EQ(table.RecordCount(), 0);
    ASSERT_TRUE(table.SetFilter(""));
    EXPECT_EQ(columnTexts(table, "cParamDesc"), (std::vector<std::string> { "From", "Rate" }));

    ASSERT_TRUE(table.brEdit());
    EXPECT_TRUE(table.FieldByName("cParamDesc").SetAsString(QString(51, 'x')));
    EXPECT_FALSE(table.brPost());
    EXPECT_EQ(table.LastErrorText(),
        "The value for the field \"cParamDesc\" is longer than 50 characters.");
    table.Cancel();
    EXPECT_EQ(table.FieldByName("cParamDesc").AsString(), "From");

    ASSERT_TRUE(table.EmptyTable());
    EXPECT_TRUE(table.Active());
    EXPECT_EQ(table.RecordCount(), 0);
    EXPECT_TRUE(table.Eof());
}
