#include "PrintQt.h"
#include "TestDatabases.h"

#include "host/core/HostContext.h"
#include "host/core/SystemValues.h"

#include <gtest/gtest.h>

namespace {

const QString kTimeout = "IQ Report Timeout (Minutes)";
const QString kRetry = "IQ Report Retry Count";

TEST(SystemValuesTest, MissingValuesGiveTheDefaultAndWritesReplace)
{
    TestDatabases databases;
    Connection &common = databases.common();
    databases.exec(common, "delete from _btblSystemValues");
    EXPECT_EQ(GetCurrentSystemValue(kTimeout, "0"), "0");
    EXPECT_EQ(databases.count(common, "select count(*) from _btblSystemValues"), 0);
    EXPECT_EQ(GetCurrentSystemValue(kRetry, "1", true), "1"); // stored for System Settings
    EXPECT_EQ(databases.rows(common, "select cName, cValue from _btblSystemValues"),
        QStringList { "IQ Report Retry Count|1" });

    databases.exec(common,
        "insert into _btblSystemValues values ('IQ Report Timeout (Minutes)', '2', 'Minutes')");
    EXPECT_EQ(GetCurrentSystemValue(kTimeout, "0"), "2");
    ASSERT_TRUE(SetCurrentSystemValue(kTimeout, "it's 5"));
    EXPECT_EQ(GetCurrentSystemValue(kTimeout, "0"), "it's 5");
    EXPECT_EQ(databases.rows(common,
                  "select cDescription from _btblSystemValues where cName = "
                  "'IQ Report Timeout (Minutes)'"),
        QStringList { "Minutes" });

    SetHostConnections(nullptr, nullptr);
    EXPECT_EQ(GetCurrentSystemValue(kTimeout, "0"), "0");
    EXPECT_FALSE(SetCurrentSystemValue(kTimeout, "1"));
}

} // namespace
