#include "ExchangeFixture.h"

#include "exchange/EasyXMLWriter.h"
#include "store/Schema.h"

void ExchangeFixture::SetUp()
{
    DbError error;
    target = SqliteConnection::open(
        db.path("target.db").toStdString(), SqliteConnection::OpenMode::ReadWriteCreate, error);
    ASSERT_TRUE(target) << error.text;
    QString schemaError;
    ASSERT_TRUE(EnsureSchema(*target, DatabaseKind::Payroll, schemaError))
        << schemaError.toStdString();
}

int ExchangeFixture::insertKnownEnquiry()
{
    db.exec("INSERT INTO _iptblEasyEnquiry (cCode, cDescription, cSQLStatement, bCommonDB, "
            "iPayrollCompanyID, iPayFrequencyID, iIQTypeID, cXColumn, cYColumn, iPalette, "
            "cCustomColor, nChartLayout) VALUES (?, ?, ?, 1, 1, 1, 2, 'cCode', 'nA,nB', 3, '', ?)",
        { std::string("GOLD1"), std::string("Caf\xC3\xA9 \xE2\x82\xAC < 100 & more"),
            std::string("SELECT cCode FROM _iptblPayerGroups WHERE idPayer < @Limit\r\nAND cCode "
                        "<> 'a&b'"),
            Blob { { 0x00, '<', '&', 0xFF } } });
    const int id = db.count("SELECT max(idEnquiry) FROM _iptblEasyEnquiry");
    db.insertColumns(id, { { "cCode", true }, { "n<m", false } });
    db.insertParam(id, "Limit", 4, QStringLiteral("100"));
    db.insertParam(id, "From", 2, std::nullopt, QStringLiteral("2024-01-31 00:00:00"));
    return id;
}

QByteArray ExchangeFixture::exportBytes(const std::vector<int> &ids)
{
    std::string text;
    QString error;
    EXPECT_TRUE(EasyXMLFromDataSet(db.payroll(), false, ids, text, error)) << error.toStdString();
    return QByteArray::fromStdString(EncodeSimpleXmlFile(std::move(text)));
}

QString ExchangeFixture::dataFile(const char *name)
{
    return QStringLiteral(EXCHANGE_TEST_DATA "/") + QString::fromLatin1(name);
}

QStringList ExchangeFixture::definitions(Connection &connection)
{
    QStringList rows = TestDatabases::rows(connection,
        "SELECT cCode, cDescription, cSQLStatement, bCommonDB, iIQTypeID, cXColumn, cYColumn, "
        "iPalette, hex(nChartLayout) FROM _iptblEasyEnquiry ORDER BY cCode");
    rows += TestDatabases::rows(connection,
        "SELECT e.cCode, c.cColumnName, c.bShow, c.iOrder FROM _iptblEasyEnquiryColumn c "
        "LEFT JOIN _iptblEasyEnquiry e ON e.idEnquiry = c.iEnquiryID "
        "ORDER BY e.cCode, c.idEnquiryColumn");
    rows += TestDatabases::rows(connection,
        "SELECT e.cCode, p.cDescription, p.iSQLTypeID, p.dtValue, nullif(p.cValue, '') "
        "FROM _iptblEasyEnquiryParam p LEFT JOIN _iptblEasyEnquiry e ON e.idEnquiry = p.iEnquiryID "
        "ORDER BY e.cCode, p.idEnquiryParam");
    return rows;
}
