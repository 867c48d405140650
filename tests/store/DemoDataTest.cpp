#include "PrintQt.h"
#include "TestDatabases.h"

#include "host/core/Agent.h"
#include "store/DemoData.h"

#include <gtest/gtest.h>

namespace {

DemoOptions SmallDemo(std::uint32_t seed = 20240131)
{
    DemoOptions options;
    options.employees = 60;
    options.payslipsPerEmployee = 52; // a year of weekly pay, so holidays see payslips
    options.seed = seed;
    options.fastPasswordHashing = true;
    return options;
}

class DemoDataTest : public ::testing::Test
{
protected:
    // Into new databases each time.
    void createDemo(const DemoOptions &options = SmallDemo())
    {
        db.emplace();
        QString error;
        ASSERT_TRUE(CreateDemoData(db->payroll(), db->common(), options, error))
            << error.toStdString();
    }

    // Everything the seed decides; password hashes carry a random salt and are left out.
    QStringList content()
    {
        QStringList rows;
        for (const char *sql : { "SELECT * FROM _iptblEmployees ORDER BY idEmployee",
                 "SELECT * FROM _iptblPayslips ORDER BY idPayslip",
                 "SELECT * FROM _iptblEasyEnquiry ORDER BY idEnquiry",
                 "SELECT * FROM _iptblEasyEnquiryParam ORDER BY idEnquiryParam",
                 "SELECT idAgents, cAgentName, bAdministrator FROM _rtblAgents ORDER BY idAgents" })
            rows << db->rows(sql);
        return rows;
    }

    std::optional<TestDatabases> db;
};

} // namespace

TEST_F(DemoDataTest, SameSeedWritesSameRows)
{
    createDemo();
    const QStringList first = content();
    EXPECT_EQ(db->count("SELECT count(*) FROM _iptblEmployees"), 60);
    EXPECT_EQ(db->count("SELECT count(*) FROM _iptblPayslips"), 60 * 52);
    createDemo();
    EXPECT_EQ(content(), first);
    createDemo(SmallDemo(7));
    EXPECT_NE(content(), first);
}

TEST_F(DemoDataTest, SecondRunIsRefusedAndChangesNothing)
{
    createDemo();
    const QStringList before = content();
    QString error;
    EXPECT_FALSE(CreateDemoData(db->payroll(), db->common(), SmallDemo(), error));
    EXPECT_EQ(error,
        QStringLiteral("The payroll database \"%1\" already holds data; demo data is "
                       "only written into new databases.")
            .arg(db->payrollPath()));
    EXPECT_EQ(content(), before);
}

TEST_F(DemoDataTest, AgentsHaveTheirPasswordsAndRights)
{
    createDemo();
    for (const char *name : { "admin", "clerk", "viewer", "guest" }) {
        QString error;
        EXPECT_TRUE(SignIn(db->payroll(), db->credentials(), name, name, error))
            << name << error.toStdString();
        EXPECT_FALSE(SignIn(db->payroll(), db->credentials(), name, "wrong", error)) << name;
    }
    EXPECT_EQ(db->rows("SELECT a.cAgentName, a.bAdministrator, a.bAllPayrollCompanies, "
                       "a.bAllPayFrequencies, a.bAllLocations, group_concat(f.iFunctionID) "
                       "FROM _rtblAgents a LEFT JOIN _rtblAgentFunctions f ON f.iAgentID = "
                       "a.idAgents GROUP BY a.idAgents ORDER BY a.idAgents"),
        (QStringList { "admin|1|1|1|1|2601,2602", "clerk|0|0|0|0|2601,2602", "viewer|0|1|1|1|2601",
            "guest|0|0|0|0|NULL" }));

    // However an IQ joins, the payroll database has no hash column to give.
    EXPECT_FALSE(db->payroll().prepare("SELECT cAgentName, cPasswordHash FROM _rtblAgents FULL "
                                       "JOIN (SELECT NULL AS cPasswordHash WHERE 0) USING "
                                       "(cPasswordHash)"));
}

// The run tests prepare and run every demo IQ; here: that together they use every kind of
// parameter and filter, so those runs cover them all.
TEST_F(DemoDataTest, EnquiriesUseEveryParameterTypeAndSecurityToken)
{
    createDemo();
    EXPECT_EQ(db->rows("SELECT DISTINCT iSQLTypeID FROM _iptblEasyEnquiryParam ORDER BY 1"),
        (QStringList { "0", "1", "2", "3", "4" }));
    EXPECT_GT(db->count("SELECT count(*) FROM _iptblEasyEnquiry e JOIN _iptblEasyEnquiryParam p "
                        "ON p.iEnquiryID = e.idEnquiry "
                        "WHERE instr(e.cSQLStatement, '@[' || p.cDescription || ']') > 0"),
        0);
    for (const char *token : { "CHECKAGENTPAYROLLCOMPANYSECURITY", "CHECKAGENTPAYFREQUENCYSECURITY",
             "CHECKAGENTLOCATIONSECURITY" }) {
        EXPECT_GT(db->count("SELECT count(*) FROM _iptblEasyEnquiry WHERE instr(cSQLStatement, ?)",
                      { std::string(token) }),
            0)
            << token;
    }
    EXPECT_EQ(db->rows("SELECT cCode FROM _iptblEasyEnquiry WHERE cCode LIKE 'IQB-EMP00_' OR "
                       "bCommonDB = 1 ORDER BY cCode"),
        (QStringList { "HOLIDAYS", "IQB-EMP002", "IQB-EMP004" }));
    EXPECT_GT(db->count("SELECT count(*) FROM _iptblEasyEnquiryColumn WHERE bShow = 0"), 0);
}

TEST_F(DemoDataTest, ListStatementRunsOnTheView)
{
    createDemo();
    const std::string list
        = "SELECT cCode, idEnquiry, cDescription, cCompany, cFrequency, cType\n"
          "FROM _ipvEasyEnquiry left join _btblNotes on ((_btblNotes.cNOTETBLTableName = "
          "'_IPTBLEASYENQUIRY') or (_btblNotes.cNOTETBLTableName = '_iptbleasyenquiry')) and "
          "(_btblNotes.fNOTETBLTableID = idEnquiry)";
    EXPECT_EQ(db->rows(list + " ORDER BY cCode").size(),
        db->count("SELECT count(*) FROM _iptblEasyEnquiry"));
    EXPECT_EQ(db->rows(list + " WHERE cCode IN ('EMP-AGE', 'PAY-MONTH') ORDER BY cCode"),
        (QStringList { "EMP-AGE|5|Employees of at least an age|Ashbury Holdings Ltd|NULL|Employees",
            "PAY-MONTH|7|Gross and net pay by month|NULL|Monthly|Statistics" }));

    EXPECT_EQ(
        db->rows(
            "SELECT v.cCode, v.cDatabase, v.PFCode, v.PFDesc, n.idNotes IS NOT NULL "
            "FROM _ipvEasyEnquiry v LEFT JOIN _btblNotes n ON n.fNOTETBLTableID = "
            "v.idEnquiry WHERE v.cCode IN ('HOLIDAYS', 'PAY-MONTH', 'PAY-RANGE') ORDER BY v.cCode"),
        (QStringList { "HOLIDAYS|Common Database|NULL|NULL|0",
            "PAY-MONTH|Payroll Database|M|Monthly|0", "PAY-RANGE|Payroll Database|NULL|NULL|1" }));
}
