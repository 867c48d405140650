#include "PrintQt.h"
#include "TestDatabases.h"

#include "host/core/Agent.h"
#include "host/core/RegIni.h"

#include <gtest/gtest.h>

namespace {

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
