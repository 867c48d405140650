#include "store/DemoParts.h"

#include "host/db/engine/Connection.h"
#include "store/SqlHelpers.h"

#include <string>
#include <vector>

namespace {

struct Lookup
{
    int id;
    const char *code;
    const char *text;
};

const Lookup kPayers[] = {
    { 1, "ASH", "Ashbury Holdings Ltd" },
    { 2, "HBS", "Harbour Services Ltd" },
    { 3, "ORC", "Orchard Retail Ltd" },
};
const Lookup kFrequencies[] = {
    { 1, "W", "Weekly" },
    { 2, "F", "Fortnightly" },
    { 3, "M", "Monthly" },
};
const Lookup kLocations[] = {
    { 1, "HQ", "Head Office" },
    { 2, "NDEP", "North Depot" },
    { 3, "CITY", "City Store" },
    { 4, "HARB", "Harbour Yard" },
    { 5, "REM", "Remote" },
};
const Lookup kDepartments[] = {
    { 1, "ADM", "Administration" },
    { 2, "FIN", "Finance" },
    { 3, "SAL", "Sales" },
    { 4, "WHS", "Warehouse" },
    { 5, "TRN", "Transport" },
    { 6, "IT", "Information Technology" },
    { 7, "HR", "Human Resources" },
};
const Lookup kIQTypes[] = {
    { 1, "", "Employees" },
    { 2, "", "Payslips" },
    { 3, "", "Statistics" },
    { 4, "", "Reference" },
};

struct DemoAgent
{
    const char *name;
    bool administrator;
    bool allPayers;
    bool allFrequencies;
    bool allLocations;
    std::vector<int> functions;
    std::vector<int> payers;
    std::vector<int> frequencies;
    std::vector<int> locations;
};

// admin sees everything; clerk is limited in all three respects but may export (2602);
// viewer sees all rows but may only open the list (2601); guest may sign in and nothing more.
const std::vector<DemoAgent> &DemoAgents()
{
    static const std::vector<DemoAgent> agents = {
        { "admin", true, true, true, true, { 2601, 2602 }, {}, {}, {} },
        { "clerk", false, false, false, false, { 2601, 2602 }, { 1, 2 }, { 1, 3 }, { 1, 2, 3 } },
        { "viewer", false, true, true, true, { 2601 }, {}, {}, {} },
        { "guest", false, false, false, false, {}, {}, {}, {} },
    };
    return agents;
}

struct TaxBand
{
    double from;
    double to; // 0: no upper limit
    double rate;
};

const TaxBand kTaxBands[] = {
    { 0, 12570, 0.0 },
    { 12570, 50270, 0.20 },
    { 50270, 125140, 0.40 },
    { 125140, 0, 0.45 },
};
const int kTaxYears[] = { 2023, 2024, 2025 };

struct Holiday
{
    const char *date;
    const char *name;
};

const Holiday kHolidays[] = {
    { "2023-01-02", "New Year's Day (substitute)" },
    { "2023-04-07", "Good Friday" },
    { "2023-04-10", "Easter Monday" },
    { "2023-05-01", "Early May bank holiday" },
    { "2023-05-29", "Spring bank holiday" },
    { "2023-08-28", "Summer bank holiday" },
    { "2023-12-25", "Christmas Day" },
    { "2023-12-26", "Boxing Day" },
    { "2024-01-01", "New Year's Day" },
    { "2024-03-29", "Good Friday" },
    { "2024-04-01", "Easter Monday" },
    { "2024-05-06", "Early May bank holiday" },
    { "2024-05-27", "Spring bank holiday" },
    { "2024-08-26", "Summer bank holiday" },
    { "2024-12-25", "Christmas Day" },
    { "2024-12-26", "Boxing Day" },
    { "2025-01-01", "New Year's Day" },
    { "2025-04-18", "Good Friday" },
    { "2025-04-21", "Easter Monday" },
    { "2025-05-05", "Early May bank holiday" },
    { "2025-05-26", "Spring bank holiday" },
    { "2025-08-25", "Summer bank holiday" },
    { "2025-12-25", "Christmas Day" },
    { "2025-12-26", "Boxing Day" },
};

// Without a code column the statement takes only the id and the text.
template <std::size_t N>
bool WriteLookup(Connection &payroll, const char *sql, const Lookup (&rows)[N], DbError &error,
    bool withCode = true)
{
    auto insert = payroll.prepare(sql);
    if (!insert) {
        error = payroll.lastError();
        return false;
    }
    for (const Lookup &row : rows) {
        const bool ok = withCode
            ? insert->run(
                { std::int64_t { row.id }, std::string(row.code), std::string(row.text) }, error)
            : insert->run({ std::int64_t { row.id }, std::string(row.text) }, error);
        if (!ok)
            return false;
    }
    return true;
}

bool WriteLinks(Connection &payroll, const char *sql, std::int64_t agentId,
    const std::vector<int> &ids, DbError &error)
{
    auto insert = payroll.prepare(sql);
    if (!insert) {
        error = payroll.lastError();
        return false;
    }
    for (int id : ids) {
        if (!insert->run({ std::int64_t { agentId }, std::int64_t { id } }, error))
            return false;
    }
    return true;
}

Value Flag(bool value)
{
    return std::int64_t { value ? 1 : 0 };
}

} // namespace

bool WriteDemoLookups(Connection &payroll, DbError &error)
{
    return WriteLookup(payroll,
               "INSERT INTO _iptblPayerGroups (idPayer, cCode, cPayerName) VALUES (?, ?, ?)",
               kPayers, error)
        && WriteLookup(payroll,
            "INSERT INTO _iptblPayFrequencies (idPayFrequency, cCode, cDescription) VALUES (?, ?, "
            "?)",
            kFrequencies, error)
        && WriteLookup(payroll,
            "INSERT INTO _iptblLocations (idLocation, cCode, cDescription) VALUES (?, ?, ?)",
            kLocations, error)
        && WriteLookup(payroll,
            "INSERT INTO _iptblDepartments (idDepartment, cCode, cDescription) VALUES (?, ?, ?)",
            kDepartments, error)
        && WriteLookup(payroll, "INSERT INTO _iptblIQTypes (idIQType, cIQType) VALUES (?, ?)",
            kIQTypes, error, false);
}

bool WriteDemoAgents(Connection &payroll, const DemoPasswordWriter &setPassword,
    bool withAdministrator, bool fastHashing, DbError &error)
{
    for (const DemoAgent &agent : DemoAgents()) {
        if (agent.administrator && !withAdministrator)
            continue;
        // The engine numbers them: on a server init's administrator came first.
        std::int64_t id = 0;
        const Value values[] = { std::string(agent.name), Flag(agent.administrator),
            Flag(agent.allPayers), Flag(agent.allFrequencies), Flag(agent.allLocations) };
        const bool ok
            = payroll.insertWithIdentity("INSERT INTO _rtblAgents (cAgentName, bAdministrator, "
                                         "bAllPayrollCompanies, bAllPayFrequencies, "
                                         "bAllLocations, bActive) VALUES (?, ?, ?, ?, ?, 1)",
                  values, "idAgents", id, error)
            && setPassword(
                static_cast<int>(id), QString::fromLatin1(agent.name), fastHashing, error)
            && WriteLinks(payroll,
                "INSERT INTO _rtblAgentFunctions (iAgentID, iFunctionID) VALUES (?, ?)", id,
                agent.functions, error)
            && WriteLinks(payroll,
                "INSERT INTO _rtblAgentPayerGroups (iAgentID, iPayerID) VALUES (?, ?)", id,
                agent.payers, error)
            && WriteLinks(payroll,
                "INSERT INTO _rtblAgentPayFrequencies (iAgentID, iPayFrequencyID) VALUES (?, ?)",
                id, agent.frequencies, error)
            && WriteLinks(payroll,
                "INSERT INTO _rtblAgentLocations (iAgentID, iLocationID) VALUES (?, ?)", id,
                agent.locations, error);
        if (!ok)
            return false;
    }
    return true;
}

bool WriteDemoCommonData(Connection &common, DbError &error)
{
    auto holiday
        = common.prepare("INSERT INTO _btblPublicHolidays (dtHoliday, cDescription) VALUES (?, ?)");
    auto band = common.prepare("INSERT INTO _btblTaxScales (iTaxYear, fAnnualFrom, fAnnualTo, "
                               "fRate) VALUES (?, ?, ?, ?)");
    if (!holiday || !band) {
        error = common.lastError();
        return false;
    }
    for (const Holiday &row : kHolidays) {
        if (!holiday->run({ std::string(row.date), std::string(row.name) }, error))
            return false;
    }
    for (int year : kTaxYears) {
        for (const TaxBand &row : kTaxBands) {
            const Value to = row.to > 0 ? Value { row.to } : Value {};
            if (!band->run({ std::int64_t { year }, row.from, to, row.rate }, error))
                return false;
        }
    }
    return true;
}

double DemoAnnualTax(double annualIncome)
{
    double tax = 0;
    for (const TaxBand &band : kTaxBands) {
        if (annualIncome <= band.from)
            break;
        const double top = band.to > 0 && annualIncome > band.to ? band.to : annualIncome;
        tax += (top - band.from) * band.rate;
    }
    return tax;
}
