#pragma once

#include <QString>
#include <QStringList>

#include <memory>

class Connection;

// An open host: both databases, the signed-in agent, the per-user settings folder. The programs
// build one, the windows and commands then reach everything through the host services.
class HostSession
{
public:
    HostSession();
    ~HostSession();
    HostSession(const HostSession &) = delete;
    HostSession &operator=(const HostSession &) = delete;

    // Opens the databases (creating the demo databases when the default paths are used) and makes
    // them the host's connections; "odbc:..." names open server databases (never created here).
    // False with a one-line error; nothing is changed then.
    bool Open(
        const QString &payrollPath, const QString &commonPath, bool useDefaults, QString &error);
    // Signs the agent in and points the settings at the agent's own file.
    bool SignIn(const QString &agentName, const QString &password, QString &error);
    void SignOut();
    void Close();

    Connection *Payroll() const { return m_payroll.get(); }
    Connection *Common() const { return m_common.get(); }
    // Where IQ statements are checked and run: read-only (see HostDatabases).
    Connection *Report(bool commonDb) const
    {
        return commonDb ? m_reportCommon.get() : m_reportPayroll.get();
    }
    bool OnServer() const;
    QString PayrollPath() const { return m_payrollPath; }
    QString CommonPath() const { return m_commonPath; }
    // The files of the open databases (none when closed or on a server): exports refuse to
    // write them.
    QStringList DatabaseFiles() const;

private:
    std::unique_ptr<Connection> m_payroll;
    std::unique_ptr<Connection> m_common;
    std::unique_ptr<Connection> m_reportPayroll;
    std::unique_ptr<Connection> m_reportCommon;
    QString m_payrollPath;
    QString m_commonPath;
};
