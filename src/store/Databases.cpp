#include "store/Databases.h"

#include "host/db/security/ReportConnection.h"
#include "store/AgentPCSecurity.h"
#include "store/Schema.h"
#include "store/SqlHelpers.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace {

struct OpenedFile
{
    std::unique_ptr<SqliteConnection> connection;
    QString path;
    bool created = false; // the file did not exist before: removed again if opening fails
};

bool OpenOne(
    const QString &path, DatabaseKind kind, bool create, OpenedFile &opened, QString &error)
{
    const QFileInfo info(path);
    opened.path = path;
    if (path.isEmpty()) {
        error = QStringLiteral("No %1 database file was given.").arg(DatabaseKindName(kind));
        return false;
    }
    if (info.isDir()) {
        error
            = QStringLiteral("The database file \"%1\" cannot be read: it is a folder.").arg(path);
        return false;
    }
    if (!info.exists()) {
        if (!create) {
            error = QStringLiteral("The %1 database file \"%2\" does not exist.")
                        .arg(DatabaseKindName(kind), path);
            return false;
        }
        if (!QDir().mkpath(info.absolutePath())) {
            error = QStringLiteral("The folder \"%1\" for the %2 database cannot be created.")
                        .arg(info.absolutePath(), DatabaseKindName(kind));
            return false;
        }
        opened.created = true;
    } else if (!info.isReadable()) {
        error = QStringLiteral("The database file \"%1\" cannot be read: permission denied.")
                    .arg(path);
        return false;
    }

    DbError dbError;
    const auto mode = create ? SqliteConnection::OpenMode::ReadWriteCreate
                             : SqliteConnection::OpenMode::ReadWrite;
    opened.connection = SqliteConnection::open(path.toStdString(), mode, dbError);
    if (!opened.connection) {
        error = FileErrorText(path, dbError);
        return false;
    }
    return CheckSchema(*opened.connection, kind, error).has_value();
}

// Leaves the disk as it was found: a file this call created goes again.
void Discard(OpenedFile &opened)
{
    opened.connection.reset();
    if (opened.created)
        QFile::remove(opened.path);
}

// A read-only connection for IQ statements; the common one sees the payroll file as "payroll".
std::unique_ptr<SqliteConnection> OpenReportConnection(
    const QString &path, const QString &payrollPath, QString &error)
{
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

} // namespace

std::optional<HostDatabases> OpenHostDatabases(
    const QString &payrollPath, const QString &commonPath, bool create, QString &error)
{
    error.clear();
    if (!payrollPath.isEmpty()
        && QFileInfo(payrollPath).absoluteFilePath() == QFileInfo(commonPath).absoluteFilePath()) {
        error
            = QStringLiteral("The payroll and the common database cannot be the same file \"%1\".")
                  .arg(payrollPath);
        return std::nullopt;
    }
    OpenedFile payroll;
    OpenedFile common;
    // Both files are checked before either is created or upgraded, so a refused file leaves
    // its partner untouched.
    const bool ok = OpenOne(payrollPath, DatabaseKind::Payroll, create, payroll, error)
        && OpenOne(commonPath, DatabaseKind::Common, create, common, error)
        && EnsureSchema(*payroll.connection, DatabaseKind::Payroll, error)
        && EnsureSchema(*common.connection, DatabaseKind::Common, error)
        && RegisterAgentPCSecurity(*payroll.connection, error)
        && RegisterAgentPCSecurity(*common.connection, error);
    if (ok && !common.connection->attach(payrollPath.toStdString(), "payroll"))
        error = FileErrorText(payrollPath, common.connection->lastError());
    if (!ok || !error.isEmpty()) {
        Discard(common);
        Discard(payroll);
        return std::nullopt;
    }
    HostDatabases databases;
    databases.reportPayroll = OpenReportConnection(payrollPath, QString(), error);
    if (databases.reportPayroll)
        databases.reportCommon = OpenReportConnection(commonPath, payrollPath, error);
    if (!databases.reportCommon) {
        databases.reportPayroll.reset();
        Discard(common);
        Discard(payroll);
        return std::nullopt;
    }
    databases.payroll = std::move(payroll.connection);
    databases.common = std::move(common.connection);
    return databases;
}
