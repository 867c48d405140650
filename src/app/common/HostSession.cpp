#include "app/common/HostSession.h"

#include "app/common/DatabaseLocation.h"
#include "host/core/Agent.h"
#include "host/core/Globals.h"
#include "host/core/HostContext.h"
#include "host/core/Messages.h"
#include "host/core/RegIni.h"
#include "host/db/dataset/TQuillonADOStoredProc.h"
#include "host/db/engine/Connection.h"
#include "host/db/engine/ConnectionName.h"
#include "store/CredentialStore.h"
#include "store/Databases.h"
#include "store/ServerCredentials.h"
#include "store/StoreProcedures.h"

HostSession::HostSession() = default;

HostSession::~HostSession()
{
    Close();
}

bool HostSession::Open(
    const QString &payrollPath, const QString &commonPath, bool useDefaults, QString &error)
{
    Close();
    m_payrollPath = payrollPath.isEmpty() ? DefaultPayrollPath() : payrollPath;
    m_commonPath = commonPath.isEmpty() ? DefaultCommonPath() : commonPath;
    if (useDefaults && payrollPath.isEmpty() && commonPath.isEmpty()
        && !EnsureDemoDatabases(m_payrollPath, m_commonPath, error))
        return false;
    auto databases = OpenHostDatabases(m_payrollPath, m_commonPath, false, error);
    if (!databases)
        return false;
    m_payroll = std::move(databases->payroll);
    m_common = std::move(databases->common);
    m_reportPayroll = std::move(databases->reportPayroll);
    m_reportCommon = std::move(databases->reportCommon);
    RegisterStoreProcedures();
    // A failing stored procedure is reported to the person by the host, as the callers expect.
    TQuillonADOStoredProc::SetErrorReporter([](const QString &text) { ErrMessage(text); });
    SetHostConnections(m_payroll.get(), m_common.get());
    SetReportConnections(m_reportPayroll.get(), m_reportCommon.get());
    LoadGeneralParameters();
    SetHostDatabaseFiles(DatabaseFiles());
    SetHostDatabaseNames(m_payrollPath, m_commonPath);
    return true;
}

bool HostSession::SignIn(const QString &agentName, const QString &password, QString &error)
{
    if (!m_payroll) {
        error = QStringLiteral("No database is open.");
        return false;
    }
    if (OnServer())
        return ::SignIn(*m_payroll, ServerCredentials(*m_payroll), agentName, password, error);
    return ::SignIn(*m_payroll, CredentialStore(m_payrollPath), agentName, password, error);
}

void HostSession::SignOut()
{
    ::SignOut();
}

void HostSession::Close()
{
    SignOut();
    SetHostConnections(nullptr, nullptr);
    SetReportConnections(nullptr, nullptr);
    m_reportCommon.reset();
    m_reportPayroll.reset();
    SetHostDatabaseFiles({});
    SetHostDatabaseNames({}, {});
    m_common.reset();
    m_payroll.reset();
}

bool HostSession::OnServer() const
{
    return ConnectionName::isOdbc(m_payrollPath.toStdString());
}

QStringList HostSession::DatabaseFiles() const
{
    if (!m_payroll || OnServer())
        return {};
    return { m_payrollPath, m_commonPath, CredentialStore(m_payrollPath).File() };
}
