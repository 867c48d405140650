-- The payroll database on sqlserver: made by "corvane-iq schema --engine sqlserver --database payroll"
-- from the table definitions of src/store (scripts/update-schema.sh); do not edit.
-- Written to the engine's documentation; not yet run against a server.
-- For an empty database: sqlcmd -b -d DATABASE -i this-script (-b: an error ends the
-- script, and the open transaction is rolled back).

SET ANSI_NULLS ON;
SET QUOTED_IDENTIFIER ON;
SET XACT_ABORT ON;
BEGIN TRANSACTION;
GO

IF OBJECT_ID(N'dbo._btblSchemaVersion', N'U') IS NULL
    CREATE TABLE dbo._btblSchemaVersion (
        cDatabase NVARCHAR(20) PRIMARY KEY,
        iVersion INT NOT NULL
    );
GO

IF EXISTS (SELECT 1 FROM dbo._btblSchemaVersion WHERE cDatabase = N'payroll')
    THROW 50000, N'The server database already holds a payroll schema; it was left unchanged.', 1;
GO

IF DATABASE_PRINCIPAL_ID(N'corvane_report') IS NULL
    CREATE ROLE corvane_report;
GO

CREATE TABLE dbo._iptblIQTypes (
    idIQType INT IDENTITY(1,1) PRIMARY KEY,
    cIQType NVARCHAR(50) UNIQUE
);
GO

CREATE TABLE dbo._iptblPayerGroups (
    idPayer INT IDENTITY(1,1) PRIMARY KEY,
    cCode NVARCHAR(10),
    cPayerName NVARCHAR(100)
);
GO

CREATE TABLE dbo._iptblPayFrequencies (
    idPayFrequency INT IDENTITY(1,1) PRIMARY KEY,
    cCode NVARCHAR(10),
    cDescription NVARCHAR(50)
);
GO

CREATE TABLE dbo._iptblLocations (
    idLocation INT IDENTITY(1,1) PRIMARY KEY,
    cCode NVARCHAR(10),
    cDescription NVARCHAR(50)
);
GO

CREATE TABLE dbo._iptblEasyEnquiry (
    idEnquiry INT IDENTITY(1,1) PRIMARY KEY,
    cCode NVARCHAR(10) COLLATE Latin1_General_100_CI_AS NOT NULL UNIQUE CHECK (LEN(cCode) <= 10),
    cDescription NVARCHAR(100),
    cSQLStatement NVARCHAR(MAX),
    bCommonDB BIT DEFAULT 0 NOT NULL,
    iPayrollCompanyID INT,
    iPayFrequencyID INT,
    iIQTypeID INT,
    cXColumn NVARCHAR(100),
    cYColumn NVARCHAR(1000),
    iPalette INT,
    cCustomColor NVARCHAR(MAX),
    nChartLayout VARBINARY(MAX)
);
GO

CREATE UNIQUE INDEX ux_iptblEasyEnquiry_Code ON dbo._iptblEasyEnquiry (cCode);
GO

CREATE TABLE dbo._iptblEasyEnquiryParam (
    idEnquiryParam INT IDENTITY(1,1) PRIMARY KEY,
    iEnquiryID INT NOT NULL,
    cDescription NVARCHAR(50),
    iSQLTypeID INT,
    dtValue DATETIME2(3),
    cValue NVARCHAR(200)
);
GO

CREATE INDEX ix_iptblEasyEnquiryParam_Enquiry ON dbo._iptblEasyEnquiryParam (iEnquiryID);
GO

CREATE TABLE dbo._iptblEasyEnquiryColumn (
    idEnquiryColumn INT IDENTITY(1,1) PRIMARY KEY,
    iEnquiryID INT NOT NULL,
    cColumnName NVARCHAR(50),
    bShow BIT,
    iOrder INT
);
GO

CREATE INDEX ix_iptblEasyEnquiryColumn_Enquiry ON dbo._iptblEasyEnquiryColumn (iEnquiryID, iOrder);
GO

CREATE TABLE dbo._btblNotes (
    idNotes INT IDENTITY(1,1) PRIMARY KEY,
    cNOTETBLTableName NVARCHAR(100),
    fNOTETBLTableID INT,
    cNoteText NVARCHAR(MAX),
    dtCreated DATETIME2(3),
    iAgentID INT
);
GO

CREATE INDEX ix_btblNotes_Row ON dbo._btblNotes (fNOTETBLTableID, cNOTETBLTableName);
GO

CREATE TABLE dbo._rtblAgents (
    idAgents INT IDENTITY(1,1) PRIMARY KEY,
    cAgentName NVARCHAR(50) COLLATE Latin1_General_100_CI_AS NOT NULL UNIQUE,
    bAdministrator BIT DEFAULT 0 NOT NULL,
    bAllPayrollCompanies BIT DEFAULT 0 NOT NULL,
    bAllPayFrequencies BIT DEFAULT 0 NOT NULL,
    bAllLocations BIT DEFAULT 0 NOT NULL,
    bActive BIT DEFAULT 1 NOT NULL
);
GO

CREATE UNIQUE INDEX ux_rtblAgents_Name ON dbo._rtblAgents (cAgentName);
GO

CREATE TABLE dbo._rtblAgentFunctions (
    iAgentID INT NOT NULL,
    iFunctionID INT NOT NULL,
    PRIMARY KEY (iAgentID, iFunctionID)
);
GO

CREATE TABLE dbo._rtblAgentPayerGroups (
    iAgentID INT NOT NULL,
    iPayerID INT NOT NULL,
    PRIMARY KEY (iAgentID, iPayerID)
);
GO

CREATE TABLE dbo._rtblAgentPayFrequencies (
    iAgentID INT NOT NULL,
    iPayFrequencyID INT NOT NULL,
    PRIMARY KEY (iAgentID, iPayFrequencyID)
);
GO

CREATE TABLE dbo._rtblAgentLocations (
    iAgentID INT NOT NULL,
    iLocationID INT NOT NULL,
    PRIMARY KEY (iAgentID, iLocationID)
);
GO

CREATE TABLE dbo._iptblDepartments (
    idDepartment INT IDENTITY(1,1) PRIMARY KEY,
    cCode NVARCHAR(10) NOT NULL UNIQUE,
    cDescription NVARCHAR(50)
);
GO

CREATE TABLE dbo._iptblEmployees (
    idEmployee INT IDENTITY(1,1) PRIMARY KEY,
    cEmployeeCode NVARCHAR(10) NOT NULL UNIQUE,
    cFirstName NVARCHAR(50),
    cSurname NVARCHAR(50),
    dtBirth DATETIME2(3),
    dtEngaged DATETIME2(3),
    iPayerID INT NOT NULL,
    iPayFrequencyID INT NOT NULL,
    iLocationID INT NOT NULL,
    iDepartmentID INT NOT NULL,
    fHourlyRate DECIMAL(10,2),
    bActive BIT DEFAULT 1 NOT NULL
);
GO

CREATE INDEX ix_iptblEmployees_Payer ON dbo._iptblEmployees (iPayerID);
GO

CREATE INDEX ix_iptblEmployees_Location ON dbo._iptblEmployees (iLocationID);
GO

CREATE INDEX ix_iptblEmployees_Department ON dbo._iptblEmployees (iDepartmentID);
GO

CREATE TABLE dbo._iptblPayslips (
    idPayslip INT IDENTITY(1,1) PRIMARY KEY,
    iEmployeeID INT NOT NULL,
    dtPayDate DATETIME2(3) NOT NULL,
    iPeriod INT NOT NULL,
    fHours DECIMAL(10,2),
    fOvertimeHours DECIMAL(10,2),
    fGross DECIMAL(12,2),
    fTax DECIMAL(12,2),
    fNet DECIMAL(12,2)
);
GO

CREATE INDEX ix_iptblPayslips_Employee ON dbo._iptblPayslips (iEmployeeID, dtPayDate);
GO

CREATE INDEX ix_iptblPayslips_PayDate ON dbo._iptblPayslips (dtPayDate);
GO

CREATE TABLE dbo._rtblAgentCredentials (
    iAgentID INT PRIMARY KEY REFERENCES dbo._rtblAgents (idAgents) ON DELETE CASCADE,
    cPasswordHash NVARCHAR(200) NOT NULL
);
GO

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
GO

CREATE FUNCTION dbo._efnAgentPCSecurity (@AgentID INT)
RETURNS TABLE
AS
RETURN
    SELECT p.idPayer
    FROM dbo._iptblPayerGroups p
    WHERE EXISTS (SELECT 1 FROM dbo._rtblAgents a
                  WHERE a.idAgents = @AgentID AND a.bAllPayrollCompanies <> 0)
       OR EXISTS (SELECT 1 FROM dbo._rtblAgentPayerGroups g
                  WHERE g.iAgentID = @AgentID AND g.iPayerID = p.idPayer);
GO

CREATE PROCEDURE dbo._ipspDeleteEasyEnquiry
    @EasyEnquiryID INT = NULL
AS
BEGIN
    SET NOCOUNT ON;
    SET XACT_ABORT ON;
    BEGIN TRANSACTION;
    DELETE FROM dbo._iptblEasyEnquiryParam WHERE iEnquiryID = @EasyEnquiryID;
    DELETE FROM dbo._iptblEasyEnquiryColumn WHERE iEnquiryID = @EasyEnquiryID;
    DELETE FROM dbo._btblNotes WHERE fNOTETBLTableID = @EasyEnquiryID
        AND cNOTETBLTableName IN (N'_IPTBLEASYENQUIRY', N'_iptbleasyenquiry');
    DELETE FROM dbo._iptblEasyEnquiry WHERE idEnquiry = @EasyEnquiryID;
    COMMIT TRANSACTION;
    RETURN 0;
END;
GO

GRANT SELECT ON dbo._iptblIQTypes TO corvane_report;
GRANT SELECT ON dbo._iptblPayerGroups TO corvane_report;
GRANT SELECT ON dbo._iptblPayFrequencies TO corvane_report;
GRANT SELECT ON dbo._iptblLocations TO corvane_report;
GRANT SELECT ON dbo._iptblEasyEnquiry TO corvane_report;
GRANT SELECT ON dbo._iptblEasyEnquiryParam TO corvane_report;
GRANT SELECT ON dbo._iptblEasyEnquiryColumn TO corvane_report;
GRANT SELECT ON dbo._btblNotes TO corvane_report;
GRANT SELECT ON dbo._rtblAgents TO corvane_report;
GRANT SELECT ON dbo._rtblAgentFunctions TO corvane_report;
GRANT SELECT ON dbo._rtblAgentPayerGroups TO corvane_report;
GRANT SELECT ON dbo._rtblAgentPayFrequencies TO corvane_report;
GRANT SELECT ON dbo._rtblAgentLocations TO corvane_report;
GRANT SELECT ON dbo._iptblDepartments TO corvane_report;
GRANT SELECT ON dbo._iptblEmployees TO corvane_report;
GRANT SELECT ON dbo._iptblPayslips TO corvane_report;
GRANT SELECT ON dbo._ipvEasyEnquiry TO corvane_report;
GRANT SELECT ON dbo._efnAgentPCSecurity TO corvane_report;
DENY SELECT, INSERT, UPDATE, DELETE, REFERENCES ON dbo._rtblAgentCredentials TO corvane_report;
DENY EXECUTE ON dbo._ipspDeleteEasyEnquiry TO corvane_report;
INSERT INTO dbo._btblSchemaVersion (cDatabase, iVersion) VALUES (N'payroll', 5);
GO

COMMIT TRANSACTION;
GO

