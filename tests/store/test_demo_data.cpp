#include "StoreTestSupport.h"

#include "host/core/Agent.h"
#include "store/DemoData.h"

#include <QFile>
#include <QRegularExpression>

#include <set>

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

class DemoDataTest : public StoreTest
{
protected:
    void createDemo(const DemoOptions &options = SmallDemo())
    {
        openDatabases();
        QString error;
        ASSERT_TRUE(CreateDemoData(*db.payroll, *db.common, options, error)) << error.toStdString();
    }
};

// Everything the seed decides; password hashes carry a random salt and are left out.
std::vector<std::string> Content(Connection &payroll)
{
    std::vector<std::string> rows;
    for (const char *sql : { "SELECT * FROM _iptblEmployees ORDER BY idEmployee",
             "SELECT * FROM _iptblPayslips ORDER BY idPayslip",
             "SELECT * FROM _iptblEasyEnquiry ORDER BY idEnquiry",
             "SELECT * FROM _iptblEasyEnquiryParam ORDER BY idEnquiryParam",
             "SELECT idAgents, cAgentName, bAdministrator FROM _rtblAgents ORDER BY idAgents" }) {
        const auto part = Rows(payroll, sql);
        rows.insert(rows.end(), part.begin(), part.end());
    }
    return rows;
}

struct Param
{
    QString name;
    int type;
    QString text;
    QString date;
};

// The run path's substitution in its simplest form: text quoted, dates as '20240131', the rest
// bare; the security tokens become the sub-selects of an unlimited or a limited agent.
QString Prepared(QString sql, const std::vector<Param> &params, int limitedAgent = 0)
{
    for (const Param &p : params) {
        QString literal = p.text;
        if (p.type == 1)
            literal = "'" + p.text + "'";
        else if (p.type == 2)
            literal = "'" + p.date.left(10).remove('-') + "'";
        sql.replace("@[" + p.name + "]", literal);
        sql.replace(
            QRegularExpression("@" + QRegularExpression::escape(p.name) + "(?![-A-Za-z0-9_])"),
            literal);
    }
    if (limitedAgent) {
        const QString id = QString::number(limitedAgent);
        sql.replace("CHECKAGENTPAYROLLCOMPANYSECURITY",
            " select * from [dbo]._efnAgentPCSecurity(" + id + ") ");
        sql.replace("CHECKAGENTPAYFREQUENCYSECURITY",
            " select distinct iPayFrequencyID from [dbo]._rtblAgentPayFrequencies where iAgentID = "
                + id + " ");
        sql.replace("CHECKAGENTLOCATIONSECURITY",
            " select distinct iLocationID from dbo._rtblAgentLocations where iAgentID = " + id
                + " ");
    } else {
        sql.replace("CHECKAGENTPAYROLLCOMPANYSECURITY", " select idPayer from _iptblPayerGroups ");
        sql.replace("CHECKAGENTPAYFREQUENCYSECURITY",
            " select distinct idPayFrequency from dbo._iptblPayFrequencies ");
        sql.replace("CHECKAGENTLOCATIONSECURITY", " select idLocation from _iptblLocations ");
    }
    return sql;
}

std::vector<Param> ParamsOf(Connection &payroll, const std::string &enquiryId)
{
    std::vector<Param> params;
    for (const std::string &row : Rows(payroll,
             "SELECT cDescription, iSQLTypeID, coalesce(cValue, ''), coalesce(dtValue, '') FROM "
             "_iptblEasyEnquiryParam WHERE iEnquiryID = "
                 + enquiryId + " ORDER BY idEnquiryParam")) {
        const QStringList cells = QString::fromStdString(row).split('|');
        params.push_back({ cells[0], cells[1].toInt(), cells[2], cells[3] });
    }
    return params;
}

} // namespace

TEST_F(DemoDataTest, SameSeedWritesSameRows)
{
    createDemo();
    const auto first = Content(*db.payroll);
    EXPECT_EQ(Count(*db.payroll, "_iptblEmployees"), 60);
    EXPECT_EQ(Count(*db.payroll, "_iptblPayslips"), 60 * 52);

    db = {};
    QFile::remove(payrollPath());
    QFile::remove(commonPath());
    createDemo();
    EXPECT_EQ(Content(*db.payroll), first);

    db = {};
    QFile::remove(payrollPath());
    QFile::remove(commonPath());
    createDemo(SmallDemo(7));
    EXPECT_NE(Content(*db.payroll), first);
}

TEST_F(DemoDataTest, SecondRunIsRefusedAndChangesNothing)
{
    createDemo();
    const auto before = Content(*db.payroll);
    QString error;
    EXPECT_FALSE(CreateDemoData(*db.payroll, *db.common, SmallDemo(), error));
    EXPECT_EQ(error,
        QStringLiteral("The payroll database \"%1\" already holds data; demo data is "
                       "only written into new databases.")
            .arg(payrollPath()));
    EXPECT_EQ(Content(*db.payroll), before);
}

TEST_F(DemoDataTest, AgentsHaveTheirPasswordsAndRights)
{
    createDemo();
    for (const char *name : { "admin", "clerk", "viewer" }) {
        SCOPED_TRACE(name);
        const QString hash = QString::fromStdString(Scalar(*db.payroll,
            std::string("SELECT cPasswordHash FROM _rtblAgents WHERE cAgentName = '") + name
                + "'"));
        EXPECT_TRUE(hash.startsWith("$argon2id$"));
        EXPECT_TRUE(VerifyPassword(hash, QString::fromLatin1(name)));
        EXPECT_FALSE(VerifyPassword(hash, "wrong"));
    }
    EXPECT_EQ(Rows(*db.payroll,
                  "SELECT a.cAgentName, a.bAdministrator, a.bAllPayrollCompanies, "
                  "a.bAllPayFrequencies, a.bAllLocations, group_concat(f.iFunctionID) "
                  "FROM _rtblAgents a LEFT JOIN _rtblAgentFunctions f ON f.iAgentID = "
                  "a.idAgents GROUP BY a.idAgents ORDER BY a.idAgents"),
        (std::vector<std::string> {
            "admin|1|1|1|1|2601,2602", "clerk|0|0|0|0|2601,2602", "viewer|0|1|1|1|2601" }));
}

TEST_F(DemoDataTest, EveryDemoEnquiryRunsOnItsDatabase)
{
    createDemo();
    const auto enquiries = Rows(*db.payroll,
        "SELECT idEnquiry, cCode, bCommonDB FROM _iptblEasyEnquiry ORDER BY idEnquiry");
    ASSERT_GE(enquiries.size(), 8u);
    std::set<int> types;
    bool bracketed = false;
    std::set<std::string> tokens;
    for (const std::string &row : enquiries) {
        const QStringList cells = QString::fromStdString(row).split('|');
        SCOPED_TRACE(row);
        const std::string id = cells[0].toStdString();
        const QString sql = QString::fromStdString(Scalar(
            *db.payroll, "SELECT cSQLStatement FROM _iptblEasyEnquiry WHERE idEnquiry = " + id));
        const auto params = ParamsOf(*db.payroll, id);
        for (const Param &p : params) {
            types.insert(p.type);
            bracketed = bracketed || sql.contains("@[" + p.name + "]");
        }
        for (const char *token : { "CHECKAGENTPAYROLLCOMPANYSECURITY",
                 "CHECKAGENTPAYFREQUENCYSECURITY", "CHECKAGENTLOCATIONSECURITY" })
            if (sql.contains(token))
                tokens.insert(token);

        Connection &target = cells[2] == "1" ? *db.common : *db.payroll;
        for (int agent : { 0, 2 }) {
            const QString prepared = Prepared(sql, params, agent);
            EXPECT_FALSE(prepared.contains('@')) << prepared.toStdString();
            auto statement = target.prepare(prepared.toStdString());
            ASSERT_TRUE(statement) << target.lastError().text << "\n" << prepared.toStdString();
            EXPECT_TRUE(statement->isReadOnly());
            int count = 0;
            Statement::Step step;
            while ((step = statement->step()) == Statement::Step::Row)
                ++count;
            EXPECT_EQ(step, Statement::Step::Done) << statement->lastError().text;
            if (agent == 0) {
                EXPECT_GT(count, 0) << "an unlimited agent sees rows";
            }
        }
    }
    EXPECT_EQ(types, (std::set<int> { 0, 1, 2, 3, 4 }));
    EXPECT_TRUE(bracketed);
    EXPECT_EQ(tokens.size(), 3u);
    EXPECT_EQ(
        Scalar(*db.payroll,
            "SELECT count(*) FROM _iptblEasyEnquiry WHERE cCode IN ('IQB-EMP002', 'IQB-EMP004')"),
        "2");
    EXPECT_EQ(
        Scalar(*db.payroll, "SELECT count(*) FROM _iptblEasyEnquiry WHERE bCommonDB = 1"), "1");
    EXPECT_GT(std::stoi(Scalar(
                  *db.payroll, "SELECT count(*) FROM _iptblEasyEnquiryColumn WHERE bShow = 0")),
        0);
}

TEST_F(DemoDataTest, LimitedClerkSeesOnlyItsCompaniesFrequenciesAndLocations)
{
    createDemo();
    const QString sql = QString::fromStdString(Scalar(
        *db.payroll, "SELECT cSQLStatement FROM _iptblEasyEnquiry WHERE cCode = 'IQB-EMP002'"));
    const auto all = Rows(*db.payroll, Prepared(sql, {}).toStdString());
    const auto clerk = Rows(*db.payroll, Prepared(sql, {}, 2).toStdString());
    ASSERT_FALSE(clerk.empty());
    EXPECT_LT(clerk.size(), all.size());
    // cCompany, cPayFrequency and cLocation of every row the clerk sees are among its own.
    for (const std::string &row : clerk) {
        const QStringList cells = QString::fromStdString(row).split('|');
        SCOPED_TRACE(row);
        EXPECT_TRUE(cells[5] == "Ashbury Holdings Ltd" || cells[5] == "Harbour Services Ltd");
        EXPECT_TRUE(cells[6] == "Weekly" || cells[6] == "Monthly");
        EXPECT_TRUE(
            cells[4] == "Head Office" || cells[4] == "North Depot" || cells[4] == "City Store");
    }
}

TEST_F(DemoDataTest, ListStatementRunsOnTheView)
{
    createDemo();
    const std::string list
        = "SELECT cCode, idEnquiry, cDescription, cCompany, cFrequency, cType\n"
          "FROM _ipvEasyEnquiry left join _btblNotes on ((_btblNotes.cNOTETBLTableName = "
          "'_IPTBLEASYENQUIRY') or (_btblNotes.cNOTETBLTableName = '_iptbleasyenquiry')) and "
          "(_btblNotes.fNOTETBLTableID = idEnquiry)";
    const auto rows = Rows(*db.payroll, list + " ORDER BY cCode");
    EXPECT_EQ(rows.size(), static_cast<size_t>(Count(*db.payroll, "_iptblEasyEnquiry")));
    EXPECT_EQ(Rows(*db.payroll, list + " WHERE cCode IN ('EMP-AGE', 'PAY-MONTH') ORDER BY cCode"),
        (std::vector<std::string> {
            "EMP-AGE|5|Employees of at least an age|Ashbury Holdings Ltd|NULL|Employees",
            "PAY-MONTH|7|Gross and net pay by month|NULL|Monthly|Statistics" }));

    EXPECT_EQ(
        Rows(*db.payroll,
            "SELECT v.cCode, v.cDatabase, v.PFCode, v.PFDesc, n.idNotes IS NOT NULL "
            "FROM _ipvEasyEnquiry v LEFT JOIN _btblNotes n ON n.fNOTETBLTableID = "
            "v.idEnquiry WHERE v.cCode IN ('HOLIDAYS', 'PAY-MONTH', 'PAY-RANGE') ORDER BY v.cCode"),
        (std::vector<std::string> { "HOLIDAYS|Common Database|NULL|NULL|0",
            "PAY-MONTH|Payroll Database|M|Monthly|0", "PAY-RANGE|Payroll Database|NULL|NULL|1" }));
}
