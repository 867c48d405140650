#include "PrintQt.h"
#include "TestDatabases.h"

#include "run/PrepareStatement.h"

#include <gtest/gtest.h>

namespace {

// The demo IQs as they are shipped, prepared and run the way a person runs them.
class DemoEnquiriesTest : public ::testing::Test
{
protected:
    void SetUp() override { db.addDemoData(60, 52); } // a year of weekly pay: holidays see some

    // The rows of the IQ, prepared for the signed-in agent and run on its own database.
    QStringList run(const QString &code)
    {
        const QStringList found = db.rows("SELECT idEnquiry, bCommonDB FROM _iptblEasyEnquiry "
                                          "WHERE cCode = ?",
            { code.toStdString() });
        EXPECT_EQ(found.size(), 1);
        const int id = found.value(0).section('|', 0, 0).toInt();
        Connection &target = found.value(0).endsWith("|1") ? db.common() : db.payroll();
        const QString sql
            = db.rows("SELECT cSQLStatement FROM _iptblEasyEnquiry WHERE idEnquiry = ?", { id })
                  .value(0);
        QString prepared, error;
        EXPECT_TRUE(PrepareEnquirySQL(db.payroll(), id, sql, prepared, error, &target))
            << error.toStdString();
        EXPECT_FALSE(prepared.contains('@')) << prepared.toStdString();
        return TestDatabases::rows(target, prepared.toStdString());
    }

    TestDatabases db;
};

TEST_F(DemoEnquiriesTest, EveryOneRunsForAnUnlimitedAndALimitedAgent)
{
    const QStringList codes = db.rows("SELECT cCode FROM _iptblEasyEnquiry ORDER BY idEnquiry");
    ASSERT_GE(codes.size(), 8);
    for (const char *agent : { "admin", "clerk" }) {
        db.signIn(agent);
        for (const QString &code : codes) {
            SCOPED_TRACE(std::string(agent) + " runs " + code.toStdString());
            const QStringList rows = run(code);
            if (agent == std::string("admin")) {
                EXPECT_FALSE(rows.isEmpty()) << "an unlimited agent sees rows";
            }
        }
    }
}

TEST_F(DemoEnquiriesTest, LimitedClerkSeesOnlyItsCompaniesFrequenciesAndLocations)
{
    db.signIn("admin");
    const QStringList all = run("IQB-EMP002");
    db.signIn("clerk");
    const QStringList clerk = run("IQB-EMP002");
    ASSERT_FALSE(clerk.empty());
    EXPECT_LT(clerk.size(), all.size());
    // cLocation, cCompany and cPayFrequency of every row the clerk sees are among its own.
    for (const QString &row : clerk) {
        const QStringList cells = row.split('|');
        SCOPED_TRACE(row.toStdString());
        EXPECT_TRUE(
            cells[4] == "Head Office" || cells[4] == "North Depot" || cells[4] == "City Store");
        EXPECT_TRUE(cells[5] == "Ashbury Holdings Ltd" || cells[5] == "Harbour Services Ltd");
        EXPECT_TRUE(cells[6] == "Weekly" || cells[6] == "Monthly");
    }
}

} // namespace
