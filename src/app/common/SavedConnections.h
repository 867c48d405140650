#pragma once

#include <QList>
#include <QString>

// A database pair the sign-in dialog offers besides the local demo: two SQLite files, or two
// servers named "odbc:" + a DSN or connection string. Passwords are never part of it: a DSN
// keeps its own, otherwise the database password is asked for at each sign-in.
struct SavedConnection
{
    QString name;
    QString payroll;
    QString common;
    bool askPassword = false;

    bool operator==(const SavedConnection &) const = default;
};

// The saved connections of this user, in "connections.ini" in the settings folder (shared by
// every agent, as the choice comes before anyone signs in).
class SavedConnections
{
public:
    static QString File();
    static QList<SavedConnection> Load();
    // Replaces the whole list. Any password in a connection string is taken out first and the
    // connection marked to ask for it instead. False with a one-line error when the file cannot
    // be written; the old list stays then.
    static bool Save(const QList<SavedConnection> &connections, QString &error);
    // The name of the database chosen at the last sign-in; empty for the local demo.
    static QString LastChoice();
    static void SetLastChoice(const QString &name);
};

// `name` without the PWD / Password entries of an "odbc:" connection string (a file name is
// returned as it is); `removed` tells whether there was one.
QString WithoutPassword(const QString &name, bool *removed = nullptr);
// `name` with the password added as an ODBC PWD entry, quoted so that any character survives.
QString WithPassword(const QString &name, const QString &password);
