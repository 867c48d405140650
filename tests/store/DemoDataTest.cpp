#include "PrintQt.h"
#include "TestDatabases.h"

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
