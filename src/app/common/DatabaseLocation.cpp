#include "app/common/DatabaseLocation.h"

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

// Removes the temporary files unless they were moved into place.
struct TempFiles
{
    QString payroll;
    QString common;
    bool keep = false;
    ~TempFiles()
    {
        if (keep)
            return;
        QFile::remove(payroll);
        QFile::remove(common);
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
    TempFiles temp { payrollPath + ".new", commonPath + ".new" };
    QFile::remove(temp.payroll);
    QFile::remove(temp.common);
    {
        auto databases = OpenHostDatabases(temp.payroll, temp.common, true, error);
        if (!databases)
            return false;
        if (!CreateDemoData(*databases->payroll, *databases->common, options, error))
            return false;
    } // closed before the files move
    // rename() replaces an existing file in one step.
    std::error_code failure;
    std::filesystem::rename(temp.payroll.toStdString(), payrollPath.toStdString(), failure);
    if (!failure)
        std::filesystem::rename(temp.common.toStdString(), commonPath.toStdString(), failure);
    if (failure) {
        error = QStringLiteral("Cannot move the new demo databases into place at %1: %2.")
                    .arg(payrollPath, QString::fromStdString(failure.message()));
        return false;
    }
    temp.keep = true;
    return true;
}
