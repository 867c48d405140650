#include "store/SchemaDefinition.h"

// Every table at the current version of its database, columns in the order the upgraded files
// hold them. Widths and the declared types follow the production engine's usual names, so that
// result fields get their type classes on every engine.

ColumnDefinition Int(std::string_view name)
{
    return { .name = name, .type = ColumnType::Integer };
}

ColumnDefinition Identity(std::string_view name)
{
    return { .name = name, .type = ColumnType::Integer, .primaryKey = true, .identity = true };
}

ColumnDefinition Bit(std::string_view name)
{
    return { .name = name, .type = ColumnType::Bit };
}

ColumnDefinition Decimal(std::string_view name, int digits, int decimals)
{
    return { .name = name, .type = ColumnType::Decimal, .width = digits, .scale = decimals };
}

ColumnDefinition VarChar(std::string_view name, int width)
{
    return { .name = name, .type = ColumnType::VarChar, .width = width };
}

ColumnDefinition Text(std::string_view name)
{
    return { .name = name, .type = ColumnType::Text };
}

ColumnDefinition DateTime(std::string_view name)
{
    return { .name = name, .type = ColumnType::DateTime };
}

ColumnDefinition Blob(std::string_view name)
{
    return { .name = name, .type = ColumnType::Blob };
}

namespace {

constexpr DatabaseKind kPayroll = DatabaseKind::Payroll;
constexpr DatabaseKind kCommon = DatabaseKind::Common;

// An agent's right to a company, frequency, location or function: one row per pair.
TableDefinition AgentPairs(std::string_view table, std::string_view column)
{
    return { table, kPayroll, { Int("iAgentID").NotNull(), Int(column).NotNull() },
        { "iAgentID", column } };
}

std::vector<TableDefinition> MakeTables()
{
    return {
        { "_iptblIQTypes", kPayroll, { Identity("idIQType"), VarChar("cIQType", 50).Unique() } },
        { "_iptblPayerGroups", kPayroll,
            { Identity("idPayer"), VarChar("cCode", 10), VarChar("cPayerName", 100) } },
        { "_iptblPayFrequencies", kPayroll,
            { Identity("idPayFrequency"), VarChar("cCode", 10), VarChar("cDescription", 50) } },
        { "_iptblLocations", kPayroll,
            { Identity("idLocation"), VarChar("cCode", 10), VarChar("cDescription", 50) } },
        { "_iptblEasyEnquiry", kPayroll,
            { Identity("idEnquiry").Autoincrement(),
                VarChar("cCode", 10).NotNull().Unique().WidthChecked(),
                VarChar("cDescription", 100), Text("cSQLStatement"),
                Bit("bCommonDB").NotNull().Default("0"), Int("iPayrollCompanyID"),
                Int("iPayFrequencyID"), Int("iIQTypeID"), VarChar("cXColumn", 100),
                VarChar("cYColumn", 1000), Int("iPalette"), Text("cCustomColor"),
                Blob("nChartLayout") },
            {},
            // IQ codes are found in any letter case.
            { { "ux_iptblEasyEnquiry_Code", { "cCode" }, true, true } } },
        { "_iptblEasyEnquiryParam", kPayroll,
            { Identity("idEnquiryParam").Autoincrement(), Int("iEnquiryID").NotNull(),
                VarChar("cDescription", 50), Int("iSQLTypeID"), DateTime("dtValue"),
                VarChar("cValue", 200) },
            {}, { { "ix_iptblEasyEnquiryParam_Enquiry", { "iEnquiryID" } } } },
        { "_iptblEasyEnquiryColumn", kPayroll,
            { Identity("idEnquiryColumn").Autoincrement(), Int("iEnquiryID").NotNull(),
                VarChar("cColumnName", 50), Bit("bShow"), Int("iOrder") },
            {}, { { "ix_iptblEasyEnquiryColumn_Enquiry", { "iEnquiryID", "iOrder" } } } },
        { "_btblNotes", kPayroll,
            { Identity("idNotes"), VarChar("cNOTETBLTableName", 100), Int("fNOTETBLTableID"),
                Text("cNoteText"), DateTime("dtCreated"), Int("iAgentID") },
            {}, { { "ix_btblNotes_Row", { "fNOTETBLTableID", "cNOTETBLTableName" } } } },
        { "_rtblAgents", kPayroll,
            { Identity("idAgents"), VarChar("cAgentName", 50).Unique().NotNull(),
                Bit("bAdministrator").NotNull().Default("0"),
                Bit("bAllPayrollCompanies").NotNull().Default("0"),
                Bit("bAllPayFrequencies").NotNull().Default("0"),
                Bit("bAllLocations").NotNull().Default("0"),
                Bit("bActive").NotNull().Default("1") },
            {},
            // Sign-in finds an agent by name in any letter case.
            { { "ux_rtblAgents_Name", { "cAgentName" }, true, true } } },
        AgentPairs("_rtblAgentFunctions", "iFunctionID"),
        AgentPairs("_rtblAgentPayerGroups", "iPayerID"),
        AgentPairs("_rtblAgentPayFrequencies", "iPayFrequencyID"),
        AgentPairs("_rtblAgentLocations", "iLocationID"),
        { "_iptblDepartments", kPayroll,
            { Identity("idDepartment"), VarChar("cCode", 10).NotNull().Unique(),
                VarChar("cDescription", 50) } },
        { "_iptblEmployees", kPayroll,
            { Identity("idEmployee"), VarChar("cEmployeeCode", 10).NotNull().Unique(),
                VarChar("cFirstName", 50), VarChar("cSurname", 50), DateTime("dtBirth"),
                DateTime("dtEngaged"), Int("iPayerID").NotNull(), Int("iPayFrequencyID").NotNull(),
                Int("iLocationID").NotNull(), Int("iDepartmentID").NotNull(),
                Decimal("fHourlyRate", 10, 2), Bit("bActive").NotNull().Default("1") },
            {},
            { { "ix_iptblEmployees_Payer", { "iPayerID" } },
                { "ix_iptblEmployees_Location", { "iLocationID" } },
                { "ix_iptblEmployees_Department", { "iDepartmentID" } } } },
        { "_iptblPayslips", kPayroll,
            { Identity("idPayslip"), Int("iEmployeeID").NotNull(), DateTime("dtPayDate").NotNull(),
                Int("iPeriod").NotNull(), Decimal("fHours", 10, 2),
                Decimal("fOvertimeHours", 10, 2), Decimal("fGross", 12, 2), Decimal("fTax", 12, 2),
                Decimal("fNet", 12, 2) },
            {},
            { { "ix_iptblPayslips_Employee", { "iEmployeeID", "dtPayDate" } },
                { "ix_iptblPayslips_PayDate", { "dtPayDate" } } } },

        { "_btblSystemValues", kCommon,
            { VarChar("cName", 100).PrimaryKey(), Text("cValue"), Text("cDescription") }, {}, {},
            { { "IQ Report Timeout (Minutes)", "0",
                  "Minutes an IQ may run before it is stopped; 0 lets it run until the server "
                  "answers." },
                { "IQ Report Retry Count", "1",
                    "How many times an IQ is attempted before it fails." } } },
        { "_btblLog", kCommon,
            { Identity("idLog"), DateTime("dtLogged"), Int("iAgentID"), VarChar("cAgentName", 50),
                Int("iLogType"), Int("iSeverity"), Text("cText"), Text("cExtra1"), Text("cExtra2"),
                Int("iDestination") },
            {}, { { "ix_btblLog_Logged", { "dtLogged" } } } },
        { "_btblPublicHolidays", kCommon,
            { Identity("idPublicHoliday"), DateTime("dtHoliday").NotNull(),
                VarChar("cDescription", 100) },
            {}, { { "ix_btblPublicHolidays_Date", { "dtHoliday" } } } },
        { "_btblTaxScales", kCommon,
            { Identity("idTaxScale"), Int("iTaxYear").NotNull(),
                Decimal("fAnnualFrom", 12, 2).NotNull(), Decimal("fAnnualTo", 12, 2),
                Decimal("fRate", 6, 4).NotNull() },
            {}, { { "ix_btblTaxScales_Year", { "iTaxYear", "fAnnualFrom" } } } },

        // A file of its own on SQLite, which no connection running IQs opens; on a server a
        // table of the payroll database that the report role may not read.
        { "_rtblAgentCredentials", DatabaseKind::Credentials,
            { Int("iAgentID").PrimaryKey().References("_rtblAgents (idAgents)"),
                VarChar("cPasswordHash", 200).NotNull() } },
    };
}

const char *const kEnquiryView = R"sql(SELECT e.idEnquiry,
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
FROM {dbo}_iptblEasyEnquiry e
LEFT JOIN {dbo}_iptblPayerGroups pg ON pg.idPayer = e.iPayrollCompanyID
LEFT JOIN {dbo}_iptblPayFrequencies pf ON pf.idPayFrequency = e.iPayFrequencyID
LEFT JOIN {dbo}_iptblIQTypes t ON t.idIQType = e.iIQTypeID)sql";

} // namespace

std::span<const TableDefinition> SchemaTables()
{
    static const std::vector<TableDefinition> tables = MakeTables();
    return tables;
}

std::span<const ViewDefinition> SchemaViews()
{
    static const ViewDefinition views[] = { { "_ipvEasyEnquiry", kPayroll, kEnquiryView } };
    return views;
}
