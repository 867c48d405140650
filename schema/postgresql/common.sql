-- The common database on postgresql: made by "corvane-iq schema --engine postgresql --database common"
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

CREATE TABLE dbo._btblSystemValues (
    cName VARCHAR(100) PRIMARY KEY,
    cValue TEXT,
    cDescription TEXT
);

INSERT INTO dbo._btblSystemValues (cName, cValue, cDescription) VALUES
    ('IQ Report Timeout (Minutes)', '0', 'Minutes an IQ may run before it is stopped; 0 lets it run until the server answers.'),
    ('IQ Report Retry Count', '1', 'How many times an IQ is attempted before it fails.');

CREATE TABLE dbo._btblLog (
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
);

CREATE INDEX ix_btblLog_Logged ON dbo._btblLog (dtLogged);

CREATE TABLE dbo._btblPublicHolidays (
    idPublicHoliday SERIAL PRIMARY KEY,
    dtHoliday TIMESTAMP(3) NOT NULL,
    cDescription VARCHAR(100)
);

CREATE INDEX ix_btblPublicHolidays_Date ON dbo._btblPublicHolidays (dtHoliday);

CREATE TABLE dbo._btblTaxScales (
    idTaxScale SERIAL PRIMARY KEY,
    iTaxYear INT NOT NULL,
    fAnnualFrom DECIMAL(12,2) NOT NULL,
    fAnnualTo DECIMAL(12,2),
    fRate DECIMAL(6,4) NOT NULL
);

CREATE INDEX ix_btblTaxScales_Year ON dbo._btblTaxScales (iTaxYear, fAnnualFrom);

INSERT INTO dbo._btblSchemaVersion (cDatabase, iVersion) VALUES ('common', 2);

GRANT USAGE ON SCHEMA dbo TO corvane_report;

GRANT SELECT ON ALL TABLES IN SCHEMA dbo TO corvane_report;

DO $$ BEGIN IF to_regclass('dbo._rtblagentcredentials') IS NOT NULL THEN REVOKE ALL ON dbo._rtblAgentCredentials FROM corvane_report; END IF; END $$;

COMMIT;
