#include "store/DemoParts.h"

#include "host/db/engine/Connection.h"
#include "store/SqlHelpers.h"

#include <string>
#include <vector>

// The demo IQs. Their statements follow the store's rules: date parameters arrive as '20240131',
// so stored ISO dates are compared without their dashes; text parameters arrive quoted and the
// others bare; security tokens stand alone inside IN ( ... ) lists.
//
// Every statement runs unchanged on SQLite and on PostgreSQL, with the same rows: dates are read
// through CAST(... AS TEXT), which gives 'YYYY-MM-DD ...' on both, and every result column is
// named in double quotes, which both engines take as a name, so that PostgreSQL does not fold
// it to lower case (CSV headers, captions, stored column settings and chart columns keep it).
// A text the chart shows as labels is cast to VARCHAR: PostgreSQL's TEXT arrives as a memo.

namespace {

enum ParamType { Boolean = 0, Text = 1, Date = 2, Decimal = 3, Integer = 4 };

struct DemoParam
{
    const char *name;
    int type;
    const char *value; // dates as "YYYY-MM-DD"
};

struct DemoColumn
{
    const char *name;
    bool show;
};

struct DemoEnquiry
{
    const char *code;
    const char *description;
    const char *sql;
    bool common;
    int iqType; // 1 Employees, 2 Payslips, 3 Statistics, 4 Reference
    int payer; // 0: none
    int frequency;
    const char *xColumn; // chart settings, nullptr when none
    const char *yColumn;
    std::vector<DemoParam> params;
    std::vector<DemoColumn> columns; // in display order
    const char *note;
};

const std::vector<DemoEnquiry> &DemoEnquiries()
{
    static const std::vector<DemoEnquiry> enquiries = {
        { "IQB-EMP002", "Employee List",
            R"sql(SELECT e.cEmployeeCode AS "cEmployeeCode", e.cFirstName AS "cFirstName",
       e.cSurname AS "cSurname", d.cDescription AS "cDepartment", l.cDescription AS "cLocation",
       pg.cPayerName AS "cCompany", pf.cDescription AS "cPayFrequency",
       e.dtEngaged AS "dtEngaged", e.fHourlyRate AS "fHourlyRate"
FROM _iptblEmployees e
JOIN _iptblDepartments d ON d.idDepartment = e.iDepartmentID
JOIN _iptblLocations l ON l.idLocation = e.iLocationID
JOIN _iptblPayerGroups pg ON pg.idPayer = e.iPayerID
JOIN _iptblPayFrequencies pf ON pf.idPayFrequency = e.iPayFrequencyID
WHERE e.bActive = 1
  AND e.iPayerID IN (CHECKAGENTPAYROLLCOMPANYSECURITY)
  AND e.iPayFrequencyID IN (CHECKAGENTPAYFREQUENCYSECURITY)
  AND e.iLocationID IN (CHECKAGENTLOCATIONSECURITY)
ORDER BY e.cSurname, e.cFirstName)sql",
            false, 1, 0, 0, nullptr, nullptr, {},
            { { "cSurname", true }, { "cFirstName", true }, { "cEmployeeCode", true },
                { "cDepartment", true }, { "cLocation", true }, { "cCompany", true },
                { "cPayFrequency", false }, { "dtEngaged", true }, { "fHourlyRate", false } },
            nullptr },

        { "IQB-EMP004", "Employees at a Location",
            R"sql(SELECT l.cCode AS "cLocationCode", l.cDescription AS "cLocation",
       e.cEmployeeCode AS "cEmployeeCode", e.cSurname AS "cSurname", e.cFirstName AS "cFirstName",
       e.dtBirth AS "dtBirth", e.dtEngaged AS "dtEngaged", d.cDescription AS "cDepartment"
FROM dbo._iptblEmployees e
JOIN dbo._iptblLocations l ON l.idLocation = e.iLocationID
JOIN [dbo].[_iptblDepartments] d ON d.idDepartment = e.iDepartmentID
WHERE l.cCode = @[Location Code]
  AND e.bActive = 1
  AND e.iPayerID IN (CHECKAGENTPAYROLLCOMPANYSECURITY)
  AND e.iLocationID IN (CHECKAGENTLOCATIONSECURITY)
ORDER BY e.cSurname, e.cFirstName)sql",
            false, 1, 0, 0, nullptr, nullptr, { { "Location Code", Text, "HQ" } },
            { { "cLocationCode", true }, { "cLocation", true }, { "cEmployeeCode", true },
                { "cSurname", true }, { "cFirstName", true }, { "dtBirth", true },
                { "dtEngaged", true }, { "cDepartment", true } },
            nullptr },

        { "PAY-RANGE", "Payslips between two pay dates",
            R"sql(SELECT p.dtPayDate AS "dtPayDate", e.cEmployeeCode AS "cEmployeeCode",
       e.cSurname AS "cSurname", e.cFirstName AS "cFirstName",
       pf.cDescription AS "cPayFrequency", p.iPeriod AS "iPeriod", p.fHours AS "fHours",
       p.fOvertimeHours AS "fOvertimeHours", p.fGross AS "fGross", p.fTax AS "fTax",
       p.fNet AS "fNet"
FROM _iptblPayslips p
JOIN _iptblEmployees e ON e.idEmployee = p.iEmployeeID
JOIN _iptblPayFrequencies pf ON pf.idPayFrequency = e.iPayFrequencyID
WHERE replace(substr(CAST(p.dtPayDate AS TEXT), 1, 10), '-', '') BETWEEN @DateFrom AND @DateTo
  AND e.iPayerID IN (CHECKAGENTPAYROLLCOMPANYSECURITY)
  AND e.iPayFrequencyID IN (CHECKAGENTPAYFREQUENCYSECURITY)
ORDER BY p.dtPayDate, e.cEmployeeCode)sql",
            false, 2, 0, 0, nullptr, nullptr,
            { { "DateFrom", Date, "2024-12-01" }, { "DateTo", Date, "2024-12-31" } },
            { { "dtPayDate", true }, { "cEmployeeCode", true }, { "cSurname", true },
                { "cFirstName", true }, { "cPayFrequency", false }, { "iPeriod", true },
                { "fGross", true }, { "fTax", true }, { "fNet", true }, { "fHours", false },
                { "fOvertimeHours", false } },
            "Run after each pay run: the totals must match the pay run report." },

        { "PAY-OVERTM", "Overtime above a number of hours",
            R"sql(SELECT e.cEmployeeCode AS "cEmployeeCode", e.cSurname AS "cSurname",
       e.cFirstName AS "cFirstName", l.cDescription AS "cLocation", count(*) AS "iPayslips",
       sum(p.fOvertimeHours) AS "fOvertimeHours", max(p.fOvertimeHours) AS "fMostInOnePayslip"
FROM _iptblPayslips p
JOIN _iptblEmployees e ON e.idEmployee = p.iEmployeeID
JOIN _iptblLocations l ON l.idLocation = e.iLocationID
WHERE e.iLocationID IN (CHECKAGENTLOCATIONSECURITY)
GROUP BY e.idEmployee, e.cEmployeeCode, e.cSurname, e.cFirstName, l.cDescription
HAVING sum(p.fOvertimeHours) >= @MinOvertime
ORDER BY sum(p.fOvertimeHours) DESC)sql",
            false, 2, 0, 0, nullptr, nullptr, { { "MinOvertime", Decimal, "40.5" } },
            { { "cEmployeeCode", true }, { "cSurname", true }, { "cFirstName", true },
                { "cLocation", true }, { "iPayslips", true }, { "fOvertimeHours", true },
                { "fMostInOnePayslip", true } },
            nullptr },

        { "EMP-AGE", "Employees of at least an age",
            R"sql(SELECT e.cEmployeeCode AS "cEmployeeCode", e.cSurname AS "cSurname",
       e.cFirstName AS "cFirstName", e.dtBirth AS "dtBirth",
       (CAST(replace(substr(CAST(CURRENT_DATE AS TEXT), 1, 10), '-', '') AS INTEGER)
        - CAST(replace(substr(CAST(e.dtBirth AS TEXT), 1, 10), '-', '') AS INTEGER)) / 10000
           AS "iAge",
       pg.cPayerName AS "cCompany"
FROM _iptblEmployees e
JOIN _iptblPayerGroups pg ON pg.idPayer = e.iPayerID
WHERE e.bActive = 1
  AND (CAST(replace(substr(CAST(CURRENT_DATE AS TEXT), 1, 10), '-', '') AS INTEGER)
       - CAST(replace(substr(CAST(e.dtBirth AS TEXT), 1, 10), '-', '') AS INTEGER)) / 10000
      >= @[Minimum Age]
  AND e.iPayerID IN (CHECKAGENTPAYROLLCOMPANYSECURITY)
ORDER BY e.dtBirth)sql",
            false, 1, 1, 0, nullptr, nullptr, { { "Minimum Age", Integer, "60" } },
            { { "cEmployeeCode", true }, { "cSurname", true }, { "cFirstName", true },
                { "dtBirth", true }, { "iAge", true }, { "cCompany", true } },
            nullptr },

        { "EMP-ACTIVE", "Employees by active flag",
            R"sql(SELECT e.cEmployeeCode AS "cEmployeeCode", e.cSurname AS "cSurname",
       e.cFirstName AS "cFirstName", e.dtEngaged AS "dtEngaged", e.bActive AS "bActive",
       pg.cPayerName AS "cCompany", l.cDescription AS "cLocation"
FROM _iptblEmployees e
JOIN _iptblPayerGroups pg ON pg.idPayer = e.iPayerID
JOIN _iptblLocations l ON l.idLocation = e.iLocationID
WHERE e.bActive = @Active
  AND e.iPayerID IN (CHECKAGENTPAYROLLCOMPANYSECURITY)
  AND e.iLocationID IN (CHECKAGENTLOCATIONSECURITY)
ORDER BY e.cSurname, e.cFirstName)sql",
            false, 1, 0, 0, nullptr, nullptr, { { "Active", Boolean, "0" } },
            { { "cEmployeeCode", true }, { "cSurname", true }, { "cFirstName", true },
                { "dtEngaged", true }, { "bActive", true }, { "cCompany", true },
                { "cLocation", true } },
            nullptr },

        { "PAY-MONTH", "Gross and net pay by month",
            R"sql(SELECT CAST(substr(CAST(p.dtPayDate AS TEXT), 1, 7) AS VARCHAR(7)) AS "cMonth",
       count(*) AS "iPayslips", round(sum(p.fGross), 2) AS "fGross",
       round(sum(p.fTax), 2) AS "fTax", round(sum(p.fNet), 2) AS "fNet"
FROM _iptblPayslips p
JOIN _iptblEmployees e ON e.idEmployee = p.iEmployeeID
WHERE CAST(substr(CAST(p.dtPayDate AS TEXT), 1, 4) AS INTEGER) = @[Pay Year]
  AND e.iPayerID IN (CHECKAGENTPAYROLLCOMPANYSECURITY)
GROUP BY substr(CAST(p.dtPayDate AS TEXT), 1, 7)
ORDER BY "cMonth")sql",
            false, 3, 0, 3, "cMonth", "fGross,fNet", { { "Pay Year", Integer, "2024" } },
            { { "cMonth", true }, { "iPayslips", true }, { "fGross", true }, { "fTax", true },
                { "fNet", true } },
            nullptr },

        { "DEPT-COST", "Pay cost by department",
            R"sql(SELECT d.cDescription AS "cDepartment",
       count(DISTINCT e.idEmployee) AS "iEmployees",
       round(sum(p.fHours), 1) AS "fHours", round(sum(p.fOvertimeHours), 1) AS "fOvertimeHours",
       round(sum(p.fGross), 2) AS "fGross"
FROM _iptblPayslips p
JOIN _iptblEmployees e ON e.idEmployee = p.iEmployeeID
JOIN _iptblDepartments d ON d.idDepartment = e.iDepartmentID
WHERE replace(substr(CAST(p.dtPayDate AS TEXT), 1, 10), '-', '')
      BETWEEN @[Pay Date From] AND @[Pay Date To]
  AND e.iPayerID IN (CHECKAGENTPAYROLLCOMPANYSECURITY)
  AND e.iPayFrequencyID IN (CHECKAGENTPAYFREQUENCYSECURITY)
  AND e.iLocationID IN (CHECKAGENTLOCATIONSECURITY)
GROUP BY d.cDescription
ORDER BY "fGross" DESC)sql",
            false, 3, 2, 0, "cDepartment", "fGross",
            { { "Pay Date From", Date, "2024-10-01" }, { "Pay Date To", Date, "2024-12-31" } },
            { { "cDepartment", true }, { "fGross", true }, { "iEmployees", true },
                { "fOvertimeHours", true }, { "fHours", false } },
            nullptr },

        { "HOLIDAYS", "Public holidays and payslips paid on them",
            R"sql(SELECT h.dtHoliday AS "dtHoliday", h.cDescription AS "cDescription",
       (SELECT count(*) FROM _iptblPayslips p
        JOIN _iptblEmployees e ON e.idEmployee = p.iEmployeeID
        WHERE p.dtPayDate = h.dtHoliday
          AND e.iPayerID IN (CHECKAGENTPAYROLLCOMPANYSECURITY)) AS "iPayslipsPaid"
FROM _btblPublicHolidays h
WHERE replace(substr(CAST(h.dtHoliday AS TEXT), 1, 10), '-', '') BETWEEN @DateFrom AND @DateTo
ORDER BY h.dtHoliday)sql",
            true, 4, 0, 0, nullptr, nullptr,
            { { "DateFrom", Date, "2024-01-01" }, { "DateTo", Date, "2024-12-31" } },
            { { "dtHoliday", true }, { "cDescription", true }, { "iPayslipsPaid", true } },
            nullptr },
    };
    return enquiries;
}

Value TextOrNull(const char *text)
{
    return text ? Value { std::string(text) } : Value {};
}

Value IdOrNull(int id)
{
    return id > 0 ? Value { std::int64_t { id } } : Value {};
}

bool WriteParams(
    Connection &payroll, std::int64_t enquiryId, const DemoEnquiry &enquiry, DbError &error)
{
    for (const DemoParam &param : enquiry.params) {
        const bool isDate = param.type == Date;
        const Value date = isDate ? Value { std::string(param.value) + " 00:00:00" } : Value {};
        const Value text = isDate ? Value {} : Value { std::string(param.value) };
        if (!payroll.run(
                "INSERT INTO _iptblEasyEnquiryParam (iEnquiryID, cDescription, iSQLTypeID, "
                "dtValue, cValue) VALUES (?, ?, ?, ?, ?)",
                { enquiryId, std::string(param.name), std::int64_t { param.type }, date, text },
                error))
            return false;
    }
    return true;
}

bool WriteColumns(
    Connection &payroll, std::int64_t enquiryId, const DemoEnquiry &enquiry, DbError &error)
{
    std::int64_t order = 0;
    for (const DemoColumn &column : enquiry.columns) {
        if (!payroll.run(
                "INSERT INTO _iptblEasyEnquiryColumn (iEnquiryID, cColumnName, bShow, iOrder) "
                "VALUES (?, ?, ?, ?)",
                { enquiryId, std::string(column.name), std::int64_t { column.show ? 1 : 0 },
                    ++order },
                error))
            return false;
    }
    return true;
}

} // namespace

bool WriteDemoEnquiries(Connection &payroll, DbError &error)
{
    for (const DemoEnquiry &enquiry : DemoEnquiries()) {
        const bool chart = enquiry.xColumn != nullptr;
        if (!payroll.run(
                "INSERT INTO _iptblEasyEnquiry (cCode, cDescription, cSQLStatement, bCommonDB, "
                "iPayrollCompanyID, iPayFrequencyID, iIQTypeID, cXColumn, cYColumn, iPalette, "
                "cCustomColor) VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?)",
                { std::string(enquiry.code), std::string(enquiry.description),
                    std::string(enquiry.sql), std::int64_t { enquiry.common ? 1 : 0 },
                    IdOrNull(enquiry.payer), IdOrNull(enquiry.frequency),
                    std::int64_t { enquiry.iqType }, TextOrNull(enquiry.xColumn),
                    TextOrNull(enquiry.yColumn), chart ? Value { std::int64_t { 0 } } : Value {},
                    std::string() },
                error))
            return false;
        const std::int64_t enquiryId = payroll.lastInsertId();
        if (!WriteParams(payroll, enquiryId, enquiry, error)
            || !WriteColumns(payroll, enquiryId, enquiry, error))
            return false;
        if (enquiry.note
            && !payroll.run(
                "INSERT INTO _btblNotes (cNOTETBLTableName, fNOTETBLTableID, cNoteText, dtCreated, "
                "iAgentID) VALUES ('_IPTBLEASYENQUIRY', ?, ?, '2024-01-15 09:30:00', 1)",
                { enquiryId, std::string(enquiry.note) }, error))
            return false;
    }
    return true;
}
