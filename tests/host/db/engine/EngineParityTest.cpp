// One test source, three engines: what the data set and the store rely on must hold on the
// embedded SQLite, on SQLite through ODBC and on PostgreSQL through ODBC alike.
#include "TableRows.h"
#include "host/db/EngineFixture.h"

#include <QDateTime>

#include <atomic>
#include <thread>

namespace {

class Parity : public EngineTest
{
};

std::string repeated(const std::string &piece, int times)
{
    return QString::fromStdString(piece).repeated(times).toStdString();
}

} // namespace

TEST_P(Parity, EveryValueTypeRoundTripsThroughBoundParameters)
{
    exec("CREATE TABLE t(id INTEGER NOT NULL, n BIGINT, r DOUBLE PRECISION, c VARCHAR(20), "
         "m TEXT, d "
        + dateTimeType() + ", b " + bytesType() + ")");
    const std::string longText = repeated("Lohn \xE2\x82\xAC 12,50; ", 5000); // 90,000 bytes
    const Blob bytes { { 0, 1, 0xFF, 0, 'x' } };
    const struct
    {
        std::int64_t id;
        Value n, r, c, m, d, b;
        const char *shown; // n|r|c|m|d as the data set shows them
    } rows[] = {
        { 1, Value(), Value(), Value(), Value(), Value(), Value(),
            "<null>|<null>|<null>|<null>|<null>" },
        { 2, Value(std::int64_t(-9007199254740993)), Value(-0.125),
            Value(std::string("Zo\xC3\xAB \xF0\x9F\x98\x80")), Value(std::string("")),
            Value(std::string("2024-02-29 13:45:10")), Value(bytes),
            "-9007199254740993|-0.125|Zo\xC3\xAB \xF0\x9F\x98\x80||2024-02-29 13:45:10" },
        { 3, Value(std::int64_t(0)), Value(1e300), Value(std::string("it's [x] \"q\"")),
            Value(longText), Value(std::string("1999-12-31 00:00:00")), Value(Blob {}), "" },
    };
    for (const auto &row : rows) {
        DbError error;
        ASSERT_TRUE(db->run("INSERT INTO t(id, n, r, c, m, d, b) VALUES (?, ?, ?, ?, ?, ?, ?)",
            { Value(row.id), row.n, row.r, row.c, row.m, row.d, row.b }, error))
            << error.text;
        EXPECT_EQ(db->changes(), 1);
    }

    TQuillonADOQuery query;
    OpenQuery(query, *db, "select id, n, r, c, m, d, b from t order by id");
    ASSERT_EQ(query.RecordCount(), 3);
    EXPECT_EQ(query.FieldByName("n").DataType(), FieldType::Integer);
    EXPECT_EQ(query.FieldByName("d").DataType(), FieldType::DateTime);
    for (int record = 0; record < 2; ++record) {
        SCOPED_TRACE(record);
        query.MoveTo(record);
        QStringList shown;
        for (const char *field : { "n", "r", "c", "m", "d" }) {
            const TField value = query.FieldByName(field);
            shown << (value.IsNull() ? QStringLiteral("<null>")
                    : record == 1 && QString(field) == "d"
                    ? value.AsDateTime().toString("yyyy-MM-dd HH:mm:ss")
                    : value.AsString());
        }
        EXPECT_EQ(shown.join('|').toStdString(), rows[record].shown);
    }
    query.MoveTo(1);
    EXPECT_EQ(query.FieldByName("n").AsLargeInt(), -9007199254740993LL);
    EXPECT_EQ(query.FieldByName("b").AsBytes(), QByteArray("\0\1\xFF\0x", 5));
    query.MoveTo(2);
    EXPECT_EQ(query.FieldByName("m").AsString().toStdString(), longText);
    EXPECT_EQ(query.FieldByName("r").AsFloat(), 1e300);
    EXPECT_EQ(query.FieldByName("c").AsString().toStdString(), "it's [x] \"q\"");
    EXPECT_EQ(query.FieldByName("d").AsDateTime(), QDateTime(QDate(1999, 12, 31), QTime(0, 0)));
    EXPECT_TRUE(query.FieldByName("b").AsBytes().isEmpty());
    EXPECT_FALSE(query.FieldByName("b").IsNull());
}

TEST_P(Parity, ResultsCrossBlockBoundariesWithLongValuesWhole)
{
    exec("CREATE TABLE t(id INTEGER NOT NULL, c VARCHAR(8), m TEXT)");
    const int rowCount = 2500; // several blocks of rows
    // Every 97th text is far longer than any buffer the driver declares for it.
    const auto memo = [](int i) {
        return i % 97 == 0 ? repeated(std::to_string(i) + ":", 400) : "m" + std::to_string(i);
    };
    {
        Transaction transaction(*db);
        ASSERT_TRUE(transaction.started()) << db->lastError().text;
        auto insert = db->prepare("INSERT INTO t(id, c, m) VALUES (?, ?, ?)");
        ASSERT_TRUE(insert) << db->lastError().text;
        for (int i = 0; i < rowCount; ++i) {
            DbError error;
            ASSERT_TRUE(insert->run(
                { Value(std::int64_t(i)), i % 10 == 3 ? Value() : Value("c" + std::to_string(i)),
                    Value(memo(i)) },
                error))
                << error.text;
        }
        ASSERT_TRUE(transaction.commit()) << db->lastError().text;
    }
    TQuillonADOQuery query;
    OpenQuery(query, *db, "select id, c, m from t order by id");
    ASSERT_EQ(query.RecordCount(), rowCount);
    for (int i : { 0, 1, 3, 97, 511, 512, 1023, 1024, 1025, 2037, 2499 }) {
        SCOPED_TRACE(i);
        query.MoveTo(i);
        EXPECT_EQ(query.FieldByName("id").AsInteger(), i);
        EXPECT_EQ(query.FieldByName("c").IsNull(), i % 10 == 3);
        EXPECT_EQ(query.FieldByName("m").AsString().toStdString(), memo(i));
    }
}

TEST_P(Parity, ColumnsOfASlowStatementAreDescribedWithoutRunningIt)
{
    // Were it run, the test would wait ten minutes (or forever) instead of answering at once.
    std::vector<std::string> names;
    ASSERT_TRUE(db->describeColumns(slowStatement(), names)) << db->lastError().text;
    EXPECT_EQ(names, (std::vector<std::string> { "slept", "one" }));

    EXPECT_FALSE(db->describeColumns("select nothere from nowhere", names));
    EXPECT_TRUE(db->lastError().isSet());
    EXPECT_TRUE(names.empty());
}

TEST_P(Parity, RolledBackWorkLeavesNoTraceAndNestedWorkRollsBackAlone)
{
    exec("CREATE TABLE t(id INTEGER PRIMARY KEY, c VARCHAR(10))");
    DbError error;
    {
        Transaction outer(*db);
        ASSERT_TRUE(outer.started()) << db->lastError().text;
        ASSERT_TRUE(db->run("INSERT INTO t VALUES (1, 'kept')", {}, error)) << error.text;
        {
            Transaction inner(*db);
            ASSERT_TRUE(inner.started()) << db->lastError().text;
            ASSERT_TRUE(db->run("INSERT INTO t VALUES (2, 'gone')", {}, error)) << error.text;
            // A failing statement inside: the key is taken.
            EXPECT_FALSE(db->run("INSERT INTO t VALUES (1, 'twice')", {}, error));
        } // rolled back alone
        {
            Transaction inner(*db);
            ASSERT_TRUE(db->run("INSERT INTO t VALUES (5, 'inner')", {}, error)) << error.text;
            EXPECT_TRUE(inner.commit()) << db->lastError().text;
        } // kept with the outer work
        ASSERT_TRUE(outer.commit()) << db->lastError().text;
    }
    {
        Transaction dropped(*db);
        ASSERT_TRUE(db->run("INSERT INTO t VALUES (3, 'gone')", {}, error)) << error.text;
    }
    EXPECT_FALSE(db->inTransaction());
    EXPECT_EQ(text("select count(*) from t"), "2");
    EXPECT_EQ(text("select c from t where id = 1"), "kept");
    EXPECT_EQ(text("select c from t where id = 5"), "inner");
    // Outside a transaction every statement stands alone again: another connection sees it.
    ASSERT_TRUE(db->run("INSERT INTO t VALUES (4, 'auto')", {}, error)) << error.text;
    const auto other = open();
    ASSERT_TRUE(other);
    DbError otherError;
    int seen = 0;
    ASSERT_TRUE(other->forEachRow(
        "select count(*) from t", {},
        [&](const Statement &row) {
            seen = static_cast<int>(row.asInt64(0));
            return false;
        },
        otherError))
        << otherError.text;
    EXPECT_EQ(seen, 3);
}

TEST_P(Parity, PostedRowReadsTheIdentityTheEngineAssigned)
{
    exec("CREATE TABLE _iptblEasyEnquiry(idEnquiry " + identityKey()
        + ", cCode VARCHAR(10) NOT NULL, iIQTypeID INT NOT NULL DEFAULT 7)");
    DbError error;
    ASSERT_TRUE(db->run("INSERT INTO _iptblEasyEnquiry(cCode) VALUES ('FIRST')", {}, error))
        << error.text;
    TQuillonADOQuery query;
    query.SetTableName("_iptblEasyEnquiry");
    OpenQuery(query, *db, "select * from _iptblEasyEnquiry");
    // PostgreSQL folds unquoted names to lower case; fields are found in any case.
    EXPECT_EQ(query.KeyField().toLower(), "idenquiry");
    for (const char *code : { "SECOND", "THIRD" }) {
        ASSERT_TRUE(query.brAppend());
        query.FieldByName("cCode").SetAsString(code);
        ASSERT_TRUE(query.brPost()) << query.LastErrorText().toStdString();
        EXPECT_EQ(std::to_string(query.FieldByName("idEnquiry").AsInteger()),
            text("select idEnquiry from _iptblEasyEnquiry where cCode = ?", { Value(code) }));
        EXPECT_EQ(query.FieldByName("iIQTypeID").AsInteger(), 7); // the default, read back
    }
    EXPECT_EQ(query.FieldByName("idEnquiry").AsInteger(), 3);
}

TEST_P(Parity, SqlServerNamesRunUnchanged)
{
    if (postgres())
        exec("CREATE SCHEMA dbo");
    exec("CREATE TABLE dbo.People(Name VARCHAR(20), Pay INTEGER)");
    exec("INSERT INTO dbo.People VALUES ('Ann', 10), ('[Bo]', 20)");
    // Brackets name objects; inside literals and comments they are text and stay as written.
    const std::string sql = "select [Name], '[not] a name' as [Full Text] -- [comment]\n"
                            "from [dbo].[People] where [Pay] > ? /* [x] */ and [Name] <> '[x]' "
                            "order by [dbo].[People].[Name]";
    QStringList rows;
    DbError error;
    ASSERT_TRUE(db->forEachRow(
        sql, { Value(std::int64_t(5)) },
        [&](const Statement &row) {
            rows << QString::fromStdString(row.columnName(1) + "=" + std::string(row.asText(0))
                + "|" + std::string(row.asText(1)));
            return true;
        },
        error))
        << error.text;
    EXPECT_EQ(rows, QStringList({ "Full Text=Ann|[not] a name", "Full Text=[Bo]|[not] a name" }));
    EXPECT_EQ(text("select count(*) from dbo.People where Name = '[Bo]'"), "1");
}

INSTANTIATE_TEST_SUITE_P(Engines, Parity,
    ::testing::Values(Engine::Sqlite, Engine::SqliteOdbc, Engine::PostgresOdbc), engineLabel);

namespace {

// What the SQLite ODBC driver does not have: a command time-out and a way to stop a statement
// from outside. The embedded engine has both (its own tests cover cancelling).
class Limits : public EngineTest
{
};

} // namespace

TEST_P(Limits, ExpiredTimeOutReachesTheDataSetAsQueryTimeoutExpired)
{
    TQuillonADOQuery query;
    query.SetConnection(db.get());
    query.SetSQL(QString::fromStdString(slowStatement()));
    query.SetCommandTimeout(1);
    query.SetRetryCount(3); // a time-out is not tried again
    ASSERT_FALSE(query.Open());
    EXPECT_TRUE(query.LastErrorText().startsWith("Query timeout expired"))
        << query.LastErrorText().toStdString();
    EXPECT_EQ(query.LastError().sqlState, "HYT00");
    EXPECT_EQ(db->commandTimeout().count(), 0); // the connection's own comes back
    EXPECT_EQ(text("select 40 + 2"), "42"); // and it still works
}

INSTANTIATE_TEST_SUITE_P(
    Engines, Limits, ::testing::Values(Engine::Sqlite, Engine::PostgresOdbc), engineLabel);

namespace {

class OdbcOnly : public EngineTest
{
};

} // namespace

TEST_P(OdbcOnly, CancelReachesTheServerFromAnotherThreadAndFromTheProgressWindow)
{
    std::atomic<bool> done { false };
    // Cancels until the statement has stopped: a cancel before it starts reaches nothing.
    std::thread canceller([&] {
        while (!done)
            db->cancel();
    });
    DbError error;
    const bool ran = db->run(slowStatement(), {}, error);
    done = true;
    canceller.join();
    EXPECT_FALSE(ran);
    EXPECT_EQ(error.sqlState, "HY008") << error.text;
    EXPECT_TRUE(error.text.starts_with("The statement was cancelled")) << error.text;
    EXPECT_FALSE(error.isTimeout());
    EXPECT_EQ(text("select 40 + 2"), "42");

    // From the progress callback (the progress window's Cancel) while the server still works
    // on the statement: the callback keeps being called meanwhile.
    int calls = 0;
    db->setProgressCallback([&] {
        if (++calls == 3)
            db->cancel();
    });
    EXPECT_FALSE(db->run(slowStatement(), {}, error));
    db->setProgressCallback({});
    EXPECT_TRUE(error.isCancelled()) << error.text;
    EXPECT_GE(calls, 3);
    EXPECT_EQ(text("select 40 + 2"), "42");

    // From the progress callback, once rows have been read: between two blocks.
    int rows = 0;
    db->setProgressCallback([&] {
        if (rows > 0)
            db->cancel();
    });
    EXPECT_FALSE(db->forEachRow(
        "with recursive n(i) as (select 1 union all select i + 1 from n) select i from n limit "
        "100000",
        {},
        [&](const Statement &) {
            ++rows;
            return true;
        },
        error));
    db->setProgressCallback({});
    EXPECT_EQ(error.sqlState, "HY008") << error.text;
    EXPECT_GT(rows, 0);
    EXPECT_LT(rows, 100000);
    EXPECT_EQ(text("select 40 + 2"), "42");
}

TEST_P(OdbcOnly, OnlyASingleReadingStatementCountsAsReadOnly)
{
    exec("CREATE TABLE t(id INTEGER)");
    const struct
    {
        const char *sql;
        bool readOnly;
    } rows[] = {
        { "select * from t -- delete in a comment", true },
        { "with x as (select 1 as i) select i from x;", true },
        { "select 'insert into t' as words from t", true },
        { "insert into t values (1)", false },
        { "select 1; delete from t", false },
        { "select * into copied from t", false },
        { "with gone as (delete from t returning id) select * from gone", false },
    };
    for (const auto &row : rows) {
        SCOPED_TRACE(row.sql);
        const auto statement = db->prepare(row.sql);
        if (!statement)
            continue; // refused by the engine, which is as good
        EXPECT_EQ(statement->isReadOnly(), row.readOnly);
    }
}

TEST_P(OdbcOnly, DriverErrorsCarryTheirSqlStateAndText)
{
    const struct
    {
        const char *sql;
        const char *sqlState;
        const char *words;
    } rows[] = {
        { "select * from no_such_table", "42P01", "no_such_table" },
        { "select 1/0", "22012", "division by zero" },
        // Fails in a later block of rows, after the first ones were read.
        { "select 1 / (i - 2500) from generate_series(1, 3000) as g(i)", "22012",
            "division by zero" },
    };
    for (const auto &row : rows) {
        SCOPED_TRACE(row.sql);
        if (!postgres() && std::string(row.sqlState) == "22012")
            continue; // SQLite divides by zero to NULL
        DbError error;
        EXPECT_FALSE(db->run(row.sql, {}, error));
        if (postgres())
            EXPECT_EQ(error.sqlState, row.sqlState);
        else
            EXPECT_EQ(error.sqlState.size(), 5u);
        EXPECT_NE(error.text.find(postgres() ? row.words : ""), std::string::npos) << error.text;
    }
    DbError error;
    if (postgres()) {
        // The server ends this connection's session, as a restart or a dropped network would.
        const std::string pid = text("select pg_backend_pid()");
        const auto other = open();
        ASSERT_TRUE(other);
        ASSERT_TRUE(other->run("select pg_terminate_backend(" + pid + ")", {}, error))
            << error.text;
        EXPECT_FALSE(db->run("select 1", {}, error));
        EXPECT_TRUE(error.text.starts_with("The connection to the database server was lost: "))
            << error.sqlState << " " << error.text;
    }
    EXPECT_FALSE(
        OdbcConnection::open("DRIVER={PostgreSQL Unicode};SERVER=127.0.0.1;PORT=1;", error));
    EXPECT_TRUE(error.text.starts_with("Cannot connect through ODBC: ")) << error.text;
    EXPECT_EQ(error.sqlState.substr(0, 2), "08") << error.sqlState;
}

INSTANTIATE_TEST_SUITE_P(
    Engines, OdbcOnly, ::testing::Values(Engine::SqliteOdbc, Engine::PostgresOdbc), engineLabel);
