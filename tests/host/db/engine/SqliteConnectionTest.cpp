#include "FileBytes.h"
#include "host/db/DbTestSupport.h"

#include "host/db/engine/SqlServerNames.h"

#include <sqlite3.h>

namespace {

const char *kEndless
    = "WITH RECURSIVE c(x) AS (SELECT 1 UNION ALL SELECT x + 1 FROM c) SELECT count(*) FROM c";

} // namespace

TEST_F(DbTest, OpenAndAttachRefuseMissingAndForeignFilesWithAClearText)
{
    DbError error;
    EXPECT_FALSE(
        SqliteConnection::open(path("absent.db"), SqliteConnection::OpenMode::ReadWrite, error));
    EXPECT_NE(error.text.find("absent.db"), std::string::npos) << error.text;
    EXPECT_NE(error.text.find("unable to open"), std::string::npos) << error.text;

    const QString junk = QString::fromStdString(path("junk.db"));
    ASSERT_TRUE(WriteFile(junk, QByteArray(4096, 'x')));
    for (auto mode :
        { SqliteConnection::OpenMode::ReadWrite, SqliteConnection::OpenMode::ReadOnly }) {
        error.clear();
        EXPECT_FALSE(SqliteConnection::open(path("junk.db"), mode, error));
        EXPECT_NE(error.text.find("file is not a database"), std::string::npos) << error.text;
    }
    EXPECT_FALSE(db->attach(path("junk.db"), "payroll"));
    EXPECT_NE(db->lastError().text.find("file is not a database"), std::string::npos)
        << db->lastError().text;
    EXPECT_EQ(scalar("select count(*) from pragma_database_list where name = 'payroll'"), 0);
    // The foreign file is left exactly as it was.
    EXPECT_EQ(ReadFile(junk), QByteArray(4096, 'x'));
}

TEST_F(DbTest, ForeignKeysAreEnforced)
{
    exec("CREATE TABLE parent(id INTEGER PRIMARY KEY); CREATE TABLE child(pid INT REFERENCES "
         "parent(id))");
    EXPECT_FALSE(db->execute("INSERT INTO child VALUES (7)"));
    EXPECT_NE(db->lastError().text.find("FOREIGN KEY"), std::string::npos) << db->lastError().text;
}

TEST(SqlServerNames, RemovesOnlyOwnerQualifiers)
{
    const struct
    {
        const char *sql;
        const char *expected;
    } rows[] = {
        { "select * from dbo.t", "select * from t" },
        { "select * from [dbo].t join DBO.[u] on 1", "select * from t join [u] on 1" },
        { "select * from \"dbo\".t", "select * from t" },
        { "select * from payroll.dbo.t", "select * from payroll.t" },
        { "select 'dbo.x', \"dbo.y\" from t", "select 'dbo.x', \"dbo.y\" from t" },
        { "select 'it''s dbo.x' -- dbo.t\n from dbo.t /* dbo.t */",
            "select 'it''s dbo.x' -- dbo.t\n from t /* dbo.t */" },
        { "select mydbo.x, dbo_x.y, dbo from t", "select mydbo.x, dbo_x.y, dbo from t" },
        { "select [dbo]._efnAgentPCSecurity(5)", "select _efnAgentPCSecurity(5)" },
        { "select 'unclosed dbo.x", "select 'unclosed dbo.x" },
        // Cut there, the owner would glue its neighbours into a comment or into one literal.
        { "select 1 -dbo.-1, 2/[dbo].*x*/3", "select 1 -dbo.-1, 2/[dbo].*x*/3" },
        { "select 'a'dbo.'b', \"a\"[dbo].\"b\"", "select 'a'dbo.'b', \"a\"[dbo].\"b\"" },
    };
    for (const auto &row : rows) {
        SCOPED_TRACE(row.sql);
        EXPECT_EQ(stripDboQualifiers(row.sql), row.expected);
    }
}

TEST_F(DbTest, OwnerNamesResolveInMainThenAttachedDatabases)
{
    exec("CREATE TABLE t(v TEXT); INSERT INTO t VALUES ('main')");
    {
        auto other = openFile("other.db");
        ASSERT_TRUE(other->execute("CREATE TABLE o(v TEXT); INSERT INTO o VALUES ('other dbo.o')"));
    }
    ASSERT_TRUE(db->attach(path("other.db"), "payroll")) << db->lastError().text;
    EXPECT_EQ(text("select v from [dbo].t"), "main");
    EXPECT_EQ(text("select v from dbo.o"), "other dbo.o");
    EXPECT_EQ(text("select v from payroll.dbo.o"), "other dbo.o");
    EXPECT_EQ(text("select 'dbo.t' from dbo.t"), "dbo.t");

    std::string tail;
    auto first = db->prepare("select 1 from dbo.t; select 2 from dbo.o", &tail);
    ASSERT_TRUE(first);
    EXPECT_EQ(tail, " select 2 from dbo.o"); // the caller's own text, not the rewritten one
}

TEST_F(DbTest, TimeoutStopsALongStatementAndTheConnectionGoesOn)
{
    int progressCalls = 0;
    db->setProgressCallback([&] { ++progressCalls; });
    db->setCommandTimeout(std::chrono::milliseconds(200));
    auto statement = db->prepare(kEndless);
    ASSERT_TRUE(statement);
    EXPECT_EQ(statement->step(), Statement::Step::Error);
    EXPECT_EQ(statement->lastError().text.rfind(kQueryTimeoutText, 0), 0u)
        << statement->lastError().text;
    EXPECT_EQ(statement->lastError().sqlState, "HYT00");
    EXPECT_TRUE(statement->lastError().isTimeout());
    EXPECT_FALSE(statement->lastError().transient);
    EXPECT_TRUE(db->lastError().isTimeout());
    EXPECT_GT(progressCalls, 0); // the progress window was kept painted meanwhile

    // A fresh statement gets its own time.
    EXPECT_EQ(scalar("select 42"), 42);
    db->setCommandTimeout(std::chrono::milliseconds(0));
    EXPECT_EQ(scalar("WITH RECURSIVE c(x) AS (SELECT 1 UNION ALL SELECT x + 1 FROM c WHERE x < "
                     "100000) SELECT count(*) FROM c"),
        100000);
}

TEST(DbErrorText, TimeoutIsRecognisedByItsFirstWordsInAnyCase)
{
    const struct
    {
        const char *text;
        bool timeout;
    } rows[] = {
        { "Query timeout expired", true },
        { "QUERY TIMEOUT EXPIRED while fetching", true },
        { "query Timeout Expired", true },
        { "[Driver] Query timeout expired", false },
        { "Query timeout", false },
        { "", false },
    };
    for (const auto &row : rows) {
        SCOPED_TRACE(row.text);
        const DbError error { row.text, 0, {} };
        EXPECT_EQ(error.isTimeout(), row.timeout);
    }
}

TEST_F(DbTest, StatementsDescribeTheirColumns)
{
    exec("CREATE TABLE t(a VARCHAR(10), b NVARCHAR(5), c TEXT, d INT, e BIT, f MONEY, g DATE, h "
         "TIME, "
         "i DATETIME, j IMAGE, k NTEXT, l GEOMETRY)");
    auto statement = db->prepare("select *, a || b as expr from dbo.t");
    ASSERT_TRUE(statement);
    const FieldType expected[] = { FieldType::String, FieldType::WideString, FieldType::Memo,
        FieldType::Integer, FieldType::Boolean, FieldType::Float, FieldType::Date, FieldType::Time,
        FieldType::DateTime, FieldType::Blob, FieldType::Memo, FieldType::Other, FieldType::Other };
    ASSERT_EQ(statement->columnCount(), 13);
    for (int i = 0; i < 13; ++i) {
        SCOPED_TRACE(statement->columnName(i));
        EXPECT_EQ(statement->declaredType(i), expected[i]);
    }
    EXPECT_EQ(statement->baseTable(0), "t");
    EXPECT_EQ(statement->baseColumn(3), "d");
    EXPECT_EQ(statement->baseTable(12), "");
    EXPECT_TRUE(statement->isReadOnly());
    EXPECT_FALSE(db->prepare("delete from t")->isReadOnly());
}

TEST_F(DbTest, TableColumnsKnowKeysAndRefuseUnknownTables)
{
    exec("CREATE TABLE t(id INTEGER PRIMARY KEY, [c Code] VARCHAR(10) NOT NULL)");
    const auto columns = db->tableColumns("[dbo].[t]");
    ASSERT_EQ(columns.size(), 2u);
    EXPECT_TRUE(columns[0].primaryKey);
    EXPECT_TRUE(columns[0].identity);
    EXPECT_EQ(columns[1].name, "c Code");
    EXPECT_EQ(columns[1].type, FieldType::String);
    EXPECT_TRUE(columns[1].notNull);
    EXPECT_TRUE(db->tableColumns("t; drop table t").empty());
    EXPECT_TRUE(db->tableColumns("nosuch").empty());
    EXPECT_EQ(scalar("select count(*) from t"), 0);
}

TEST_F(DbTest, CancelFromTheProgressCallbackStopsTheStatementAndTheConnectionGoesOn)
{
    int calls = 0;
    db->setProgressCallback([&] {
        if (++calls == 3)
            db->cancel();
    });
    auto statement = db->prepare(kEndless);
    ASSERT_TRUE(statement);
    EXPECT_EQ(statement->step(), Statement::Step::Error);
    EXPECT_TRUE(statement->lastError().isCancelled()) << statement->lastError().text;
    EXPECT_FALSE(statement->lastError().isTimeout());
    EXPECT_EQ(statement->lastError().text, kCancelledText);
    EXPECT_EQ(calls, 3);

    // The cancel was for that statement only; a time-out is still told apart from it.
    db->setProgressCallback({});
    EXPECT_EQ(scalar("select 42"), 42);
    db->setCommandTimeout(std::chrono::milliseconds(50));
    statement = db->prepare(kEndless);
    EXPECT_EQ(statement->step(), Statement::Step::Error);
    EXPECT_TRUE(statement->lastError().isTimeout());
    EXPECT_FALSE(statement->lastError().isCancelled());
}
