#include "PostgresServer.h"

#include <QDir>
#include <QFile>
#include <QLockFile>
#include <QProcess>

#include <unistd.h>

#include <netinet/in.h>
#include <sys/socket.h>

namespace {

const QString kBin = QStringLiteral("/usr/lib/postgresql/15/bin/");
const QString kUser = QStringLiteral("nobody"); // who runs the server when the tests run as root

bool runningAsRoot()
{
    return ::geteuid() == 0;
}

// A port nobody listens on now; the server takes it a moment later.
int freePort()
{
    const int fd = ::socket(AF_INET, SOCK_STREAM, 0);
    if (fd < 0)
        return 0;
    sockaddr_in address {};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    address.sin_port = 0;
    socklen_t length = sizeof address;
    int port = 0;
    if (::bind(fd, reinterpret_cast<sockaddr *>(&address), sizeof address) == 0
        && ::getsockname(fd, reinterpret_cast<sockaddr *>(&address), &length) == 0)
        port = ntohs(address.sin_port);
    ::close(fd);
    return port;
}

std::unique_ptr<PostgresServer> &theServer()
{
    static std::unique_ptr<PostgresServer> server;
    return server;
}

} // namespace

PostgresServer *PostgresServer::instance(QString &error)
{
    static QString startError;
    std::unique_ptr<PostgresServer> &server = theServer();
    if (!server && startError.isEmpty()) {
        server.reset(new PostgresServer());
        if (!server->start(startError))
            server.reset();
    }
    error = startError;
    return server.get();
}

PostgresServer::~PostgresServer()
{
    if (m_started) {
        QString ignored;
        run(kBin + "pg_ctl", { "-D", m_data, "-m", "immediate", "-w", "stop" }, ignored);
    }
}

bool PostgresServer::run(
    const QString &program, const QStringList &arguments, QString &error, QByteArray *output) const
{
    QProcess process;
    // A folder the server's user can enter: the checkout may sit where only root can.
    process.setWorkingDirectory(m_dir.path());
    if (runningAsRoot())
        process.start(
            QStringLiteral("runuser"), QStringList { "-u", kUser, "--", program } + arguments);
    else
        process.start(program, arguments);
    if (!process.waitForStarted(10000)) {
        error = program + ": " + process.errorString();
        return false;
    }
    process.closeWriteChannel();
    if (!process.waitForFinished(120000) || process.exitStatus() != QProcess::NormalExit
        || process.exitCode() != 0) {
        error = program + " " + arguments.join(' ') + " failed: "
            + QString::fromUtf8(process.readAllStandardError() + process.readAllStandardOutput());
        return false;
    }
    if (output)
        *output = process.readAllStandardOutput();
    return true;
}

bool PostgresServer::start(QString &error)
{
    if (!QFile::exists(kBin + "pg_ctl")) {
        error = QStringLiteral("PostgreSQL 15 is not installed (%1pg_ctl is missing): run "
                               "scripts/deps.sh --tests.")
                    .arg(kBin);
        return false;
    }
    if (!m_dir.isValid()) {
        error = QStringLiteral("No temporary folder for the PostgreSQL cluster.");
        return false;
    }
    // The server's user must reach its folder.
    QFile::setPermissions(m_dir.path(),
        QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner | QFile::ReadOther | QFile::ExeOther
            | QFile::ReadGroup | QFile::ExeGroup);

    // One cluster per machine and user is made with initdb; each process copies it.
    const QString shared = QDir::tempPath()
        + QStringLiteral("/qp-pg15-cluster-%1").arg(static_cast<qulonglong>(::getuid()));
    {
        QLockFile lock(shared + ".lock");
        lock.setStaleLockTime(0);
        if (!lock.lock()) {
            error = QStringLiteral("Cannot lock %1.lock").arg(shared);
            return false;
        }
        if (!QFile::exists(shared + "/qp-ready")) { // an initdb cut short is made again
            QDir(shared).removeRecursively();
            QDir().mkpath(shared);
            if (runningAsRoot())
                QProcess::execute(QStringLiteral("chown"), { kUser, shared });
            if (!run(kBin + "initdb",
                    { "-D", shared, "-U", "qp", "--auth=trust", "-E", "UTF8", "--no-locale",
                        "--no-sync" },
                    error))
                return false;
            QFile ready(shared + "/qp-ready");
            ready.open(QIODevice::WriteOnly);
        }
    }
    m_data = m_dir.path() + "/data";
    if (QProcess::execute(QStringLiteral("cp"), { "-a", shared, m_data }) != 0) {
        error = QStringLiteral("Cannot copy the cluster %1 to %2").arg(shared, m_data);
        return false;
    }
    if (runningAsRoot())
        QProcess::execute(QStringLiteral("chown"), { "-R", kUser, m_dir.path() });
    for (int attempt = 0; attempt < 3 && !m_started; ++attempt) {
        m_port = freePort();
        const QString options = QStringLiteral("-k %1 -p %2 -h 127.0.0.1 -c fsync=off "
                                               "-c full_page_writes=off -c synchronous_commit=off")
                                    .arg(m_dir.path())
                                    .arg(m_port);
        m_started = run(kBin + "pg_ctl",
            { "-D", m_data, "-o", options, "-l", m_dir.path() + "/server.log", "-w", "-t", "60",
                "start" },
            error);
    }
    if (!m_started) {
        QFile log(m_dir.path() + "/server.log");
        if (log.open(QIODevice::ReadOnly))
            error += "\n" + QString::fromUtf8(log.readAll());
    }
    return m_started;
}

std::string PostgresServer::connectionString(const std::string &database) const
{
    return "DRIVER={PostgreSQL Unicode};SERVER=127.0.0.1;PORT=" + std::to_string(m_port)
        + ";DATABASE=" + database + ";UID=qp;";
}

bool PostgresServer::createDatabase(std::string &name, QString &error)
{
    name = "qp_test_" + std::to_string(++m_databases);
    QByteArray output;
    return psql(
        "postgres", { "-c", QString::fromStdString("CREATE DATABASE " + name) }, output, error);
}

bool PostgresServer::psql(const std::string &database, const QStringList &arguments,
    QByteArray &output, QString &error) const
{
    QProcess process;
    process.start(QStringLiteral("psql"),
        QStringList { "-X", "-q", "-v", "ON_ERROR_STOP=1", "-h", "127.0.0.1", "-p",
            QString::number(m_port), "-U", "qp", "-d", QString::fromStdString(database) }
            + arguments);
    if (!process.waitForStarted(10000) || !process.waitForFinished(600000)
        || process.exitCode() != 0) {
        error = "psql failed: " + QString::fromUtf8(process.readAllStandardError());
        return false;
    }
    output = process.readAllStandardOutput();
    return true;
}
