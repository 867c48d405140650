#include "PrintQt.h"
#include "TestDatabases.h"

#include "run/IPIQAgentChecking.h"

#include <gtest/gtest.h>

namespace {

// "{agent}" stands for the signed-in agent's id.
const QString kLimitedCompanies = " select * from [dbo]._efnAgentPCSecurity({agent}) ";
const QString kAllCompanies = " select idPayer from _iptblPayerGroups ";
const QString kLimitedFrequencies = " select distinct iPayFrequencyID from "
                                    "[dbo]._rtblAgentPayFrequencies where iAgentID = {agent} ";
const QString kAllFrequencies = " select distinct idPayFrequency from dbo._iptblPayFrequencies ";
const QString kLimitedLocations
    = " select distinct iLocationID from dbo._rtblAgentLocations where iAgentID = {agent} ";
const QString kAllLocations = " select idLocation from _iptblLocations ";

class AgentCheckingTest : public ::testing::Test
{
protected:
    // A new agent with these rights, signed in; returns its id.
    int signIn(bool allCompanies, bool allFrequencies, bool allLocations)
    {
        const QString name = QStringLiteral("agent%1").arg(++m_agents);
        const int id = db.addAgent(name,
            { .allPayrollCompanies = allCompanies,
                .allPayFrequencies = allFrequencies,
                .allLocations = allLocations });
        db.signIn(name);
        return id;
    }

    TestDatabases db;
    int m_agents = 0;
};

TEST_F(AgentCheckingTest, ReplacesEachTokenByTheAgentsOwnRule)
{
    const struct
    {
        const char *name;
        bool companies, frequencies, locations;
        QString sql;
        QString expected;
    } rows[] = {
        { "limited by location", true, true, false,
            "where iLocationID in (CHECKAGENTLOCATIONSECURITY)",
            "where iLocationID in (" + kLimitedLocations + ")" },
        { "all companies", true, false, false, "in (CHECKAGENTPAYROLLCOMPANYSECURITY)",
            "in (" + kAllCompanies + ")" },
        { "limited companies", false, true, true, "in (CHECKAGENTPAYROLLCOMPANYSECURITY)",
            "in (" + kLimitedCompanies + ")" },
        { "three tokens, three rules", false, true, false,
            "a in (CHECKAGENTPAYROLLCOMPANYSECURITY) b in (CHECKAGENTPAYFREQUENCYSECURITY) "
            "c in (CHECKAGENTLOCATIONSECURITY)",
            "a in (" + kLimitedCompanies + ") b in (" + kAllFrequencies + ") c in ("
                + kLimitedLocations + ")" },
        { "limited frequencies", true, false, true, "CHECKAGENTPAYFREQUENCYSECURITY",
            kLimitedFrequencies },
        { "token twice", true, true, false,
            "(CHECKAGENTLOCATIONSECURITY) or (CHECKAGENTLOCATIONSECURITY)",
            "(" + kLimitedLocations + ") or (" + kLimitedLocations + ")" },
        { "inside a literal and a comment too", true, true, true,
            "'CHECKAGENTLOCATIONSECURITY' -- CHECKAGENTLOCATIONSECURITY",
            "'" + kAllLocations + "' -- " + kAllLocations },
        { "lower and mixed case are no tokens", false, false, false,
            "checkagentlocationsecurity CheckAgentPayFrequencySecurity",
            "checkagentlocationsecurity CheckAgentPayFrequencySecurity" },
        { "no tokens", false, false, false, "select 1", "select 1" },
    };
    for (const auto &row : rows) {
        SCOPED_TRACE(row.name);
        const int id = signIn(row.companies, row.frequencies, row.locations);
        QString sql = row.sql;
        ApplyAgentFilters(sql);
        EXPECT_EQ(sql, QString(row.expected).replace("{agent}", QString::number(id)));
    }
}

TEST_F(AgentCheckingTest, FilteredStatementRunsAndShowsOnlyTheAgentsRows)
{
    const int limited = signIn(true, true, false); // the first row's agent
    db.exec("INSERT INTO _iptblLocations (idLocation, cCode, cDescription) VALUES "
            "(1, 'N', 'North'), (2, 'S', 'South'), (3, 'E', 'East')");
    db.exec("INSERT INTO _rtblAgentLocations (iAgentID, iLocationID) VALUES (?, 3), (?, 1), (?, 2)",
        { limited, limited, limited + 1 });
    const QString sql = "select cCode from _iptblLocations where idLocation in "
                        "(CHECKAGENTLOCATIONSECURITY) order by cCode";
    const struct
    {
        bool allLocations;
        QStringList codes;
    } rows[] = { { false, { "E", "N" } }, { true, { "E", "N", "S" } } };
    for (const auto &row : rows) {
        SCOPED_TRACE(row.allLocations);
        if (row.allLocations)
            signIn(true, true, true);
        QString filtered = sql;
        ApplyAgentFilters(filtered);
        // Also from the common database, where the payroll tables are attached.
        for (Connection *connection : { &db.payroll(), &db.common() })
            EXPECT_EQ(TestDatabases::rows(*connection, filtered.toStdString()), row.codes);
    }
}

} // namespace
