#include "run/ColumnLayout.h"

#include <gtest/gtest.h>

namespace {

// "caption>field:1" per column, in grid order.
QStringList Describe(const ColumnLayout &layout)
{
    QStringList result;
    for (const LayoutColumn &column : layout.columns)
        result << QStringLiteral("%1>%2:%3")
                      .arg(column.caption, column.fieldName)
                      .arg(column.visible ? 1 : 0);
    return result;
}

} // namespace

TEST(ColumnLayout, PlacesNamedColumnsFirstAndHidesTheRest)
{
    const QStringList fields { "cCode", "cName", "nTotal", "dtPay" };
    const struct
    {
        const char *name;
        QString stored;
        std::vector<NamedColumn> columnRows;
        QStringList expected;
        int offered;
    } rows[] = {
        { "first run: column rows", "", { { "nTotal", true }, { "cCode", false } },
            { "nTotal>nTotal:1", "cCode>cCode:0", "cName>cName:0", "dtPay>dtPay:0" }, 2 },
        { "stored layout wins, caption as stored", "NTOTAL,1,cname,1", { { "cCode", true } },
            { "NTOTAL>nTotal:1", "cname>cName:1", "cCode>cCode:0", "dtPay>dtPay:0" }, 2 },
        { "unknown, empty and repeated names are skipped", "gone,1,,1,dtPay,1,DTPAY,0,cCode,0", {},
            { "dtPay>dtPay:1", "cCode>cCode:0", "cName>cName:0", "nTotal>nTotal:0" }, 5 },
        { "flag other than 1 hides", "cName,x,cCode,", {},
            { "cName>cName:0", "cCode>cCode:0", "nTotal>nTotal:0", "dtPay>dtPay:0" }, 2 },
        { "nothing stored, no rows", "", {},
            { "cCode>cCode:0", "cName>cName:0", "nTotal>nTotal:0", "dtPay>dtPay:0" }, 0 },
    };
    for (const auto &row : rows) {
        SCOPED_TRACE(row.name);
        const ColumnLayout layout = BuildColumnLayout(fields, row.stored, row.columnRows);
        EXPECT_EQ(Describe(layout), row.expected);
        EXPECT_EQ(layout.offered, row.offered);
    }
}

TEST(ColumnLayout, SavedLayoutReadsBackAsSaved)
{
    const std::vector<NamedColumn> grid { { "cCode", true }, { "cName", false },
        { "nTotal", true } };
    const QString text = BuildFieldNames(grid);
    EXPECT_EQ(text, "cCode,1,cName,0,nTotal,1");
    const std::vector<NamedColumn> read = ParseFieldNames(text);
    ASSERT_EQ(read.size(), grid.size());
    for (std::size_t i = 0; i < grid.size(); ++i) {
        EXPECT_EQ(read[i].name, grid[i].name);
        EXPECT_EQ(read[i].visible, grid[i].visible);
    }
    // A caption with a comma cannot survive: its name ends at the first comma.
    EXPECT_EQ(ParseFieldNames(BuildFieldNames({ { "a,b", true } })).front().name, "a");
    EXPECT_TRUE(ParseFieldNames("no comma").empty());
}

TEST(ColumnLayout, WidthAndHoursRules)
{
    EXPECT_TRUE(AutoWidth(10));
    EXPECT_FALSE(AutoWidth(11));
    EXPECT_TRUE(IsHoursColumn("nOvertimeHours"));
    EXPECT_TRUE(IsHoursColumn("hours"));
    EXPECT_FALSE(IsHoursColumn("nHour"));
}
