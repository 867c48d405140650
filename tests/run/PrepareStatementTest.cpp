#include "PrintQt.h"
#include "TestDatabases.h"

#include "host/core/SystemValues.h"
#include "host/core/TypeTables.h"
#include "run/PrepareStatement.h"

#include <QDateTime>

#include <gtest/gtest.h>

namespace {

ParamRow Text(const char *name, std::optional<QString> value)
{
    return { name, kSQLTypeText, std::move(value), std::nullopt };
}
ParamRow Bare(const char *name, int type, std::optional<QString> value)
{
    return { name, type, std::move(value), std::nullopt };
}
ParamRow Date(const char *name, std::optional<QDateTime> value)
{
    return { name, kSQLTypeDate, std::nullopt, std::move(value) };
}

} // namespace

TEST(SubstituteParameters, WritesEachMarkerAsItsTypesLiteral)
{
    const QDateTime payDate(QDate(2024, 1, 31), QTime(14, 30));
    const struct
    {
        const char *name;
        QString sql;
        std::vector<ParamRow> rows;
        QString expected;
    } rows[] = {
        { "text keeps its quotes", "where cYear = @Year", { Text("Year", "2024") },
            "where cYear = '2024'" },
        { "integer is bare", "where iYear = @Year", { Bare("Year", kSQLTypeInteger, "2024") },
            "where iYear = 2024" },
        { "boolean and decimal are bare", "where b = @On and n > @Rate",
            { Bare("On", kSQLTypeBoolean, "TRUE"), Bare("Rate", kSQLTypeDecimal, "12.5") },
            "where b = TRUE and n > 12.5" },
        { "bracketed date drops the time", "where d = @[Pay Date] and x = 1",
            { Date("Pay Date", payDate) }, "where d = '20240131' and x = 1" },
        { "null date vanishes", "where d = @[Pay Date] and x = 1",
            { Date("Pay Date", std::nullopt) }, "where d =  and x = 1" },
        { "zero date vanishes", "where d = @D and x = 1",
            { Date("D", QDateTime(QDate(1899, 12, 30), QTime(0, 0))) }, "where d =  and x = 1" },
        { "null bare value inserts nothing", "where i = @I", { Bare("I", kSQLTypeInteger, {}) },
            "where i = " },
        { "null text is two quotes", "where c = @C", { Text("C", {}) }, "where c = ''" },
        { "quote is not doubled", "where cName = @Name", { Text("Name", "O'Brien") },
            "where cName = 'O'Brien'" },
        { "marker at the very end", "select @A", { Bare("A", kSQLTypeInteger, "1") }, "select 1" },
        { "one character after the marker", "in (@A)", { Bare("A", kSQLTypeInteger, "1") },
            "in (1)" },
        { "marker twice", "@A + @A", { Bare("A", kSQLTypeInteger, "7") }, "7 + 7" },
        { "marker twice, last one at the end", "(@A)+@A", { Bare("A", kSQLTypeInteger, "7") },
            "(7)+7" },
        { "Date is not the start of DateTo", "between @Date and @DateTo and 1",
            { Date("Date", QDateTime(QDate(2024, 1, 1), QTime())),
                Date("DateTo", QDateTime(QDate(2024, 12, 31), QTime())) },
            "between '20240101' and '20241231' and 1" },
        { "plain name is not the bracketed one", "@Pay, @[Pay Date], @[Pay]",
            { Bare("Pay", kSQLTypeInteger, "5") }, "5, @[Pay Date], 5" },
        { "undefined markers and other @ stay", "where a = @Missing and b = 'x@y' and c = @A",
            { Bare("A", kSQLTypeInteger, "3") }, "where a = @Missing and b = 'x@y' and c = 3" },
        { "names compare exactly", "where a = @code", { Text("Code", "X") }, "where a = @code" },
        { "a value never replaces its own marker", "a = @N and b = @N", { Text("N", "@N") },
            "a = '@N' and b = '@N'" },
        { "a later parameter replaces its marker inside an earlier value", "a = @A and 1",
            { Text("A", "@B"), Bare("B", kSQLTypeInteger, "5") }, "a = '5' and 1" },
        { "no rows, no change", "select @A", {}, "select @A" },
    };
    for (const auto &row : rows) {
        SCOPED_TRACE(row.name);
        EXPECT_EQ(SubstituteParameters(row.sql, row.rows, TextValues::AsTyped), row.expected);
    }
}

// With doubled quotes a typed text stays one value wherever its marker stands, or the statement
// is refused; nothing a clerk types can change the statement around it.
TEST(SubstituteParameters, DoubledQuotesKeepEveryTextAValue)
{
    const struct
    {
        const char *name;
        QString sql;
        std::vector<ParamRow> rows;
        QString expected; // empty: refused
    } rows[] = {
        { "a quote stays in the value", "where cName = @Name", { Text("Name", "O'Brien") },
            "where cName = 'O''Brien'" },
        { "a quote and a comment", "where c = @V and x", { Text("V", "x' OR 1=1 /*") },
            "where c = 'x'' OR 1=1 /*' and x" },
        { "an earlier value's marker text stays", "a = @A and b = @B and 1",
            { Text("A", "@B"), Text("B", " OR 1=1 OR ") }, "a = '@B' and b = ' OR 1=1 OR ' and 1" },
        { "dates and numbers are not text", "where d = @D and i = @I",
            { Date("D", QDateTime(QDate(2024, 1, 31), QTime())), Bare("I", kSQLTypeInteger, "5") },
            "where d = '20240131' and i = 5" },
        { "inside the author's quotes", "where c like '%@V%'", { Text("V", "abc") }, "" },
        { "glued to the author's quote", "where c = @V'", { Text("V", "abc") }, "" },
        { "inside a quoted name, harmless", "select 1 as \"@V\"", { Text("V", "abc") },
            "select 1 as \"'abc'\"" },
        { "out of a quoted name", "select 1 as \"@V\"", { Text("V", "x\" or 1=1 --") }, "" },
        { "in a line comment, harmless", "select 1 -- @V", { Text("V", "x' or 1=1") },
            "select 1 -- 'x'' or 1=1'" },
        { "out of a line comment", "select 1 -- @V\n", { Text("V", "\r or 1=1") }, "" },
        { "out of a block comment", "select 1 /* @V */", { Text("V", "*/ or 1=1 /*") }, "" },
    };
    for (const auto &row : rows) {
        SCOPED_TRACE(row.name);
        QString error;
        EXPECT_EQ(SubstituteParameters(row.sql, row.rows, TextValues::QuotesDoubled, &error),
            row.expected);
        EXPECT_EQ(error.isEmpty(), !row.expected.isEmpty()) << error.toStdString();
    }
}

class PrepareEnquirySQLTest : public ::testing::Test
{
protected:
    TestDatabases db;
};

TEST_F(PrepareEnquirySQLTest, ReadsTheStoredValuesAndFiltersForTheAgent)
{
    const int agent = db.addAgent("limited", { .allLocations = false });
    db.signIn("limited");
    const QString sql = "select cCode from _iptblLocations where idLocation in (@[Loc List]) "
                        "and cCode <> @Code and cDescription > @From";
    const int id = db.insertEnquiry("P1", sql);
    db.insertParam(id, "Code", kSQLTypeText, "X'");
    db.insertParam(id, "From", kSQLTypeDate, std::nullopt, "2024-01-31 14:30:00");
    // Tokens inside values are replaced too: the filters run after the substitution.
    db.insertParam(id, "Loc List", kSQLTypeInteger, "CHECKAGENTLOCATIONSECURITY");

    QString out;
    QString error;
    // As typed, values go in as stored; with doubled quotes (the default) a stored number must
    // be one.
    SetCurrentSystemValue("IQ Text Parameter Values", "as typed");
    EXPECT_TRUE(PrepareEnquirySQL(db.payroll(), id, sql, out, error)) << error.toStdString();
    EXPECT_EQ(out,
        QString("select cCode from _iptblLocations where idLocation in ( select distinct "
                "iLocationID from dbo._rtblAgentLocations where iAgentID = %1 ) and cCode <> 'X'' "
                "and cDescription > '20240131'")
            .arg(agent));
    EXPECT_TRUE(error.isEmpty());

    SetCurrentSystemValue("IQ Text Parameter Values", "quotes doubled");
    EXPECT_FALSE(PrepareEnquirySQL(db.payroll(), id, sql, out, error));
    EXPECT_EQ(error,
        "The stored value of the parameter \"Loc List\" cannot be used: "
        "'CHECKAGENTLOCATIONSECURITY' is not a valid integer value. Enter it again in the "
        "parameter dialog.");
}

TEST_F(PrepareEnquirySQLTest, StatementWithoutMarkersNeverReadsTheParameterRows)
{
    // Without the table any read of the parameter rows would fail.
    db.exec("DROP TABLE _iptblEasyEnquiryParam");
    QString out;
    QString error;
    const QString plain = "select cCode from _iptblPayerGroups where idPayer in "
                          "(CHECKAGENTPAYROLLCOMPANYSECURITY)";
    EXPECT_TRUE(PrepareEnquirySQL(db.payroll(), 1, plain, out, error)) << error.toStdString();
    // Nobody signed in: the safe side, a limited agent 0.
    EXPECT_EQ(out,
        "select cCode from _iptblPayerGroups where idPayer in ( select * from "
        "[dbo]._efnAgentPCSecurity(0) )");

    EXPECT_FALSE(PrepareEnquirySQL(db.payroll(), 1, "select @A", out, error));
    EXPECT_TRUE(out.isEmpty());
    EXPECT_FALSE(error.isEmpty());
}

TEST_F(PrepareEnquirySQLTest, RefusedStatementGivesNothingToRun)
{
    const int id = db.insertEnquiry("P2", "x");
    db.insertParam(id, "Id", kSQLTypeInteger, "1");
    const struct
    {
        const char *sql;
        Connection *target;
    } rows[] = {
        { "delete from _iptblEasyEnquiry where idEnquiry >= @Id", nullptr },
        { "select * from _iptblEasyEnquiry; delete from _iptblEasyEnquiry", nullptr },
        // _btblLog lives in the common database: the check compiles where the IQ runs.
        { "delete from _btblLog", &db.common() },
    };
    for (const auto &row : rows) {
        SCOPED_TRACE(row.sql);
        QString out = "stale";
        QString error;
        EXPECT_FALSE(PrepareEnquirySQL(db.payroll(), id, row.sql, out, error, row.target));
        EXPECT_EQ(out, "");
        EXPECT_EQ(error, "The requested action is forbidden");
    }
    EXPECT_EQ(db.count("select count(*) from _iptblEasyEnquiry"), 1);
}
