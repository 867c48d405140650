#pragma once

#include <QProcess>
#include <QString>
#include <QStringList>

#include <gtest/gtest.h>

// What one run of corvane-iq said and how it ended (-1: it crashed or did not finish).
struct CliResult
{
    int exitCode = -1;
    QString out;
    QString err;
};

// The real corvane-iq with data and settings folders under `home`, so no test reads or writes
// the person's own, and with its password in CORVANE_PASSWORD as a script would give it.
class CliProcess
{
public:
    CliProcess(QString program, QString home);

    // `redirect`, when given, is a shell redirection of the program's standard streams
    // (">/dev/full", ">&-", "<file"). start does not wait, for tests that act while it runs.
    void start(QProcess &process, const QStringList &arguments, const QString &password,
        const QString &redirect = {}) const;
    CliResult run(
        const QStringList &arguments, const QString &password, const QString &redirect = {}) const;

private:
    // A null password leaves CORVANE_PASSWORD unset.
    QProcessEnvironment environment(const QString &password) const;

    QString m_program;
    QString m_home;
};

// The result of a run that must succeed; a failure shows what the program said.
inline CliResult Ok(CliResult result)
{
    EXPECT_EQ(result.exitCode, 0) << result.err.toStdString();
    return result;
}
