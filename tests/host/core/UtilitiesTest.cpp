#include "PrintQt.h"

#include "host/core/TypeTables.h"
#include "host/core/Utilities.h"

#include <gtest/gtest.h>

namespace {

TEST(UtilitiesTest, FindParameterFindsTheWholeNameInEitherForm)
{
    const struct
    {
        const char *name;
        const char *statement;
        int position;
        bool bracketed;
    } rows[] = {
        { "Date", "where d = @Date", 11, false },
        { "Date", "where d between @DateFrom and @DateTo", 0, false },
        { "DateTo", "where d between @DateFrom and @DateTo", 31, false },
        { "Date", "where d = @Date_2 or e = @Date", 26, false },
        { "Pay Date", "where d = @[Pay Date]", 11, true },
        { "Date", "x = @[Date] or y = @Date", 5, true },
        { "Date", "x = @Date or y = @[Date]", 5, false },
        { "Date", "x = @[Date", 0, false }, // no closing bracket: not a marker
        { "Date", "x = @[DateTo]", 0, false }, // bracketed names compare whole
        { "Code", "x = @Code", 5, false }, // at the very end
        { "Code", "@Code", 1, false },
        { "code", "x = @Code", 0, false }, // exact letter case
        { "E-1", "x=@E-1+2", 3, false }, // minus is a name character
        { "Id", "no markers at all", 0, false },
        { "Id", "", 0, false },
        { "", "x = @ and @[]", 0, false },
        { "Id", "e@mail and @Id", 12, false },
    };
    for (const auto &row : rows) {
        SCOPED_TRACE(std::string(row.name) + " in " + row.statement);
        int position = -1;
        EXPECT_EQ(FindParameter(row.name, row.statement, position), row.bracketed);
        EXPECT_EQ(position, row.position);
    }

    int position = 0;
    EXPECT_TRUE(FindParameter("Id", "a = @Id and b = @[Id]", position, 5));
    EXPECT_EQ(position, 17);
    EXPECT_FALSE(FindParameter("Id", "a = @Id", position, 5));
    EXPECT_EQ(position, 0);
}

TEST(UtilitiesTest, XmlTextRoundTripsEveryString)
{
    const QString texts[] = { "", "plain", "select * from t where a < 3 and b > 4 & c <> 'x'",
        "\"quoted\" and 'single'", "line1\r\nline2\ttab", "&amp; already looks escaped",
        "&#13; &lt;", QString("nul") + QChar(0) + "\x01\x1f" + QChar(0x7f), "ünïcødé ✓ 𝄞", "&",
        "&;", "a&b;c" };
    for (const QString &text : texts) {
        SCOPED_TRACE(text.toStdString());
        const QString xml = ConvertNormalTextToXMLString(text);
        for (const QChar c : xml)
            EXPECT_FALSE(c == u'<' || c == u'>' || c == u'"' || c == u'\'' || c.unicode() < 0x20);
        EXPECT_EQ(ConvertXMLStringToNormalText(xml), text);
        std::string bytes;
        AppendXMLString(bytes, text.toStdString());
        EXPECT_EQ(QString::fromStdString(bytes), xml);
    }
    EXPECT_EQ(
        ConvertNormalTextToXMLString("a<b & 'c'\r\n"), "a&lt;b &amp; &apos;c&apos;&#13;&#10;");
    // Only what the writer makes is restored: other references stay text.
    EXPECT_EQ(ConvertXMLStringToNormalText(
                  "&lt;&#x41;&#65;&quot;&unknown;&#xZZ;&#99999999;&#13;&#x0A;&#+9;&"),
        "<&#x41;&#65;\"&unknown;&#xZZ;&#99999999;\r&#x0A;&#+9;&");
}

TEST(UtilitiesTest, DatesAreEightDigitsWithOrWithoutSeparators)
{
    const struct
    {
        QDateTime value;
        const char *plain;
        const char *separated;
    } rows[] = {
        { QDateTime(QDate(2024, 1, 31), QTime(14, 30)), "20240131", "2024-01-31" },
        { QDateTime(QDate(1999, 12, 1), QTime(0, 0)), "19991201", "1999-12-01" },
        { QDateTime(QDate(5, 3, 9), QTime(23, 59, 59)), "00050309", "0005-03-09" },
        { QDateTime(), "", "" },
    };
    for (const auto &row : rows) {
        SCOPED_TRACE(row.plain);
        EXPECT_EQ(DateToYYYYMMDD(row.value, false), row.plain);
        EXPECT_EQ(DateToYYYYMMDD(row.value, true), row.separated);
    }
}

TEST(UtilitiesTest, ApostrophesAreDoubledAndTypeNamesKeepTheirOrder)
{
    EXPECT_EQ(CheckApostrophe("O'Brien's ''"), "O''Brien''s ''''");
    EXPECT_EQ(CheckApostrophe("none"), "none");
    EXPECT_EQ(
        TSQLDataTypesString(), QStringList({ "Boolean", "Text", "Date", "Decimal", "Integer" }));
    EXPECT_EQ(TSQLDataTypesString().at(kSQLTypeDate), "Date");
    EXPECT_EQ(TChartTypeString(),
        QStringList({ "Bar", "Line", "Horizontal Bar", "Area", "Point", "Pie", "Fast Line",
            "Horizontal Line", "Horizontal Area" }));
}

} // namespace
