-- The payroll database on postgresql: made by "corvane-iq schema --engine postgresql --database payroll"
-- from the table definitions of src/store (scripts/update-schema.sh); do not edit.
-- For an empty database: psql -v ON_ERROR_STOP=1 -d DATABASE -f this-script

DO $$ BEGIN IF NOT EXISTS (SELECT 1 FROM pg_roles WHERE rolname = 'corvane_report') THEN CREATE ROLE corvane_report LOGIN; END IF; END $$;

ALTER ROLE corvane_report SET default_transaction_read_only = on;

ALTER ROLE corvane_report SET search_path = dbo, public;

BEGIN;

CREATE SCHEMA IF NOT EXISTS dbo;

DO $$ BEGIN EXECUTE format('ALTER DATABASE %I SET search_path = dbo, public', current_database()); END $$;

SET search_path = dbo, public;

CREATE TABLE IF NOT EXISTS dbo._btblSchemaVersion (
    cDatabase VARCHAR(20) PRIMARY KEY,
    iVersion INT NOT NULL
);

CREATE TABLE dbo._iptblIQTypes (
    idIQType SERIAL PRIMARY KEY,
    cIQType VARCHAR(50) UNIQUE
);

CREATE TABLE dbo._iptblPayerGroups (
    idPayer SERIAL PRIMARY KEY,
    cCode VARCHAR(10),
    cPayerName VARCHAR(100)
);

CREATE TABLE dbo._iptblPayFrequencies (
    idPayFrequency SERIAL PRIMARY KEY,
    cCode VARCHAR(10),
    cDescription VARCHAR(50)
);

CREATE TABLE dbo._iptblLocations (
    idLocation SERIAL PRIMARY KEY,
    cCode VARCHAR(10),
    cDescription VARCHAR(50)
);

CREATE TABLE dbo._iptblEasyEnquiry (
    idEnquiry SERIAL PRIMARY KEY,
    cCode VARCHAR(10) NOT NULL UNIQUE CHECK (length(cCode) <= 10),
    cDescription VARCHAR(100),
    cSQLStatement TEXT,
    bCommonDB SMALLINT DEFAULT 0 NOT NULL,
    iPayrollCompanyID INT,
    iPayFrequencyID INT,
    iIQTypeID INT,
    cXColumn VARCHAR(100),
    cYColumn VARCHAR(1000),
    iPalette INT,
    cCustomColor TEXT,
    nChartLayout BYTEA
);

CREATE UNIQUE INDEX ux_iptblEasyEnquiry_Code ON dbo._iptblEasyEnquiry (lower(cCode));

CREATE TABLE dbo._iptblEasyEnquiryParam (
    idEnquiryParam SERIAL PRIMARY KEY,
    iEnquiryID INT NOT NULL,
    cDescription VARCHAR(50),
    iSQLTypeID INT,
    dtValue TIMESTAMP(3),
    cValue VARCHAR(200)
);

CREATE INDEX ix_iptblEasyEnquiryParam_Enquiry ON dbo._iptblEasyEnquiryParam (iEnquiryID);

CREATE TABLE dbo._iptblEasyEnquiryColumn (
    idEnquiryColumn SERIAL PRIMARY KEY,
    iEnquiryID INT NOT NULL,
    cColumnName VARCHAR(50),
    bShow SMALLINT,
    iOrder INT
);

CREATE INDEX ix_iptblEasyEnquiryColumn_Enquiry ON dbo._iptblEasyEnquiryColumn (iEnquiryID, iOrder);

CREATE TABLE dbo._btblNotes (
    idNotes SERIAL PRIMARY KEY,
    cNOTETBLTableName VARCHAR(100),
    fNOTETBLTableID INT,
    cNoteText TEXT,
    dtCreated TIMESTAMP(3),
    iAgentID INT
);

CREATE INDEX ix_btblNotes_Row ON dbo._btblNotes (fNOTETBLTableID, cNOTETBLTableName);

CREATE TABLE dbo._rtblAgents (
    idAgents SERIAL PRIMARY KEY,
    cAgentName VARCHAR(50) NOT NULL UNIQUE,
    bAdministrator SMALLINT DEFAULT 0 NOT NULL,
    bAllPayrollCompanies SMALLINT DEFAULT 0 NOT NULL,
    bAllPayFrequencies SMALLINT DEFAULT 0 NOT NULL,
    bAllLocations SMALLINT DEFAULT 0 NOT NULL,
    bActive SMALLINT DEFAULT 1 NOT NULL
);

CREATE UNIQUE INDEX ux_rtblAgents_Name ON dbo._rtblAgents (lower(cAgentName));

CREATE TABLE dbo._rtblAgentFunctions (
    iAgentID INT NOT NULL,
    iFunctionID INT NOT NULL,
    PRIMARY KEY (iAgentID, iFunctionID)
);

CREATE TABLE dbo._rtblAgentPayerGroups (
    iAgentID INT NOT NULL,
    iPayerID INT NOT NULL,
    PRIMARY KEY (iAgentID, iPayerID)
);

CREATE TABLE dbo._rtblAgentPayFrequencies (
    iAgentID INT NOT NULL,
    iPayFrequencyID INT NOT NULL,
    PRIMARY KEY (iAgentID, iPayFrequencyID)
);

CREATE TABLE dbo._rtblAgentLocations (
    iAgentID INT NOT NULL,
    iLocationID INT NOT NULL,
    PRIMARY KEY (iAgentID, iLocationID)
);

CREATE TABLE dbo._iptblDepartments (
    idDepartment SERIAL PRIMARY KEY,
    cCode VARCHAR(10) NOT NULL UNIQUE,
    cDescription VARCHAR(50)
);

CREATE TABLE dbo._iptblEmployees (
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
    bActive SMALLINT DEFAULT 1 NOT NULL
);

CREATE INDEX ix_iptblEmployees_Payer ON dbo._iptblEmployees (iPayerID);

CREATE INDEX ix_iptblEmployees_Location ON dbo._iptblEmployees (iLocationID);

CREATE INDEX ix_iptblEmployees_Department ON dbo._iptblEmployees (iDepartmentID);

CREATE TABLE dbo._iptblPayslips (
    idPayslip SERIAL PRIMARY KEY,
    iEmployeeID INT NOT NULL,
    dtPayDate TIMESTAMP(3) NOT NULL,
    iPeriod INT NOT NULL,
    fHours DECIMAL(10,2),
    fOvertimeHours DECIMAL(10,2),
    fGross DECIMAL(12,2),
    fTax DECIMAL(12,2),
    fNet DECIMAL(12,2)
);

CREATE INDEX ix_iptblPayslips_Employee ON dbo._iptblPayslips (iEmployeeID, dtPayDate);

CREATE INDEX ix_iptblPayslips_PayDate ON dbo._iptblPayslips (dtPayDate);

CREATE TABLE dbo._rtblAgentCredentials (
    iAgentID INT PRIMARY KEY REFERENCES dbo._rtblAgents (idAgents) ON DELETE CASCADE,
    cPasswordHash VARCHAR(200) NOT NULL
);

CREATE VIEW dbo._ipvEasyEnquiry AS
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
LEFT JOIN dbo._iptblIQTypes t ON t.idIQType = e.iIQTypeID;

REVOKE ALL ON dbo._rtblAgentCredentials FROM PUBLIC;

CREATE FUNCTION dbo._efnAgentPCSecurity(agent INTEGER)
RETURNS TABLE (idPayer INTEGER)
LANGUAGE sql STABLE
AS $$
SELECT p.idPayer FROM dbo._iptblPayerGroups p
WHERE EXISTS (SELECT 1 FROM dbo._rtblAgents a
              WHERE a.idAgents = agent AND a.bAllPayrollCompanies <> 0)
   OR EXISTS (SELECT 1 FROM dbo._rtblAgentPayerGroups g
              WHERE g.iAgentID = agent AND g.iPayerID = p.idPayer)
ORDER BY p.idPayer
$$;

CREATE PROCEDURE dbo._ipspDeleteEasyEnquiry(EasyEnquiryID INTEGER)
LANGUAGE sql
AS $$
DELETE FROM dbo._iptblEasyEnquiryParam WHERE iEnquiryID = EasyEnquiryID;
DELETE FROM dbo._iptblEasyEnquiryColumn WHERE iEnquiryID = EasyEnquiryID;
DELETE FROM dbo._btblNotes WHERE fNOTETBLTableID = EasyEnquiryID
    AND cNOTETBLTableName IN ('_IPTBLEASYENQUIRY', '_iptbleasyenquiry');
DELETE FROM dbo._iptblEasyEnquiry WHERE idEnquiry = EasyEnquiryID;
$$;

REVOKE ALL ON PROCEDURE dbo._ipspDeleteEasyEnquiry(INTEGER) FROM PUBLIC;

INSERT INTO dbo._btblSchemaVersion (cDatabase, iVersion) VALUES ('payroll', 5);

GRANT USAGE ON SCHEMA dbo TO corvane_report;

GRANT SELECT ON ALL TABLES IN SCHEMA dbo TO corvane_report;

DO $$ BEGIN IF to_regclass('dbo._rtblagentcredentials') IS NOT NULL THEN REVOKE ALL ON dbo._rtblAgentCredentials FROM corvane_report; END IF; END $$;

COMMIT;
