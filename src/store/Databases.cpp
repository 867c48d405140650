#include "store/Databases.h"

#include "host/db/engine/ConnectionName.h"
#include "host/db/engine/SqliteConnection.h"
#include "host/db/security/ReportConnection.h"
#include "store/AgentPCSecurity.h"
#include "store/CredentialStore.h"
#include "store/DatabaseFile.h"
#include "store/ServerDatabases.h"
#include "store/SqlHelpers.h"

#include <QFile>
#include <QFileInfo>

namespace {

bool isServer(const QString &name)
{
    return ConnectionName::isOdbc(name.toStdString());
}

} // namespace

std::unique_ptr<Connection> OpenReportConnection(
    const QString &path, const QString &payrollPath, QString &error)
{
    if (isServer(path))
        return OpenServerReportConnection(
            path, payrollPath.isEmpty() ? DatabaseKind::Payroll : DatabaseKind::Common, error);
    DbError dbError;
    auto connection
        = SqliteConnection::open(path.toStdString(), SqliteConnection::OpenMode::ReadOnly, dbError);
    if (!connection) {
        error = FileErrorText(path, dbError);
        return nullptr;
    }
    // An attached file opens read-only like the connection it joins.
    if (!payrollPath.isEmpty() && !connection->attach(payrollPath.toStdString(), "payroll")) {
        error = FileErrorText(payrollPath, connection->lastError());
        return nullptr;
    }
    std::string lockError;
    if (!RegisterAgentPCSecurity(*connection, error)
        || !LockForReports(*connection, { "_efnAgentPCSecurity" }, lockError)) {
        if (error.isEmpty())
            error = QString::fromStdString(lockError);
        return nullptr;
    }
    return connection;
}

std::optional<HostDatabases> OpenHostDatabases(
    const QString &payrollPath, const QString &commonPath, bool create, QString &error)
{
    error.clear();
    if (isServer(payrollPath) != isServer(commonPath)) {
        error = QStringLiteral("The payroll and the common database must both be files or both "
                               "be on a server (odbc:...).");
        return std::nullopt;
    }
    if (isServer(payrollPath))
        return OpenServerDatabases(payrollPath, commonPath, error);
    const QString credentials = CredentialStore(payrollPath).File();
    const QString commonFile = QFileInfo(commonPath).absoluteFilePath();
    if (!payrollPath.isEmpty() && QFileInfo(payrollPath).absoluteFilePath() == commonFile) {
        error
            = QStringLiteral("The payroll and the common database cannot be the same file \"%1\".")
                  .arg(payrollPath);
        return std::nullopt;
    }
    if (!payrollPath.isEmpty() && QFileInfo(credentials).absoluteFilePath() == commonFile) {
        error = QStringLiteral("The common database cannot be the agents' credentials file \"%1\".")
                    .arg(commonPath);
        return std::nullopt;
    }
    DatabaseFile payroll;
    DatabaseFile common;
    // A new payroll database gets a new credentials file (its schema's upgrade makes it), which
    // goes again with the payroll file if the rest fails.
    const bool credentialsExisted = QFileInfo::exists(credentials);
    // Both files are checked before either is created or upgraded, so a refused file leaves
    // its partner untouched.
    const bool ok = OpenDatabaseFile(payrollPath, DatabaseKind::Payroll, create, payroll, error)
        && OpenDatabaseFile(commonPath, DatabaseKind::Common, create, common, error)
        && EnsureSchema(*payroll.connection, DatabaseKind::Payroll, error)
        && EnsureSchema(*common.connection, DatabaseKind::Common, error)
        && RegisterAgentPCSecurity(*payroll.connection, error)
        && RegisterAgentPCSecurity(*common.connection, error);
    if (ok && !common.connection->attach(payrollPath.toStdString(), "payroll"))
        error = FileErrorText(payrollPath, common.connection->lastError());
    HostDatabases databases;
    if (ok && error.isEmpty()) {
        databases.reportPayroll = OpenReportConnection(payrollPath, QString(), error);
        if (databases.reportPayroll)
            databases.reportCommon = OpenReportConnection(commonPath, payrollPath, error);
    }
    if (!databases.reportCommon) {
        databases.reportPayroll.reset();
        common.Discard();
        payroll.Discard();
        if (payroll.created && !credentialsExisted)
            QFile::remove(credentials);
        return std::nullopt;
    }
    databases.payroll = std::move(payroll.connection);
    databases.common = std::move(common.connection);
    return databases;
}
