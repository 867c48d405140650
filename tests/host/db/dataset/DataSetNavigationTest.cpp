#include "TableRows.h"
#include "host/db/DbTestSupport.h"

#include <QSignalSpy>

namespace {

// Three rows in a table the tests can edit freely.
class NavigationTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        table.AddField("cName", FieldType::String, 10);
        table.AddField("iCount", FieldType::Integer);
        table.AddField("dtWhen", FieldType::Date);
        ASSERT_TRUE(table.Open());
        AddRow(table, { "one", 1, QDate(2024, 1, 1) });
        AddRow(table, { "two", 2, QDate(2024, 2, 2) });
        AddRow(table, { "three", 3, QVariant() });
    }

    std::vector<std::string> walk()
    {
        std::vector<std::string> names;
        for (table.First(); !table.Eof(); table.Next())
            names.push_back(table.FieldByName("cName").AsString().toStdString());
        return names;
    }

    TQuillonTempTable table;
};

} // namespace

TEST_F(NavigationTest, WalksForwardAndBackLikeTheHostDataSets)
{
    EXPECT_EQ(walk(), (std::vector<std::string> { "one", "two", "three" }));
    EXPECT_TRUE(table.Eof());
    EXPECT_EQ(table.RecNo(), 2); // Eof stays on the last record

    ASSERT_TRUE(table.Last());
    EXPECT_TRUE(table.Eof());
    std::vector<std::string> back;
    while (!table.Bof()) {
        back.push_back(table.FieldByName("cName").AsString().toStdString());
        table.Prior();
    }
    EXPECT_EQ(back, (std::vector<std::string> { "three", "two", "one" }));
    EXPECT_FALSE(table.MoveTo(3));
    EXPECT_TRUE(table.MoveTo(1));
    EXPECT_EQ(table.FieldByName("iCount").AsInteger(), 2);

    ASSERT_TRUE(table.SetFilter("iCount > 5"));
    EXPECT_TRUE(table.IsEmpty());
    EXPECT_EQ(walk(), std::vector<std::string> {});
    EXPECT_TRUE(table.Bof() && table.Eof());
    EXPECT_EQ(table.CurrentRow(), -1);
    EXPECT_FALSE(table.brEdit());
    EXPECT_EQ(table.LastErrorText(), "There is no record to edit.");
    EXPECT_FALSE(table.Delete());
    EXPECT_EQ(table.LastErrorText(), "There is no record to delete.");
}

TEST_F(NavigationTest, MovingPostsTheEditAndAFailedPostKeepsTheRecord)
{
    ASSERT_TRUE(table.First());
    ASSERT_TRUE(table.brEdit());
    table.FieldByName("cName").SetAsString("uno");
    ASSERT_TRUE(table.Next());
    EXPECT_EQ(table.GetState(), TQuillonDataSet::State::Browse);
    EXPECT_EQ(table.TextAt(0, 0), "uno");

    ASSERT_TRUE(table.brEdit());
    table.FieldByName("cName").SetAsString("far too long a name");
    EXPECT_FALSE(table.Next());
    EXPECT_EQ(table.RecNo(), 1);
    EXPECT_EQ(table.GetState(), TQuillonDataSet::State::Edit);
    EXPECT_FALSE(table.SetFilter("iCount = 1"));
    EXPECT_EQ(table.Filter(), "");
    table.Cancel();
    EXPECT_EQ(table.FieldByName("cName").AsString(), "two");
}

TEST_F(NavigationTest, LocateComparesByTheFieldsType)
{
    const struct
    {
        const char *field;
        QVariant value;
        int record;
    } cases[] = {
        { "cname", "TWO", 1 },
        { "iCount", 3, 2 },
        { "iCount", "3", 2 },
        { "iCount", 3.5, -1 },
        { "dtWhen", QDateTime(QDate(2024, 2, 2), QTime(0, 0)), 1 },
        { "dtWhen", QVariant(), 2 },
        { "nosuch", 1, -1 },
    };
    for (const auto &row : cases) {
        SCOPED_TRACE(row.field);
        ASSERT_TRUE(table.First());
        EXPECT_EQ(table.Locate(row.field, row.value), row.record >= 0);
        EXPECT_EQ(table.RecNo(), row.record >= 0 ? row.record : 0);
    }
}

TEST_F(NavigationTest, FieldsReadEveryWayTheWindowsAsk)
{
    ASSERT_TRUE(table.First());
    TField name = table.FieldByName("CNAME");
    TField count = table.FieldByName("iCount");
    TField when = table.FieldByName("dtWhen");
    EXPECT_FALSE(table.FieldByName("missing").IsValid());
    EXPECT_EQ(table.FieldByName("missing").AsString(), "");
    EXPECT_EQ(name.FieldName(), "cName");
    EXPECT_EQ(count.DataType(), FieldType::Integer);
    EXPECT_EQ(count.AsString(), "1");
    EXPECT_EQ(count.AsFloat(), 1.0);
    EXPECT_TRUE(count.AsBoolean());
    EXPECT_EQ(when.AsString(), "2024-01-01");
    EXPECT_EQ(when.AsDateTime(), QDateTime(QDate(2024, 1, 1), QTime(0, 0)));
    EXPECT_EQ(name.AsBytes(), QByteArray("one"));
    EXPECT_FALSE(name.SetAsString("x")); // not editing
    EXPECT_EQ(table.LastErrorText(), "The data set is not in edit or insert mode.");

    ASSERT_TRUE(table.Last());
    EXPECT_TRUE(when.IsNull());
    EXPECT_FALSE(when.AsDateTime().isValid());
    EXPECT_EQ(when.AsString(), "");
    EXPECT_EQ(when.AsInteger(), 0);

    ASSERT_TRUE(table.brEdit());
    EXPECT_TRUE(count.SetAsVariant(QString(" 42 ")));
    EXPECT_EQ(count.AsInteger(), 42); // the edit buffer, as typed
    EXPECT_TRUE(when.SetAsString("2024-03-04"));
    ASSERT_TRUE(table.brPost()) << table.LastErrorText().toStdString();
    EXPECT_EQ(count.AsVariant(), QVariant(qlonglong(42)));
    EXPECT_EQ(when.AsVariant(), QVariant(QDate(2024, 3, 4)));
}

TEST_F(NavigationTest, SignalsNameTheRecordThatChanged)
{
    QSignalSpy changed(&table, &TQuillonDataSet::RowChanged);
    QSignalSpy inserted(&table, &TQuillonDataSet::RowInserted);
    QSignalSpy removed(&table, &TQuillonDataSet::RowRemoved);
    QSignalSpy resets(&table, &TQuillonDataSet::DataReset);
    ASSERT_TRUE(table.MoveTo(1));
    ASSERT_TRUE(table.brEdit());
    table.FieldByName("iCount").SetAsInteger(20);
    ASSERT_TRUE(table.brPost());
    ASSERT_TRUE(table.brAppend());
    table.FieldByName("cName").SetAsString("four");
    ASSERT_TRUE(table.brPost());
    ASSERT_TRUE(table.MoveTo(0));
    ASSERT_TRUE(table.Delete());
    ASSERT_EQ(changed.count(), 1);
    EXPECT_EQ(changed.at(0).at(0).toInt(), 1);
    ASSERT_EQ(inserted.count(), 1);
    EXPECT_EQ(inserted.at(0).at(0).toInt(), 3);
    ASSERT_EQ(removed.count(), 1);
    EXPECT_EQ(removed.at(0).at(0).toInt(), 0);
    EXPECT_EQ(resets.count(), 0);
    EXPECT_EQ(table.FieldByName("cName").AsString(), "two");
}

TEST_F(DbTest, FilterSetWhileClosedIsCheckedWhenTheQueryOpens)
{
    exec("CREATE TABLE t(id INTEGER PRIMARY KEY, cName TEXT); INSERT INTO t(cName) VALUES ('a'), "
         "('b')");
    TQuillonADOQuery query;
    ASSERT_TRUE(query.SetFilter("cName = 'b'"));
    OpenQuery(query, *db, "select * from t");
    EXPECT_EQ(columnTexts(query, "cName"), std::vector<std::string> { "b" });

    // A new statement without the field: the filter cannot apply and says so.
    query.SetSQL("select id from t");
    ASSERT_TRUE(query.Open());
    EXPECT_EQ(query.RecordCount(), 2);
    EXPECT_EQ(query.Filter(), "");
    EXPECT_EQ(query.LastErrorText(), "Error in the filter at position 1: unknown field \"cName\"");

    EXPECT_FALSE(query.SetFilter("id >"));
    query.Close();
    EXPECT_FALSE(query.Active());
    EXPECT_EQ(query.RecordCount(), 0);
    EXPECT_EQ(query.FieldCount(), 0);
    EXPECT_TRUE(query.FieldByName("id").IsNull());
}
