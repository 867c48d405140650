#include "store/Databases.h"

#include "store/AgentPCSecurity.h"
#include "store/DatabaseFile.h"
#include "store/SqlHelpers.h"

#include <QFileInfo>

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
    DatabaseFile payroll;
    DatabaseFile common;
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
    if (!ok || !error.isEmpty()) {
        common.Discard();
        payroll.Discard();
        return std::nullopt;
    }
    HostDatabases databases;
    databases.payroll = std::move(payroll.connection);
    databases.common = std::move(common.connection);
    return databases;
}
