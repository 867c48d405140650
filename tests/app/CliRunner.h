#pragma once

#include <QProcessEnvironment>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>

// Runs the real corvane-iq in its own data and settings folders.
struct CliResult
{
    int exitCode = -1;
    QString out;
    QString err;
};

class CliRunner
{
public:
    CliRunner();
    CliResult Run(const QStringList &arguments, const QString &password = "admin") const;
    QString DataFolder() const { return m_home.path() + "/data/corvane"; }
    QString Path(const QString &name) const { return m_home.path() + "/" + name; }

private:
    QTemporaryDir m_home;
};

QByteArray FileDigest(const QString &path);
