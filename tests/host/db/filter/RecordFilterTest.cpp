#include "host/db/filter/RecordFilter.h"
#include "host/db/dataset/ResultColumns.h"

#include <gtest/gtest.h>

namespace {

class RecordFilterTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        columns.addColumn("cName", FieldType::String);
        columns.addColumn("nTotal", FieldType::Float);
        columns.addColumn("iCount", FieldType::Integer);
        columns.addColumn("dtPay", FieldType::DateTime);
        columns.addColumn("bActive", FieldType::Boolean);
        columns.addColumn("cNote", FieldType::Memo);
        using V = std::vector<Value>;
        columns.appendRow(
            V { "Smith", 150.5, std::int64_t(3), "2024-01-31", std::int64_t(1), "first" });
        columns.appendRow(
            V { "smith", 99.0, std::int64_t(0), "2024-02-15 10:30:00", std::int64_t(0), {} });
        columns.appendRow(V { "Jones", {}, std::int64_t(7), {}, std::int64_t(1), "it's" });
        columns.appendRow(
            V { "O'Brien", 100.0, std::int64_t(-2), "2023-12-31", std::int64_t(0), "50% off" });
        columns.appendRow(
            V { "\xC3\x89mile", 1e6, std::int64_t(12), "2024-01-31 00:00:00", {}, "x_y" });
        columns.finish();
    }

    std::vector<int> select(const std::string &text, FilterError &error)
    {
        std::vector<int> rows;
        auto filter = RecordFilter::parse(text, error);
        if (!filter || !filter->bind(columns, error))
            return { -1 };
        filter->select(columns, 0, columns.rowCount(), rows);
        // The one-row path must agree with the block path.
        std::vector<int> single;
        for (std::size_t row = 0; row < columns.rowCount(); ++row) {
            if (filter->matches(columns, row))
                single.push_back(static_cast<int>(row));
        }
        EXPECT_EQ(single, rows);
        return rows;
    }

    ResultColumns columns;
};

} // namespace

TEST_F(RecordFilterTest, SelectsTheRowsSqlWould)
{
    const struct
    {
        const char *filter;
        std::vector<int> rows;
    } cases[] = {
        { "cName = 'Smith'", { 0, 1 } },
        { "cName <> 'smith'", { 2, 3, 4 } },
        { "nTotal > 100", { 0, 4 } },
        { "100 < nTotal", { 0, 4 } },
        { "nTotal >= 100 AND iCount < 5", { 0, 3 } },
        { "NOT (nTotal > 100)", { 1, 3 } },
        { "nTotal IS NULL", { 2 } },
        { "nTotal is not null and bActive = TRUE", { 0 } },
        { "bActive = FALSE OR bActive IS NULL", { 1, 3, 4 } },
        { "bActive = 'true'", { 0, 2 } },
        { "nTotal = '99'", { 1 } },
        { "iCount > 2.5", { 0, 2, 4 } },
        { "cName NOT LIKE '%i%'", { 2 } },
        { "cName LIKE '_mile'", { 4 } },
        { "cNote LIKE '50%'", { 3 } },
        { "cNote LIKE '_t''s'", { 2 } },
        { "cNote IS NULL OR NOT cNote LIKE 'f%'", { 1, 2, 3, 4 } },
        { "iCount LIKE '1%'", { 4 } },
        { "iCount NOT IN (0, 7)", { 0, 3, 4 } },
        { "nTotal NOT IN (99, NULL)", {} },
        { "cName IN ('jones', 'o''brien')", { 2, 3 } },
        { "dtPay = '2024-01-31'", { 0, 4 } },
        { "dtPay > '2024-01-31'", { 1 } },
        { "dtPay >= '2024-01-01' AND dtPay < '2024-02-01'", { 0, 4 } },
        { "[dtPay] < '2024-02-15 10:30:01' AND \"dtPay\" > '2024-02-15T10:29'", { 1 } },
        { "[cName] = \"CNAME\"", { 0, 1, 2, 3, 4 } },
        { "nTotal < iCount", {} },
        { "'a' = 'A'", { 0, 1, 2, 3, 4 } },
    };
    for (const auto &row : cases) {
        SCOPED_TRACE(row.filter);
        FilterError error;
        EXPECT_EQ(select(row.filter, error), row.rows) << error.text();
    }
}

TEST_F(RecordFilterTest, NamesTheFirstFaultAndItsPosition)
{
    const struct
    {
        std::string filter;
        std::size_t position;
        const char *message;
    } cases[] = {
        { "", 0, "the filter is empty" },
        { "   ", 3, "the filter is empty" },
        { "cName = ", 8, "a field or value expected, found end of the filter" },
        { "cName = 'abc", 8, "text is not closed with '" },
        { "(cName = 'a'", 12,
            "\")\" expected for the \"(\" at position 1, found end of the filter" },
        { "cName 'a'", 6, "a comparison expected after \"cName\", found text 'a'" },
        { "nTotal > 5 AND", 14, "a field or value expected, found end of the filter" },
        { "cName = 'a' extra", 12, "unexpected \"extra\"" },
        { "cName ~ 'a'", 6, "unexpected character \"~\"" },
        { "iCount IN (1, cName)", 14, "a value expected, found \"cName\"" },
        { "iCount IN 1", 10, "\"(\" expected after IN, found \"1\"" },
        { "iCount IS 5", 10, "NULL expected after IS, found \"5\"" },
        { "iCount NOT 5", 11, "LIKE or IN expected after NOT, found \"5\"" },
        { "[cName = 'a'", 0, "name is not closed with ]" },
        { "nTotal > 1e999", 9, "number out of range \"1e999\"" },
        { "nTotal > 12abc", 9, "bad number \"12a\"" },
        { "cName = AND", 8, "a field or value expected, found keyword AND" },
        { std::string(150, '(') + "iCount = 1" + std::string(150, ')'), 100,
            "the filter is nested too deeply" },
        { "nosuch = 1", 0, "unknown field \"nosuch\"" },
        { "iCount = 1 OR [no such] IS NULL", 14, "unknown field \"no such\"" },
        { "dtPay = 'soon'", 8,
            "\"dtPay\" is a date: compare it with a date written as 'YYYY-MM-DD'" },
        { "dtPay > 20240101", 8,
            "\"dtPay\" is a date: compare it with a date written as 'YYYY-MM-DD'" },
        { "iCount = 'abc'", 9, "\"iCount\" is a number: 'abc' is not one" },
    };
    for (const auto &row : cases) {
        SCOPED_TRACE(row.filter);
        FilterError error;
        EXPECT_EQ(select(row.filter, error), std::vector<int> { -1 });
        EXPECT_EQ(error.position, row.position);
        EXPECT_EQ(error.message, row.message);
    }
    FilterError error;
    RecordFilter::parse("cName =", error);
    EXPECT_EQ(error.text(),
        "Error in the filter at position 8: a field or value expected, found end of the filter");
}

TEST_F(RecordFilterTest, PrintsSqlWithEveryLiteralBound)
{
    const auto column = [](std::string_view name) -> std::optional<std::string> {
        for (const char *known : { "cCode", "idEnquiry", "x", "y" }) {
            if (name == known)
                return "\"" + std::string(known) + "\"";
        }
        return std::nullopt;
    };
    const struct
    {
        const char *filter;
        const char *sql;
        std::vector<Value> parameters;
    } cases[] = {
        { "cCode='AB''C' AND idEnquiry<>0", "(\"cCode\" COLLATE NOCASE = ? AND \"idEnquiry\" <> ?)",
            { std::string("AB'C"), std::int64_t(0) } },
        { "x IN ('a', 2.5) OR NOT y LIKE 'q%' OR x IS NOT NULL OR y != TRUE",
            "(\"x\" COLLATE NOCASE IN (?, ?) OR NOT (\"y\" LIKE ?) OR \"x\" IS NOT NULL OR \"y\" "
            "<> ?)",
            { std::string("a"), 2.5, std::string("q%"), std::int64_t(1) } },
        { "x = NULL", "\"x\" = NULL", {} },
        { "x >= y", "\"x\" COLLATE NOCASE >= \"y\"", {} },
        { "cCode = 'x'' OR 1=1 --'", "\"cCode\" COLLATE NOCASE = ?",
            { std::string("x' OR 1=1 --") } },
    };
    for (const auto &row : cases) {
        SCOPED_TRACE(row.filter);
        FilterError error;
        auto filter = RecordFilter::parse(row.filter, error);
        ASSERT_TRUE(filter) << error.text();
        std::string sql;
        std::vector<Value> parameters;
        ASSERT_TRUE(filter->toSql(column, " COLLATE NOCASE", sql, parameters, error))
            << error.text();
        EXPECT_EQ(sql, row.sql);
        EXPECT_EQ(parameters, row.parameters);
    }
    FilterError error;
    auto unknown = RecordFilter::parse("x = 1 AND [drop] = 2", error);
    std::string sql;
    std::vector<Value> parameters;
    EXPECT_FALSE(unknown->toSql(column, "", sql, parameters, error));
    EXPECT_EQ(error.position, 10u);
    EXPECT_EQ(error.message, "unknown field \"drop\"");
}

TEST(RecordFilterBlocks, AgreeWithSingleRowsAcrossChunks)
{
    ResultColumns columns;
    columns.addColumn("n", FieldType::Integer);
    columns.addColumn("c", FieldType::String);
    const std::size_t rows = ResultColumn::kChunkRows + 5000;
    for (std::size_t i = 0; i < rows; ++i) {
        columns.appendRow({ i % 97 == 0 ? Value() : Value(static_cast<std::int64_t>(i)),
            Value(std::string(i % 5 == 0 ? "X" : "y")) });
    }
    columns.finish();
    FilterError error;
    auto filter = RecordFilter::parse("n >= 65500 AND n < 65600 OR NOT c = 'x' AND n < 30", error);
    ASSERT_TRUE(filter && filter->bind(columns, error)) << error.text();
    std::vector<int> expected;
    for (std::size_t i = 0; i < rows; ++i) {
        const bool known = i % 97 != 0;
        if ((known && i >= 65500 && i < 65600) || (known && i % 5 != 0 && i < 30))
            expected.push_back(static_cast<int>(i));
        EXPECT_EQ(filter->matches(columns, i),
            !expected.empty() && expected.back() == static_cast<int>(i))
            << i;
    }
    std::vector<int> selected;
    filter->select(columns, 0, rows, selected);
    EXPECT_EQ(selected, expected);
    // An unaligned range gives the same rows.
    std::vector<int> part;
    filter->select(columns, 13, 65537, part);
    std::vector<int> expectedPart;
    std::copy_if(expected.begin(), expected.end(), std::back_inserter(expectedPart),
        [](int row) { return row >= 13 && row < 65537; });
    EXPECT_EQ(part, expectedPart);
}

TEST(RecordFilterText, EqualityIgnoresTheCaseOfAsciiLettersOnlyAtEveryLength)
{
    // Lengths around the word boundaries of the comparison, the neighbours of A-Z and a-z in
    // ASCII, and a letter outside ASCII, whose case counts.
    const std::vector<std::string> values = { "", "a", "Ab", "ABC", "abcd", "ABCDEFG", "AbCdEfGh",
        "abcdefghi", "ABCDEFGHIJKLMNOPQ", "abcdefghijklmnopq",
        "\xC3\x89"
        "bc",
        "\xC3\xA9"
        "bc",
        "a[c", "a{c", "A@C", "a`c",
        "a\x7F"
        "c" };
    ResultColumns columns;
    columns.addColumn("c", FieldType::String);
    for (const std::string &value : values)
        columns.appendRow(std::vector<Value> { value });
    columns.finish();
    const auto asciiLower = [](std::string text) {
        for (char &c : text) {
            if (c >= 'A' && c <= 'Z')
                c = static_cast<char>(c + 32);
        }
        return text;
    };
    for (const std::string &wanted : values) { // none holds a quote
        SCOPED_TRACE(wanted);
        FilterError error;
        auto filter = RecordFilter::parse("c = '" + wanted + "'", error);
        ASSERT_TRUE(filter && filter->bind(columns, error)) << error.text();
        std::vector<int> rows;
        filter->select(columns, 0, columns.rowCount(), rows);
        std::vector<int> expected;
        for (std::size_t row = 0; row < values.size(); ++row) {
            if (asciiLower(values[row]) == asciiLower(wanted))
                expected.push_back(static_cast<int>(row));
        }
        EXPECT_EQ(rows, expected);
    }
}
