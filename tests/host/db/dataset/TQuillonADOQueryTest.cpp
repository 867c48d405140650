#include "host/db/DbTestSupport.h"

#include "host/db/dataset/TQuillonADOQuery.h"

#include <QSignalSpy>

#include <sqlite3.h>

namespace {

class QueryTest : public DbTest
{
protected:
    void SetUp() override
    {
        DbTest::SetUp();
        exec("CREATE TABLE _iptblEasyEnquiry(idEnquiry INTEGER PRIMARY KEY, cCode VARCHAR(10) NOT "
             "NULL UNIQUE, cDescription VARCHAR(100), iIQTypeID INT NOT NULL DEFAULT 1, bCommonDB "
             "BIT DEFAULT 0, dtCreated DATETIME DEFAULT '2024-01-02 03:04:05')");
        exec("INSERT INTO _iptblEasyEnquiry(cCode, cDescription) VALUES ('B2', 'second'), "
             "('AB''C', 'quote')");
        query.SetConnection(db.get());
    }

    bool openAll()
    {
        query.SetSQL("select * from dbo._iptblEasyEnquiry order by cCode");
        return query.Open();
    }

    TQuillonADOQuery query;
};

int traceStatements(unsigned, void *count, void *, void *)
{
    ++*static_cast<int *>(count);
    return 0;
}

} // namespace

TEST_F(QueryTest, AppendedRowShowsItsIdentityAndDefaultsThenEditsAndDeletes)
{
    ASSERT_TRUE(openAll()) << query.LastErrorText().toStdString();
    ASSERT_TRUE(query.brAppend());
    query.FieldByName("CCODE").SetAsString("NEW1");
    ASSERT_TRUE(query.brPost()) << query.LastErrorText().toStdString();
    const int id = query.FieldByName("idEnquiry").AsInteger();
    EXPECT_FALSE(query.FieldByName("bCommonDB").AsBoolean());
    EXPECT_EQ(
        query.FieldByName("dtCreated").AsDateTime(), QDateTime(QDate(2024, 1, 2), QTime(3, 4, 5)));
    EXPECT_EQ(query.RecordCount(), 3);

    ASSERT_TRUE(query.brEdit());
    query.FieldByName("cDescription").SetAsString("it's changed");
    query.FieldByName("dtCreated").SetAsDateTime(QDateTime(QDate(2025, 6, 7), QTime(8, 9)));
    query.FieldByName("bCommonDB").SetAsBoolean(true);
    ASSERT_TRUE(query.brPost()) << query.LastErrorText().toStdString();
    EXPECT_EQ(text("select cDescription || '|' || dtCreated || '|' || bCommonDB from "
                   "_iptblEasyEnquiry where idEnquiry = "
                  + std::to_string(id)),
        "it's changed|2025-06-07 08:09:00|1");
    EXPECT_EQ(query.FieldByName("cDescription").AsString(), "it's changed");

    ASSERT_TRUE(query.Locate("ccode", "ab'c"));
    ASSERT_TRUE(query.Delete()) << query.LastErrorText().toStdString();
    EXPECT_EQ(scalar("select count(*) from _iptblEasyEnquiry where cCode = 'AB''C'"), 0);
    EXPECT_EQ(columnTexts(query, "cCode"), (std::vector<std::string> { "B2", "NEW1" }));
}

TEST_F(QueryTest, FailedPostWritesNothingAndKeepsTheEdit)
{
    ASSERT_TRUE(openAll());
    const char *all
        = "select group_concat(cCode || cDescription || iIQTypeID, ';') from _iptblEasyEnquiry";
    const std::string before = text(all);
    const struct
    {
        const char *field;
        QVariant value;
        bool append;
        const char *error;
    } cases[] = {
        { "cCode", QString("B2"), true, "UNIQUE constraint failed: _iptblEasyEnquiry.cCode" },
        { "cCode", QVariant(), false, "NOT NULL constraint failed: _iptblEasyEnquiry.cCode" },
        { "iIQTypeID", QString("abc"), false,
            "Value \"abc\" is not valid for the field \"iIQTypeID\"." },
        { "dtCreated", QString("31/12/2024"), true,
            "Value \"31/12/2024\" is not valid for the field \"dtCreated\"." },
    };
    for (const auto &row : cases) {
        SCOPED_TRACE(row.field);
        ASSERT_TRUE(query.First());
        ASSERT_TRUE(row.append ? query.brAppend() : query.brEdit());
        query.FieldByName("cDescription").SetAsString("half");
        query.FieldByName(row.field).SetAsVariant(row.value);
        EXPECT_FALSE(query.brPost());
        EXPECT_EQ(query.LastErrorText().toStdString(), row.error);
        EXPECT_EQ(query.GetState(),
            row.append ? TQuillonDataSet::State::Insert : TQuillonDataSet::State::Edit);
        EXPECT_EQ(query.FieldByName(row.field).AsVariant(), row.value);
        EXPECT_EQ(query.FieldByName("cDescription").AsString(), "half");
        EXPECT_EQ(text(all), before);
        query.Cancel();
    }
    EXPECT_EQ(query.FieldByName("cDescription").AsString(), "quote");

    // Inside a caller's transaction a refused post undoes only itself.
    {
        Transaction import(*db);
        ASSERT_TRUE(query.brAppend());
        query.FieldByName("cCode").SetAsString("KEEP");
        ASSERT_TRUE(query.brPost());
        ASSERT_TRUE(query.brAppend());
        query.FieldByName("cCode").SetAsString("KEEP");
        EXPECT_FALSE(query.brPost());
        query.Cancel();
        EXPECT_TRUE(import.commit());
    }
    EXPECT_EQ(scalar("select count(*) from _iptblEasyEnquiry where cCode = 'KEEP'"), 1);
}

TEST_F(QueryTest, RecordsExistCriteriaBindsLiteralsAndRefusesInjectedText)
{
    query.SetTableName("_iptblEasyEnquiry");
    const int quoteId
        = static_cast<int>(scalar("select idEnquiry from _iptblEasyEnquiry where cCode = 'AB''C'"));
    const struct
    {
        std::string criteria;
        bool exists;
        const char *error;
    } cases[] = {
        { "cCode='AB''C' AND idEnquiry<>0", true, "" },
        { "cCode='ab''c' AND idEnquiry<>" + std::to_string(quoteId), false, "" },
        { "cCode='ab''c'", true, "" }, // letter case ignored, as in the grid
        { "cCode='x' OR 1=1 --", false, "Error in the filter at position 18: unexpected \"-\"" },
        { "x'; DROP TABLE _iptblEasyEnquiry; --", false,
            "Error in the filter at position 2: text is not closed with '" },
        { "cCode = 'x''; DROP TABLE _iptblEasyEnquiry; --'", false, "" },
        { "cCode = 'B2' OR [cCode]; DROP TABLE x", false,
            "Error in the filter at position 24: unexpected character \";\"" },
        { "nosuch = 1", false, "Error in the filter at position 1: unknown field \"nosuch\"" },
        { "\"cCode\" IN ('B2') AND NOT cDescription LIKE 'q%'", true, "" },
    };
    for (const auto &row : cases) {
        SCOPED_TRACE(row.criteria);
        EXPECT_EQ(query.RecordsExistCriteria(QString::fromStdString(row.criteria)), row.exists);
        EXPECT_EQ(query.LastErrorText().toStdString(), row.error);
    }
    EXPECT_EQ(scalar("select count(*) from _iptblEasyEnquiry"), 2);
}

TEST_F(QueryTest, SelectRecordsBindsTheValueAndChecksTheColumn)
{
    query.SetTableName("_iptblEasyEnquiry");
    ASSERT_TRUE(query.SelectRecords("cCode", QString("ab'c")))
        << query.LastErrorText().toStdString();
    EXPECT_EQ(columnTexts(query, "cDescription"), std::vector<std::string> { "quote" });
    EXPECT_EQ(query.SQL(), "select * from _iptblEasyEnquiry where \"cCode\" = ? COLLATE NOCASE");

    EXPECT_FALSE(query.SelectRecords("cCode = cCode or 1", 1));
    EXPECT_EQ(query.LastErrorText(),
        "Unknown column \"cCode = cCode or 1\" in table \"_iptblEasyEnquiry\".");
    EXPECT_FALSE(query.Active());

    // The selection is repeated by a refresh, with the same bound value.
    ASSERT_TRUE(query.SelectRecords("idenquiry", 1));
    exec("UPDATE _iptblEasyEnquiry SET cDescription = 'fresh' WHERE idEnquiry = 1");
    ASSERT_TRUE(query.brRefresh());
    EXPECT_EQ(columnTexts(query, "cDescription"), std::vector<std::string> { "fresh" });
}

TEST_F(QueryTest, TimeoutEndsTheOpenWithoutRetrying)
{
    int starts = 0;
    sqlite3_trace_v2(db->handle(), SQLITE_TRACE_STMT, traceStatements, &starts);
    db->setCommandTimeout(std::chrono::milliseconds(0));
    query.SetSQL(
        "WITH RECURSIVE c(x) AS (SELECT 1 UNION ALL SELECT x + 1 FROM c) SELECT count(*) FROM c");
    query.SetCommandTimeout(1);
    query.SetRetryCount(3);
    EXPECT_FALSE(query.Open());
    EXPECT_EQ(starts, 1);
    EXPECT_FALSE(query.Active());
    sqlite3_trace_v2(db->handle(), 0, nullptr, nullptr);
}

TEST_F(QueryTest, RetriesWhileAnotherConnectionHoldsTheDatabase)
{
    auto other = openFile("main.db");
    ASSERT_TRUE(other->execute("BEGIN EXCLUSIVE"));
    struct Busy
    {
        int calls = 0;
        int releaseAt = 0;
        SqliteConnection *holder = nullptr;
    } busy;
    busy.holder = other.get();
    // Fails each attempt at once instead of waiting; optionally lets go of the lock.
    sqlite3_busy_handler(
        db->handle(),
        [](void *data, int) {
            auto *state = static_cast<Busy *>(data);
            if (++state->calls == state->releaseAt)
                state->holder->execute("COMMIT");
            return 0;
        },
        &busy);
    query.SetRetryCount(3);
    query.SetSQL("select cCode from _iptblEasyEnquiry");
    EXPECT_FALSE(query.Open());
    EXPECT_EQ(busy.calls, 3);
    EXPECT_TRUE(query.LastError().transient);
    EXPECT_NE(query.LastErrorText().indexOf("locked"), -1) << query.LastErrorText().toStdString();

    busy.calls = 0;
    busy.releaseAt = 2;
    ASSERT_TRUE(other->inTransaction());
    EXPECT_TRUE(query.Open()) << query.LastErrorText().toStdString();
    EXPECT_EQ(busy.calls, 2);
    EXPECT_EQ(query.RecordCount(), 2);
}

TEST_F(QueryTest, RefreshKeepsTheCurrentRecordByKey)
{
    ASSERT_TRUE(openAll());
    ASSERT_TRUE(query.Locate("cCode", "B2"));
    EXPECT_EQ(query.RecNo(), 1);
    exec("INSERT INTO _iptblEasyEnquiry(cCode) VALUES ('A0'), ('A1')");
    ASSERT_TRUE(query.brRefresh());
    EXPECT_EQ(query.FieldByName("cCode").AsString(), "B2");
    EXPECT_EQ(query.RecNo(), 3);

    exec("DELETE FROM _iptblEasyEnquiry WHERE cCode = 'B2'");
    ASSERT_TRUE(query.brRefresh());
    EXPECT_EQ(query.RecordCount(), 3);
    EXPECT_EQ(query.RecNo(), 2); // gone: the nearest record instead

    ASSERT_TRUE(query.brRefresh(true, "cCode", "A0"));
    EXPECT_EQ(query.FieldByName("cCode").AsString(), "A0");
}

TEST_F(QueryTest, DisplayUpdatesResumeWithOneReset)
{
    QSignalSpy resets(&query, &TQuillonDataSet::DataReset);
    query.DisableControls();
    query.DisableControls();
    ASSERT_TRUE(openAll());
    ASSERT_TRUE(query.SetFilter("cCode LIKE 'b%'"));
    ASSERT_TRUE(query.brEdit());
    query.FieldByName("cDescription").SetAsString("x");
    ASSERT_TRUE(query.brPost());
    query.EnableControls();
    EXPECT_EQ(resets.count(), 0);
    query.EnableControls();
    EXPECT_EQ(resets.count(), 1);
    query.EnableControls(); // unbalanced: no effect
    EXPECT_EQ(resets.count(), 1);
}

TEST_F(QueryTest, FilterFollowsEditsAndRefusesBadTextKeepingTheOldOne)
{
    ASSERT_TRUE(openAll());
    ASSERT_TRUE(query.SetFilter("cDescription <> 'gone'"));
    EXPECT_EQ(query.RecordCount(), 2);
    EXPECT_FALSE(query.SetFilter("cDescription <> "));
    EXPECT_EQ(query.LastErrorText(),
        "Error in the filter at position 16: a field or value expected, found end of the filter");
    EXPECT_FALSE(query.SetFilter("nosuch = 1"));
    EXPECT_EQ(query.Filter(), "cDescription <> 'gone'");

    ASSERT_TRUE(query.First());
    ASSERT_TRUE(query.brEdit());
    query.FieldByName("cDescription").SetAsString("gone");
    ASSERT_TRUE(query.brPost());
    EXPECT_EQ(columnTexts(query, "cCode"), std::vector<std::string> { "B2" });
    EXPECT_EQ(query.FieldByName("cCode").AsString(), "B2");
    ASSERT_TRUE(query.SetFilter(""));
    EXPECT_EQ(query.RecordCount(), 2);
}

TEST_F(QueryTest, WritesOnlyToTheBaseTableAndNothingWhenAStatementFailsHalfway)
{
    exec("CREATE TABLE _iptblType(idIQType INTEGER PRIMARY KEY, cIQType VARCHAR(20)); "
         "INSERT INTO _iptblType VALUES (1, 'General')");
    exec("CREATE TRIGGER noBoom BEFORE UPDATE ON _iptblEasyEnquiry WHEN NEW.cDescription = 'boom' "
         "BEGIN SELECT RAISE(ABORT, 'boom refused'); END");
    query.SetSQL("select e.*, t.cIQType, upper(e.cCode) as cUpper from _iptblEasyEnquiry e "
                 "join _iptblType t on t.idIQType = e.iIQTypeID order by e.cCode");
    ASSERT_TRUE(query.Open()) << query.LastErrorText().toStdString();
    EXPECT_EQ(query.TableName(), "_iptblEasyEnquiry");
    EXPECT_EQ(query.FieldDataType(query.FieldIndex("cUpper")), FieldType::String);

    const struct
    {
        const char *field;
        const char *value;
        const char *error;
    } cases[] = {
        { "cIQType", "Other",
            "The field \"cIQType\" cannot be changed: it is not a column of "
            "\"_iptblEasyEnquiry\"." },
        { "cUpper", "X",
            "The field \"cUpper\" cannot be changed: it is not a column of "
            "\"_iptblEasyEnquiry\"." },
        { "cDescription", "boom", "boom refused" },
    };
    for (const auto &row : cases) {
        SCOPED_TRACE(row.field);
        ASSERT_TRUE(query.brEdit());
        query.FieldByName("cCode").SetAsString("CHG");
        query.FieldByName(row.field).SetAsString(row.value);
        EXPECT_FALSE(query.brPost());
        EXPECT_EQ(query.LastErrorText().toStdString(), row.error);
        query.Cancel();
    }
    EXPECT_EQ(scalar("select count(*) from _iptblEasyEnquiry where cCode = 'CHG'"), 0);
    EXPECT_EQ(text("select cIQType from _iptblType"), "General");

    ASSERT_TRUE(query.brEdit());
    query.FieldByName("cDescription").SetAsString("calm");
    ASSERT_TRUE(query.brPost());
    EXPECT_EQ(query.FieldByName("cIQType").AsString(), "General"); // kept from the result
}

TEST_F(QueryTest, RecordChangedByAnotherUserIsReportedNotRecreated)
{
    ASSERT_TRUE(openAll());
    ASSERT_TRUE(query.Locate("cCode", "B2"));
    exec("DELETE FROM _iptblEasyEnquiry WHERE cCode = 'B2'");
    ASSERT_TRUE(query.brEdit());
    query.FieldByName("cDescription").SetAsString("late");
    EXPECT_FALSE(query.brPost());
    EXPECT_EQ(
        query.LastErrorText(), "The record to change was not found; it may have been deleted.");
    query.Cancel();
    EXPECT_FALSE(query.Delete());
    EXPECT_EQ(query.LastErrorText(),
        "The record to delete was not found; it may have been deleted already.");
    EXPECT_EQ(scalar("select count(*) from _iptblEasyEnquiry"), 1);
    EXPECT_EQ(query.RecordCount(), 2); // the result is as it was read
}

TEST_F(QueryTest, BlobsAndKeylessTablesRoundTrip)
{
    exec("CREATE TABLE layouts(id INTEGER PRIMARY KEY, nChartLayout IMAGE)");
    exec("CREATE TABLE nokey(a INT, b TEXT); INSERT INTO nokey VALUES (1, 'x')");
    query.SetSQL("select * from layouts");
    ASSERT_TRUE(query.Open());
    const QByteArray layout("\x00\x01\xffTPF0", 7);
    ASSERT_TRUE(query.brAppend());
    query.FieldByName("nChartLayout").SetAsBytes(layout);
    ASSERT_TRUE(query.brPost()) << query.LastErrorText().toStdString();
    EXPECT_EQ(query.FieldByName("nChartLayout").AsBytes(), layout);
    EXPECT_EQ(scalar("select length(nChartLayout) from layouts"), 7);
    ASSERT_TRUE(query.brEdit());
    query.FieldByName("nChartLayout").Clear();
    ASSERT_TRUE(query.brPost());
    EXPECT_EQ(text("select nChartLayout from layouts"), "<null>");

    query.SetSQL("select * from nokey");
    ASSERT_TRUE(query.Open());
    EXPECT_EQ(query.KeyField(), "");
    ASSERT_TRUE(query.brEdit());
    query.FieldByName("b").SetAsString("y");
    EXPECT_FALSE(query.brPost());
    EXPECT_EQ(query.LastErrorText(), "The table \"nokey\" has no key to write by.");

    query.SetSQL("select count(*) as n, max(cCode) as cLast, 1.5 * 2 as r from _iptblEasyEnquiry");
    ASSERT_TRUE(query.Open());
    EXPECT_EQ(query.FieldDataType(0), FieldType::Integer);
    EXPECT_EQ(query.FieldDataType(1), FieldType::String);
    EXPECT_EQ(query.FieldDataType(2), FieldType::Float);
    EXPECT_EQ(query.TableName(), "");
    ASSERT_TRUE(query.brEdit());
    query.FieldByName("n").SetAsInteger(9);
    EXPECT_FALSE(query.brPost());
    EXPECT_EQ(query.LastErrorText(), "The table to write to is not known.");
}

namespace {

// Fields of one name in any letter case each keep their values, under the names data sets give
// them, and the filter finds each one.
TEST_F(QueryTest, RepeatedFieldNamesGetSuffixesAndKeepTheirValues)
{
    query.SetSQL("select 'ASH' as cCode, 'W' as cCode, 'X' as CCODE, 'Y' as cCode_1, 5 as n");
    ASSERT_TRUE(query.Open());
    QStringList names;
    QStringList values;
    for (int field = 0; field < query.FieldCount(); ++field) {
        names << query.FieldName(field);
        values << query.FieldByName(query.FieldName(field)).AsString();
    }
    EXPECT_EQ(names, QStringList({ "cCode", "cCode_1", "CCODE_2", "cCode_1_1", "n" }));
    EXPECT_EQ(values, QStringList({ "ASH", "W", "X", "Y", "5" }));
    EXPECT_TRUE(query.SetFilter("cCode_1 = 'W' and CCODE_2 = 'X'"));
    EXPECT_EQ(query.RecordCount(), 1);
}

} // namespace
