#include "PrintQt.h"
#include "TestDatabases.h"

#include "host/db/security/TSqlSecurityChecker.h"

#include <gtest/gtest.h>

namespace {

class SecurityCheckerTest : public ::testing::Test
{
protected:
    TestDatabases db;
};

TEST_F(SecurityCheckerTest, LetsReportsReadAndRefusesEverythingElse)
{
    // The hashes live in a file of their own now; the check stays as a second line for a column
    // that should never be there.
    db.exec("ALTER TABLE _rtblAgents ADD COLUMN cPasswordHash VARCHAR(200)");
    db.exec(
        "INSERT INTO _rtblAgents (idAgents, cAgentName, cPasswordHash) VALUES (1, 'admin', 'h')");
    db.exec("CREATE VIEW vAgentSecrets AS SELECT cAgentName, cPasswordHash FROM _rtblAgents");
    const struct
    {
        const char *sql;
        bool allowed;
        bool onCommon = false;
    } rows[] = {
        { "select * from _iptblEasyEnquiry", true },
        { "select cAgentName from _rtblAgents", true },
        { "select count(*) from _rtblAgents", true },
        { "select 1;", true },
        { "select 1; -- the end\n ; /* done */ ", true },
        { "select * from _iptblPayerGroups where idPayer in ( select * from "
          "[dbo]._efnAgentPCSecurity(17) )",
            true },
        { "with r(x) as (select 1 union all select x + 1 from r where x < 3) select x from r",
            true },
        { "pragma table_info(_iptblEasyEnquiry)", true },
        { "select * from _btblLog", true, true },
        { "select * from no_such_table", true }, // does not compile: the run reports it
        { "insert into _iptblLocations (cCode) values ('X')", false },
        { "update _iptblEasyEnquiry set cCode = 'X'", false },
        { "delete from _iptblEasyEnquiry", false },
        { "replace into _iptblLocations (idLocation, cCode) values (1, 'X')", false },
        { "with d as (select 1) delete from _iptblLocations", false },
        { "drop table _iptblLocations", false },
        { "create table t (a int)", false },
        { "create temp table t (a int)", false },
        { "alter table _iptblLocations add column x int", false },
        { "attach database ':memory:' as other", false },
        { "detach database payroll", false, true },
        { "pragma user_version = 7", false },
        { "pragma foreign_keys = off", false },
        { "begin", false },
        { "savepoint s", false },
        { "vacuum", false },
        { "select 1; select 2", false },
        { "select 1; delete from _iptblEasyEnquiry", false },
        { "select 1; garbage", false },
        { "select * from _rtblAgents", false },
        { "select cPasswordHash from _rtblAgents", false },
        { "select a.cAgentName from _rtblAgents a where a.CPASSWORDHASH like '$%'", false },
        { "select * from (select * from _rtblAgents)", false },
        { "select * from vAgentSecrets", false },
        { "select cPasswordHash from payroll._rtblAgents", false, true },
        { "select * from _rtblAgents", false, true },
    };
    for (const auto &row : rows) {
        SCOPED_TRACE(row.sql);
        TSqlSecurityChecker checker;
        EXPECT_EQ(
            checker.SecurityCheckSuccessful(row.onCommon ? db.common() : db.payroll(), row.sql),
            row.allowed)
            << checker.RefusalReason().toStdString();
        EXPECT_EQ(checker.RefusalReason().isEmpty(), row.allowed);
    }

    // Nothing ran, and no authorizer was left behind: the connections write as before.
    EXPECT_EQ(db.count("select count(*) from _rtblAgents"), 1);
    EXPECT_EQ(db.count("select count(*) from sqlite_master where name = 't'"), 0);
    db.exec("create table t (a int)");
    db.exec(db.common(), "delete from _btblLog");
    EXPECT_EQ(db.rows("select cPasswordHash from _rtblAgents"), QStringList { "h" });
}

} // namespace
