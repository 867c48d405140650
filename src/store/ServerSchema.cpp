#include "store/ServerSchema.h"

#include "host/db/engine/Connection.h"
#include "store/SchemaDialect.h"

#include <QRegularExpression>

#include <string>
#include <vector>

namespace {

// The payroll companies an agent may see, as the SQLite connections' table-valued function
// (AgentPCSecurity.cpp) answers.
const char *const kAgentSecurity = R"sql(CREATE FUNCTION dbo._efnAgentPCSecurity(agent INTEGER)
RETURNS TABLE (idPayer INTEGER)
LANGUAGE sql STABLE
AS $$
SELECT p.idPayer FROM dbo._iptblPayerGroups p
WHERE EXISTS (SELECT 1 FROM dbo._rtblAgents a
              WHERE a.idAgents = agent AND a.bAllPayrollCompanies <> 0)
   OR EXISTS (SELECT 1 FROM dbo._rtblAgentPayerGroups g
              WHERE g.iAgentID = agent AND g.iPayerID = p.idPayer)
ORDER BY p.idPayer
$$)sql";

// As DeleteEasyEnquiry (StoreProcedures.cpp): the IQ with its parameters, columns and notes.
const char *const kDeleteProcedure
    = R"sql(CREATE PROCEDURE dbo._ipspDeleteEasyEnquiry(EasyEnquiryID INTEGER)
LANGUAGE sql
AS $$
DELETE FROM dbo._iptblEasyEnquiryParam WHERE iEnquiryID = EasyEnquiryID;
DELETE FROM dbo._iptblEasyEnquiryColumn WHERE iEnquiryID = EasyEnquiryID;
DELETE FROM dbo._btblNotes WHERE fNOTETBLTableID = EasyEnquiryID
    AND cNOTETBLTableName IN ('_IPTBLEASYENQUIRY', '_iptbleasyenquiry');
DELETE FROM dbo._iptblEasyEnquiry WHERE idEnquiry = EasyEnquiryID;
$$)sql";

// Which kinds a database holds, and at what version: payroll and common may share one.
const char *const kVersionTable = R"sql(CREATE TABLE IF NOT EXISTS dbo._btblSchemaVersion (
    cDatabase VARCHAR(20) PRIMARY KEY,
    iVersion INT NOT NULL
))sql";

std::string kindName(DatabaseKind kind)
{
    return DatabaseKindName(kind).toStdString();
}

bool fail(Connection &connection, const QString &what, QString &error)
{
    error = QStringLiteral("%1: %2").arg(what, QString::fromStdString(connection.lastError().text));
    return false;
}

// Spliced into statements (a role cannot be bound), so only a plain name will do.
bool isPlainName(const QString &role, QString &error)
{
    static const QRegularExpression plainName(QStringLiteral("^[a-z_][a-z0-9_]{0,62}$"));
    if (plainName.match(role).hasMatch())
        return true;
    error = QStringLiteral("The report role \"%1\" must be a lower-case name of letters, digits "
                           "and \"_\".")
                .arg(role);
    return false;
}

} // namespace

std::optional<int> ServerSchemaVersion(Connection &connection, DatabaseKind kind, QString &error)
{
    int version = 0;
    bool hasTable = false;
    DbError failure;
    if (!connection.forEachRow(
            "SELECT count(*) FROM information_schema.tables WHERE table_schema = 'dbo' AND "
            "table_name = '_btblschemaversion'",
            {},
            [&](const Statement &row) {
                hasTable = row.asInt64(0) > 0;
                return false;
            },
            failure)
        || (hasTable
            && !connection.forEachRow(
                "SELECT iVersion FROM dbo._btblSchemaVersion WHERE cDatabase = ?",
                { Value { kindName(kind) } },
                [&](const Statement &row) {
                    version = static_cast<int>(row.asInt64(0));
                    return false;
                },
                failure))) {
        error = QStringLiteral("Cannot read the schema version of the server database: %1")
                    .arg(QString::fromStdString(failure.text));
        return std::nullopt;
    }
    return version;
}

std::vector<std::string> PostgresRoleStatements(const std::string &role)
{
    return {
        "DO $$ BEGIN IF NOT EXISTS (SELECT 1 FROM pg_roles WHERE rolname = '" + role
            + "') THEN CREATE ROLE " + role + " LOGIN; END IF; END $$",
        "ALTER ROLE " + role + " SET default_transaction_read_only = on",
        "ALTER ROLE " + role + " SET search_path = dbo, public",
    };
}

std::vector<std::string> PostgresSchemaStatements(DatabaseKind kind, const std::string &role)
{
    std::vector<std::string> statements = {
        "CREATE SCHEMA IF NOT EXISTS dbo",
        // IQ statements name tables without "dbo." as often as with it.
        "DO $$ BEGIN EXECUTE format('ALTER DATABASE %I SET search_path = dbo, public', "
        "current_database()); END $$",
        "SET search_path = dbo, public",
        kVersionTable,
    };
    const std::vector<std::string> tables
        = SchemaDialect(SchemaEngine::PostgreSql).TableStatements(kind);
    statements.insert(statements.end(), tables.begin(), tables.end());
    if (kind == DatabaseKind::Payroll) {
        statements.push_back("REVOKE ALL ON dbo._rtblAgentCredentials FROM PUBLIC");
        statements.push_back(kAgentSecurity);
        statements.push_back(kDeleteProcedure);
        statements.push_back(
            "REVOKE ALL ON PROCEDURE dbo._ipspDeleteEasyEnquiry(INTEGER) FROM PUBLIC");
    }
    statements.push_back("INSERT INTO dbo._btblSchemaVersion (cDatabase, iVersion) VALUES ('"
        + kindName(kind) + "', " + std::to_string(CurrentSchemaVersion(kind)) + ")");
    // The report role reads, and never sees the credentials.
    statements.push_back("GRANT USAGE ON SCHEMA dbo TO " + role);
    statements.push_back("GRANT SELECT ON ALL TABLES IN SCHEMA dbo TO " + role);
    // Whichever schema comes second into a database that holds both grants the credentials too.
    statements.push_back("DO $$ BEGIN IF to_regclass('dbo._rtblagentcredentials') IS NOT NULL "
                         "THEN REVOKE ALL ON dbo._rtblAgentCredentials FROM "
        + role + "; END IF; END $$");
    return statements;
}

bool CreateReportRole(Connection &connection, const QString &reportRole, QString &error)
{
    if (!isPlainName(reportRole, error))
        return false;
    for (const std::string &sql : PostgresRoleStatements(reportRole.toStdString())) {
        if (!connection.execute(sql))
            return fail(connection,
                QStringLiteral("Cannot make the report role %1 on the server").arg(reportRole),
                error);
    }
    return true;
}

bool CreateServerSchema(
    Connection &connection, DatabaseKind kind, const QString &reportRole, QString &error)
{
    if (kind == DatabaseKind::Credentials) {
        error = QStringLiteral("On a server the credentials are part of the payroll database.");
        return false;
    }
    if (!isPlainName(reportRole, error))
        return false;
    const std::optional<int> found = ServerSchemaVersion(connection, kind, error);
    if (!found)
        return false;
    if (*found != 0) {
        error = QStringLiteral("The server database already holds a %1 schema (version %2); it "
                               "was left unchanged.")
                    .arg(DatabaseKindName(kind))
                    .arg(*found);
        return false;
    }

    Transaction transaction(connection);
    if (!transaction.started())
        return fail(connection, QStringLiteral("Cannot start the schema's transaction"), error);
    for (const std::string &sql : PostgresSchemaStatements(kind, reportRole.toStdString())) {
        if (!connection.execute(sql))
            return fail(connection,
                QStringLiteral("Cannot create the %1 schema on the server")
                    .arg(DatabaseKindName(kind)),
                error);
    }
    if (!transaction.commit())
        return fail(connection, QStringLiteral("Cannot commit the schema"), error);
    return true;
}
