#include "TestDatabases.h"

#include "host/core/Agent.h"
#include "host/core/HostContext.h"
#include "host/core/RegIni.h"
#include "host/core/SqlExec.h"
#include "host/db/engine/Connection.h"
#include "store/DemoData.h"

#include <gtest/gtest.h>

using SqlExec::ToValue;

TestDatabases::TestDatabases()
{
    QString error;
    m_databases = OpenHostDatabases(path("payroll.db"), path("common.db"), true, error);
    // Every test after this would only crash on the missing connections.
    if (!m_databases)
        qFatal("The test databases cannot be created: %s", qPrintable(error));
    SetHostConnections(m_databases->payroll.get(), m_databases->common.get());
    SetReportConnections(m_databases->reportPayroll.get(), m_databases->reportCommon.get());
    SetHostDatabaseNames(path("payroll.db"), path("common.db"));
    RegIni::SetFolder(path("settings"));
    SignOut();
}

TestDatabases::~TestDatabases()
{
    SignOut();
    RegIni::SetFolder({});
    SetHostConnections(nullptr, nullptr);
    SetReportConnections(nullptr, nullptr);
    SetHostDatabaseNames({}, {});
}

void TestDatabases::addDemoData(int employees, int payslipsPerEmployee)
{
    DemoOptions options;
    options.employees = employees;
    options.payslipsPerEmployee = payslipsPerEmployee;
    options.fastPasswordHashing = true;
    QString error;
    EXPECT_TRUE(CreateDemoData(payroll(), common(), options, error)) << error.toStdString();
}

void TestDatabases::exec(std::string_view sql, std::initializer_list<Value> values)
{
    exec(payroll(), sql, values);
}

void TestDatabases::exec(
    Connection &connection, std::string_view sql, std::initializer_list<Value> values)
{
    // Without values the text may hold several statements.
    if (values.size() == 0) {
        EXPECT_TRUE(connection.execute(sql)) << connection.lastError().text << "\n" << sql;
        return;
    }
    DbError error;
    EXPECT_TRUE(connection.run(sql, values, error)) << error.text << "\n" << sql;
}

QStringList TestDatabases::rows(std::string_view sql, std::initializer_list<Value> values)
{
    return rows(payroll(), sql, values);
}

QStringList TestDatabases::rows(
    Connection &connection, std::string_view sql, std::initializer_list<Value> values)
{
    QStringList result;
    DbError error;
    const bool read = connection.forEachRow(
        sql, values,
        [&](const Statement &row) {
            QStringList cells;
            for (int column = 0; column < row.columnCount(); ++column)
                cells << (row.isNull(column) ? QStringLiteral("NULL")
                                             : SqlExec::TextAt(row, column));
            result << cells.join('|');
            return true;
        },
        error);
    EXPECT_TRUE(read) << error.text << "\n" << sql;
    return result;
}

QStringList TestDatabases::definitionsAndLog()
{
    return rows("SELECT * FROM _iptblEasyEnquiry") + rows("SELECT * FROM _iptblEasyEnquiryParam")
        + rows("SELECT * FROM _iptblEasyEnquiryColumn") + rows("SELECT * FROM _iptblIQTypes")
        + rows(common(), "SELECT cText FROM _btblLog");
}

int TestDatabases::count(std::string_view sql, std::initializer_list<Value> values)
{
    return count(payroll(), sql, values);
}

int TestDatabases::count(
    Connection &connection, std::string_view sql, std::initializer_list<Value> values)
{
    const QStringList result = rows(connection, sql, values);
    return result.isEmpty() ? -1 : result.first().toInt();
}

int TestDatabases::insertEnquiry(const QString &code, const QString &sql,
    const QString &description, std::initializer_list<TestParam> params)
{
    exec("INSERT INTO _iptblEasyEnquiry (cCode, cDescription, cSQLStatement, bCommonDB, iIQTypeID) "
         "VALUES (?, ?, ?, 0, 1)",
        { ToValue(code), ToValue(description.isEmpty() ? code + " description" : description),
            ToValue(sql) });
    const int id = int(payroll().lastInsertId());
    for (const TestParam &param : params) {
        insertParam(id, param.name, param.type,
            param.value ? std::optional<QString>(param.value) : std::nullopt);
    }
    return id;
}

void TestDatabases::insertParam(int enquiryId, const QString &name, int type,
    std::optional<QString> value, std::optional<QString> date)
{
    exec("INSERT INTO _iptblEasyEnquiryParam (iEnquiryID, cDescription, iSQLTypeID, cValue, "
         "dtValue) VALUES (?, ?, ?, ?, ?)",
        { ToValue(enquiryId), ToValue(name), ToValue(type), value ? ToValue(*value) : Value(),
            date ? ToValue(*date) : Value() });
}

void TestDatabases::insertColumns(
    int enquiryId, const std::vector<std::pair<QString, bool>> &columns)
{
    int order = 0;
    for (const auto &[name, shown] : columns) {
        exec("INSERT INTO _iptblEasyEnquiryColumn (iEnquiryID, cColumnName, bShow, iOrder) "
             "VALUES (?, ?, ?, ?)",
            { ToValue(enquiryId), ToValue(name), ToValue(shown), ToValue(++order) });
    }
}

int TestDatabases::addAgent(const QString &name, const TestAgent &agent)
{
    exec("INSERT INTO _rtblAgents (cAgentName, bAdministrator, bAllPayrollCompanies, "
         "bAllPayFrequencies, bAllLocations, bActive) VALUES (?, ?, ?, ?, ?, ?)",
        { ToValue(name), ToValue(agent.administrator), ToValue(agent.allPayrollCompanies),
            ToValue(agent.allPayFrequencies), ToValue(agent.allLocations), ToValue(agent.active) });
    const int id = int(payroll().lastInsertId());
    QString error;
    EXPECT_TRUE(credentials().SetPassword(id, name, true, error)) << error.toStdString();
    for (const int function : agent.functions) {
        exec("INSERT INTO _rtblAgentFunctions (iAgentID, iFunctionID) VALUES (?, ?)",
            { ToValue(id), ToValue(function) });
    }
    return id;
}

void TestDatabases::signIn(const QString &name)
{
    QString error;
    EXPECT_TRUE(SignIn(payroll(), credentials(), name, name, error)) << error.toStdString();
}
