#pragma once

#include "host/db/engine/SqliteConnection.h"

#include <QString>
#include <QTemporaryDir>

#include <memory>

// Real payroll and common SQLite files in a temporary folder with the host's own tables, set as
// the host's connections for the life of the object. Settings go to the same folder.
class HostDatabases
{
public:
    HostDatabases();
    ~HostDatabases();

    Connection &payroll() { return *m_payroll; }
    Connection &common() { return *m_common; }
    QString folder() const { return m_dir.path(); }

    void exec(Connection &connection, const char *sql);
    int count(Connection &connection, const QString &sql);
    QString text(Connection &connection, const QString &sql); // first column of the first row
    int addAgent(
        const QString &name, const QString &password, bool administrator, bool active = true);

private:
    QTemporaryDir m_dir;
    std::unique_ptr<SqliteConnection> m_payroll;
    std::unique_ptr<SqliteConnection> m_common;
};
