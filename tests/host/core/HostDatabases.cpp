#include "HostDatabases.h"

#include "host/core/Agent.h"
#include "host/core/HostContext.h"
#include "host/core/RegIni.h"

#include <gtest/gtest.h>

namespace {
const char *kPayrollTables = R"(
create table _rtblAgents (idAgents integer primary key, cAgentName varchar(50) unique,
    cPasswordHash varchar(200), bAdministrator bit, bAllPayrollCompanies bit,
    bAllPayFrequencies bit, bAllLocations bit, bActive bit);
create table _rtblAgentFunctions (iAgentID int, iFunctionID int);
create table _btblNotes (idNotes integer primary key, cNOTETBLTableName varchar(100),
    fNOTETBLTableID int, cNoteText text, dtCreated datetime, iAgentID int);
)";
const char *kCommonTables = R"(
create table _btblLog (idLog integer primary key, dtLogged datetime, iAgentID int,
    cAgentName varchar(50), iLogType int, iSeverity int, cText text, cExtra1 text, cExtra2 text,
    iDestination int);
create table _btblSystemValues (cName varchar(100) primary key, cValue text, cDescription text);
)";

std::unique_ptr<SqliteConnection> OpenFile(const QString &path)
{
    DbError error;
    auto connection = SqliteConnection::open(
        path.toStdString(), SqliteConnection::OpenMode::ReadWriteCreate, error);
    EXPECT_TRUE(connection) << error.text;
    return connection;
}
}

HostDatabases::HostDatabases()
{
    m_payroll = OpenFile(m_dir.filePath("payroll.db"));
    m_common = OpenFile(m_dir.filePath("common.db"));
    exec(*m_payroll, kPayrollTables);
    exec(*m_common, kCommonTables);
    SetHostConnections(m_payroll.get(), m_common.get());
    RegIni::SetFolder(m_dir.filePath("settings"));
}

HostDatabases::~HostDatabases()
{
    SetHostConnections(nullptr, nullptr);
    RegIni::SetFolder({});
    SignOut();
}

void HostDatabases::exec(Connection &connection, const char *sql)
{
    ASSERT_TRUE(connection.execute(sql)) << connection.lastError().text;
}

int HostDatabases::count(Connection &connection, const QString &sql)
{
    return text(connection, sql).toInt();
}

QString HostDatabases::text(Connection &connection, const QString &sql)
{
    auto statement = connection.prepare(sql.toStdString());
    EXPECT_TRUE(statement) << connection.lastError().text;
    if (!statement || statement->step() != Statement::Step::Row || statement->isNull(0))
        return {};
    return QString::fromStdString(std::string(statement->asText(0)));
}

int HostDatabases::addAgent(
    const QString &name, const QString &password, bool administrator, bool active)
{
    auto statement = m_payroll->prepare(
        "insert into _rtblAgents (cAgentName, cPasswordHash, bAdministrator, bAllPayrollCompanies,"
        " bAllPayFrequencies, bAllLocations, bActive) values (?, ?, ?, 1, 0, 1, ?)");
    statement->bind(1, name.toStdString());
    statement->bind(2, HashPassword(password, true).toStdString());
    statement->bind(3, std::int64_t { administrator });
    statement->bind(4, std::int64_t { active });
    EXPECT_EQ(statement->step(), Statement::Step::Done) << statement->lastError().text;
    return int(m_payroll->lastInsertId());
}
