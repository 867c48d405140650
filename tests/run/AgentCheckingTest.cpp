#include "RunFixture.h"

#include "host/db/dataset/TQuillonADOQuery.h"
#include "run/IPIQAgentChecking.h"

namespace {

const QString kLimitedCompanies = " select * from [dbo]._efnAgentPCSecurity(17) ";
const QString kAllCompanies = " select idPayer from _iptblPayerGroups ";
const QString kLimitedFrequencies
    = " select distinct iPayFrequencyID from [dbo]._rtblAgentPayFrequencies where iAgentID = 17 ";
const QString kAllFrequencies = " select distinct idPayFrequency from dbo._iptblPayFrequencies ";
const QString kLimitedLocations
    = " select distinct iLocationID from dbo._rtblAgentLocations where iAgentID = 17 ";
const QString kAllLocations = " select idLocation from _iptblLocations ";

} // namespace

class AgentCheckingTest : public RunFixture
{
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
        signIn(17, row.companies, row.frequencies, row.locations);
        QString sql = row.sql;
        ApplyAgentFilters(sql);
        EXPECT_EQ(sql, row.expected);
    }
}

TEST_F(AgentCheckingTest, FilteredStatementRunsAndShowsOnlyTheAgentsRows)
{
    exec("INSERT INTO _iptblLocations (idLocation, cCode, cDescription) VALUES "
         "(1, 'N', 'North'), (2, 'S', 'South'), (3, 'E', 'East')");
    exec(
        "INSERT INTO _rtblAgentLocations (iAgentID, iLocationID) VALUES (17, 3), (17, 1), (18, 2)");
    const QString sql = "select cCode from _iptblLocations where idLocation in "
                        "(CHECKAGENTLOCATIONSECURITY) order by cCode";
    const struct
    {
        bool allLocations;
        QStringList codes;
    } rows[] = { { false, { "E", "N" } }, { true, { "E", "N", "S" } } };
    for (const auto &row : rows) {
        SCOPED_TRACE(row.allLocations);
        signIn(17, true, true, row.allLocations);
        QString filtered = sql;
        ApplyAgentFilters(filtered);
        // Also from the common database, where the payroll tables are attached.
        for (Connection *connection : { &payroll(), &common() }) {
            TQuillonADOQuery query;
            query.SetConnection(connection);
            query.SetSQL(filtered);
            ASSERT_TRUE(query.Open()) << query.LastErrorText().toStdString();
            QStringList codes;
            for (query.First(); !query.Eof(); query.Next())
                codes << query.FieldByName("cCode").AsString();
            EXPECT_EQ(codes, row.codes);
        }
    }
}
