-- The payroll database on sqlite: made by "corvane-iq schema --engine sqlite --database payroll"
-- from the table definitions of src/store (scripts/update-schema.sh); do not edit.
-- For a new, empty file: sqlite3 FILE < this-script

BEGIN;

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
    bCommonDB BIT DEFAULT 0 NOT NULL,
    iPayrollCompanyID INT,
    iPayFrequencyID INT,
    iIQTypeID INT,
    cXColumn VARCHAR(100),
    cYColumn VARCHAR(1000),
    iPalette INT,
    cCustomColor TEXT,
    nChartLayout BLOB
);

CREATE UNIQUE INDEX ux_iptblEasyEnquiry_Code ON _iptblEasyEnquiry (cCode COLLATE NOCASE);

CREATE TABLE _iptblEasyEnquiryParam (
    idEnquiryParam INTEGER PRIMARY KEY AUTOINCREMENT,
    iEnquiryID INT NOT NULL,
    cDescription VARCHAR(50),
    iSQLTypeID INT,
    dtValue DATETIME,
    cValue VARCHAR(200)
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

CREATE TABLE _rtblAgents (
    idAgents INTEGER PRIMARY KEY,
    cAgentName VARCHAR(50) NOT NULL UNIQUE,
    bAdministrator BIT DEFAULT 0 NOT NULL,
    bAllPayrollCompanies BIT DEFAULT 0 NOT NULL,
    bAllPayFrequencies BIT DEFAULT 0 NOT NULL,
    bAllLocations BIT DEFAULT 0 NOT NULL,
    bActive BIT DEFAULT 1 NOT NULL
);

CREATE UNIQUE INDEX ux_rtblAgents_Name ON _rtblAgents (cAgentName COLLATE NOCASE);

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
    bActive BIT DEFAULT 1 NOT NULL
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

CREATE VIEW _ipvEasyEnquiry AS
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
FROM _iptblEasyEnquiry e
LEFT JOIN _iptblPayerGroups pg ON pg.idPayer = e.iPayrollCompanyID
LEFT JOIN _iptblPayFrequencies pf ON pf.idPayFrequency = e.iPayFrequencyID
LEFT JOIN _iptblIQTypes t ON t.idIQType = e.iIQTypeID;

PRAGMA application_id = 1129467993;
PRAGMA user_version = 5;

COMMIT;
