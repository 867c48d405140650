#include "RunFixture.h"

#include "host/core/Agent.h"
#include "host/core/HostContext.h"
#include "host/core/SqlExec.h"
#include "host/db/engine/Connection.h"

void RunFixture::SetUp()
{
    ASSERT_TRUE(dir.isValid());
    QString error;
    db = OpenHostDatabases(dir.filePath("payroll.db"), dir.filePath("common.db"), true, error);
    ASSERT_TRUE(db) << error.toStdString();
    SetHostConnections(db->payroll.get(), db->common.get());
    SignOut();
}

void RunFixture::TearDown()
{
    SignOut();
    SetHostConnections(nullptr, nullptr);
}

Connection &RunFixture::payroll()
{
    return *db->payroll;
}
Connection &RunFixture::common()
{
    return *db->common;
}

int RunFixture::insertEnquiry(const QString &code, const QString &sql)
{
    exec("INSERT INTO _iptblEasyEnquiry (cCode, cDescription, cSQLStatement, bCommonDB, iIQTypeID) "
         "VALUES (?, ?, ?, 0, 1)",
        { SqlExec::ToValue(code), SqlExec::ToValue(code + " description"), SqlExec::ToValue(sql) });
    const QStringList id = texts(
        "SELECT idEnquiry FROM _iptblEasyEnquiry WHERE cCode = ?", { SqlExec::ToValue(code) });
    return id.isEmpty() ? 0 : id.first().toInt();
}

void RunFixture::insertParam(int enquiryId, const QString &name, int type,
    std::optional<QString> value, std::optional<QString> date)
{
    exec("INSERT INTO _iptblEasyEnquiryParam (iEnquiryID, cDescription, iSQLTypeID, cValue, "
         "dtValue) "
         "VALUES (?, ?, ?, ?, ?)",
        { std::int64_t(enquiryId), SqlExec::ToValue(name), std::int64_t(type),
            value ? SqlExec::ToValue(*value) : Value(), date ? SqlExec::ToValue(*date) : Value() });
}

void RunFixture::exec(
    Connection &connection, std::string_view sql, std::initializer_list<Value> values)
{
    DbError error;
    EXPECT_TRUE(connection.run(sql, values, error)) << error.text << "\n" << sql;
}

void RunFixture::exec(std::string_view sql, std::initializer_list<Value> values)
{
    exec(payroll(), sql, values);
}

QStringList RunFixture::texts(
    Connection &connection, std::string_view sql, std::initializer_list<Value> values)
{
    QStringList result;
    DbError error;
    EXPECT_TRUE(connection.forEachRow(
        sql, values,
        [&](const Statement &row) {
            result << (row.isNull(0) ? QStringLiteral("<null>") : SqlExec::TextAt(row, 0));
            return true;
        },
        error))
        << error.text << "\n"
        << sql;
    return result;
}

QStringList RunFixture::texts(std::string_view sql, std::initializer_list<Value> values)
{
    return texts(payroll(), sql, values);
}

void RunFixture::signIn(int id, bool allPayrollCompanies, bool allPayFrequencies, bool allLocations)
{
    TAgent agent;
    agent.idAgents = id;
    agent.cAgentName = QStringLiteral("agent%1").arg(id);
    agent.bAllPayrollCompanies = allPayrollCompanies;
    agent.bAllPayFrequencies = allPayFrequencies;
    agent.bAllLocations = allLocations;
    SetCurrentAgentForTesting(agent);
}
