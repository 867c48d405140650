#include "PrintQt.h"
#include "TestDatabases.h"

#include "host/core/TypeTables.h"
#include "run/ParamValue.h"
#include "run/PrepareStatement.h"

#include <QLocale>

#include <gtest/gtest.h>

namespace {

const QLocale uk(QLocale::English, QLocale::UnitedKingdom);
const QLocale de(QLocale::German, QLocale::Germany);

// Switches the person's locale for one test; the test programs run in en_GB
// otherwise.
class LocaleScope
{
public:
    explicit LocaleScope(const QLocale &locale) { QLocale::setDefault(locale); }
    ~LocaleScope() { QLocale::setDefault(uk); }
};

const QDateTime kNoDate;

QDateTime At(int y, int m, int d, int h = 0, int min = 0)
{
    return QDateTime(QDate(y, m, d), QTime(h, min));
}

} // namespace

TEST(ParamValue, ChecksValuesInTheRegionalFormats)
{
    const struct
    {
        QLocale locale;
        int type;
        QString value;
        bool ok;
        QDateTime date;
    } rows[] = {
        { uk, kSQLTypeBoolean, "1", true, kNoDate },
        { uk, kSQLTypeBoolean, "false", true, kNoDate },
        { uk, kSQLTypeBoolean, "yes", false, kNoDate },
        { uk, kSQLTypeBoolean, "", false, kNoDate },
        { uk, kSQLTypeText, "", true, kNoDate },
        { uk, kSQLTypeInteger, "12", true, kNoDate },
        { uk, kSQLTypeInteger, "-2147483648", true, kNoDate },
        { uk, kSQLTypeInteger, "2147483648", false, kNoDate },
        { uk, kSQLTypeInteger, "12.5", false, kNoDate },
        { uk, kSQLTypeInteger, "", false, kNoDate },
        { uk, kSQLTypeDecimal, "12.5", true, kNoDate },
        { uk, kSQLTypeDecimal, "12,5", false, kNoDate },
        { uk, kSQLTypeDecimal, "1,234.5", false, kNoDate },
        { uk, kSQLTypeDate, "31/01/2024", true, At(2024, 1, 31) },
        { uk, kSQLTypeDate, "1/2/2024", true, At(2024, 2, 1) },
        { uk, kSQLTypeDate, "31/01/2024 14:30", true, At(2024, 1, 31, 14, 30) },
        { uk, kSQLTypeDate, "31/01/24", true, At(2024, 1, 31) },
        { uk, kSQLTypeDate, "2024-01-31", true, At(2024, 1, 31) },
        { uk, kSQLTypeDate, "2024-01-31 08:05:00", true, At(2024, 1, 31, 8, 5) },
        { uk, kSQLTypeDate, "01/31/2024", false, kNoDate },
        { uk, kSQLTypeDate, "", false, kNoDate },
        { uk, kSQLTypeDate, "1899-12-30", false, kNoDate }, // the zero date: no value
        { uk, kSQLTypeDate, "1850-06-01", false, kNoDate },
        { uk, kSQLTypeDate, "1899-12-31", true, At(1899, 12, 31) },
        { uk, kSQLTypeDate, "31/12/9999", true, At(9999, 12, 31) },
        { uk, kSQLTypeText, "O'Brien", true, kNoDate },
        { uk, kSQLTypeText, QString("a") + QChar(0) + "b", false, kNoDate },
        { uk, kSQLTypeInteger, QString("1") + QChar(0), false, kNoDate },
        { de, kSQLTypeDecimal, "12,5", true, kNoDate },
        { de, kSQLTypeDecimal, "12.5", false, kNoDate },
        { de, kSQLTypeBoolean, "0,5", true, kNoDate },
        { de, kSQLTypeInteger, "12,5", false, kNoDate },
        { de, kSQLTypeDate, "31.01.2024", true, At(2024, 1, 31) },
        { de, kSQLTypeDate, "31.01.24 14:30", true, At(2024, 1, 31, 14, 30) },
        { de, kSQLTypeDate, "31/01/2024", false, kNoDate },
    };
    for (const auto &row : rows) {
        SCOPED_TRACE(QStringLiteral("%1 type %2 \"%3\"")
                         .arg(row.locale.name())
                         .arg(row.type)
                         .arg(row.value)
                         .toStdString());
        LocaleScope locale(row.locale);
        const ParamCheck check = CheckParamValue(row.type, row.value);
        EXPECT_EQ(check.ok, row.ok);
        EXPECT_EQ(check.errorText.isEmpty(), row.ok);
        if (row.type == kSQLTypeDate && row.ok) {
            EXPECT_EQ(check.date, row.date);
        }
    }
}

TEST(ParamValue, ValidationStopsAtTheFirstBadRowWithItsMessage)
{
    const struct
    {
        const char *name;
        std::vector<ParamEntry> entries;
        int failedRow;
        QString message;
    } rows[] = {
        { "decimal abc",
            { { "A", "Text", "", {} }, { "B", "Decimal", "abc", {} }, { "C", "Integer", "x", {} } },
            1,
            "Value \"abc\" does not match Type \"Decimal\"!\r\nError: 'abc' is not "
            "a valid "
            "floating point value." },
        { "empty date names the short date format", { { "D", "Date", "", {} } }, 0,
            "Value \"\" does not match Type \"Date\"!\r\nError: '' is not a valid "
            "date.\r\r"
            "Please enter dates in \"dd/MM/yyyy\" format." },
        { "type names compare exactly",
            { { "A", "Integer", "1", {} }, { "B", "integer", "1", {} } }, 1,
            "Please choose a valid Type!" },
        { "all good", { { "A", "Boolean", "true", {} }, { "D", "Date", "31/01/2024", {} } }, -1,
            "" },
    };
    for (const auto &row : rows) {
        SCOPED_TRACE(row.name);
        std::vector<ParamEntry> entries = row.entries;
        QString message;
        int failedRow = 99;
        EXPECT_EQ(ValidateParamEntries(entries, message, failedRow), row.failedRow < 0);
        EXPECT_EQ(failedRow, row.failedRow);
        EXPECT_EQ(message, row.message);
    }
    std::vector<ParamEntry> dates { { "D", "Date", "31/01/2024 14:30", {} } };
    QString message;
    int failedRow = 0;
    ASSERT_TRUE(ValidateParamEntries(dates, message, failedRow));
    EXPECT_EQ(dates[0].date, At(2024, 1, 31, 14, 30));
    EXPECT_EQ(
        ParamMismatchMessage("x", "Integer", ""), "Value \"x\" does not match Type \"Integer\"!");
}

TEST(ParamValue, StoredDatesAreOfferedInAFormThatReadsBack)
{
    const struct
    {
        QLocale locale;
        QDateTime stored;
        QString shown;
    } rows[] = {
        { uk, At(2024, 1, 31, 14, 30), "31/01/2024 14:30" },
        { uk, At(2024, 1, 31), "31/01/2024" },
        { uk, At(1899, 12, 30), "" },
        // The German short format has a two-digit year; a century must not get
        // lost.
        { de, At(1930, 5, 1), "01.05.1930" },
    };
    for (const auto &row : rows) {
        SCOPED_TRACE(row.shown.toStdString());
        LocaleScope locale(row.locale);
        const ParamRow stored { "D", kSQLTypeDate, std::nullopt, row.stored };
        EXPECT_EQ(ParamDisplayValue(stored), row.shown);
        if (!row.shown.isEmpty()) {
            EXPECT_EQ(CheckParamValue(kSQLTypeDate, row.shown).date, row.stored);
        }
    }
}

class StoreParamValuesTest : public ::testing::Test
{
protected:
    TestDatabases db;
};

TEST_F(StoreParamValuesTest, WritesAllRowsInDefinitionOrderOrNone)
{
    const int id = db.insertEnquiry("S1", "select @Name, @[Pay Date], @Count");
    db.insertParam(id, "Name", kSQLTypeText, "old");
    db.insertParam(id, "Pay Date", kSQLTypeDate, std::nullopt, "2023-01-01 00:00:00");
    db.insertParam(id, "Count", kSQLTypeInteger, "1");

    std::vector<ParamRow> stored;
    QString error;
    ASSERT_TRUE(ReadParamRows(db.payroll(), id, true, stored, error)) << error.toStdString();
    std::vector<ParamEntry> entries;
    for (const ParamRow &row : stored)
        entries.push_back(EntryFromRow(row));
    ASSERT_EQ(entries.size(), 3u);
    EXPECT_EQ(entries[1].value, "01/01/2023");
    entries[0].value = "Smith";
    entries[1].value = "31/01/2024 14:30";
    entries[2].typeName = "Decimal";
    entries[2].value = "2.5";
    int failedRow = 0;
    ASSERT_TRUE(ValidateParamEntries(entries, error, failedRow)) << error.toStdString();
    ASSERT_TRUE(StoreParamValues(db.payroll(), id, entries, error)) << error.toStdString();

    const char *read = "select cDescription, iSQLTypeID, cValue, substr(dtValue, 1, 16) "
                       "from _iptblEasyEnquiryParam order by idEnquiryParam";
    const QStringList written { "Name|1|Smith|NULL", "Pay Date|2|NULL|2024-01-31 14:30",
        "Count|3|2.5|NULL" };
    EXPECT_EQ(db.rows(read), written);
    QString out;
    ASSERT_TRUE(
        PrepareEnquirySQL(db.payroll(), id, "select @Name, @[Pay Date], @Count", out, error));
    EXPECT_EQ(out, "select 'Smith', '20240131', 2.5");

    // A post that fails half-way leaves every row as it was.
    db.exec("CREATE TRIGGER refuse_boom BEFORE UPDATE ON _iptblEasyEnquiryParam "
            "WHEN new.cValue = 'boom' BEGIN SELECT raise(ABORT, 'boom refused'); "
            "END");
    std::vector<ParamEntry> bad = entries;
    bad[0].value = "first";
    bad[2].value = "boom";
    EXPECT_FALSE(StoreParamValues(db.payroll(), id, bad, error));
    EXPECT_TRUE(error.contains("boom refused")) << error.toStdString();
    bad.pop_back();
    EXPECT_FALSE(StoreParamValues(db.payroll(), id, bad, error));
    EXPECT_EQ(error, "The IQ has 3 parameters but 2 values were given.");
    EXPECT_EQ(db.rows(read), written);
}

// A number typed in any locale is stored and written into the statement in the C locale, and
// shown back to each person in their own; a value stored with a decimal comma still goes in with
// a point.
TEST_F(StoreParamValuesTest, NumbersGoInWithAPointInEveryLocale)
{
    const int id = db.insertEnquiry("S2", "select @Rate, @On");
    db.insertParam(id, "Rate", kSQLTypeDecimal, "1");
    db.insertParam(id, "On", kSQLTypeBoolean, "1");
    const struct
    {
        QLocale locale;
        const char *rate;
        const char *on;
        const char *stored; // the two cValues
        const char *shownInGermany;
    } rows[] = {
        { de, "12,5", "0,5", "12.5|0.5", "12,5|0,5" },
        { uk, "1234.25", "TRUE", "1234.25|TRUE", "1234,25|TRUE" },
    };
    for (const auto &row : rows) {
        SCOPED_TRACE(row.locale.name().toStdString());
        QString error;
        {
            LocaleScope locale(row.locale);
            std::vector<ParamEntry> entries { { "Rate", "Decimal", row.rate, {} },
                { "On", "Boolean", row.on, {} } };
            int failedRow = 0;
            ASSERT_TRUE(ValidateParamEntries(entries, error, failedRow)) << error.toStdString();
            ASSERT_TRUE(StoreParamValues(db.payroll(), id, entries, error)) << error.toStdString();
        }
        EXPECT_EQ(db.rows("select group_concat(cValue, '|') from _iptblEasyEnquiryParam"),
            QStringList { row.stored });
        LocaleScope germany(de);
        std::vector<ParamRow> stored;
        ASSERT_TRUE(ReadParamRows(db.payroll(), id, true, stored, error));
        EXPECT_EQ(
            ParamDisplayValue(stored[0]) + "|" + ParamDisplayValue(stored[1]), row.shownInGermany);
        QString out;
        ASSERT_TRUE(PrepareEnquirySQL(db.payroll(), id, "select @Rate, @On", out, error))
            << error.toStdString();
        EXPECT_EQ(out, QString("select ") + QString(row.stored).replace('|', ", "));
    }
    db.exec("update _iptblEasyEnquiryParam set cValue = '7,5' where cDescription = 'Rate'");
    LocaleScope germany(de);
    QString out;
    QString error;
    ASSERT_TRUE(PrepareEnquirySQL(db.payroll(), id, "select @Rate", out, error));
    EXPECT_EQ(out, "select 7.5");
}
