#include "store/Schema.h"

#include "host/core/SqlExec.h"
#include "host/db/engine/Connection.h"
#include "store/SqlHelpers.h"

#include <QStringList>

// The payroll database: the enquiry store, the lookups its definitions point at, notes, agents
// with their data-security rows, and the payroll data the demo IQs report on.
// Declared types follow SQL Server's names so that result fields get their type classes.
// Dates are ISO text: "YYYY-MM-DD" or "YYYY-MM-DD HH:MM:SS".

namespace {

const char *const kVersion1 = R"sql(
CREATE TABLE _iptblIQTypes (
    idIQType INTEGER PRIMARY KEY,
    cIQType VARCHAR(50) UNIQUE
);
CREATE TABLE _iptblPayerGroups (
    idPayer INTEGER PRIMARY KEY,
    cCode VARCHAR(10),
    cPayerName VARCHAR(100)
);
CREATE TABLE _iptblPayFrequencies (
    idPayFrequency INTEGER PRIMARY KEY,
    cCode VARCHAR(10),
    cDescription VARCHAR(50)
);
CREATE TABLE _iptblLocations (
    idLocation INTEGER PRIMARY KEY,
    cCode VARCHAR(10),
    cDescription VARCHAR(50)
);

CREATE TABLE _iptblEasyEnquiry (
    idEnquiry INTEGER PRIMARY KEY AUTOINCREMENT,
    cCode VARCHAR(10) NOT NULL UNIQUE CHECK (length(cCode) <= 10),
    cDescription VARCHAR(100),
    cSQLStatement TEXT,
    bCommonDB BIT NOT NULL DEFAULT 0,
    iPayrollCompanyID INT NULL,
    iPayFrequencyID INT NULL,
    iIQTypeID INT,
    cXColumn VARCHAR(100) NULL,
    cYColumn VARCHAR(1000) NULL,
    iPalette INT NULL,
    cCustomColor TEXT NULL,
    nChartLayout BLOB NULL
);
CREATE TABLE _iptblEasyEnquiryParam (
    idEnquiryParam INTEGER PRIMARY KEY AUTOINCREMENT,
    iEnquiryID INT NOT NULL,
    cDescription VARCHAR(50),
    iSQLTypeID INT,
    dtValue DATETIME NULL,
    cValue VARCHAR(200) NULL
);
CREATE INDEX ix_iptblEasyEnquiryParam_Enquiry ON _iptblEasyEnquiryParam (iEnquiryID);
CREATE TABLE _iptblEasyEnquiryColumn (
    idEnquiryColumn INTEGER PRIMARY KEY AUTOINCREMENT,
    iEnquiryID INT NOT NULL,
    cColumnName VARCHAR(50),
    bShow BIT,
    iOrder INT
);
CREATE INDEX ix_iptblEasyEnquiryColumn_Enquiry ON _iptblEasyEnquiryColumn (iEnquiryID, iOrder);

CREATE TABLE _btblNotes (
    idNotes INTEGER PRIMARY KEY,
    cNOTETBLTableName VARCHAR(100),
    fNOTETBLTableID INT,
    cNoteText TEXT,
    dtCreated DATETIME,
    iAgentID INT
);
CREATE INDEX ix_btblNotes_Row ON _btblNotes (fNOTETBLTableID, cNOTETBLTableName);

CREATE VIEW _ipvEasyEnquiry AS
SELECT e.idEnquiry,
       e.cCode,
       e.cDescription,
       pg.cPayerName AS cCompany,
       pf.cDescription AS cFrequency,
       CASE WHEN e.bCommonDB THEN 'Common Database' ELSE 'Payroll Database' END AS cDatabase,
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
FROM _iptblEasyEnquiry e
LEFT JOIN _iptblPayerGroups pg ON pg.idPayer = e.iPayrollCompanyID
LEFT JOIN _iptblPayFrequencies pf ON pf.idPayFrequency = e.iPayFrequencyID
LEFT JOIN _iptblIQTypes t ON t.idIQType = e.iIQTypeID;

CREATE TABLE _rtblAgents (
    idAgents INTEGER PRIMARY KEY,
    cAgentName VARCHAR(50) UNIQUE NOT NULL,
    cPasswordHash VARCHAR(200),
    bAdministrator BIT NOT NULL DEFAULT 0,
    bAllPayrollCompanies BIT NOT NULL DEFAULT 0,
    bAllPayFrequencies BIT NOT NULL DEFAULT 0,
    bAllLocations BIT NOT NULL DEFAULT 0
);
CREATE TABLE _rtblAgentFunctions (
    iAgentID INT NOT NULL,
    iFunctionID INT NOT NULL,
    PRIMARY KEY (iAgentID, iFunctionID)
);
CREATE TABLE _rtblAgentPayerGroups (
    iAgentID INT NOT NULL,
    iPayerID INT NOT NULL,
    PRIMARY KEY (iAgentID, iPayerID)
);
CREATE TABLE _rtblAgentPayFrequencies (
    iAgentID INT NOT NULL,
    iPayFrequencyID INT NOT NULL,
    PRIMARY KEY (iAgentID, iPayFrequencyID)
);
CREATE TABLE _rtblAgentLocations (
    iAgentID INT NOT NULL,
    iLocationID INT NOT NULL,
    PRIMARY KEY (iAgentID, iLocationID)
);
)sql";

// Agents can be switched off without losing their history; the payroll data itself arrived
// with the demo IQs.
const char *const kVersion2 = R"sql(
ALTER TABLE _rtblAgents ADD COLUMN bActive BIT NOT NULL DEFAULT 1;

CREATE TABLE _iptblDepartments (
    idDepartment INTEGER PRIMARY KEY,
    cCode VARCHAR(10) NOT NULL UNIQUE,
    cDescription VARCHAR(50)
);
CREATE TABLE _iptblEmployees (
    idEmployee INTEGER PRIMARY KEY,
    cEmployeeCode VARCHAR(10) NOT NULL UNIQUE,
    cFirstName VARCHAR(50),
    cSurname VARCHAR(50),
    dtBirth DATETIME,
    dtEngaged DATETIME,
    iPayerID INT NOT NULL,
    iPayFrequencyID INT NOT NULL,
    iLocationID INT NOT NULL,
    iDepartmentID INT NOT NULL,
    fHourlyRate DECIMAL(10,2),
    bActive BIT NOT NULL DEFAULT 1
);
CREATE INDEX ix_iptblEmployees_Payer ON _iptblEmployees (iPayerID);
CREATE INDEX ix_iptblEmployees_Location ON _iptblEmployees (iLocationID);
CREATE INDEX ix_iptblEmployees_Department ON _iptblEmployees (iDepartmentID);
CREATE TABLE _iptblPayslips (
    idPayslip INTEGER PRIMARY KEY,
    iEmployeeID INT NOT NULL,
    dtPayDate DATETIME NOT NULL,
    iPeriod INT NOT NULL,
    fHours DECIMAL(10,2),
    fOvertimeHours DECIMAL(10,2),
    fGross DECIMAL(12,2),
    fTax DECIMAL(12,2),
    fNet DECIMAL(12,2)
);
CREATE INDEX ix_iptblPayslips_Employee ON _iptblPayslips (iEmployeeID, dtPayDate);
CREATE INDEX ix_iptblPayslips_PayDate ON _iptblPayslips (dtPayDate);
)sql";

// The password hashes leave this file, which every IQ can read, for the credentials file. Secure
// delete overwrites the bytes the dropped column leaves free, so no hash stays in the file.
const char *const kVersion3 = R"sql(
PRAGMA main.secure_delete = ON;
INSERT INTO credentials._rtblAgentCredentials (iAgentID, cPasswordHash)
SELECT idAgents, cPasswordHash FROM main._rtblAgents WHERE coalesce(cPasswordHash, '') <> '';
ALTER TABLE main._rtblAgents DROP COLUMN cPasswordHash;
)sql";

// Sign-in finds an agent by name in any letter case, so two names that differ only in case would
// be one agent with two passwords.
const char *const kVersion4 = R"sql(
CREATE UNIQUE INDEX ux_rtblAgents_Name ON _rtblAgents (cAgentName COLLATE NOCASE);
)sql";

// Our own names (no user text): the table, its key and the column that must be unique in any
// letter case. Empty when no two rows clash; else why the upgrade is refused, naming them.
QString CaselessClash(Connection &payroll, const QString &file, const char *table, const char *key,
    const char *column, const char *what)
{
    const std::string sql = std::string("SELECT a.") + column + " FROM " + table
        + " a WHERE EXISTS (SELECT 1 FROM " + table + " b WHERE b." + key + " <> a." + key
        + " AND b." + column + " = a." + column + " COLLATE NOCASE) ORDER BY a." + column
        + " COLLATE NOCASE, a." + column;
    QStringList names;
    DbError error;
    const bool read = payroll.forEachRow(
        sql, {},
        [&](const Statement &row) {
            names << QStringLiteral("\"%1\"").arg(SqlExec::TextAt(row, 0));
            return true;
        },
        error);
    if (!read)
        return FileErrorText(file, error);
    if (names.isEmpty())
        return {};
    return QStringLiteral("The payroll database \"%1\" cannot be upgraded: %2 must differ in more "
                          "than letter case, and %3 do not; rename them and open it again. It "
                          "was left unchanged.")
        .arg(file, QString::fromLatin1(what), names.join(QStringLiteral(", ")));
}

QString AgentNamesClash(Connection &payroll, const QString &file)
{
    return CaselessClash(payroll, file, "_rtblAgents", "idAgents", "cAgentName", "agent names");
}

// IQ codes are found in any letter case, as on the production engine's usual collation.
const char *const kVersion5 = R"sql(
CREATE UNIQUE INDEX ux_iptblEasyEnquiry_Code ON _iptblEasyEnquiry (cCode COLLATE NOCASE);
)sql";

QString EnquiryCodesClash(Connection &payroll, const QString &file)
{
    return CaselessClash(payroll, file, "_iptblEasyEnquiry", "idEnquiry", "cCode", "IQ codes");
}

const SchemaStep kSteps[] = {
    { 1, kVersion1 },
    { 2, kVersion2 },
    { 3, kVersion3, true },
    { 4, kVersion4, false, AgentNamesClash },
    { 5, kVersion5, false, EnquiryCodesClash },
};

} // namespace

std::span<const SchemaStep> PayrollSchemaSteps()
{
    return kSteps;
}
