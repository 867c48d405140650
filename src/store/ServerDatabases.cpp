#include "store/ServerDatabases.h"

#include "host/db/engine/ConnectionName.h"
#include "host/db/engine/OdbcConnection.h"
#include "store/ServerSchema.h"
#include "store/SqlHelpers.h"

namespace {

QString shown(const QString &name)
{
    return QString::fromStdString(ConnectionName::displayName(name.toStdString()));
}

std::unique_ptr<Connection> openServer(
    const QString &name, const std::string &connection, QString &error)
{
    DbError dbError;
    auto opened = ConnectionName::open(connection, SqliteConnection::OpenMode::ReadWrite, dbError);
    if (!opened) {
        error = QStringLiteral("Cannot open the server database \"%1\": %2")
                    .arg(shown(name), ErrorText(dbError));
        return nullptr;
    }
    const auto *odbc = dynamic_cast<const OdbcConnection *>(opened.get());
    if (!odbc || odbc->dialect() != OdbcConnection::Dialect::PostgreSql) {
        error = QStringLiteral("The server database \"%1\" is not a PostgreSQL database; the "
                               "programs run on PostgreSQL servers and SQLite files.")
                    .arg(shown(name));
        return nullptr;
    }
    return opened;
}

bool checkSchema(Connection &connection, const QString &name, DatabaseKind kind, QString &error)
{
    QString readError;
    const std::optional<int> version = ServerSchemaVersion(connection, kind, readError);
    const int current = CurrentSchemaVersion(kind);
    if (!version)
        error = QStringLiteral("%1 (\"%2\")").arg(readError, shown(name));
    else if (*version == 0)
        error = QStringLiteral("The server database \"%1\" holds no %2 schema; make it with "
                               "\"corvane-iq init\".")
                    .arg(shown(name), DatabaseKindName(kind));
    else if (*version != current)
        error = QStringLiteral("The server database \"%1\" holds a %2 schema of version %3; "
                               "this program needs version %4.")
                    .arg(shown(name), DatabaseKindName(kind))
                    .arg(*version)
                    .arg(current);
    return version && *version == current;
}

} // namespace

QString ReportRoleName()
{
    const QString role = qEnvironmentVariable("CORVANE_REPORT_ROLE");
    return role.isEmpty() ? QString::fromLatin1(kDefaultReportRole) : role;
}

std::unique_ptr<Connection> OpenServerDatabase(
    const QString &name, DatabaseKind kind, QString &error)
{
    auto connection = openServer(name, name.toStdString(), error);
    if (!connection || !checkSchema(*connection, name, kind, error))
        return nullptr;
    return connection;
}

std::unique_ptr<Connection> OpenServerReportConnection(
    const QString &name, DatabaseKind kind, QString &error)
{
    const QString role = ReportRoleName();
    const std::string login = ConnectionName::withLogin(name.toStdString(), role.toStdString(),
        qEnvironmentVariable("CORVANE_REPORT_PASSWORD").toStdString());
    QString openError;
    auto connection = openServer(name, login, openError);
    if (!connection) {
        error = QStringLiteral("%1 (signing in as the report login %2)").arg(openError, role);
        return nullptr;
    }
    // The login's own settings say the same; set here too, so that a login changed since init
    // still runs IQs read-only and finds dbo first.
    if (!connection->execute("SET default_transaction_read_only = on")
        || !connection->execute("SET search_path = dbo, public")) {
        error = QStringLiteral("Cannot make the report connection to \"%1\" read-only: %2")
                    .arg(shown(name), ErrorText(connection->lastError()));
        return nullptr;
    }
    std::string check = "SELECT CASE WHEN has_schema_privilege('dbo', 'CREATE') OR "
                        "has_table_privilege('dbo._btblschemaversion', "
                        "'INSERT,UPDATE,DELETE,TRUNCATE')";
    if (kind == DatabaseKind::Payroll)
        check += " OR has_table_privilege('dbo._rtblagentcredentials', 'SELECT')";
    check += " THEN 1 ELSE 0 END";
    DbError dbError;
    const std::optional<std::int64_t> mayWrite = QueryInt(*connection, check, {}, dbError);
    if (!mayWrite) {
        error = QStringLiteral("Cannot check the report login %1 on \"%2\": %3")
                    .arg(role, shown(name), ErrorText(dbError));
        return nullptr;
    }
    if (*mayWrite != 0) {
        error = QStringLiteral("The report login %1 may change the server database \"%2\" or "
                               "read the agents' passwords; IQs run only under a login that "
                               "may only read (see \"corvane-iq init --report-role\").")
                    .arg(role, shown(name));
        return nullptr;
    }
    return connection;
}

std::optional<HostDatabases> OpenServerDatabases(
    const QString &payrollName, const QString &commonName, QString &error)
{
    error.clear();
    HostDatabases databases;
    databases.payroll = OpenServerDatabase(payrollName, DatabaseKind::Payroll, error);
    if (databases.payroll)
        databases.common = OpenServerDatabase(commonName, DatabaseKind::Common, error);
    if (databases.common)
        databases.reportPayroll
            = OpenServerReportConnection(payrollName, DatabaseKind::Payroll, error);
    if (databases.reportPayroll)
        databases.reportCommon
            = OpenServerReportConnection(commonName, DatabaseKind::Common, error);
    if (!databases.reportCommon)
        return std::nullopt;
    return databases;
}
