#include "PrintQt.h"

#include "host/core/Utilities.h"

#include <gtest/gtest.h>

namespace {

// The host's escaping for XML text, its inverse, and the writer's append must agree: nothing that
// could end a value early survives, and every string comes back as it was.
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

} // namespace
