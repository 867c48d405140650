#include "PrintQt.h"
#include "TestDatabases.h"

#include "store/SystemRecord.h"
#include "store/TqryIPEasyEnquiry.h"

#include <gtest/gtest.h>

namespace {

class EnquiryAccessorTest : public ::testing::Test
{
protected:
    TestDatabases db;
};

TEST(SystemRecord, OnlyCodesBeginningWithIQInAnyCaseAreReserved)
{
    const struct
    {
        const char *code;
        bool reserved;
    } rows[] = { { "IQ", true }, { "IQB-EMP002", true }, { "iqx", true }, { "iQ", true },
        { "I", false }, { "", false }, { "XIQ", false }, { " IQ", false } };
    for (const auto &row : rows) {
        SCOPED_TRACE(row.code);
        EXPECT_EQ(IsReserved(QString::fromLatin1(row.code)), row.reserved);
    }
}

TEST_F(EnquiryAccessorTest, RoundTripReadsIdentityAtOnce)
{
    db.exec("INSERT INTO _iptblEasyEnquiry (cCode) VALUES ('FIRST')");
    const QByteArray layout("chart\0template\xff", 15);

    TqryIPEasyEnquiry query;
    query.SetConnection(&db.payroll());
    ASSERT_TRUE(query.SelectRecords(TqryIPEasyEnquiry::_IPEQIDEnquiry, 0))
        << query.LastErrorText().toStdString();
    ASSERT_TRUE(query.brAppend());
    EXPECT_TRUE(query.SetCode("ROUND1"));
    EXPECT_TRUE(query.SetDescription("Round trip"));
    EXPECT_TRUE(query.SetSQLStatement("select * from _iptblEmployees where iPayerID = @Payer"));
    EXPECT_TRUE(query.SetCommonDB(true));
    EXPECT_TRUE(query.SetPayrollCompanyID(3));
    EXPECT_TRUE(query.SetPayFrequencyID(2));
    EXPECT_TRUE(query.SetIQType(4));
    EXPECT_TRUE(query.SetXColumn("cMonth"));
    EXPECT_TRUE(query.SetYColumn("fGross,fNet"));
    EXPECT_TRUE(query.SetPalette(5));
    EXPECT_TRUE(query.SetCustomColor("1=#ff0000"));
    EXPECT_TRUE(query.SetChartLayout(layout));
    ASSERT_TRUE(query.brPost()) << query.LastErrorText().toStdString();
    EXPECT_EQ(query.GetIDEnquiry(), 2);

    TqryIPEasyEnquiry reread;
    reread.SetConnection(&db.payroll());
    ASSERT_TRUE(reread.SelectRecords(TqryIPEasyEnquiry::_IPEQIDEnquiry, 2));
    ASSERT_EQ(reread.RecordCount(), 1);
    EXPECT_EQ(reread.GetCode(), "ROUND1");
    EXPECT_EQ(reread.GetDescription(), "Round trip");
    EXPECT_EQ(reread.GetSQLStatement(), "select * from _iptblEmployees where iPayerID = @Payer");
    EXPECT_TRUE(reread.GetCommonDB());
    EXPECT_EQ(reread.GetPayrollCompanyID(), 3);
    EXPECT_EQ(reread.FieldByName(TqryIPEasyEnquiry::_IPEQPayFrequencyID).AsInteger(), 2);
    EXPECT_EQ(reread.GetIQType(), 4);
    EXPECT_EQ(reread.GetXColumn(), "cMonth");
    EXPECT_EQ(reread.GetYColumn(), "fGross,fNet");
    EXPECT_EQ(reread.GetPalette(), 5);
    EXPECT_EQ(reread.GetCustomColor(), "1=#ff0000");
    EXPECT_EQ(reread.GetChartLayout(), layout);

    // What the editor does to an edited IQ: chart settings null, custom colours empty text.
    ASSERT_TRUE(reread.brEdit());
    EXPECT_TRUE(reread.SetXColumn(QString()));
    EXPECT_TRUE(reread.SetYColumn(QString()));
    EXPECT_TRUE(reread.SetChartLayout(QByteArray()));
    EXPECT_TRUE(reread.FieldByName(TqryIPEasyEnquiry::_IPEQPalette).Clear());
    EXPECT_TRUE(reread.SetCustomColor(QStringLiteral("")));
    ASSERT_TRUE(reread.brPost()) << reread.LastErrorText().toStdString();
    EXPECT_EQ(db.rows("SELECT cXColumn, cYColumn, iPalette, nChartLayout, quote(cCustomColor) "
                      "FROM _iptblEasyEnquiry WHERE idEnquiry = 2"),
        QStringList { "NULL|NULL|NULL|NULL|''" });
}

TEST_F(EnquiryAccessorTest, CodesThatDoNotFitOrExistAreRefusedWithNothingWritten)
{
    db.exec("INSERT INTO _iptblEasyEnquiry (cCode) VALUES ('TAKEN')");
    const struct
    {
        const char *code;
        bool stored;
    } rows[] = { { "ELEVENCHARS", false }, { "TAKEN", false }, { "TENCHARSOK", true } };
    for (const auto &row : rows) {
        SCOPED_TRACE(row.code);
        const int before = db.count("SELECT count(*) FROM _iptblEasyEnquiry");
        TqryIPEasyEnquiry query;
        query.SetConnection(&db.payroll());
        ASSERT_TRUE(query.SelectRecords(TqryIPEasyEnquiry::_IPEQIDEnquiry, 0));
        ASSERT_TRUE(query.brAppend());
        query.SetCode(QString::fromLatin1(row.code));
        EXPECT_EQ(query.brPost(), row.stored);
        EXPECT_EQ(query.LastErrorText().isEmpty(), row.stored);
        EXPECT_EQ(db.count("SELECT count(*) FROM _iptblEasyEnquiry"), before + int(row.stored));
    }
}

} // namespace
