-- The common database on sqlserver: made by "corvane-iq schema --engine sqlserver --database common"
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

IF EXISTS (SELECT 1 FROM dbo._btblSchemaVersion WHERE cDatabase = N'common')
    THROW 50000, N'The server database already holds a common schema; it was left unchanged.', 1;
GO

IF DATABASE_PRINCIPAL_ID(N'corvane_report') IS NULL
    CREATE ROLE corvane_report;
GO

CREATE TABLE dbo._btblSystemValues (
    cName NVARCHAR(100) PRIMARY KEY,
    cValue NVARCHAR(MAX),
    cDescription NVARCHAR(MAX)
);
GO

INSERT INTO dbo._btblSystemValues (cName, cValue, cDescription) VALUES
    (N'IQ Report Timeout (Minutes)', N'0', N'Minutes an IQ may run before it is stopped; 0 lets it run until the server answers.'),
    (N'IQ Report Retry Count', N'1', N'How many times an IQ is attempted before it fails.');
GO

CREATE TABLE dbo._btblLog (
    idLog INT IDENTITY(1,1) PRIMARY KEY,
    dtLogged DATETIME2(3),
    iAgentID INT,
    cAgentName NVARCHAR(50),
    iLogType INT,
    iSeverity INT,
    cText NVARCHAR(MAX),
    cExtra1 NVARCHAR(MAX),
    cExtra2 NVARCHAR(MAX),
    iDestination INT
);
GO

CREATE INDEX ix_btblLog_Logged ON dbo._btblLog (dtLogged);
GO

CREATE TABLE dbo._btblPublicHolidays (
    idPublicHoliday INT IDENTITY(1,1) PRIMARY KEY,
    dtHoliday DATETIME2(3) NOT NULL,
    cDescription NVARCHAR(100)
);
GO

CREATE INDEX ix_btblPublicHolidays_Date ON dbo._btblPublicHolidays (dtHoliday);
GO

CREATE TABLE dbo._btblTaxScales (
    idTaxScale INT IDENTITY(1,1) PRIMARY KEY,
    iTaxYear INT NOT NULL,
    fAnnualFrom DECIMAL(12,2) NOT NULL,
    fAnnualTo DECIMAL(12,2),
    fRate DECIMAL(6,4) NOT NULL
);
GO

CREATE INDEX ix_btblTaxScales_Year ON dbo._btblTaxScales (iTaxYear, fAnnualFrom);
GO

GRANT SELECT ON dbo._btblSystemValues TO corvane_report;
GRANT SELECT ON dbo._btblLog TO corvane_report;
GRANT SELECT ON dbo._btblPublicHolidays TO corvane_report;
GRANT SELECT ON dbo._btblTaxScales TO corvane_report;
INSERT INTO dbo._btblSchemaVersion (cDatabase, iVersion) VALUES (N'common', 2);
GO

COMMIT TRANSACTION;
GO

