#include "DbTestSupport.h"

TEST_F(DbTest, RunReportsTheFaultOfEachStageAndWritesNothingOfIt)
{
    exec("CREATE TABLE t(id INTEGER PRIMARY KEY, v TEXT)");
    const struct
    {
        const char *sql;
        std::vector<Value> values;
        const char *error; // "" when the statement runs
    } rows[] = {
        { "INSERT INTO t VALUES (?, ?)", { std::int64_t { 1 }, std::string("a") }, "" },
        { "INSERT INTO t VALUS (?, ?)", { std::int64_t { 2 }, std::string("b") },
            "near \"VALUS\": syntax error" },
        { "INSERT INTO t VALUES (?, ?)",
            { std::int64_t { 3 }, std::string("c"), std::string("extra") },
            "Parameter 3 is out of range." },
        { "INSERT INTO t VALUES (?, ?)", { std::int64_t { 1 }, std::string("again") },
            "UNIQUE constraint failed: t.id" },
        { "UPDATE t SET v = ? WHERE id = ?", { std::string("z"), std::int64_t { 1 } }, "" },
        { "SELECT * FROM t", {}, "" }, // rows are stepped over, not refused
    };
    for (const auto &row : rows) {
        SCOPED_TRACE(row.sql);
        DbError error;
        EXPECT_EQ(db->run(row.sql, row.values, error), *row.error == 0);
        EXPECT_EQ(error.text, row.error);
    }
    EXPECT_EQ(text("select group_concat(id || v) from t"), "1z");
}

TEST_F(DbTest, APreparedStatementRunsOnAfterARefusedRow)
{
    exec("CREATE TABLE t(id INTEGER PRIMARY KEY)");
    auto insert = db->prepare("INSERT INTO t VALUES (?)");
    ASSERT_TRUE(insert);
    DbError error;
    EXPECT_TRUE(insert->run({ std::int64_t { 1 } }, error));
    EXPECT_FALSE(insert->run({ std::int64_t { 1 } }, error));
    EXPECT_EQ(error.text, "UNIQUE constraint failed: t.id");
    EXPECT_FALSE(insert->run({ std::int64_t { 2 }, std::int64_t { 3 } }, error));
    EXPECT_EQ(error.text, "Parameter 2 is out of range.");
    EXPECT_TRUE(insert->run({ std::int64_t { 4 } }, error)) << error.text;
    EXPECT_EQ(text("select group_concat(id) from t"), "1,4");
}

TEST_F(DbTest, ForEachRowStopsWhenAskedAndReportsAFailedStep)
{
    std::vector<std::int64_t> seen;
    DbError error;
    EXPECT_TRUE(db->forEachRow(
        "WITH RECURSIVE k(i) AS (SELECT ? UNION ALL SELECT i + 1 FROM k WHERE i < 9) SELECT i "
        "FROM k",
        { std::int64_t { 5 } },
        [&](const Statement &row) {
            seen.push_back(row.asInt64(0));
            return seen.size() < 2;
        },
        error));
    EXPECT_EQ(seen, (std::vector<std::int64_t> { 5, 6 }));

    EXPECT_FALSE(db->forEachRow(
        "SELECT abs(?)", { std::int64_t { INT64_MIN } }, [](const Statement &) { return true; },
        error));
    EXPECT_EQ(error.text, "integer overflow");
}
