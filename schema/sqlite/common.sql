-- The common database on sqlite: made by "corvane-iq schema --engine sqlite --database common"
-- from the table definitions of src/store (scripts/update-schema.sh); do not edit.
-- For a new, empty file: sqlite3 FILE < this-script

BEGIN;

CREATE TABLE _btblSystemValues (
    cName VARCHAR(100) PRIMARY KEY,
    cValue TEXT,
    cDescription TEXT
);

INSERT INTO _btblSystemValues (cName, cValue, cDescription) VALUES
    ('IQ Report Timeout (Minutes)', '0', 'Minutes an IQ may run before it is stopped; 0 lets it run until the server answers.'),
    ('IQ Report Retry Count', '1', 'How many times an IQ is attempted before it fails.');

CREATE TABLE _btblLog (
    idLog INTEGER PRIMARY KEY,
    dtLogged DATETIME,
    iAgentID INT,
    cAgentName VARCHAR(50),
    iLogType INT,
    iSeverity INT,
    cText TEXT,
    cExtra1 TEXT,
    cExtra2 TEXT,
    iDestination INT
);

CREATE INDEX ix_btblLog_Logged ON _btblLog (dtLogged);

CREATE TABLE _btblPublicHolidays (
    idPublicHoliday INTEGER PRIMARY KEY,
    dtHoliday DATETIME NOT NULL,
    cDescription VARCHAR(100)
);

CREATE INDEX ix_btblPublicHolidays_Date ON _btblPublicHolidays (dtHoliday);

CREATE TABLE _btblTaxScales (
    idTaxScale INTEGER PRIMARY KEY,
    iTaxYear INT NOT NULL,
    fAnnualFrom DECIMAL(12,2) NOT NULL,
    fAnnualTo DECIMAL(12,2),
    fRate DECIMAL(6,4) NOT NULL
);

CREATE INDEX ix_btblTaxScales_Year ON _btblTaxScales (iTaxYear, fAnnualFrom);

PRAGMA application_id = 1129464653;
PRAGMA user_version = 2;

COMMIT;
