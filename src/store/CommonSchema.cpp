#include "store/Schema.h"

// The common database: settings shared by every payroll company, the log, and reference data
// that does not belong to one company.

namespace {

const char *const kVersion1 = R"sql(
CREATE TABLE _btblSystemValues (
    cName VARCHAR(100) PRIMARY KEY,
    cValue TEXT,
    cDescription TEXT
);
INSERT OR IGNORE INTO _btblSystemValues (cName, cValue, cDescription) VALUES
    ('IQ Report Timeout (Minutes)', '0',
     'Minutes an IQ may run before it is stopped; 0 lets it run until the server answers.'),
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
)sql";

const char *const kVersion2 = R"sql(
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
    fAnnualTo DECIMAL(12,2) NULL,
    fRate DECIMAL(6,4) NOT NULL
);
CREATE INDEX ix_btblTaxScales_Year ON _btblTaxScales (iTaxYear, fAnnualFrom);
)sql";

const SchemaStep kSteps[] = {
    { 1, kVersion1 },
    { 2, kVersion2 },
};

} // namespace

std::span<const SchemaStep> CommonSchemaSteps()
{
    return kSteps;
}
