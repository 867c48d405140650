#include "store/SchemaScript.h"

#include "store/ServerSchema.h"
#include "store/SqlServerSchema.h"

#include <iterator>

namespace {

// In the order of SchemaEngine.
const char *const kEngineNames[] = { "sqlite", "postgresql", "sqlserver" };

std::string Header(SchemaEngine engine, DatabaseKind kind)
{
    const std::string what = DatabaseKindName(kind).toStdString();
    const std::string name = SchemaEngineName(engine).toStdString();
    std::string header = "-- The " + what + " database on " + name
        + ": made by \"corvane-iq schema --engine " + name + " --database " + what
        + "\"\n-- from the table definitions of src/store (scripts/update-schema.sh); do not "
          "edit.\n";
    switch (engine) {
    case SchemaEngine::Sqlite:
        return header + "-- For a new, empty file: sqlite3 FILE < this-script\n\n";
    case SchemaEngine::PostgreSql:
        return header
            + "-- For an empty database: psql -v ON_ERROR_STOP=1 -d DATABASE -f this-script\n\n";
    case SchemaEngine::SqlServer:
        break;
    }
    return header
        + "-- Written to the engine's documentation; not yet run against a server.\n"
          "-- For an empty database: sqlcmd -b -d DATABASE -i this-script (-b: an error ends the\n"
          "-- script, and the open transaction is rolled back).\n\n";
}

std::string Joined(const std::vector<std::string> &statements, const char *terminator)
{
    std::string text;
    for (const std::string &statement : statements)
        text += statement + terminator;
    return text;
}

} // namespace

QString SchemaEngineName(SchemaEngine engine)
{
    return QString::fromLatin1(kEngineNames[static_cast<int>(engine)]);
}

std::optional<SchemaEngine> SchemaEngineNamed(const QString &name)
{
    for (int i = 0; i < std::ssize(kEngineNames); ++i) {
        if (name == QLatin1String(kEngineNames[i]))
            return static_cast<SchemaEngine>(i);
    }
    return std::nullopt;
}

std::optional<std::string> SchemaScript(SchemaEngine engine, DatabaseKind kind, QString &error)
{
    if (engine != SchemaEngine::Sqlite && kind == DatabaseKind::Credentials) {
        error = QStringLiteral("On a server the credentials are part of the payroll database.");
        return std::nullopt;
    }
    const std::string header = Header(engine, kind);
    switch (engine) {
    case SchemaEngine::Sqlite:
        return header + "BEGIN;\n\n" + Joined(SchemaDialect(engine).TableStatements(kind), ";\n\n")
            + "PRAGMA application_id = " + std::to_string(ApplicationId(kind))
            + ";\nPRAGMA user_version = " + std::to_string(CurrentSchemaVersion(kind))
            + ";\n\nCOMMIT;\n";
    case SchemaEngine::PostgreSql:
        // The role belongs to the whole server and stays, as with "corvane-iq init".
        return header + Joined(PostgresRoleStatements(kDefaultReportRole), ";\n\n") + "BEGIN;\n\n"
            + Joined(PostgresSchemaStatements(kind, kDefaultReportRole), ";\n\n") + "COMMIT;\n";
    case SchemaEngine::SqlServer:
        break;
    }
    return header + Joined(SqlServerSchemaBatches(kind, kDefaultReportRole), "\nGO\n\n");
}
