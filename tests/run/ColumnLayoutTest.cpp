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
