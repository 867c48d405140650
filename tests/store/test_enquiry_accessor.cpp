#include "StoreTestSupport.h"

#include "store/SystemRecord.h"
#include "store/TqryIPEasyEnquiry.h"

TEST(SystemRecord, OnlyCodesBeginningWithIQInAnyCaseAreReserved)
{
    const struct
    {
        const char *code;
        bool reserved;
    } rows[] = {
        { "IQ", true },
        { "IQB-EMP002", true },
        { "iqx", true },
        { "iQ", true },
        { "I", false },
        { "", false },
        { "XIQ", false },
        { " IQ", false },
    };
    for (const auto &row : rows) {
        SCOPED_TRACE(row.code);
        EXPECT_EQ(IsReserved(QString::fromLatin1(row.code)), row.reserved);
    }
}

TEST_F(StoreTest, AccessorRoundTripReadsIdentityAtOnce)
{
    openDatabases();
    Exec(*db.payroll, "INSERT INTO _iptblEasyEnquiry (cCode) VALUES ('FIRST')");
    const QByteArray layout("chart\0template\xff", 15);

    TqryIPEasyEnquiry query;
    query.SetConnection(db.payroll.get());
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
    reread.SetConnection(db.payroll.get());
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
    EXPECT_EQ(Scalar(*db.payroll,
                  "SELECT cXColumn, cYColumn, iPalette, nChartLayout, "
                  "quote(cCustomColor) FROM _iptblEasyEnquiry WHERE idEnquiry = 2"),
        "NULL|NULL|NULL|NULL|''");
}

TEST_F(StoreTest, BadCodesAreRefusedWithNothingWritten)
{
    openDatabases();
    Exec(*db.payroll, "INSERT INTO _iptblEasyEnquiry (cCode) VALUES ('TAKEN')");
    const char *codes[] = { "ELEVENCHARS", "TAKEN" };
    for (const char *code : codes) {
        SCOPED_TRACE(code);
        TqryIPEasyEnquiry query;
        query.SetConnection(db.payroll.get());
        ASSERT_TRUE(query.SelectRecords(TqryIPEasyEnquiry::_IPEQIDEnquiry, 0));
        ASSERT_TRUE(query.brAppend());
        query.SetCode(QString::fromLatin1(code));
        query.SetDescription("must not appear");
        EXPECT_FALSE(query.brPost());
        EXPECT_FALSE(query.LastErrorText().isEmpty());
        EXPECT_EQ(Count(*db.payroll, "_iptblEasyEnquiry"), 1);
    }
    // Ten characters fit.
    TqryIPEasyEnquiry query;
    query.SetConnection(db.payroll.get());
    ASSERT_TRUE(query.SelectRecords(TqryIPEasyEnquiry::_IPEQIDEnquiry, 0));
    ASSERT_TRUE(query.brAppend());
    query.SetCode("TENCHARSOK");
    EXPECT_TRUE(query.brPost()) << query.LastErrorText().toStdString();
}
