#include "store/SqlServerSchema.h"

#include "store/SchemaDefinition.h"
#include "store/SchemaDialect.h"

namespace {

// The payroll companies an agent may see, as the SQLite connections' table-valued function
// answers. An inline function takes no ORDER BY; IQ statements order their own rows.
const char *const kAgentSecurity = R"sql(CREATE FUNCTION dbo._efnAgentPCSecurity (@AgentID INT)
RETURNS TABLE
AS
RETURN
    SELECT p.idPayer
    FROM dbo._iptblPayerGroups p
    WHERE EXISTS (SELECT 1 FROM dbo._rtblAgents a
                  WHERE a.idAgents = @AgentID AND a.bAllPayrollCompanies <> 0)
       OR EXISTS (SELECT 1 FROM dbo._rtblAgentPayerGroups g
                  WHERE g.iAgentID = @AgentID AND g.iPayerID = p.idPayer);)sql";

// The IQ with its parameters, columns and notes, or nothing of it.
const char *const kDeleteProcedure = R"sql(CREATE PROCEDURE dbo._ipspDeleteEasyEnquiry
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
END;)sql";

// Payroll and common may share a database, so the version table may be there already.
const char *const kVersionTable = R"sql(IF OBJECT_ID(N'dbo._btblSchemaVersion', N'U') IS NULL
    CREATE TABLE dbo._btblSchemaVersion (
        cDatabase NVARCHAR(20) PRIMARY KEY,
        iVersion INT NOT NULL
    );)sql";

} // namespace

std::vector<std::string> SqlServerSchemaBatches(DatabaseKind kind, const std::string &role)
{
    const SchemaDialect dialect(SchemaEngine::SqlServer);
    const std::string name = DatabaseKindName(kind).toStdString();
    const std::string version = std::to_string(CurrentSchemaVersion(kind));
    std::vector<std::string> batches = {
        // The view, function and procedure keep the options they were made with, and sqlcmd
        // starts without QUOTED_IDENTIFIER. Every later batch runs inside the transaction;
        // XACT_ABORT rolls it back on the first error.
        "SET ANSI_NULLS ON;\nSET QUOTED_IDENTIFIER ON;\nSET XACT_ABORT ON;\nBEGIN TRANSACTION;",
        kVersionTable,
        "IF EXISTS (SELECT 1 FROM dbo._btblSchemaVersion WHERE cDatabase = " + dialect.Literal(name)
            + ")\n    THROW 50000, N'The server database already holds a " + name
            + " schema; it was left unchanged.', 1;",
        "IF DATABASE_PRINCIPAL_ID(" + dialect.Literal(role) + ") IS NULL\n    CREATE ROLE " + role
            + ";",
    };
    for (const std::string &statement : dialect.TableStatements(kind))
        batches.push_back(statement + ";");
    std::string grants;
    for (const TableDefinition &table : SchemaTables()) {
        if (dialect.Holds(kind, table.kind) && table.kind != DatabaseKind::Credentials)
            grants += "GRANT SELECT ON " + dialect.Name(table.name) + " TO " + role + ";\n";
    }
    for (const ViewDefinition &view : SchemaViews()) {
        if (dialect.Holds(kind, view.kind))
            grants += "GRANT SELECT ON " + dialect.Name(view.name) + " TO " + role + ";\n";
    }
    if (kind == DatabaseKind::Payroll) {
        batches.push_back(kAgentSecurity);
        batches.push_back(kDeleteProcedure);
        grants += "GRANT SELECT ON dbo._efnAgentPCSecurity TO " + role + ";\n";
        // Only the sign-in login, which owns the schema, reads the hashes; a deny outweighs any
        // grant the role is given later.
        grants += "DENY SELECT, INSERT, UPDATE, DELETE, REFERENCES ON dbo._rtblAgentCredentials TO "
            + role + ";\n";
        grants += "DENY EXECUTE ON dbo._ipspDeleteEasyEnquiry TO " + role + ";\n";
    }
    batches.push_back(grants + "INSERT INTO dbo._btblSchemaVersion (cDatabase, iVersion) VALUES ("
        + dialect.Literal(name) + ", " + version + ");");
    batches.push_back("COMMIT TRANSACTION;");
    return batches;
}
