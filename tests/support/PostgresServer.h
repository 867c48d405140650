#pragma once

#include <QString>
#include <QTemporaryDir>

#include <memory>
#include <string>

// A PostgreSQL 15 server of the test process's own: a cluster made with initdb in a temporary
// folder, listening on 127.0.0.1 at a free port (and on a socket in the same folder), started on
// first use and stopped when the process ends. Run as root, the server runs as "nobody", since
// PostgreSQL refuses root. The cluster is copied from one made once per machine and user, so a
// test process pays for a start, not for initdb.
//
// A server that cannot start fails the test that asked for it: tests never skip silently.
class PostgresServer
{
public:
    // The running server; nullptr with `error` set when it cannot be started.
    static PostgresServer *instance(QString &error);
    ~PostgresServer();

    int port() const { return m_port; }
    // An ODBC connection string for `database` as the superuser "qp" (trust on loopback).
    std::string connectionString(const std::string &database) const;
    // A new, empty database with a name of its own; false with `error`.
    bool createDatabase(std::string &name, QString &error);
    // Runs psql with these arguments against `database`; its standard output, or nullopt-like
    // empty with `error` set on failure.
    bool psql(const std::string &database, const QStringList &arguments, QByteArray &output,
        QString &error) const;

private:
    PostgresServer() = default;
    bool start(QString &error);
    bool run(const QString &program, const QStringList &arguments, QString &error,
        QByteArray *output = nullptr) const;

    QTemporaryDir m_dir;
    QString m_data;
    int m_port = 0;
    bool m_started = false;
    int m_databases = 0;
};
