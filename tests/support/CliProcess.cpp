#include "CliProcess.h"

#include <QDir>

CliProcess::CliProcess(QString program, QString home)
    : m_program(std::move(program))
    , m_home(std::move(home))
{
}

QProcessEnvironment CliProcess::environment(const QString &password) const
{
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("XDG_DATA_HOME", QDir(m_home).filePath("data"));
    env.insert("XDG_CONFIG_HOME", QDir(m_home).filePath("config"));
    env.remove("CORVANE_AGENT");
    if (password.isNull())
        env.remove("CORVANE_PASSWORD");
    else
        env.insert("CORVANE_PASSWORD", password);
    return env;
}

void CliProcess::start(QProcess &process, const QStringList &arguments, const QString &password,
    const QString &redirect) const
{
    process.setProcessEnvironment(environment(password));
    process.setStandardInputFile(QProcess::nullDevice());
    if (redirect.isEmpty())
        process.start(m_program, arguments);
    else
        process.start("/bin/sh",
            QStringList { "-c", "exec \"$0\" \"$@\" " + redirect, m_program } + arguments);
}

CliResult CliProcess::run(
    const QStringList &arguments, const QString &password, const QString &redirect) const
{
    QProcess process;
    start(process, arguments, password, redirect);
    process.waitForFinished(120000);
    return { process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1,
        QString::fromUtf8(process.readAllStandardOutput()),
        QString::fromUtf8(process.readAllStandardError()) };
}
