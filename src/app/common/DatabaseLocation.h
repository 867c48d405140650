#pragma once

#include <QString>

// Where the programs find their databases when no option names them: the demo databases in the
// user's data folder ($XDG_DATA_HOME/corvane), created with demo data on first use.
QString DefaultDataFolder();
QString DefaultPayrollPath();
QString DefaultCommonPath();

// A database as the windows show it: a file's name, or a server connection without its password.
QString ShownDatabaseName(const QString &name);

// Creates the demo databases with the default demo data when either is missing. Both are written
// to temporary files first and moved into place together, so an interrupted run leaves nothing
// half-written. False with a one-line error.
bool EnsureDemoDatabases(const QString &payrollPath, const QString &commonPath, QString &error);

struct DemoOptions;
// Writes new demo databases at the two paths, and the payroll file's credentials file beside it,
// replacing what is there only once all three are complete. False with a one-line error and the
// old files untouched.
bool WriteDemoDatabases(const QString &payrollPath, const QString &commonPath,
    const DemoOptions &options, QString &error);
