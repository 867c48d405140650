#include "PrintQt.h"
#include "edit/EditorColumns.h"
#include "edit/ParamDefinitions.h"

#include <gtest/gtest.h>

namespace {

std::vector<int> Orders(const std::vector<EditorColumn> &columns)
{
    std::vector<int> orders;
    for (const EditorColumn &column : columns)
        orders.push_back(column.order);
    return orders;
}

TEST(EditorColumnsTest, TypedOrderMovesTheColumnsInItsWay)
{
    const struct
    {
        std::size_t row;
        int order;
        std::vector<int> after;
    } rows[] = {
        { 3, 2, { 1, 3, 4, 2, 5 } }, // 4 to 2
        { 1, 4, { 1, 4, 3, 5, 6 } }, // 2 to 4: a gap at 2, the largest grows
        { 2, 9, { 1, 2, 9, 4, 5 } }, // unused number
    };
    for (const auto &row : rows) {
        SCOPED_TRACE(row.order);
        std::vector<EditorColumn> columns = NewEditorColumns({ "a", "b", "c", "d", "e" });
        ChangeColumnOrder(columns, row.row, row.order);
        EXPECT_EQ(Orders(columns), row.after);
    }
}

TEST(ParamDefinitionsTest, StatementChangeKeepsDefinitionsOfNamesStillUsed)
{
    const std::vector<ParamEntry> current { { "From", "date", "1/2/2024", {} },
        { "Gone", "integer", "5", {} } };
    const std::vector<ParamEntry> merged
        = MergeParamDefinitions({ "from", "FROM", "Gone2", QString(60, 'x') }, current);
    ASSERT_EQ(merged.size(), 3u);
    EXPECT_EQ(merged[0].name, "from");
    EXPECT_EQ(merged[0].typeName, "date");
    EXPECT_EQ(merged[0].value, "1/2/2024");
    EXPECT_EQ(merged[1].name, "Gone2");
    EXPECT_TRUE(merged[1].typeName.isEmpty());
    EXPECT_EQ(merged[2].name.size(), kParamNameLength);
}

} // namespace
