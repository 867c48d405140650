#include "host/db/dataset/RowSort.h"
#include "host/db/dataset/ColumnDecimals.h"
#include "host/db/dataset/ResultColumn.h"

#include <gtest/gtest.h>

namespace {

ResultColumn columnOf(FieldType type, const std::vector<Value> &values)
{
    ResultColumn column("c", type);
    for (const Value &value : values)
        column.append(value);
    column.finish();
    return column;
}

} // namespace

TEST(RowSort, TextIgnoresLetterCaseEvenPastEightBytesAndOutsideAsciiAndKeepsTiesInOrder)
{
    const ResultColumn names = columnOf(FieldType::String,
        { "smithson", "Émile", {}, "SMITH", "smithsonian", "adams", "émile", "Smith", "zoë", "Zoe",
            "" });
    // Rows: 0 smithson, 1 Émile, 2 NULL, 3 SMITH, 4 smithsonian, 5 adams, 6 émile, 7 Smith,
    // 8 zoë, 9 Zoe, 10 "".
    EXPECT_EQ(RowSort::sortedRows(names, true, false),
        (std::vector<int> { 2, 10, 5, 3, 7, 0, 4, 9, 8, 1, 6 }));
    EXPECT_EQ(RowSort::sortedRows(names, true, true),
        (std::vector<int> { 1, 6, 8, 9, 4, 0, 3, 7, 5, 10, 2 }));
    EXPECT_LT(RowSort::compareFolded("abc", "ABCD"), 0);
    EXPECT_EQ(RowSort::compareFolded("Payroll Company", "PAYROLL COMPANY"), 0);
}

TEST(RowSort, NumbersAndDatesSortByValueAndOtherValuesByTheirText)
{
    const ResultColumn amounts = columnOf(FieldType::Float, { 10.5, {}, -3.0, 2.0, 10.5 });
    EXPECT_EQ(RowSort::sortedRows(amounts, false, false), (std::vector<int> { 1, 2, 3, 0, 4 }));
    EXPECT_EQ(RowSort::sortedRows(amounts, false, true), (std::vector<int> { 0, 4, 3, 2, 1 }));
    // Sorted as text, 10.5 comes before 2 (a column of no known type sorts so).
    EXPECT_EQ(RowSort::sortedRows(amounts, true, false), (std::vector<int> { 1, 2, 0, 4, 3 }));
}

TEST(ColumnDecimals, TheMostAnyValueNeedsUpToTheCap)
{
    const struct
    {
        std::vector<Value> values;
        int decimals;
    } rows[] = {
        { { 524.4, 366.0, 0.0, {} }, 1 },
        { { 524.4, 12.35, 0.1 }, 2 },
        { { 1034.0, -7.0 }, 0 },
        { { 1.0 / 3.0 }, 4 },
        { { 0.1 + 0.2 }, 1 }, // 0.30000000000000004 is 0.3
        { { 12345678.125 }, 3 },
    };
    for (const auto &row : rows) {
        const ResultColumn column = columnOf(FieldType::Float, row.values);
        EXPECT_EQ(ColumnDecimals(column, 4), row.decimals);
    }
    EXPECT_EQ(
        ColumnDecimals(columnOf(FieldType::Integer, { std::int64_t(1), std::int64_t(2) }), 4), 0);
}
