#include "store/ServerSchema.h"

#include "host/db/engine/Connection.h"

#include <QRegularExpression>

#include <string>
#include <vector>

namespace {

// The payroll tables at version 5 of the SQLite file (PayrollSchema.cpp), and the credentials
// file's table. Statement by statement: function bodies hold semicolons of their own.
const char *const kPayroll[] = {
    R"sql(CREATE TABLE dbo._iptblIQTypes (
    idIQType SERIAL PRIMARY KEY,
    cIQType VARCHAR(50) UNIQUE
))sql",
    R"sql(CREATE TABLE dbo._iptblPayerGroups (
    idPayer SERIAL PRIMARY KEY,
    cCode VARCHAR(10),
    cPayerName VARCHAR(100)
))sql",
    R"sql(CREATE TABLE dbo._iptblPayFrequencies (
    idPayFrequency SERIAL PRIMARY KEY,
    cCode VARCHAR(10),
    cDescription VARCHAR(50)
))sql",
    R"sql(CREATE TABLE dbo._iptblLocations (
    idLocation SERIAL PRIMARY KEY,
    cCode VARCHAR(10),
    cDescription VARCHAR(50)
))sql",
    R"sql(CREATE TABLE dbo._iptblEasyEnquiry (
    idEnquiry SERIAL PRIMARY KEY,
    cCode VARCHAR(10) NOT NULL UNIQUE CHECK (length(cCode) <= 10),
    cDescription VARCHAR(100),
    cSQLStatement TEXT,
    bCommonDB SMALLINT NOT NULL DEFAULT 0,
    iPayrollCompanyID INT NULL,
    iPayFrequencyID INT NULL,
    iIQTypeID INT,
    cXColumn VARCHAR(100) NULL,
    cYColumn VARCHAR(1000) NULL,
    iPalette INT NULL,
    cCustomColor TEXT NULL,
    nChartLayout BYTEA NULL
))sql",
    "CREATE UNIQUE INDEX ux_iptblEasyEnquiry_Code ON dbo._iptblEasyEnquiry (lower(cCode))",
    R"sql(CREATE TABLE dbo._iptblEasyEnquiryParam (
    idEnquiryParam SERIAL PRIMARY KEY,
    iEnquiryID INT NOT NULL,
    cDescription VARCHAR(50),
    iSQLTypeID INT,
    dtValue TIMESTAMP(3) NULL,
    cValue VARCHAR(200) NULL
))sql",
    "CREATE INDEX ix_iptblEasyEnquiryParam_Enquiry ON dbo._iptblEasyEnquiryParam (iEnquiryID)",
    R"sql(CREATE TABLE dbo._iptblEasyEnquiryColumn (
    idEnquiryColumn SERIAL PRIMARY KEY,
    iEnquiryID INT NOT NULL,
    cColumnName VARCHAR(50),
    bShow SMALLINT,
    iOrder INT
))sql",
    "CREATE INDEX ix_iptblEasyEnquiryColumn_Enquiry ON dbo._iptblEasyEnquiryColumn "
    "(iEnquiryID, iOrder)",
    R"sql(CREATE TABLE dbo._btblNotes (
    idNotes SERIAL PRIMARY KEY,
    cNOTETBLTableName VARCHAR(100),
    fNOTETBLTableID INT,
    cNoteText TEXT,
    dtCreated TIMESTAMP(3),
    iAgentID INT
))sql",
    "CREATE INDEX ix_btblNotes_Row ON dbo._btblNotes (fNOTETBLTableID, cNOTETBLTableName)",
    R"sql(CREATE VIEW dbo._ipvEasyEnquiry AS
SELECT e.idEnquiry,
       e.cCode,
       e.cDescription,
       pg.cPayerName AS cCompany,
       pf.cDescription AS cFrequency,
       CAST(CASE WHEN e.bCommonDB <> 0 THEN 'Common Database' ELSE 'Payroll Database' END
            AS VARCHAR(20)) AS cDatabase,
       t.cIQType AS cType,
       pf.cCode AS PFCode,
       pf.cDescription AS PFDesc,
       e.cSQLStatement,
       e.bCommonDB,
       e.iPayrollCompanyID,
       e.iPayFrequencyID,
       e.iIQTypeID,
       e.cXColumn,
       e.cYColumn,
       e.iPalette,
       e.cCustomColor,
       e.nChartLayout
FROM dbo._iptblEasyEnquiry e
LEFT JOIN dbo._iptblPayerGroups pg ON pg.idPayer = e.iPayrollCompanyID
LEFT JOIN dbo._iptblPayFrequencies pf ON pf.idPayFrequency = e.iPayFrequencyID
LEFT JOIN dbo._iptblIQTypes t ON t.idIQType = e.iIQTypeID)sql",
    R"sql(CREATE TABLE dbo._rtblAgents (
    idAgents SERIAL PRIMARY KEY,
    cAgentName VARCHAR(50) UNIQUE NOT NULL,
    bAdministrator SMALLINT NOT NULL DEFAULT 0,
    bAllPayrollCompanies SMALLINT NOT NULL DEFAULT 0,
    bAllPayFrequencies SMALLINT NOT NULL DEFAULT 0,
    bAllLocations SMALLINT NOT NULL DEFAULT 0,
    bActive SMALLINT NOT NULL DEFAULT 1
))sql",
    // Sign-in finds an agent by name in any letter case.
    "CREATE UNIQUE INDEX ux_rtblAgents_Name ON dbo._rtblAgents (lower(cAgentName))",
    R"sql(CREATE TABLE dbo._rtblAgentFunctions (
    iAgentID INT NOT NULL,
    iFunctionID INT NOT NULL,
    PRIMARY KEY (iAgentID, iFunctionID)
))sql",
    R"sql(CREATE TABLE dbo._rtblAgentPayerGroups (
    iAgentID INT NOT NULL,
    iPayerID INT NOT NULL,
    PRIMARY KEY (iAgentID, iPayerID)
))sql",
    R"sql(CREATE TABLE dbo._rtblAgentPayFrequencies (
    iAgentID INT NOT NULL,
    iPayFrequencyID INT NOT NULL,
    PRIMARY KEY (iAgentID, iPayFrequencyID)
))sql",
    R"sql(CREATE TABLE dbo._rtblAgentLocations (
    iAgentID INT NOT NULL,
    iLocationID INT NOT NULL,
    PRIMARY KEY (iAgentID, iLocationID)
))sql",
    R"sql(CREATE TABLE dbo._iptblDepartments (
    idDepartment SERIAL PRIMARY KEY,
    cCode VARCHAR(10) NOT NULL UNIQUE,
    cDescription VARCHAR(50)
))sql",
    R"sql(CREATE TABLE dbo._iptblEmployees (
    idEmployee SERIAL PRIMARY KEY,
    cEmployeeCode VARCHAR(10) NOT NULL UNIQUE,
    cFirstName VARCHAR(50),
    cSurname VARCHAR(50),
    dtBirth TIMESTAMP(3),
    dtEngaged TIMESTAMP(3),
    iPayerID INT NOT NULL,
    iPayFrequencyID INT NOT NULL,
    iLocationID INT NOT NULL,
    iDepartmentID INT NOT NULL,
    fHourlyRate DECIMAL(10,2),
    bActive SMALLINT NOT NULL DEFAULT 1
))sql",
    "CREATE INDEX ix_iptblEmployees_Payer ON dbo._iptblEmployees (iPayerID)",
    "CREATE INDEX ix_iptblEmployees_Location ON dbo._iptblEmployees (iLocationID)",
    "CREATE INDEX ix_iptblEmployees_Department ON dbo._iptblEmployees (iDepartmentID)",
    R"sql(CREATE TABLE dbo._iptblPayslips (
    idPayslip SERIAL PRIMARY KEY,
    iEmployeeID INT NOT NULL,
    dtPayDate TIMESTAMP(3) NOT NULL,
    iPeriod INT NOT NULL,
    fHours DECIMAL(10,2),
    fOvertimeHours DECIMAL(10,2),
    fGross DECIMAL(12,2),
    fTax DECIMAL(12,2),
    fNet DECIMAL(12,2)
))sql",
    "CREATE INDEX ix_iptblPayslips_Employee ON dbo._iptblPayslips (iEmployeeID, dtPayDate)",
    "CREATE INDEX ix_iptblPayslips_PayDate ON dbo._iptblPayslips (dtPayDate)",
    R"sql(CREATE TABLE dbo._rtblAgentCredentials (
    iAgentID INTEGER PRIMARY KEY REFERENCES dbo._rtblAgents (idAgents) ON DELETE CASCADE,
    cPasswordHash VARCHAR(200) NOT NULL
))sql",
    "REVOKE ALL ON dbo._rtblAgentCredentials FROM PUBLIC",
    // The payroll companies an agent may see, as the SQLite connections' table-valued function
    // (AgentPCSecurity.cpp) answers.
    R"sql(CREATE FUNCTION dbo._efnAgentPCSecurity(agent INTEGER)
RETURNS TABLE (idPayer INTEGER)
LANGUAGE sql STABLE
AS $$
SELECT p.idPayer FROM dbo._iptblPayerGroups p
WHERE EXISTS (SELECT 1 FROM dbo._rtblAgents a
              WHERE a.idAgents = agent AND a.bAllPayrollCompanies <> 0)
   OR EXISTS (SELECT 1 FROM dbo._rtblAgentPayerGroups g
              WHERE g.iAgentID = agent AND g.iPayerID = p.idPayer)
ORDER BY p.idPayer
$$)sql",
    // As DeleteEasyEnquiry (StoreProcedures.cpp): the IQ with its parameters, columns and notes.
    R"sql(CREATE PROCEDURE dbo._ipspDeleteEasyEnquiry(EasyEnquiryID INTEGER)
LANGUAGE sql
AS $$
DELETE FROM dbo._iptblEasyEnquiryParam WHERE iEnquiryID = EasyEnquiryID;
DELETE FROM dbo._iptblEasyEnquiryColumn WHERE iEnquiryID = EasyEnquiryID;
DELETE FROM dbo._btblNotes WHERE fNOTETBLTableID = EasyEnquiryID
    AND cNOTETBLTableName IN ('_IPTBLEASYENQUIRY', '_iptbleasyenquiry');
DELETE FROM dbo._iptblEasyEnquiry WHERE idEnquiry = EasyEnquiryID;
$$)sql",
    "REVOKE ALL ON PROCEDURE dbo._ipspDeleteEasyEnquiry(INTEGER) FROM PUBLIC",
};

// The common tables at version 2 of the SQLite file (CommonSchema.cpp).
const char *const kCommon[] = {
    R"sql(CREATE TABLE dbo._btblSystemValues (
    cName VARCHAR(100) PRIMARY KEY,
    cValue TEXT,
    cDescription TEXT
))sql",
    R"sql(INSERT INTO dbo._btblSystemValues (cName, cValue, cDescription) VALUES
    ('IQ Report Timeout (Minutes)', '0',
     'Minutes an IQ may run before it is stopped; 0 lets it run until the server answers.'),
    ('IQ Report Retry Count', '1', 'How many times an IQ is attempted before it fails.'))sql",
    R"sql(CREATE TABLE dbo._btblLog (
    idLog SERIAL PRIMARY KEY,
    dtLogged TIMESTAMP(3),
    iAgentID INT,
    cAgentName VARCHAR(50),
    iLogType INT,
    iSeverity INT,
    cText TEXT,
    cExtra1 TEXT,
    cExtra2 TEXT,
    iDestination INT
))sql",
    "CREATE INDEX ix_btblLog_Logged ON dbo._btblLog (dtLogged)",
    R"sql(CREATE TABLE dbo._btblPublicHolidays (
    idPublicHoliday SERIAL PRIMARY KEY,
    dtHoliday TIMESTAMP(3) NOT NULL,
    cDescription VARCHAR(100)
))sql",
    "CREATE INDEX ix_btblPublicHolidays_Date ON dbo._btblPublicHolidays (dtHoliday)",
    R"sql(CREATE TABLE dbo._btblTaxScales (
    idTaxScale SERIAL PRIMARY KEY,
    iTaxYear INT NOT NULL,
    fAnnualFrom DECIMAL(12,2) NOT NULL,
    fAnnualTo DECIMAL(12,2) NULL,
    fRate DECIMAL(6,4) NOT NULL
))sql",
    "CREATE INDEX ix_btblTaxScales_Year ON dbo._btblTaxScales (iTaxYear, fAnnualFrom)",
};

// Which kinds a database holds, and at what version: payroll and common may share one.
const char *const kVersionTable = R"sql(CREATE TABLE IF NOT EXISTS dbo._btblSchemaVersion (
    cDatabase VARCHAR(20) PRIMARY KEY,
    iVersion INT NOT NULL
))sql";

std::string kindName(DatabaseKind kind)
{
    return DatabaseKindName(kind).toStdString();
}

bool fail(Connection &connection, const QString &what, QString &error)
{
    error = QStringLiteral("%1: %2").arg(what, QString::fromStdString(connection.lastError().text));
    return false;
}

// Spliced into statements (a role cannot be bound), so only a plain name will do.
bool isPlainName(const QString &role, QString &error)
{
    static const QRegularExpression plainName(QStringLiteral("^[a-z_][a-z0-9_]{0,62}$"));
    if (plainName.match(role).hasMatch())
        return true;
    error = QStringLiteral("The report role \"%1\" must be a lower-case name of letters, digits "
                           "and \"_\".")
                .arg(role);
    return false;
}

} // namespace

std::optional<int> ServerSchemaVersion(Connection &connection, DatabaseKind kind, QString &error)
{
    int version = 0;
    bool hasTable = false;
    DbError failure;
    if (!connection.forEachRow(
            "SELECT count(*) FROM information_schema.tables WHERE table_schema = 'dbo' AND "
            "table_name = '_btblschemaversion'",
            {},
            [&](const Statement &row) {
                hasTable = row.asInt64(0) > 0;
                return false;
            },
            failure)
        || (hasTable
            && !connection.forEachRow(
                "SELECT iVersion FROM dbo._btblSchemaVersion WHERE cDatabase = ?",
                { Value { kindName(kind) } },
                [&](const Statement &row) {
                    version = static_cast<int>(row.asInt64(0));
                    return false;
                },
                failure))) {
        error = QStringLiteral("Cannot read the schema version of the server database: %1")
                    .arg(QString::fromStdString(failure.text));
        return std::nullopt;
    }
    return version;
}

bool CreateReportRole(Connection &connection, const QString &reportRole, QString &error)
{
    if (!isPlainName(reportRole, error))
        return false;
    const std::string role = reportRole.toStdString();
    const std::string statements[] = {
        "DO $$ BEGIN IF NOT EXISTS (SELECT 1 FROM pg_roles WHERE rolname = '" + role
            + "') THEN CREATE ROLE " + role + " LOGIN; END IF; END $$",
        "ALTER ROLE " + role + " SET default_transaction_read_only = on",
        "ALTER ROLE " + role + " SET search_path = dbo, public",
    };
    for (const std::string &sql : statements) {
        if (!connection.execute(sql))
            return fail(connection,
                QStringLiteral("Cannot make the report role %1 on the server").arg(reportRole),
                error);
    }
    return true;
}

bool CreateServerSchema(
    Connection &connection, DatabaseKind kind, const QString &reportRole, QString &error)
{
    if (kind == DatabaseKind::Credentials) {
        error = QStringLiteral("On a server the credentials are part of the payroll database.");
        return false;
    }
    if (!isPlainName(reportRole, error))
        return false;
    const std::optional<int> found = ServerSchemaVersion(connection, kind, error);
    if (!found)
        return false;
    if (*found != 0) {
        error = QStringLiteral("The server database already holds a %1 schema (version %2); it "
                               "was left unchanged.")
                    .arg(DatabaseKindName(kind))
                    .arg(*found);
        return false;
    }

    Transaction transaction(connection);
    if (!transaction.started())
        return fail(connection, QStringLiteral("Cannot start the schema's transaction"), error);
    const std::string role = reportRole.toStdString();
    std::vector<std::string> statements = {
        "CREATE SCHEMA IF NOT EXISTS dbo",
        // IQ statements name tables without "dbo." as often as with it.
        "DO $$ BEGIN EXECUTE format('ALTER DATABASE %I SET search_path = dbo, public', "
        "current_database()); END $$",
        "SET search_path = dbo, public",
        kVersionTable,
    };
    const auto tables = kind == DatabaseKind::Payroll ? std::span<const char *const>(kPayroll)
                                                      : std::span<const char *const>(kCommon);
    statements.insert(statements.end(), tables.begin(), tables.end());
    statements.push_back("INSERT INTO dbo._btblSchemaVersion (cDatabase, iVersion) VALUES ('"
        + kindName(kind) + "', " + std::to_string(CurrentSchemaVersion(kind)) + ")");
    // The report role reads, and never sees the credentials.
    statements.push_back("GRANT USAGE ON SCHEMA dbo TO " + role);
    statements.push_back("GRANT SELECT ON ALL TABLES IN SCHEMA dbo TO " + role);
    if (kind == DatabaseKind::Payroll)
        statements.push_back("REVOKE ALL ON dbo._rtblAgentCredentials FROM " + role);
    for (const std::string &sql : statements) {
        if (!connection.execute(sql))
            return fail(connection,
                QStringLiteral("Cannot create the %1 schema on the server")
                    .arg(DatabaseKindName(kind)),
                error);
    }
    if (!transaction.commit())
        return fail(connection, QStringLiteral("Cannot commit the schema"), error);
    return true;
}
