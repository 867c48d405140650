#include "host/db/engine/SqlServerNames.h"

#include <gtest/gtest.h>

TEST(BracketNames, BecomeQuotedNamesOnlyOutsideLiteralsAndComments)
{
    const struct
    {
        const char *sql;
        const char *expected;
    } rows[] = {
        { "select [cCode] from [dbo].[_iptblEasyEnquiry]",
            "select \"ccode\" from \"dbo\".\"_iptbleasyenquiry\"" },
        { "select x as [Total Pay], [a\"b] from t",
            "select x as \"Total Pay\", \"a\"\"b\" from t" },
        { "select '[x]', \"[y]\" -- [z]\n/* [w] */ from t",
            "select '[x]', \"[y]\" -- [z]\n/* [w] */ from t" },
        { "select 'it''s [x]' from [t]", "select 'it''s [x]' from \"t\"" },
        { "select [9lives], [order] from t", "select \"9lives\", \"order\" from t" },
        { "select [a]]b] from t", "select \"a\"]b] from t" }, // the first ] closes, as it did
        { "select [open from t", "select [open from t" },
        { "select 'open [x] from t", "select 'open [x] from t" },
        { "select \"x\"[y][z]\"w\" from t", "select \"x\" \"y\" \"z\" \"w\" from t" },
        { "", "" },
    };
    for (const auto &row : rows) {
        SCOPED_TRACE(row.sql);
        EXPECT_EQ(bracketsToDoubleQuotes(row.sql), row.expected);
    }
}
