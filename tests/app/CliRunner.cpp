#include "CliRunner.h"

#include <QCryptographicHash>
#include <QFile>
#include <QProcess>

CliRunner::CliRunner() = default;

CliResult CliRunner::Run(const QStringList &arguments, const QString &password) const
{
    QProcess process;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("XDG_DATA_HOME", m_home.path() + "/data");
    env.insert("XDG_CONFIG_HOME", m_home.path() + "/config");
    env.remove("CORVANE_AGENT");
    if (password.isNull())
        env.remove("CORVANE_PASSWORD");
    else
        env.insert("CORVANE_PASSWORD", password);
    process.setProcessEnvironment(env);
    process.setStandardInputFile(QProcess::nullDevice());
    process.start(CORVANE_IQ_BIN, arguments);
    process.waitForFinished(120000);
    return { process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1,
        QString::fromUtf8(process.readAllStandardOutput()),
        QString::fromUtf8(process.readAllStandardError()) };
}

QByteArray FileDigest(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return QCryptographicHash::hash(file.readAll(), QCryptographicHash::Sha256);
}
