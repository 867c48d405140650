#include "ExchangeFixture.h"
#include "PrintQt.h"

#include "exchange/EasyXMLReader.h"
#include "exchange/EasyXMLWriter.h"
#include "exchange/EnquiryExchange.h"
#include "exchange/Windows1252.h"

#include <QFile>
#include <QXmlStreamReader>

namespace {

// A whole file of these record blocks, as the writer frames them.
QString File(const QStringList &records)
{
    QString text = "<?xml version = \"1.0\" ?>\r\n<RecordSet tablename=\"qryEasyEnquiry\">\r\n";
    for (const QString &record : records)
        text += "<Record>\r\n" + record + "</Record>\r\n";
    return text + "</RecordSet>\r\n";
}

QString Fields(const QString &code, const QString &more = {})
{
    return "<cCode>" + code + "</cCode>\r\n<cSQLStatement>SELECT 1</cSQLStatement>\r\n" + more;
}

ImportOutcome Import(Connection &connection, const QByteArray &bytes)
{
    QByteArray text;
    ImportOutcome outcome;
    if (!DecodeSimpleXmlFile(bytes, text, outcome.error))
        return outcome;
    return EasyDataSetFromXML(connection, text);
}

} // namespace

TEST_F(ExchangeFixture, KnownIQIsWrittenByteForByteAndReadBackWhole)
{
    const int id = insertKnownEnquiry();
    const QByteArray bytes = exportBytes({ id });
    const QByteArray golden = ReadFile(dataFile("known_iq.xml"));
    ASSERT_FALSE(golden.isEmpty());
    EXPECT_EQ(bytes, golden);
    for (const char *element :
        { "<idEnquiry>", "<iPayrollCompanyID>", "<iPayFrequencyID>", "<idEnquiryColumn>",
            "<idEnquiryParam>", "<iEnquiryID>", "<cCustomColor>", "<cValue></cValue>" })
        EXPECT_FALSE(bytes.contains(element)) << element;

    const ImportOutcome outcome = Import(*target, golden);
    ASSERT_FALSE(outcome.Failed()) << outcome.error.toStdString();
    EXPECT_EQ(outcome.Message(), "Import 1 records. Accept 1 records.");
    EXPECT_EQ(definitions(*target), definitions(db.payroll()));
    // Exported from there, the same bytes come out.
    std::string text;
    QString error;
    ASSERT_TRUE(EasyXMLFromDataSet(*target, true, {}, text, error));
    EXPECT_EQ(QByteArray::fromStdString(EncodeSimpleXmlFile(std::move(text))), golden);
}

TEST_F(ExchangeFixture, RoundTripKeepsEveryCharacterAndTheIQRunsThere)
{
    const std::string statement = "SELECT cCode AS \"a<b\", cDescription AS [x&y]\r\nFROM "
                                  "_iptblEasyEnquiry\n\tWHERE cDescription <> '<&>\"''' -- é";
    db.exec("INSERT INTO _iptblEasyEnquiry (cCode, cDescription, cSQLStatement, iIQTypeID) VALUES "
            "('MARKS', 'Pay < 100 & \"more\" > 50\r\nnext line', ?, 1)",
        { statement });
    const int marks = db.count("SELECT max(idEnquiry) FROM _iptblEasyEnquiry");
    db.insertColumns(marks, { { "a<b", true }, { "x&y", false }, { "q\"'t", true } });
    db.insertParam(marks, "P<1&\"'", 1, QStringLiteral("'<&>\"\r\nend"));
    db.insertParam(marks, "On", 2, std::nullopt, QStringLiteral("1999-12-31 23:59:58"));
    db.insertParam(marks, "Empty", 3, QString());
    db.exec("INSERT INTO _iptblEasyEnquiry (cCode, cDescription, cSQLStatement) VALUES "
            "('WIDE', 'Caf\xC3\xA9 \xE2\x82\xAC \xE2\x86\x92 \xC5\x82', 'SELECT 1')");
    const int wide = db.count("SELECT max(idEnquiry) FROM _iptblEasyEnquiry");

    // Windows-1252 while it holds every character, else UTF-8 with its mark.
    const QByteArray plain = exportBytes({ marks });
    EXPECT_FALSE(plain.startsWith("\xEF\xBB\xBF"));
    EXPECT_TRUE(plain.contains("<cDescription>Pay &lt; 100 & \"more\" > 50\r\nnext line<"));
    const QByteArray both = exportBytes({ marks, wide });
    EXPECT_TRUE(both.startsWith("\xEF\xBB\xBF"));
    EXPECT_TRUE(both.endsWith("</RecordSet>\r\n"));
    // Read as plain XML by a reader of its own (the "&" of a text written as it is aside).
    QXmlStreamReader xml(QString::fromUtf8(both.mid(3)).replace(" & ", " &amp; "));
    int records = 0;
    while (!xml.atEnd())
        records += xml.readNext() == QXmlStreamReader::StartElement && xml.name() == u"Record";
    EXPECT_FALSE(xml.hasError()) << xml.errorString().toStdString();
    EXPECT_EQ(records, 2);

    const ImportOutcome outcome = Import(*target, both);
    ASSERT_FALSE(outcome.Failed()) << outcome.error.toStdString();
    EXPECT_EQ(outcome.accepted, 2);
    EXPECT_EQ(definitions(*target), definitions(db.payroll()));
    EXPECT_EQ(TestDatabases::rows(*target,
                  "SELECT count(*) FROM _iptblEasyEnquiryParam WHERE cValue = '' "
                  "OR cValue IS NULL"),
        QStringList { "2" }); // an empty default stays empty (not written, so null there)
    std::vector<std::string> names;
    ASSERT_TRUE(target->describeColumns(statement, names));
    EXPECT_EQ(names, (std::vector<std::string> { "a<b", "x&y" }));
}

TEST_F(ExchangeFixture, ReaderTakesTheWritersShapesAndRejectsBadCodes)
{
    db.exec("INSERT INTO _iptblEasyEnquiry (cCode, cSQLStatement) VALUES ('HAVE', 'SELECT 1')", {});
    const QString param = "<ParameterRecord>\r\n<cDescription>P</cDescription>\r\n<iSQLTypeID>1"
                          "</iSQLTypeID>\r\n<cValue>v</cValue>\r\n</ParameterRecord>\r\n";
    const QString column = "<ColumnRecord>\r\n<cColumnName>c</cColumnName>\r\n<bShow>1</bShow>"
                           "\r\n<iOrder>1</iOrder>\r\n</ColumnRecord>\r\n";
    const struct
    {
        const char *what;
        QByteArray bytes;
        int read;
        int accepted;
        QStringList rejections;
        const char *query; // what the target holds afterwards
        QStringList rows;
    } rows[] = {
        { "parameters, no columns", File({ Fields("P1", param + param) }).toLatin1(), 1, 1, {},
            "SELECT count(*) FROM _iptblEasyEnquiryParam", { "2" } },
        { "sub-blocks in any mixture", File({ Fields("MIX", param + column + param) }).toLatin1(),
            1, 1, {},
            "SELECT count(*) || '/' || (SELECT count(*) FROM _iptblEasyEnquiryParam) "
            "FROM _iptblEasyEnquiryColumn",
            { "1/2" } },
        { "ten and eleven characters",
            File({ Fields("ABCDEFGHIJ"), Fields("ABCDEFGHIJK", param) }).toLatin1(), 2, 1,
            { "IQ code \"ABCDEFGHIJK\" exceeds 10 charactors! The IQ record is rejected." },
            "SELECT cCode FROM _iptblEasyEnquiry", { "ABCDEFGHIJ" } },
        { "existing code, and one twice in the file",
            File({ Fields("NEW"), Fields("have", param), Fields("NEW") }).toLatin1(), 3, 1,
            { "IQ code \"have\" already exists! The IQ record is rejected.",
                "IQ code \"NEW\" already exists! The IQ record is rejected." },
            "SELECT cCode FROM _iptblEasyEnquiry", { "NEW" } },
        { "names in other letter case; only the exact ones are tested or restored",
            File({ "<cCode>LC</cCode>\r\n<CDESCRIPTION>a &lt; b</cdescription>\r\n<CSQLSTATEMENT>"
                   "x &amp; y</CSQLSTATEMENT>\r\n<BCOMMONDB>TRUE</BCOMMONDB>\r\n<Unknown>z"
                   "</Unknown>\r\n<idEnquiry>999</idEnquiry>\r\n" })
                .toLatin1(),
            1, 1, {},
            "SELECT idEnquiry < 999, cDescription, cSQLStatement, bCommonDB FROM "
            "_iptblEasyEnquiry",
            { "1|a < b|x &amp; y|1" } },
        { "references the writer never makes stay text",
            File({ Fields("REF", "<cDescription>&#65;&amp;&unknown;</cDescription>\r\n") })
                .toLatin1(),
            1, 1, {}, "SELECT cDescription FROM _iptblEasyEnquiry", { "&#65;&amp;&unknown;" } },
        { "UTF-8 mark", "\xEF\xBB\xBF" + File({ Fields("\xC3\xA9T8") }).toUtf8(), 1, 1, {},
            "SELECT cCode FROM _iptblEasyEnquiry", { "\xC3\xA9T8" } },
        { "UTF-16 mark",
            QByteArray("\xFF\xFE", 2)
                + QByteArray(reinterpret_cast<const char *>(File({ Fields("U16") }).utf16()),
                    File({ Fields("U16") }).size() * 2),
            1, 1, {}, "SELECT cCode FROM _iptblEasyEnquiry", { "U16" } },
        // Read from the file's bytes, these still follow Unicode: the length of a code in
        // characters, blanks that end a tag's name, letters that fold into ASCII ones.
        { "Windows-1252 letters; a blank outside ASCII",
            "<RecordSet><Record><cCode>\xE9\xE9\xE9\xE9\xE9\xE9\xE9\xE9\xE9\x80</"
            "cCode><cSQLStatement"
            "\xA0a='>'>S &#9;\xE9</cSQLStatement\xA0></Record></RecordSet>",
            1, 1, {}, "SELECT cCode, cSQLStatement FROM _iptblEasyEnquiry",
            { "\u00E9\u00E9\u00E9\u00E9\u00E9\u00E9\u00E9\u00E9\u00E9\u20AC|S \t\u00E9" } },
        { "UTF-8: a long s, an em space",
            "\xEF\xBB\xBF<RecordSet><Record><cCode>S8</cCode><bCommonDB>Fal\u017Fe</bCommonDB>"
            "<cSQLStatement\u2003>x</cSQLStatement></Record></Record\u017Fet>",
            1, 1, {}, "SELECT cCode, bCommonDB, cSQLStatement FROM _iptblEasyEnquiry",
            { "S8|0|x" } },
        { "only rejected records", File({ Fields("HAVE") }).toLatin1(), 1, 0,
            { "IQ code \"HAVE\" already exists! The IQ record is rejected." },
            "SELECT count(*) FROM _iptblEasyEnquiry", { "0" } },
    };
    for (const auto &row : rows) {
        SCOPED_TRACE(row.what);
        TestDatabases::exec(*target, "DELETE FROM _iptblEasyEnquiry");
        TestDatabases::exec(*target, "DELETE FROM _iptblEasyEnquiryColumn");
        TestDatabases::exec(*target, "DELETE FROM _iptblEasyEnquiryParam");
        TestDatabases::exec(
            *target, "INSERT INTO _iptblEasyEnquiry (cCode, cSQLStatement) VALUES ('HAVE', 'x')");
        const ImportOutcome outcome = Import(*target, row.bytes);
        ASSERT_FALSE(outcome.Failed()) << outcome.error.toStdString();
        EXPECT_EQ(outcome.read, row.read);
        EXPECT_EQ(outcome.accepted, row.accepted);
        EXPECT_EQ(outcome.rejections, row.rejections);
        EXPECT_EQ(outcome.lastImportedId > 0, row.accepted > 0);
        TestDatabases::exec(*target, "DELETE FROM _iptblEasyEnquiry WHERE cCode = 'HAVE'");
        EXPECT_EQ(TestDatabases::rows(*target, row.query), row.rows);
    }
    // The count message points at the log only when a record was rejected.
    ImportOutcome outcome;
    outcome.read = 2;
    outcome.accepted = 1;
    outcome.rejections << "x";
    EXPECT_EQ(outcome.Message(),
        "Import 2 records. Accept 1 records.\rPlease refer to Message Log Viewer for details!");
}

TEST_F(ExchangeFixture, BrokenOrHostileFilesWriteNothing)
{
    TestDatabases::exec(
        *target, "INSERT INTO _iptblEasyEnquiry (cCode, cSQLStatement) VALUES ('KEEP', 'x')");
    const QStringList before = definitions(*target);
    const QString good = Fields("G1");
    QString nested;
    for (int i = 0; i < 100000; ++i)
        nested += "<a>";
    const struct
    {
        const char *what;
        QByteArray bytes;
        QString error;
    } rows[] = {
        { "mismatched closing tag in the last record",
            File({ good, Fields("G2", "<cDescription>d</cDescriptio>\r\n") }).toLatin1(),
            "Invalid simple XML db file for IQ Code \"G2\". Tag is \"cDescription\". Value is "
            "\"d\"." },
        { "mismatch inside a column block",
            File({ good + "<ColumnRecord>\r\n<cColumnName>a&lt;b</bShow>\r\n</ColumnRecord>\r\n" })
                .toLatin1(),
            "Invalid simple XML db file. Tag: cColumnName. Value: a<b.IQ Code: G1." },
        { "another tag between sub-blocks",
            File({ good + "<ColumnRecord>\r\n</ColumnRecord>\r\n<Other>\r\n" }).toLatin1(),
            "Invalid simple XML db file. Tag: Other. Value: .IQ Code: G1." },
        { "entity expansion",
            ("<!DOCTYPE r [<!ENTITY a \"aaaaaaaa\"><!ENTITY b \"&a;&a;&a;&a;\">]>"
                + File({ Fields("BOMB", "<cDescription>&b;</cDescription>\r\n") }))
                .toLatin1(),
            "The file holds \"<!\" markup (a document type, entity, comment or CDATA section), "
            "which an IQ file never holds." },
        { "CDATA",
            File({ Fields("CD", "<cDescription><![CDATA[x]]></cDescription>\r\n") }).toLatin1(),
            "The file holds \"<!\" markup (a document type, entity, comment or CDATA section), "
            "which an IQ file never holds." },
        { "100,000 nested tags", File({ good + nested }).toLatin1(),
            "Invalid simple XML db file for IQ Code \"G1\". Tag is \"a\". Value is \"SELECT 1\"." },
        { "nested field",
            File({ Fields("N1", "<cDescription><b>x</b></cDescription>\r\n") }).toLatin1(),
            "Invalid simple XML db file for IQ Code \"N1\". Tag is \"cDescription\". Value is "
            "\"\"." },
        { "no closing line", File({ good }).toLatin1().chopped(14),
            "The file ends before \"</RecordSet>\"." },
        { "cut inside a record", File({ good }).toLatin1().chopped(25),
            "The file ends inside the record of IQ Code \"G1\"." },
        { "description longer than its field",
            File({ Fields("LONG", "<cDescription>" + QString(101, 'x') + "</cDescription>\r\n") })
                .toLatin1(),
            "Invalid simple XML db file for IQ Code \"LONG\". Tag is \"cDescription\". Value is \""
                + QString(80, 'x')
                + "...\". The value is longer than the 100 characters its field holds." },
        { "not a boolean", File({ Fields("B", "<bCommonDB>maybe</bCommonDB>\r\n") }).toLatin1(),
            "Invalid simple XML db file for IQ Code \"B\". Tag is \"bCommonDB\". Value is "
            "\"maybe\". The value is not a valid boolean (True or False)." },
        { "not base64", File({ Fields("B64", "<nChartLayout>@@</nChartLayout>\r\n") }).toLatin1(),
            "Invalid simple XML db file for IQ Code \"B64\". Tag is \"nChartLayout\". Value is "
            "\"@@\". The value is not a valid base64 text." },
        { "no code", File({ "<cSQLStatement>SELECT 1</cSQLStatement>\r\n" }).toLatin1(),
            "NOT NULL constraint failed: _iptblEasyEnquiry.cCode" },
        { "UTF-8 mark over bytes that are not UTF-8",
            "\xEF\xBB\xBF" + File({ good }).toLatin1() + "\xFF",
            "The file begins with a UTF-8 byte-order mark, but its text is not valid UTF-8." },
        { "UTF-16 mark over an odd number of bytes", QByteArray("\xFE\xFF\x00<\x00", 5),
            "The file begins with a UTF-16 byte-order mark, but its text is not valid UTF-16." },
    };
    for (const auto &row : rows) {
        SCOPED_TRACE(row.what);
        const ImportOutcome outcome = Import(*target, row.bytes);
        EXPECT_EQ(outcome.error, row.error);
        EXPECT_EQ(outcome.Message(), "IQ Import Error when save record!\rReason: " + row.error);
        EXPECT_EQ(definitions(*target), before);
    }

    // Every cut of a three-record file that loses its closing line.
    const QByteArray whole = File({ good
                                          + "<ColumnRecord>\r\n<cColumnName>c</cColumnName>\r\n"
                                            "</ColumnRecord>\r\n",
                                      Fields("G2"), Fields("G3") })
                                 .toLatin1();
    const qsizetype end = whole.indexOf("</RecordSet>");
    for (qsizetype size = 0; size < end + 12; ++size) {
        const ImportOutcome outcome = Import(*target, whole.left(size));
        ASSERT_TRUE(outcome.Failed()) << size;
    }
    EXPECT_EQ(definitions(*target), before);

    // A fault on the Nth insert, whichever table it goes to: the file makes four.
    TestDatabases::exec(*target, "CREATE TEMP TABLE hits (n INT, fault INT)");
    for (const char *table :
        { "_iptblEasyEnquiry", "_iptblEasyEnquiryColumn", "_iptblEasyEnquiryParam" })
        TestDatabases::exec(*target,
            "CREATE TEMP TRIGGER fault_" + std::string(table) + " BEFORE INSERT ON " + table
                + " BEGIN UPDATE hits SET n = n + 1; SELECT RAISE(ABORT, 'injected fault') "
                  "FROM hits WHERE n >= fault; END");
    for (int n = 1; n <= 4; ++n) {
        SCOPED_TRACE(n);
        TestDatabases::exec(*target, "DELETE FROM hits");
        TestDatabases::exec(*target, "INSERT INTO hits VALUES (0, ?)", { std::int64_t(n) });
        EXPECT_EQ(Import(*target, whole).error, "injected fault");
        EXPECT_EQ(definitions(*target), before);
    }
}

TEST_F(ExchangeFixture, ImportRefusesAFileOver256MiBBeforeReadingIt)
{
    const QString path = db.path("huge.xml");
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    ASSERT_TRUE(file.resize(kMaxSimpleXmlFileBytes + 1)); // sparse: nothing to read
    file.close();
    const ImportRun run = RunEnquiryImport(*target, path, true, false);
    EXPECT_TRUE(run.started);
    EXPECT_EQ(run.outcome.error, "The file is larger than 256 MiB, more than any IQ file holds.");
    EXPECT_EQ(TestDatabases::count(*target, "SELECT count(*) FROM _iptblEasyEnquiry"), 0);
}

TEST_F(ExchangeFixture, AllRecordsEqualEachSelectedRecordInIdOrder)
{
    // Column and parameter rows stored out of their IQs' order, an IQ without any, and a row
    // whose IQ is gone: "All" walks the tables beside the IQs, "Selected" looks each IQ up.
    const auto add = [&](const char *code) {
        db.exec("INSERT INTO _iptblEasyEnquiry (cCode, cSQLStatement) VALUES (?, 'SELECT 1')",
            { std::string(code) });
        return db.count("SELECT max(idEnquiry) FROM _iptblEasyEnquiry");
    };
    const int first = add("FIRST");
    add("BARE");
    const int last = add("LAST");
    db.insertColumns(last, { { "z", true } });
    db.insertParam(last, "L", 1, QStringLiteral("l"));
    db.insertColumns(first, { { "b", true }, { "a", false } });
    db.insertParam(first, "F2", 1, QStringLiteral("2"));
    db.insertParam(first, "F1", 1, QStringLiteral("1"));
    db.insertColumns(last, { { "y", false } });
    // Shown in the other order than stored: the file keeps the stored one.
    db.exec("INSERT INTO _iptblEasyEnquiryColumn (iEnquiryID, cColumnName, bShow, iOrder) "
            "VALUES (?, 'x2', 1, 9), (?, 'x1', 1, 1)",
        { std::int64_t(last), std::int64_t(last) });
    db.exec("PRAGMA foreign_keys = OFF", {});
    db.insertColumns(last + 100, { { "orphan", true } });
    db.insertParam(last + 100, "Orphan", 1, QStringLiteral("o"));

    std::vector<int> ids;
    for (const QString &id : TestDatabases::rows(
             db.payroll(), "SELECT idEnquiry FROM _iptblEasyEnquiry ORDER BY idEnquiry"))
        ids.push_back(id.toInt());
    std::string text;
    QString error;
    ASSERT_TRUE(EasyXMLFromDataSet(db.payroll(), true, {}, text, error)) << error.toStdString();
    const QByteArray all = QByteArray::fromStdString(text);
    EXPECT_EQ(all, exportBytes(ids));
    EXPECT_FALSE(all.contains("orphan") || all.contains("Orphan"));
    // Each IQ's rows in the order they were stored.
    const qsizetype b = all.indexOf("<cColumnName>b<"), a = all.indexOf("<cColumnName>a<");
    const qsizetype z = all.indexOf("<cColumnName>z<"), y = all.indexOf("<cColumnName>y<");
    const qsizetype x2 = all.indexOf("<cColumnName>x2<"), x1 = all.indexOf("<cColumnName>x1<");
    EXPECT_TRUE(b < a && a < z && z < y && y < x2 && x2 < x1) << all.toStdString();
    EXPECT_LT(all.indexOf("<cDescription>F2<"), all.indexOf("<cDescription>F1<"));
}

TEST(Windows1252Test, EveryByteDecodesAndEncodesBack)
{
    QByteArray bytes;
    for (int b = 1; b < 256; ++b)
        bytes += char(b);
    const QByteArray utf8 = Windows1252::toUtf8(bytes);
    ASSERT_TRUE(QByteArrayView(utf8).isValidUtf8());
    const QString text = QString::fromUtf8(utf8);
    ASSERT_EQ(text.size(), bytes.size());
    EXPECT_EQ(text[0x80 - 1], QChar(0x20AC)); // euro sign
    EXPECT_EQ(text[0x9F - 1], QChar(0x0178));
    EXPECT_EQ(text[0x81 - 1], QChar(0x0081)); // unassigned: itself
    EXPECT_EQ(text[0xE9 - 1], QChar(0x00E9));
    EXPECT_EQ(Windows1252::encode(text), bytes);
    EXPECT_EQ(Windows1252::encode(QStringLiteral("\u2192")), std::nullopt);
}
