#include "PrintQt.h"
#include "TestDatabases.h"

#include <gtest/gtest.h>

namespace {

class AgentSecurityTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        db.exec(R"sql(
INSERT INTO _iptblPayerGroups (idPayer, cCode, cPayerName) VALUES (1, 'A', 'A Ltd'), (2, 'B', 'B Ltd'), (3, 'C', 'C Ltd');
INSERT INTO _rtblAgents (idAgents, cAgentName, bAllPayrollCompanies) VALUES (5, 'limited', 0), (6, 'all', 1), (7, 'none', 0);
INSERT INTO _rtblAgentPayerGroups (iAgentID, iPayerID) VALUES (5, 1), (5, 3), (6, 2), (7, 99);
CREATE TABLE people (name TEXT, iPayerID INT);
INSERT INTO people VALUES ('ann', 1), ('bob', 2), ('cy', 3);
)sql");
    }

    TestDatabases db;
};

} // namespace

TEST_F(AgentSecurityTest, FunctionListsThePayrollCompaniesAnAgentMaySee)
{
    const struct
    {
        int agent;
        QStringList payers;
    } rows[] = {
        { 5, { "1", "3" } }, // limited: its own rows
        { 6, { "1", "2", "3" } }, // all companies, whatever its rows say
        { 7, {} }, // rows for companies that do not exist show nothing
        { 42, {} }, // unknown agent
    };
    for (const auto &row : rows) {
        SCOPED_TRACE(row.agent);
        EXPECT_EQ(db.rows("select * from [dbo]._efnAgentPCSecurity(?)", { row.agent }), row.payers);
    }
    // One visible column: the argument is hidden.
    auto statement = db.payroll().prepare("select * from _efnAgentPCSecurity(5)");
    ASSERT_TRUE(statement);
    EXPECT_EQ(statement->columnCount(), 1);
    EXPECT_EQ(statement->columnName(0), "idPayer");
}

TEST_F(AgentSecurityTest, FilterSubSelectWorksInsideInListsOnBothDatabases)
{
    const char *limited = "select name from people where iPayerID in ( select * from "
                          "[dbo]._efnAgentPCSecurity(5) ) order by name";
    EXPECT_EQ(db.rows(limited), (QStringList { "ann", "cy" }));

    // A common-database IQ reaches the payroll tables through the attachment.
    db.exec(db.common(),
        "CREATE TABLE holidays (iPayerID INT, day TEXT); "
        "INSERT INTO holidays VALUES (1, 'mon'), (2, 'tue'), (3, 'wed');");
    EXPECT_EQ(db.rows(db.common(),
                  "select day from holidays where iPayerID in ( select * from "
                  "[dbo]._efnAgentPCSecurity(6) ) and iPayerID in ( select "
                  "distinct iPayerID from dbo._rtblAgentPayerGroups where iAgentID "
                  "= 5 ) order by day"),
        (QStringList { "mon", "wed" }));

    // Correlated use: the argument comes from the outer row.
    EXPECT_EQ(db.rows("select a.cAgentName, count(f.idPayer) from _rtblAgents a left "
                      "join _efnAgentPCSecurity(a.idAgents) f group by a.idAgents "
                      "order by a.idAgents"),
        (QStringList { "limited|2", "all|3", "none|0" }));
}
