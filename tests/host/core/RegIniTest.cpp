#include "PrintQt.h"
#include "TestDatabases.h"

#include "host/core/Agent.h"
#include "host/core/RegIni.h"

#include <QSettings>

#include <gtest/gtest.h>

namespace {

TEST(RegIniTest, SectionsAreSeparateAndErasingOneLeavesTheOther)
{
    TestDatabases databases;
    RegIni::WriteString("frmView_IQ1", "Field Names", "cCode,cName,nTotal");
    RegIni::WriteBool("frmView_IQ1", "DefaultOpts", true);
    RegIni::WriteInteger("frmView_IQ1", "Width", 640);
    RegIni::WriteString("frmView_IQ2", "Field Names", "idEmployee");

    EXPECT_EQ(RegIni::ReadString("frmView_IQ1", "Field Names", ""), "cCode,cName,nTotal");
    EXPECT_TRUE(RegIni::ReadBool("frmView_IQ1", "DefaultOpts", false));
    EXPECT_EQ(RegIni::ReadInteger("frmView_IQ1", "Width", 0), 640);
    EXPECT_TRUE(RegIni::ValueExists("frmView_IQ1", "Width"));
    EXPECT_FALSE(RegIni::ValueExists("frmView_IQ1", "Height"));

    // Written at once: another reader of the file sees it without any flush by us.
    const QSettings file(RegIni::FileName(), QSettings::IniFormat);
    EXPECT_EQ(file.value("frmView_IQ2/Field Names").toString(), "idEmployee");

    RegIni::EraseSection("frmView_IQ1");
    EXPECT_FALSE(RegIni::SectionExists("frmView_IQ1"));
    EXPECT_EQ(RegIni::ReadString("frmView_IQ1", "Field Names", "none"), "none");
    EXPECT_FALSE(RegIni::ReadBool("frmView_IQ1", "DefaultOpts", false));
    EXPECT_EQ(RegIni::ReadInteger("frmView_IQ1", "Width", -1), -1);
    EXPECT_TRUE(RegIni::SectionExists("frmView_IQ2"));
    EXPECT_EQ(RegIni::ReadString("frmView_IQ2", "Field Names", ""), "idEmployee");
    RegIni::EraseSection("never written"); // harmless
}

TEST(RegIniTest, TextsComeBackExactlyAndBadNumbersGiveTheDefault)
{
    TestDatabases databases;
    const QString texts[] = { "a, b ,c", " leading and trailing ", "@at start", "semi;colon=eq",
        "quote \" and back\\slash", "ünïcødé", "" };
    for (const QString &text : texts) {
        SCOPED_TRACE(text.toStdString());
        RegIni::WriteString("Texts", "Value", text);
        EXPECT_EQ(RegIni::ReadString("Texts", "Value", "default"), text);
    }
    RegIni::WriteString("Texts", "Number", "12abc");
    EXPECT_EQ(RegIni::ReadInteger("Texts", "Number", 7), 7);
    EXPECT_TRUE(RegIni::ReadBool("Texts", "Number", true));
    RegIni::WriteString("Texts", "Flag", "false");
    EXPECT_FALSE(RegIni::ReadBool("Texts", "Flag", true));
}

TEST(RegIniTest, EachAgentHasItsOwnFile)
{
    TestDatabases databases;
    RegIni::WriteString("Main", "Theme", "nobody");
    databases.addAgent("Jane Doe/Payroll");
    databases.signIn("Jane Doe/Payroll");
    EXPECT_TRUE(RegIni::FileName().endsWith("/Jane_Doe_Payroll.ini"));
    EXPECT_EQ(RegIni::ReadString("Main", "Theme", "unset"), "unset");
    RegIni::WriteString("Main", "Theme", "jane");
    SignOut();
    EXPECT_EQ(RegIni::ReadString("Main", "Theme", "unset"), "nobody");
}

} // namespace
