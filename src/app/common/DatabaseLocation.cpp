#include "app/common/DatabaseLocation.h"

#include "host/db/engine/ConnectionName.h"
#include "store/CredentialStore.h"
#include "store/Databases.h"
#include "store/DemoData.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>

#include <filesystem>

QString DefaultDataFolder()
{
    return QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation) + "/corvane";
}

QString DefaultPayrollPath()
{
    return DefaultDataFolder() + "/demo-payroll.db";
}
QString DefaultCommonPath()
{
    return DefaultDataFolder() + "/demo-common.db";
}

QString ShownDatabaseName(const QString &name)
{
    if (ConnectionName::isOdbc(name.toStdString()))
        return QString::fromStdString(ConnectionName::displayName(name.toStdString()));
    return QFileInfo(name).fileName();
}

bool EnsureDemoDatabases(const QString &payrollPath, const QString &commonPath, QString &error)
{
    const bool havePayroll = QFileInfo::exists(payrollPath);
    const bool haveCommon = QFileInfo::exists(commonPath);
    if (havePayroll && haveCommon)
        return true;
    if (havePayroll != haveCommon) {
        error = QStringLiteral("Only one of the demo databases exists (%1, %2); run \"corvane-iq "
                               "demo --force\" to create both again.")
                    .arg(payrollPath, commonPath);
        return false;
    }
    if (!QDir().mkpath(QFileInfo(payrollPath).absolutePath())) {
        error = QStringLiteral("Cannot create the folder %1.")
                    .arg(QFileInfo(payrollPath).absolutePath());
        return false;
    }
    return WriteDemoDatabases(payrollPath, commonPath, DemoOptions {}, error);
}

namespace {

// The new files are written beside the old ones under other names ("new-demo-payroll.db"); the
// prefix also gives the new payroll file a credentials file of its own.
QString TempPath(const QString &path)
{
    const QFileInfo info(path);
    return info.dir().filePath("new-" + info.fileName());
}

// Removes the temporary files unless they were moved into place.
struct TempFiles
{
    QStringList paths;
    bool keep = false;
    ~TempFiles()
    {
        if (keep)
            return;
        for (const QString &path : std::as_const(paths))
            QFile::remove(path);
    }
};

} // namespace

bool WriteDemoDatabases(const QString &payrollPath, const QString &commonPath,
    const DemoOptions &options, QString &error)
{
    for (const QString &path : { payrollPath, commonPath }) {
        if (!QDir().mkpath(QFileInfo(path).absolutePath())) {
            error = QStringLiteral("Cannot create the folder %1.")
                        .arg(QFileInfo(path).absolutePath());
            return false;
        }
    }
    const QString payrollTemp = TempPath(payrollPath);
    const QString commonTemp = TempPath(commonPath);
    // The credentials first: a payroll file never arrives before the hashes of its agents.
    const QStringList targets = { CredentialStore(payrollPath).File(), payrollPath, commonPath };
    TempFiles temp { { CredentialStore(payrollTemp).File(), payrollTemp, commonTemp } };
    for (const QString &path : std::as_const(temp.paths))
        QFile::remove(path);
    {
        auto databases = OpenHostDatabases(payrollTemp, commonTemp, true, error);
        if (!databases)
            return false;
        if (!CreateDemoData(*databases->payroll, *databases->common, options, error))
            return false;
    } // closed before the files move
    // rename() replaces an existing file in one step.
    std::error_code failure;
    for (int i = 0; i < targets.size() && !failure; ++i)
        std::filesystem::rename(temp.paths[i].toStdString(), targets[i].toStdString(), failure);
    if (failure) {
        error = QStringLiteral("Cannot move the new demo databases into place at %1: %2.")
                    .arg(payrollPath, QString::fromStdString(failure.message()));
        return false;
    }
    temp.keep = true;
    return true;
}
