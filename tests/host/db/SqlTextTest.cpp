#include "host/db/engine/SqlText.h"

#include <gtest/gtest.h>

TEST(SqlText, RowStatementsQuoteEveryColumnAndBindEveryValue)
{
    const std::vector<std::string> columns { "cCode", "c\"Odd\" Name" };
    const struct
    {
        std::string sql;
        const char *expected;
    } rows[] = {
        { SqlText::insertRow("dbo.t", columns),
            "INSERT INTO dbo.t (\"cCode\", \"c\"\"Odd\"\" Name\") VALUES (?, ?)" },
        { SqlText::insertRow("t", {}), "INSERT INTO t DEFAULT VALUES" },
        { SqlText::updateRow("t", columns, "id"),
            "UPDATE t SET \"cCode\" = ?, \"c\"\"Odd\"\" Name\" = ? WHERE \"id\" = ?" },
        { SqlText::deleteRow("[t]", "k\"ey"), "DELETE FROM [t] WHERE \"k\"\"ey\" = ?" },
        { SqlText::selectRow("t", "id"), "select * from t where \"id\" = ?" },
    };
    for (const auto &row : rows)
        EXPECT_EQ(row.sql, row.expected);
}
