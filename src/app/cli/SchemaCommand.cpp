#include "app/cli/CliCommand.h"

#include "store/SchemaScript.h"

#include <QCommandLineParser>
#include <QTextStream>

namespace {

const QCommandLineOption engineOption(
    QStringLiteral("engine"), "The engine: sqlite, postgresql or sqlserver.", "ENGINE");
const QCommandLineOption databaseOption(QStringLiteral("database"),
    "The database: payroll, common, or credentials (a file of its own on sqlite only).", "KIND");

std::optional<DatabaseKind> kindNamed(const QString &name)
{
    for (const DatabaseKind kind :
        { DatabaseKind::Payroll, DatabaseKind::Common, DatabaseKind::Credentials }) {
        if (DatabaseKindName(kind) == name)
            return kind;
    }
    return std::nullopt;
}

int runSchema(CliContext &context)
{
    const std::optional<SchemaEngine> engine
        = SchemaEngineNamed(context.parser.value(engineOption));
    const std::optional<DatabaseKind> kind = kindNamed(context.parser.value(databaseOption));
    if (!engine || !kind) {
        context.err << "corvane-iq schema: give --engine sqlite|postgresql|sqlserver and "
                       "--database payroll|common|credentials.\n";
        return ExitUsage;
    }
    QString error;
    const std::optional<std::string> script = SchemaScript(*engine, *kind, error);
    if (!script) {
        context.err << "corvane-iq schema: " << error << "\n";
        return ExitUsage;
    }
    context.out << QString::fromStdString(*script);
    return ExitOk;
}

} // namespace

CliCommand SchemaCommand()
{
    // Prints only: the kept scripts in schema/ are this output (scripts/update-schema.sh).
    return { "schema", "Prints the script that makes one database's schema on an engine.", {},
        { engineOption, databaseOption }, false, runSchema };
}
