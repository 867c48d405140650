#include "PrintQt.h"

#include "host/core/TXMLQuickParser.h"

#include <QStringList>

#include <gtest/gtest.h>

namespace {

const QString kFile = "<?xml version = \"1.0\" ?>\r\n"
                      "<RecordSet tablename=\"qryEasyEnquiry\">\r\n"
                      "<Record>\r\n"
                      "<cCode>IQ1</cCode>\r\n"
                      "<cSQLStatement>select &lt;\r\nfrom t</cSQLStatement>\r\n"
                      "<ColumnRecord>\r\n"
                      "<cColumnName>A</cColumnName>\r\n"
                      "</ColumnRecord>\r\n"
                      "</Record>\r\n"
                      "</RecordSet>\r\n";

TEST(TXMLQuickParserTest, WalksTagsAndTextsInOrder)
{
    TXMLQuickParser parser(kFile);
    EXPECT_EQ(parser.GetNextTag(), "?xml");
    EXPECT_EQ(parser.GetNextTag(), "RecordSet");
    EXPECT_EQ(parser.GetNextTag(), "Record");
    EXPECT_EQ(parser.GetNextTag(), "cCode");
    EXPECT_EQ(parser.ReadToNextTag(), "IQ1");
    EXPECT_EQ(parser.GetNextTag(), "/cCode");
    EXPECT_EQ(parser.GetNextTag(), "cSQLStatement");
    EXPECT_EQ(parser.ReadToNextTag(), "select &lt;\r\nfrom t");
    EXPECT_EQ(parser.GetNextTag(), "/cSQLStatement");
    EXPECT_EQ(parser.GetNextTag(), "ColumnRecord");
    EXPECT_TRUE(parser.SeekTag("/columnrecord")); // letter case ignored
    EXPECT_EQ(parser.GetNextTag(), "/Record");
    EXPECT_FALSE(parser.Eof());
    EXPECT_EQ(parser.GetNextTag(), "/RecordSet");
    EXPECT_TRUE(parser.Eof()); // only a line break is left
    EXPECT_EQ(parser.GetNextTag(), "");
    EXPECT_EQ(parser.ReadToNextTag(), "");
}

TEST(TXMLQuickParserTest, SeekTagMatchesWholeNamesOnly)
{
    TXMLQuickParser parser(kFile);
    EXPECT_TRUE(parser.SeekTag("record")); // not RecordSet
    EXPECT_EQ(parser.GetNextTag(), "cCode");
    EXPECT_FALSE(parser.SeekTag("Record")); // ColumnRecord and /Record are other names
    EXPECT_TRUE(parser.Eof());
}

TEST(TXMLQuickParserTest, OddShapesNeitherHangNorLoseText)
{
    const struct
    {
        const char *text;
        QStringList tags;
    } rows[] = {
        { "<a x=\"1>2\" y='>'>v</a>", { "a", "/a" } },
        { "<!-- <b> skipped --><c/>", { "c" } },
        { "<d><e></e>", { "d", "e", "/e" } },
        { "text only", {} },
        { "<unterminated", { "unterminated" } },
        { "<!-- never closed <f>", {} },
    };
    for (const auto &row : rows) {
        SCOPED_TRACE(row.text);
        TXMLQuickParser parser(QString::fromUtf8(row.text));
        QStringList tags;
        while (!parser.Eof()) {
            const QString tag = parser.GetNextTag();
            if (!tag.isEmpty())
                tags << tag;
        }
        EXPECT_EQ(tags, row.tags);
    }
    TXMLQuickParser empty(QStringLiteral("<v></v>"));
    empty.GetNextTag();
    EXPECT_EQ(empty.ReadToNextTag(), "");
    EXPECT_EQ(empty.GetNextTag(), "/v");
}

} // namespace
