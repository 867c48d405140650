#include "edit/ColumnProbe.h"
#include "edit/StatementWords.h"

#include <gtest/gtest.h>

namespace {

TEST(StatementWordsTest, RefusesForbiddenKeywordsOnlyAsWholeWords)
{
    const struct
    {
        const char *sql;
        const char *message; // "" passes
    } rows[] = {
        { "use payroll select 1", "\"USE\" is not allowed in the SQL Statement!" },
        { "select * from users", "" },
        { "insert into t select 1; USE x", "\"USE\" is not allowed in the SQL Statement!" },
        { "select lastupdate from t", "" },
        { "delete from t", "\"DELETE\" is not allowed in the SQL Statement!" },
        { "update", "\"UPDATE\" is not allowed in the SQL Statement!" },
        { "select 1 from t where flag = UPDATED", "" },
        { "select 1 --DELETE", "" },
        { "select 1 -- DELETE", "\"DELETE\" is not allowed in the SQL Statement!" },
        { "select 'Insert' as x", "\"INSERT\" is not allowed in the SQL Statement!" },
        { "select [update].x from t", "\"UPDATE\" is not allowed in the SQL Statement!" },
        { "select useuse, update_date, cause from t", "" },
        { "select x from usedx\nuse", "\"USE\" is not allowed in the SQL Statement!" },
    };
    for (const auto &row : rows) {
        SCOPED_TRACE(row.sql);
        EXPECT_EQ(ForbiddenKeywordMessage(row.sql), row.message);
    }
}

TEST(ColumnProbeTest, NeutralisesWheresAndReplacesEveryMarker)
{
    const struct
    {
        const char *sql;
        const char *probe; // empty when refused
        std::vector<std::string> names;
        const char *error;
    } rows[] = {
        { "select a, b from t where x = @p1 and y = @p2",
            "select a, b from t where  1 = 2 and x =  Null  and y =  Null ", { "p1", "p2" }, "" },
        { "select a from t where x = @P and y = @p",
            "select a from t where  1 = 2 and x =  Null  and y =  Null ", { "P", "p" }, "" },
        { "select @[first name]", "select  Null ", { "first name" }, "" },
        { "select a from t WHERE", "select a from t WHERE 1 = 2 and ", {}, "" },
        { "select where_flag from t where x = 1", "select where_flag from t where x = 1", {}, "" },
        { "select 1 from t where a in (select 1 from u where b = 2)",
            "select 1 from t where  1 = 2 and a in (select 1 from u where  1 = 2 and b = 2)", {},
            "" },
        { "select @[]", "", {}, kParamSettingText },
        { "select @ x", "", {}, kParamSettingText },
        { "select @@version", "", {}, kParamSettingText },
        { "select @[unclosed", "", {}, kParamSettingText },
        { "select @[a@b]", "", {}, kParamBracketText },
        { "select @[a[b]", "", {}, kParamBracketText },
    };
    for (const auto &row : rows) {
        SCOPED_TRACE(row.sql);
        const ColumnProbe probe = BuildColumnProbe(row.sql);
        EXPECT_EQ(probe.text, row.probe);
        EXPECT_EQ(probe.names, row.names);
        EXPECT_EQ(probe.error, row.error);
    }
}

} // namespace
